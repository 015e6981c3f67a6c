// Bulk rows: a workbook reads the same whether a sheet's rows went through
// libxlsxwriter cell by cell or were written as bulk rows and packed by
// the host, in its XML, in its styles and as LibreOffice shows it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/report_input/report_reader.h"
#include "cli/workbook/sheet_plan.h"
#include "cli/workbook/workbook.h"
#include "support/report_files.h"
#include "support/test_support.h"

namespace lumaveil::cli::workbook {
namespace {

// A missing tool skips the test, or fails it where CI sets
// LUMAVEIL_REQUIRE_WORKBOOK_TEST=1; the caller returns when either happened.
void skip_or_fail(const char* why) {
  if (lumaveil::testing::required("LUMAVEIL_REQUIRE_WORKBOOK_TEST")) {
    ADD_FAILURE() << why << " (sh scripts/install-deps.sh host-tools installs it)";
    return;
  }
  GTEST_SKIP() << why;
}

namespace fs = std::filesystem;
using lumaveil::testing::read_file;
using lumaveil::testing::ScratchDir;
using report_input::ReportContents;

int run(const std::string& command) {
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// A mode-1 report of one wavelength, its spot rows printed as the library
// prints them (padded, some in exponent form, a ray lost as NaN), and a few
// cells of text a damaged report might hold.
ReportContents spot_report(int spots) {
  // 波長1（中心光束の軌跡） and 波長1（スポットダイアグラム）
  std::string text =
      "\x94\x67\x92\xB7"
      "1\x81\x69\x92\x86\x90\x53\x8C\xF5\x91\xA9\x82\xCC\x8B\x4F\x90\xD5\x81\x6A\n";
  for (int t = 0; t < 4; ++t)
    text += "i\t1/R(i)\tZ(i)\tX(i)\tU(i)\tY(i)\tV(i)\n0\t0\t1\t2\t3\t4\t5\n";
  text +=
      "\n\x94\x67\x92\xB7"
      "1\x81\x69\x83\x58\x83\x7C\x83\x62\x83\x67\x83\x5F\x83\x43\x83\x41"
      "\x83\x4F\x83\x89\x83\x80\x81\x6A\t\t\t" +
      std::to_string(spots) + "\nNo\tU(i)\tV(i)\tX(i)\tY(i)\n";
  for (int n = 1; n <= spots; ++n) {
    std::ostringstream row;
    row << n << "\t " << (n % 7 == 0 ? "-0.000000" : std::to_string(-0.1 + n * 1e-4)) << "\t "
        << (n % 5 == 0 ? "1.250000E-03" : "0.020000") << "\t  " << (n == 13 ? "NAN" : "0.002728")
        << "\t " << (n == 17 ? "-INF" : "-0.000191") << "\n";
    text += row.str();
  }
  Result<ReportContents> r = report_input::read_report(text);
  EXPECT_TRUE(r.ok()) << r.reason();
  ReportContents report = r.value();
  const std::size_t last = static_cast<std::size_t>(report.trajectories[0].end_line) - 1;
  report.cells[last - 2][2] = "a&b<c>";
  report.cells[last - 1][1] = " blank ends ";
  report.cells[last][3] = std::string("bell\x07");
  return report;
}

// The parts of a workbook, by name, each number's text replaced by the
// value it denotes (libxlsxwriter prints 0.00272 where the report printed
// 0.002720). The time the workbook was made (docProps/core.xml) is left out.
std::vector<std::pair<std::string, std::string>> parts(const std::string& book) {
  fs::remove_all("parts");
  run("unzip -Z1 " + book + " > names.txt && unzip -q " + book + " -d parts");
  std::istringstream names(read_file("names.txt"));
  std::vector<std::pair<std::string, std::string>> out;
  const std::regex value("<v>([^<]*)</v>");
  for (std::string name; std::getline(names, name);) {
    if (name == "docProps/core.xml") continue;
    const std::string xml = read_file("parts/" + name);
    std::string normal;
    std::size_t done = 0;
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), value);
         it != std::sregex_iterator(); ++it) {
      normal.append(xml, done, static_cast<std::size_t>(it->position()) - done);
      char shown[40];
      std::snprintf(shown, sizeof shown, "<v>%.17g</v>",
                    std::strtod((*it)[1].str().c_str(), nullptr));
      normal += shown;
      done = static_cast<std::size_t>(it->position() + it->length());
    }
    EXPECT_FALSE(xml.empty()) << name;
    out.emplace_back(name, normal + xml.substr(done));
  }
  return out;
}

