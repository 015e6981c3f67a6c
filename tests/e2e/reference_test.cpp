// The reference cases: lenses with the reports an independent implementation
// writes for them, compared byte for byte (non-finite values may be spelled
// in any case).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "lumaveil/main5.h"
#include "support/test_support.h"

namespace lumaveil::testing {
namespace {

namespace fs = std::filesystem;

std::string normalise_non_finite(const std::string& text) {
  static const std::regex nan_or_inf(R"((-?)(nan|NAN|NaN|inf|INF|Inf)(\([^)]*\))?)");
  std::string out;
  std::sregex_iterator it(text.begin(), text.end(), nan_or_inf), end;
  std::size_t last = 0;
  for (; it != end; ++it) {
    out.append(text, last, it->position() - last);
    std::string word = (*it)[2].str();
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    out += (*it)[1].str() + word;
    last = it->position() + it->length();
  }
  out.append(text, last, std::string::npos);
  return out;
}

std::vector<std::string> reference_cases() {
  std::vector<std::string> names;
  fs::path root = fs::path(test_data_dir()) / "reference";
  if (!fs::exists(root)) return names;
  for (const auto& entry : fs::directory_iterator(root))
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class ReferenceCase : public ::testing::TestWithParam<std::string> {};

TEST_P(ReferenceCase, ReportMatchesByteForByte) {
  fs::path folder = fs::path(test_data_dir()) / "reference" / GetParam();
  std::vector<int> modes;
  {
    std::ifstream in(folder / "modes");
    int mode;
    while (in >> mode) modes.push_back(mode);
  }
  ASSERT_FALSE(modes.empty());
  ScratchDir scratch;
  for (const char* name : {"IN_FM.txt", "IN_FM2.txt"})
    if (fs::exists(folder / name)) fs::copy_file(folder / name, name);
  for (int mode : modes) main5(mode);

  fs::path expected = folder / "expected.xls";
  if (!fs::exists(expected)) {
    EXPECT_FALSE(file_exists("OUT_M.xls"));
    return;
  }
  ASSERT_TRUE(file_exists("OUT_M.xls"));
  std::string want = normalise_non_finite(read_file(expected.string()));
  std::string got = normalise_non_finite(read_file("OUT_M.xls"));
  if (want != got) {
    auto want_lines = split_lines(want), got_lines = split_lines(got);
    for (std::size_t i = 0; i < std::max(want_lines.size(), got_lines.size()); ++i) {
      std::string w = i < want_lines.size() ? want_lines[i] : "<none>";
      std::string g = i < got_lines.size() ? got_lines[i] : "<none>";
      if (w != g) {
        ADD_FAILURE() << "first difference at line " << i + 1 << "\n want: " << w
                      << "\n  got: " << g;
        break;
      }
    }
  }
  EXPECT_EQ(want.size(), got.size());
}

INSTANTIATE_TEST_SUITE_P(Reports, ReferenceCase, ::testing::ValuesIn(reference_cases()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace lumaveil::testing
