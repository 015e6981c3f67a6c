// The examples' reports: every golden report under tests/data/examples is
// rewritten by the host program, in a fresh process and a scratch copy of its
// example folder, and compared byte for byte. The figures the examples'
// READMEs quote are guarded by these files. To change one on purpose, run
// scripts/regenerate-golden-reports.sh and review the diff.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>

#include "support/test_support.h"

namespace lumaveil::testing {
namespace {

namespace fs = std::filesystem;

fs::path golden_root() { return fs::path(test_data_dir()) / "examples"; }
fs::path examples_root() { return LUMAVEIL_EXAMPLES_DIR; }

// One golden report: the example it belongs to and the mode that wrote it.
struct Golden {
  std::string example;
  int mode;
};

void PrintTo(const Golden& golden, std::ostream* out) {
  *out << golden.example << " mode " << golden.mode;
}

// "m<mode>.xls", or -1 for any other name.
int mode_of(const std::string& file_name) {
  static const std::regex golden_name(R"(m(-?[0-9]+)\.xls)");
  std::smatch match;
  return std::regex_match(file_name, match, golden_name) ? std::stoi(match[1].str()) : -1;
}

std::vector<Golden> goldens() {
  std::vector<Golden> found;
  if (!fs::exists(golden_root())) return found;
  for (const auto& folder : fs::directory_iterator(golden_root())) {
    if (!folder.is_directory()) continue;
    for (const auto& file : fs::directory_iterator(folder.path()))
      if (const int mode = mode_of(file.path().filename().string()); mode != -1)
        found.push_back({folder.path().filename().string(), mode});
  }
  std::sort(found.begin(), found.end(), [](const Golden& a, const Golden& b) {
    return a.example != b.example ? a.example < b.example : a.mode < b.mode;
  });
  return found;
}

// The example folders that hold a lens.
std::vector<std::string> examples() {
  std::vector<std::string> names;
  for (const auto& folder : fs::directory_iterator(examples_root()))
    if (fs::exists(folder.path() / "IN_FM.txt")) names.push_back(folder.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The modes every example must have a golden report for: those its `modes`
// file lists (the Windows check runs the same ones).
std::vector<int> required_modes(const std::string& example) {
  std::ifstream file(examples_root() / example / "modes");
  return {std::istream_iterator<int>(file), {}};
}

class ExampleReport : public ::testing::TestWithParam<Golden> {};

TEST_P(ExampleReport, HostRewritesTheGoldenReportByteForByte) {
  const Golden& golden = GetParam();
  const fs::path example = examples_root() / golden.example;
  ASSERT_TRUE(fs::exists(example / "IN_FM.txt")) << "golden report without an example: " << example;
  ScratchDir scratch;
  for (const char* name : {"IN_FM.txt", "IN_FM2.txt"})
    if (fs::exists(example / name)) fs::copy_file(example / name, name);
  const int status = std::system((LUMAVEIL_HOST " " + std::to_string(golden.mode)).c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ASSERT_TRUE(file_exists("OUT_M.xls"));
  const fs::path expected = golden_root() / golden.example / ("m" + std::to_string(golden.mode) + ".xls");
  const std::string want = read_file(expected.string());
  const std::string got = read_file("OUT_M.xls");
  EXPECT_EQ(first_difference(want, got), "") << "golden report " << expected;
  EXPECT_EQ(want.size(), got.size());
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleReport, ::testing::ValuesIn(goldens()),
                         [](const auto& info) {
                           return info.param.example + "_m" + std::to_string(info.param.mode);
                         });
// With no golden report at all the suite above is empty; the checks below fail then.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ExampleReport);

TEST(ExampleReports, EveryExampleHasAGoldenReportForEachOfItsModes) {
  const std::vector<std::string> names = examples();
  ASSERT_FALSE(names.empty()) << "no examples under " << examples_root();
  std::set<std::pair<std::string, int>> present;
  for (const Golden& golden : goldens()) present.insert({golden.example, golden.mode});
  for (const std::string& name : names)
    for (int mode : required_modes(name))
      EXPECT_TRUE(present.count({name, mode}) == 1)
          << "example " << name << " has no golden report for mode " << mode
          << " (scripts/regenerate-golden-reports.sh writes it)";
}

// An optimising mode (2, 3, 5, 6) needs a ray set; modes 1 and 4 run on
// every lens.
TEST(ExampleReports, EveryExampleListsModesOneAndFourAndTheOptimisingOnesWithARaySet) {
  for (const std::string& name : examples()) {
    const bool ray_set = fs::exists(examples_root() / name / "IN_FM2.txt");
    const std::vector<int> want =
        ray_set ? std::vector<int>{1, 2, 3, 4, 5, 6} : std::vector<int>{1, 4};
    EXPECT_EQ(required_modes(name), want) << "examples/" << name << "/modes";
  }
}

TEST(ExampleReports, EveryGoldenFolderBelongsToAnExample) {
  const std::vector<std::string> names = examples();
  for (const auto& folder : fs::directory_iterator(golden_root()))
    EXPECT_TRUE(std::find(names.begin(), names.end(), folder.path().filename().string()) !=
                names.end())
        << "golden reports without an example: " << folder.path();
}

}  // namespace
}  // namespace lumaveil::testing