bool have(const char* tool) { return run(std::string(tool) + " --version >/dev/null 2>&1") == 0; }

// The parts of the workbook written cell by cell and with bulk rows.
void expect_same_workbooks(const ReportContents& r, int row_limit) {
  ASSERT_TRUE(write_workbook(r, "cells.xlsx", nullptr, row_limit, kSheetRows + 1).ok());
  const Status bulk = write_workbook(r, "bulk.xlsx", nullptr, row_limit, 1);
  ASSERT_TRUE(bulk.ok()) << bulk.reason();
  EXPECT_EQ(run("unzip -tq bulk.xlsx >/dev/null"), 0);
  const auto expected = parts("cells.xlsx"), actual = parts("bulk.xlsx");
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t k = 0; k < expected.size(); ++k) {
    EXPECT_EQ(actual[k].first, expected[k].first);
    EXPECT_EQ(actual[k].second, expected[k].second) << expected[k].first;
  }
}

// Every part of the workbook is the same, up to the spelling of numbers:
// for text, NaN and padded numbers in the spot rows, for sheets continued
// every 20 rows, and for the report of every mode; unzip accepts it.
TEST(ExportBulkRows, TheSameWorkbookAsCellByCell) {
  if (!workbooks_available()) skip_or_fail("built without libxlsxwriter");
  if (run("unzip -v >/dev/null 2>&1") != 0) skip_or_fail("unzip is not installed");
  if (::testing::Test::IsSkipped() || ::testing::Test::HasFailure()) return;
  ScratchDir scratch;
  for (int row_limit : {kSheetRows, 20}) {
    SCOPED_TRACE(row_limit);
    expect_same_workbooks(spot_report(60), row_limit);
  }
  for (const auto& file : lumaveil::testing::every_report()) {
    SCOPED_TRACE(file);
    const ReportContents r = report_input::read_report_file(file).value();
    if (r.mode != 0) expect_same_workbooks(r, kSheetRows);
  }
}

// LibreOffice shows the same cells, every sheet, as text (numbers in their
// formats: 0.002720, not 0.00272).
TEST(ExportBulkRows, LibreOfficeShowsTheSameCells) {
  if (!workbooks_available()) skip_or_fail("built without libxlsxwriter");
  if (!have("soffice")) skip_or_fail("LibreOffice (soffice) is not installed");
  if (::testing::Test::IsSkipped() || ::testing::Test::HasFailure()) return;
  ScratchDir scratch;
  const ReportContents r = spot_report(60);
  ASSERT_TRUE(write_workbook(r, "cells.xlsx", nullptr, kSheetRows, kSheetRows + 1).ok());
  ASSERT_TRUE(write_workbook(r, "bulk.xlsx", nullptr, kSheetRows, 1).ok());
  const std::string profile = "-env:UserInstallation=file://" + fs::current_path().string() + "/lo";
  // Comma separated, UTF-8, as shown, every sheet to a file of its own.
  const std::string convert =
      "soffice " + profile +
      " --headless --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,"
      "false,false,-1' ";
  ASSERT_EQ(run(convert + "--outdir cells cells.xlsx >/dev/null 2>&1"), 0);
  ASSERT_EQ(run(convert + "--outdir bulk bulk.xlsx >/dev/null 2>&1"), 0);
  int sheets = 0;
  for (const auto& entry : fs::directory_iterator("cells")) {
    const std::string name = entry.path().filename().string();
    ASSERT_EQ(name.rfind("cells-", 0), 0u) << name;
    const std::string shown = read_file("bulk/bulk-" + name.substr(6));
    EXPECT_EQ(shown, read_file(entry.path().string())) << name;
    if (name.find("Spots") != std::string::npos) {
      EXPECT_NE(shown.find(",0.020000,"), std::string::npos) << shown.substr(0, 400);
    }
    ++sheets;
  }
  EXPECT_EQ(sheets, 2);
}

}  // namespace
}  // namespace lumaveil::cli::workbook
