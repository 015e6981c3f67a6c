// The count caps of the whole-run fuzz harnesses: a capped file must read as
// the same grid but for the capped cells, or the fuzzing misses inputs.
#include "../../fuzz/count_caps.h"

#include <gtest/gtest.h>

#include <memory>

namespace lumaveil::fuzzing {
namespace {

constexpr CountCap kCaps[] = {{2, 2, 3}, {4, 2, 10}};

std::unique_ptr<InputGrid> grid_of(const std::string& text) {
  auto grid = std::make_unique<InputGrid>();
  fill_from_bytes(*grid, text.data(), text.size(), kRaySetGrid);
  return grid;
}

TEST(FuzzCountCaps, CountsWithinTheirCapsLeaveTheFileByteForByte) {
  auto scratch = std::make_unique<InputGrid>();
  for (const std::string text : {"", "a\r\n\r\n\t\t3\n\n\t\t-2147483648 \t\n", "\t\t\t\t\t\t\t\t\t"})
    EXPECT_EQ(capped(text, kRaySetGrid, kCaps, *scratch), text);
}

TEST(FuzzCountCaps, ACountAboveItsCapBecomesTheCapAndEveryOtherCellStays) {
  // Odd spellings everywhere: CR, a long last cell of a line, text past the
  // last column and past the last line, and a count that is not a plain number.
  std::string text = "title\r\n\n\t\t 4e2x\tnext\n\n\tNRAY\t+000011\n";
  text += std::string(30, '\t') + "past the last column\t" + std::string(120, 'x') + "\n";
  text += std::string(200, '\n') + "after the last line";
  auto scratch = std::make_unique<InputGrid>();
  const std::string out = capped(text, kRaySetGrid, kCaps, *scratch);
  const auto before = grid_of(text), after = grid_of(out);
  EXPECT_STREQ(after->cell(2, 2), "3");
  EXPECT_STREQ(after->cell(4, 2), "10");
  for (int line = 0; line < kRaySetGrid.lines; ++line)
    for (int column = 0; column < kRaySetGrid.columns; ++column)
      if ((line != 2 && line != 4) || column != 2) {
        EXPECT_STREQ(after->cell(line, column), before->cell(line, column)) << line << ' ' << column;
      }
}

}  // namespace
}  // namespace lumaveil::fuzzing
