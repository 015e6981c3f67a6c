#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "lumaveil/main5.h"
#include "support/test_support.h"

namespace lumaveil::testing {
namespace {

// A singlet whose front curvature is variable, focusing near the last plane.
const LensFile singlet{.steps = 2, .RH = 2, .surfaces = {{.D = 10, .n = {1}},
    {.C = 0.02, .D = 5, .code = "V", .n = {1.5}}, {.D = 90, .n = {1}}, {.n = {1}}, {.n = {1}}}};

// Runs `mode` through the library; the report it leaves.
std::string report(int mode) {
  main5(mode);
  return read_file("OUT_M.xls");
}

// Runs the host program in the current directory; its exit status.
int host(const std::string& arguments) {
  const int status = std::system((LUMAVEIL_HOST " " + arguments).c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Entry, OnlyModesOneToSixWriteAReportAndWithoutAnInputFileItIsOneErrorLine) {
  ScratchDir dir;
  for (int mode : {0, 7, -1}) main5(mode);
  EXPECT_FALSE(file_exists("OUT_M.xls"));
  for (int mode : {1, 2, 3, 4, 5, 6, 0, 7, -1})
    EXPECT_EQ(report(mode), "error: cannot open IN_FM.txt\n") << mode;
  singlet.write();
  for (int mode : {2, 3, 5, 6, 0, 7, -1})
    EXPECT_EQ(report(mode), "error: cannot open IN_FM2.txt\n") << mode;
}

TEST(Entry, ModeOneAfterAnOptimisationReportsTheLensOfTheFile) {
  ScratchDir dir;
  singlet.write();
  RaySetFile{.rays = {{.X = 1, .XT = 0.5}, {.X = 2, .XT = 1}}}.write();
  EXPECT_NE(split_cells(split_lines(report(2)).back()).at(6), "0.02");  // C[1] moved
  const std::string after_optimisation = report(1);
  EXPECT_EQ(report(1), after_optimisation);
  // The host's process has a state that has seen no optimisation.
  ASSERT_EQ(host("1"), 0);
  EXPECT_EQ(read_file("OUT_M.xls"), after_optimisation);
}

TEST(Entry, TheLibraryExportsMain5Alone) {
  std::FILE* nm = popen("nm -D --defined-only " LUMAVEIL_LIBRARY, "r");
  std::string symbols;
  char line[512], name[512];  // "<address> <kind> <name>"
  while (std::fgets(line, sizeof line, nm) != nullptr)
    if (std::sscanf(line, "%*s %*s %511s", name) == 1) symbols += std::string(name) + " ";
  ASSERT_EQ(pclose(nm), 0);
  EXPECT_EQ(symbols, "main5 ");
}

TEST(Host, TakesOneIntegerModeNegativeOnesIncluded) {
  ScratchDir dir;
  for (const char* mode : {"1.5", "abc", "''", "1 2"}) {
    EXPECT_EQ(host(std::string(mode) + " 2> err.txt"), 2) << mode;
    EXPECT_NE(read_file("err.txt"), "") << mode;
  }
  EXPECT_EQ(host("1 2> err.txt"), 1);
  EXPECT_NE(read_file("err.txt").find("lumaveil: cannot open IN_FM.txt in"), std::string::npos);
  EXPECT_EQ(read_file("OUT_M.xls"), "error: cannot open IN_FM.txt\n");
  std::filesystem::create_directory("lens");
  std::filesystem::rename("OUT_M.xls", "lens/OUT_M.xls");
  write_file("lens/IN_FM.txt", singlet.text());
  EXPECT_EQ(host("-C lens -1"), 0);
  EXPECT_EQ(read_file("lens/OUT_M.xls"), "error: cannot open IN_FM.txt\n");
  EXPECT_EQ(host("-C lens 1"), 0);
  EXPECT_EQ(read_file("lens/OUT_M.xls").rfind("\x94\x67\x92\xB7" "1\x81\x69", 0), 0u);
}

}  // namespace
}  // namespace lumaveil::testing
