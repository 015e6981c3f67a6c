// The reference cases: lenses with the reports an independent implementation
// writes for them, compared byte for byte (non-finite values may be spelled
// in any case).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "lumaveil/main5.h"
#include "support/test_support.h"

namespace lumaveil::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> reference_cases() {
  std::vector<std::string> names;
  if (const fs::path root = fs::path(test_data_dir()) / "reference"; fs::exists(root))
    for (const auto& entry : fs::directory_iterator(root))
      if (entry.is_directory()) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class ReferenceCase : public ::testing::TestWithParam<std::string> {};

TEST_P(ReferenceCase, ReportMatchesByteForByte) {
  const fs::path folder = fs::path(test_data_dir()) / "reference" / GetParam();
  std::ifstream modes_file(folder / "modes");
  const std::vector<int> modes{std::istream_iterator<int>(modes_file), {}};
  ASSERT_FALSE(modes.empty());
  ScratchDir scratch;
  for (const char* name : {"IN_FM.txt", "IN_FM2.txt"})
    if (fs::exists(folder / name)) fs::copy_file(folder / name, name);
  for (int mode : modes) main5(mode);
  const fs::path expected = folder / "expected.xls";
  if (!fs::exists(expected)) {
    EXPECT_FALSE(file_exists("OUT_M.xls"));
    return;
  }
  ASSERT_TRUE(file_exists("OUT_M.xls"));
  const std::string want = normalise_non_finite(read_file(expected.string())),
                    got = normalise_non_finite(read_file("OUT_M.xls"));
  EXPECT_EQ(first_difference(want, got), "");
  EXPECT_EQ(want.size(), got.size());
}

INSTANTIATE_TEST_SUITE_P(Reports, ReferenceCase, ::testing::ValuesIn(reference_cases()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace lumaveil::testing
