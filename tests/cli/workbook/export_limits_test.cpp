// Reports a workbook or a CSV must not lose or mangle: blocks of unequal
// tables, a wavelength twice, blocks longer than a sheet, lines wider than
// a sheet, cells longer than a cell, text a spreadsheet takes for a formula.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "cli/report_input/report_reader.h"
#include "cli/workbook/csv.h"
#include "cli/workbook/sheet_plan.h"
#include "cli/workbook/workbook.h"
#include "support/test_support.h"

namespace lumaveil::cli::workbook {
namespace {

namespace fs = std::filesystem;
using lumaveil::testing::read_file;
using lumaveil::testing::ScratchDir;
using lumaveil::testing::write_file;
using report_input::ReportContents;

// A mode-1 block: its wavelength, the rows of its four trace tables, its
// spot rows.
struct Block {
  int q;
  std::array<int, 4> table_rows;
  int spots;
};

// A mode-1 report in Shift_JIS, as the library writes it.
std::string mode1_report(const std::vector<Block>& blocks) {
  std::string out;
  for (const Block& b : blocks) {
    const std::string q = std::to_string(b.q);
    // 波長q（中心光束の軌跡）
    out += "\x94\x67\x92\xB7" + q +
           "\x81\x69\x92\x86\x90\x53\x8C\xF5\x91\xA9\x82\xCC\x8B\x4F\x90\xD5\x81\x6A\n";
    for (int rows : b.table_rows) {
      out += "i\t1/R(i)\tZ(i)\tX(i)\tU(i)\tY(i)\tV(i)\n";
      for (int i = 0; i < rows; ++i) out += std::to_string(i) + "\t0\t1\t2\t3\t4\t5\n";
    }
    // 波長q（スポットダイアグラム）
    out +=
        "\n\x94\x67\x92\xB7" + q +
        "\x81\x69\x83\x58\x83\x7C\x83\x62\x83\x67\x83\x5F\x83\x43\x83\x41\x83\x4F\x83\x89\x83\x80"
        "\x81\x6A\t\t\t" +
        std::to_string(b.spots) + "\nNo\tU(i)\tV(i)\tX(i)\tY(i)\n";
    for (int n = 0; n < b.spots; ++n) out += std::to_string(n) + "\t0.1\t0.2\t0.3\t0.4\n";
    out += "\n\n\n";
  }
  return out;
}

ReportContents read(const std::string& text) {
  Result<ReportContents> r = report_input::read_report(text);
  EXPECT_TRUE(r.ok()) << r.reason();
  return r.value();
}

// Every sheet lies within the report, each trajectory sheet ends at its
// own spot heading, whatever the length of the other blocks' tables.
TEST(ExportPlan, EachBlockIsBoundedByItsOwnTables) {
  const std::vector<std::vector<Block>> cases = {
      {{1, {3, 3, 3, 3}, 2}, {2, {3, 3, 3, 3}, 2}},
      {{1, {1, 1, 1, 1}, 2}, {2, {30, 0, 0, 0}, 0}},  // the last block's first table longest
      {{1, {2, 2, 2, 2}, 1}, {2, {9, 9, 9, 9}, 1}},   // a later block's tables longer
      {{1, {0, 5, 0, 7}, 3}},
  };
  for (const auto& blocks : cases) {
    ReportContents r = read(mode1_report(blocks));
    const std::vector<SheetPlan> plans = plan_sheets(r).value();
    ASSERT_EQ(plans.size(), 2 * blocks.size());
    for (const SheetPlan& plan : plans) {
      SCOPED_TRACE(plan.name);
      EXPECT_LE(plan.first_line, plan.end_line);
      EXPECT_LE(plan.end_line, static_cast<int>(r.cells.size()));
      if (plan.chart == SheetPlan::Chart::Spots) {
        EXPECT_NE(r.cells[static_cast<std::size_t>(plan.first_line)][0].find("スポット"),
                  std::string::npos);
      }
    }
  }
}

// Sheets of Excel's size hold 10 rows here: every line lands on exactly one
// sheet, each continued sheet repeats its block's heading and column line.
TEST(ExportPlan, LongBlocksContinueOnFurtherSheets) {
  ReportContents r = read(mode1_report({{1, {2, 2, 2, 2}, 25}, {2, {2, 2, 2, 2}, 3}}));
  const std::vector<SheetPlan> plans = plan_sheets(r, 10).value();
  std::vector<int> covered(r.cells.size(), 0);
  std::set<std::string> names;
  std::vector<std::string> spot_sheets;
  int block_start = 0;
  for (const SheetPlan& plan : plans) {
    EXPECT_LE(plan.rows(), 10) << plan.name;
    EXPECT_LE(plan.name.size(), kSheetNameLength);
    EXPECT_TRUE(names.insert(plan.name).second) << plan.name;
    for (int line = plan.first_line; line < plan.end_line; ++line)
      ++covered[static_cast<std::size_t>(line)];
    if (plan.part == 1) block_start = plan.first_line;
    if (plan.part > 1) {
      EXPECT_EQ(plan.head_first, block_start) << plan.name;
      EXPECT_EQ(plan.head_end, block_start + 2) << plan.name;
    }
    if (plan.chart == SheetPlan::Chart::Spots) spot_sheets.push_back(plan.name);
  }
  for (std::size_t line = 0; line < covered.size(); ++line) {
    const bool blank = r.cells[line] == std::vector<std::string>{""};
    EXPECT_EQ(covered[line], blank ? covered[line] : 1) << "line " << line + 1;
    EXPECT_LE(covered[line], 1) << "line " << line + 1;
  }
  // 27 spot lines: 10, then 8 and 8 and 1 below the repeated two.
  EXPECT_EQ(spot_sheets, (std::vector<std::string>{"Spots1", "Spots1 (2)", "Spots1 (3)",
                                                   "Spots1 (4)", "Spots2"}));
  EXPECT_EQ(plans.back().part, 1);
}

int run(const std::string& command) {
  int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

bool can_read_workbooks() { return workbooks_available() && run("unzip -v >/dev/null 2>&1") == 0; }

// The spot rows of sheets first to last of a workbook: rows holding a
// number in column E, counted in the sheets' XML.
int spot_rows(const std::string& path, int first, int last) {
  int rows = 0;
  for (int s = first; s <= last; ++s) {
    EXPECT_EQ(
        run("unzip -p " + path + " xl/worksheets/sheet" + std::to_string(s) + ".xml > sheet.xml"),
        0);
    const std::string xml = read_file("sheet.xml");
    for (std::size_t at = xml.find("<c r=\"E"); at != std::string::npos;
         at = xml.find("<c r=\"E", at + 1))
      if (xml.compare(xml.find('>', at) + 1, 3, "<v>") == 0) ++rows;
  }
  return rows;
}

TEST(ExportWorkbook, ASplitBlockKeepsEveryRow) {
  if (!can_read_workbooks()) GTEST_SKIP() << "no libxlsxwriter or no unzip";
  ScratchDir scratch;
  ReportContents r = read(mode1_report({{1, {2, 2, 2, 2}, 25}}));
  ASSERT_TRUE(write_workbook(r, "book.xlsx", nullptr, 10).ok());
  // The trajectory over two sheets, then the spots over four.
  EXPECT_EQ(spot_rows("book.xlsx", 3, 6), 25);
}

// What a sheet cannot hold is refused with its line and column, and the
// file under the name, if any, is left as it was, with no temporary beside.
TEST(ExportWorkbook, WhatASheetCannotHoldIsRefusedAndNothingIsWritten) {
  if (!workbooks_available()) GTEST_SKIP() << "built without libxlsxwriter";
  ScratchDir scratch;
  ReportContents wide;
  wide.mode = 2;
  wide.cells = {{"heading"}, std::vector<std::string>(kSheetColumns + 1, "x")};
  ReportContents long_cell;
  long_cell.mode = 2;
  long_cell.cells = {{"heading"}, {"1", std::string(kCellCharacters + 1, 'a')}};
  const struct {
    ReportContents report;
    std::string reason;
  } cases[] = {
      {read(mode1_report({{1, {1, 1, 1, 1}, 1}, {1, {1, 1, 1, 1}, 1}})), "wavelength twice"},
      {wide, "line 2 has 16385 cells"},
      {long_cell, "line 2, column 2 holds 32768 characters"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    write_file("book.xlsx", "old");
    const Status written = write_workbook(c.report, "book.xlsx");
    ASSERT_FALSE(written.ok());
    EXPECT_NE(written.reason().find(c.reason), std::string::npos) << written.reason();
    EXPECT_EQ(read_file("book.xlsx"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
  }
  // Through the command: a message and exit 1.
  write_file("OUT_M.xls", mode1_report({{1, {1, 1, 1, 1}, 1}, {1, {1, 1, 1, 1}, 1}}));
  EXPECT_EQ(run(std::string("\"") + LUMAVEIL_HOST + "\" export 2>err.txt >out.txt"), 1);
  EXPECT_NE(read_file("err.txt").find("wavelength twice"), std::string::npos);
  EXPECT_FALSE(fs::exists("OUT_M.xlsx"));
}

TEST(ExportWorkbook, ASymlinkUnderTheNameIsReplacedNotFollowed) {
  if (!workbooks_available()) GTEST_SKIP() << "built without libxlsxwriter";
  ScratchDir scratch;
  write_file("precious", "keep");
  fs::create_symlink("precious", "book.xlsx");
  ASSERT_TRUE(write_workbook(read(mode1_report({{1, {1, 1, 1, 1}, 1}})), "book.xlsx").ok());
  EXPECT_EQ(read_file("precious"), "keep");
  EXPECT_FALSE(fs::is_symlink("book.xlsx"));
  EXPECT_EQ(read_file("book.xlsx").substr(0, 2), "PK");
}

// Text that starts like a formula is shown as text; numbers stay numbers.
TEST(ExportCsv, FormulaLikeTextGetsAnApostrophe) {
  const std::pair<std::string, std::string> cases[] = {
      {"=1+2", "'=1+2"},
      {"+A1", "'+A1"},
      {"-A1", "'-A1"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"\tx", ",x"},  // a tab parts the cells of a report line: "" and "x"
      {"\r=x", "\"'\r=x\""},
      {"=a,b", "\"'=a,b\""},
      {"-1.5E-03", "-1.5E-03"},
      {"-0.000000", "-0.000000"},
      {"-INF", "-INF"},
      {"  -0.050189", "  -0.050189"},
      {"a=b", "a=b"},
  };
  for (const auto& [cell, field] : cases) {
    ReportContents r;
    r.cells = {{cell}};
    EXPECT_EQ(csv_text(r), "\xEF\xBB\xBF" + field + "\r\n") << cell;
  }
}

}  // namespace
}  // namespace lumaveil::cli::workbook
