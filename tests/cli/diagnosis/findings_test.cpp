#include "cli/diagnosis/findings.h"

#include <gtest/gtest.h>

namespace lumaveil::cli::diagnosis {
namespace {

TEST(Findings, SpreadsheetCellNames) {
  EXPECT_EQ(cell_name(0, 0), "A1");
  EXPECT_EQ(cell_name(18, 2), "C19");
  EXPECT_EQ(cell_name(5, 25), "Z6");
  EXPECT_EQ(cell_name(5, 26), "AA6");
  EXPECT_EQ(cell_name(119, 29), "AD120");
}

TEST(Findings, HowACellTextReads) {
  EXPECT_EQ(classify_cell(" 1.5e-3 ", false), CellText::kNumber);
  EXPECT_EQ(classify_cell("-4", false), CellText::kNumber);
  EXPECT_EQ(classify_cell("", false), CellText::kEmpty);
  EXPECT_EQ(classify_cell("   ", true), CellText::kEmpty);
  EXPECT_EQ(classify_cell("BK7", false), CellText::kNoNumber);
  EXPECT_EQ(classify_cell("V", true), CellText::kNoNumber);
  EXPECT_EQ(classify_cell("12 mm", false), CellText::kTrailingText);
  EXPECT_EQ(classify_cell("3x", true), CellText::kTrailingText);
  EXPECT_EQ(classify_cell("0,01759", false), CellText::kDecimalComma);
  EXPECT_EQ(classify_cell(",5", false), CellText::kDecimalComma);
  EXPECT_EQ(classify_cell("1,5", true), CellText::kDecimalComma);
  EXPECT_EQ(classify_cell("3.9", true), CellText::kFraction);
  EXPECT_EQ(classify_cell("1e3", true), CellText::kFraction);
  EXPECT_EQ(classify_cell(".5", true), CellText::kFraction);
  EXPECT_EQ(classify_cell("3.", true), CellText::kNumber);
  EXPECT_EQ(classify_cell("-3.0", true), CellText::kNumber);
  EXPECT_EQ(classify_cell("3.0 mm", true), CellText::kTrailingText);
  EXPECT_EQ(classify_cell("+7", true), CellText::kNumber);
}

}  // namespace
}  // namespace lumaveil::cli::diagnosis
