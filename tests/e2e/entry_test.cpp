#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// Runs a shell command line; its exit status, -1 when a signal ended it.
int shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs the host program in the current directory; its exit status.
int host(const std::string& arguments) { return shell(LUMAVEIL_HOST " " + arguments); }

// The same, ended after 20 s should it wait on something (status 124).
int host_in_time(const std::string& arguments) {
  return shell("timeout 20 " LUMAVEIL_HOST " " + arguments);
}

bool holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
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

// Whatever stands under an input's name that is not a regular file counts
// as a file that cannot be opened, and nothing waits on a FIFO or reads a
// device without end.
TEST(Host, AnInputThatIsNotARegularFileIsReportedAtOnceLikeAMissingOne) {
  ScratchDir dir;
  std::filesystem::create_directory("IN_FM.txt");
  EXPECT_EQ(host("1 2> err.txt"), 1);
  EXPECT_TRUE(holds(read_file("err.txt"), "lumaveil: cannot open IN_FM.txt in ")) << read_file("err.txt");
  EXPECT_TRUE(holds(read_file("err.txt"), std::strerror(EISDIR))) << read_file("err.txt");
  EXPECT_EQ(read_file("OUT_M.xls"), "error: cannot open IN_FM.txt (not a regular file)\n");
  std::filesystem::remove("IN_FM.txt");
  ASSERT_EQ(mkfifo("IN_FM.txt", 0600), 0);
  EXPECT_EQ(host_in_time("1 2> err.txt"), 1);
  EXPECT_TRUE(holds(read_file("err.txt"), "IN_FM.txt in ")) << read_file("err.txt");
  EXPECT_TRUE(holds(read_file("err.txt"), ": not a regular file")) << read_file("err.txt");
  EXPECT_EQ(read_file("OUT_M.xls"), "error: cannot open IN_FM.txt (not a regular file)\n");
  std::filesystem::remove("IN_FM.txt");
  if (std::filesystem::exists("/dev/zero")) {
    std::filesystem::create_symlink("/dev/zero", "IN_FM.txt");
    EXPECT_EQ(host_in_time("4 2> err.txt"), 1);
    EXPECT_EQ(read_file("OUT_M.xls"), "error: cannot open IN_FM.txt (not a regular file)\n");
    std::filesystem::remove("IN_FM.txt");
  }
  singlet.write();
  ASSERT_EQ(mkfifo("IN_FM2.txt", 0600), 0);
  for (const char* mode : {"2", "5"}) {
    EXPECT_EQ(host_in_time(std::string(mode) + " 2> err.txt"), 1) << mode;
    EXPECT_TRUE(holds(read_file("err.txt"), "lumaveil: cannot open IN_FM2.txt in "));
    EXPECT_EQ(read_file("OUT_M.xls"), "error: cannot open IN_FM2.txt (not a regular file)\n");
  }
  EXPECT_EQ(host("1 2> err.txt"), 0);  // modes 1 and 4 never read the ray set
  EXPECT_EQ(read_file("err.txt"), "");
}

// The report under a name that is not a regular file, or cut short by the
// file-size limit: the host says so and ends with status 1, never killed
// by the signal of the limit.
TEST(Host, AReportNotWrittenInFullEndsWithStatusOneAndTheReason) {
  ScratchDir dir;
  singlet.write();
  std::filesystem::create_directory("OUT_M.xls");
  EXPECT_EQ(host("1 2> err.txt"), 1);
  const std::string err = read_file("err.txt");
  EXPECT_TRUE(holds(err, "lumaveil: cannot create OUT_M.xls in ")) << err;
  EXPECT_TRUE(holds(err, std::strerror(EISDIR))) << err;
  EXPECT_EQ(host("0 2> err.txt"), 0);  // a mode without a report
  std::filesystem::remove("OUT_M.xls");
  ASSERT_EQ(mkfifo("OUT_M.xls", 0600), 0);
  EXPECT_EQ(host_in_time("1 2> err.txt"), 1);
  EXPECT_TRUE(holds(read_file("err.txt"), "OUT_M.xls in ")) << read_file("err.txt");
  EXPECT_TRUE(holds(read_file("err.txt"), ": not a regular file")) << read_file("err.txt");
  std::filesystem::remove("OUT_M.xls");
  // A link to a device is replaced by the report, never written through.
  if (std::filesystem::exists("/dev/full")) {
    std::filesystem::create_symlink("/dev/full", "OUT_M.xls");
    EXPECT_EQ(host("1 2> err.txt"), 0);
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status("OUT_M.xls")));
    std::filesystem::remove("OUT_M.xls");
  }
  // A limit of 512 bytes: one report fails at a write, the other only when
  // the close writes out its buffered bytes. Neither leaves a report.
  for (int steps : {10, 1}) {
    LensFile lens = singlet;
    lens.steps = steps;
    lens.write();
    ASSERT_EQ(host("1"), 0);
    const std::size_t size = read_file("OUT_M.xls").size();
    EXPECT_GT(size, steps == 1 ? 512u : 8192u);
    EXPECT_EQ(shell("sh -c 'ulimit -f 1 && exec " LUMAVEIL_HOST " 1' 2> err.txt"), 1) << steps;
    const std::string why = read_file("err.txt");
    EXPECT_TRUE(holds(why, "lumaveil: cannot write OUT_M.xls in ")) << why;
    EXPECT_TRUE(holds(why, "(the report is incomplete): " + std::string(std::strerror(EFBIG))))
        << why;
    EXPECT_FALSE(file_exists("OUT_M.xls"));
  }
}

// Standard error a pipe whose reader has gone: the host's message fails to
// be written, and the host still ends with its status.
TEST(Host, AClosedPipeDoesNotKillIt) {
  ScratchDir dir;
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  close(ends[0]);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    dup2(ends[1], 2);
    execl(LUMAVEIL_HOST, LUMAVEIL_HOST, "1", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ends[1]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 1);
}

// A lens file saved as UTF-16 reads as zeros, as the file's rules have it,
// and the host warns.
TEST(Host, WarnsAboutALensFileSavedAsUtf16) {
  ScratchDir dir;
  std::string utf16;
  for (char c : singlet.text()) utf16 += std::string{c, '\0'};
  for (const std::string mark : {"\xFF\xFE", ""}) {
    write_file("IN_FM.txt", mark + utf16);
    EXPECT_EQ(host("1 2> err.txt"), 0);
    const std::string err = read_file("err.txt");
    EXPECT_TRUE(holds(err, "lumaveil: warning: IN_FM.txt ")) << err;
    EXPECT_TRUE(holds(err, mark.empty() ? "holds NUL bytes" : "byte-order mark")) << err;
    EXPECT_TRUE(holds(err, "UTF-16")) << err;
    EXPECT_TRUE(file_exists("OUT_M.xls"));
  }
  singlet.write();
  EXPECT_EQ(host("1 2> err.txt"), 0);
  EXPECT_EQ(read_file("err.txt"), "");
}

}  // namespace
}  // namespace lumaveil::testing
