// The plots and the CSV of every mode of one example, byte for byte against
// the golden files that scripts/regenerate-golden-reports.sh writes on
// purpose (tests/data/host/<example>/m<mode>/).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

#include "support/test_support.h"

namespace lumaveil::cli::commands {
namespace {

namespace fs = std::filesystem;
using testing::first_difference;
using testing::read_file;
using testing::run_host;
using testing::test_data_dir;

std::set<std::string> files_in(const fs::path& folder, const std::string& extension) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == extension) names.insert(entry.path().filename().string());
  return names;
}

TEST(GoldenOutputs, PlotsAndCsvOfEveryModeAreThoseOnRecord) {
  const fs::path golden_root = fs::path(test_data_dir()) / "host";
  int compared = 0;
  for (const auto& example : fs::directory_iterator(golden_root)) {
    for (const auto& golden : fs::directory_iterator(example.path())) {
      const std::string mode = golden.path().filename().string();
      SCOPED_TRACE(example.path().filename().string() + "/" + mode);
      testing::ScratchDir scratch;
      fs::copy_file(fs::path(LUMAVEIL_EXAMPLES_DIR) / example.path().filename() / "IN_FM.txt",
                    "IN_FM.txt");
      fs::copy_file(
          fs::path(test_data_dir()) / "examples" / example.path().filename() / (mode + ".xls"),
          "OUT_M.xls");
      ASSERT_EQ(run_host(LUMAVEIL_HOST, "plot --residuals -o plots").status, 0);
      ASSERT_EQ(run_host(LUMAVEIL_HOST, "export --csv").status, 0);
      EXPECT_EQ(files_in("plots", ".svg"), files_in(golden.path(), ".svg"));
      for (const std::string& name : files_in(golden.path(), ".svg")) {
        EXPECT_EQ(first_difference(read_file((golden.path() / name).string()),
                                   read_file("plots/" + name)),
                  "")
            << name;
        ++compared;
      }
      EXPECT_EQ(first_difference(read_file((golden.path() / "OUT_M.csv").string()),
                                 read_file("OUT_M.csv")),
                "");
      ++compared;
    }
  }
  EXPECT_GE(compared, 6 * 2);
}

}  // namespace
}  // namespace lumaveil::cli::commands
