#include "cli/workbook/workbook.h"
#include "cli/analysis/spot_stats.h"
#include "cli/drawing/figure_text.h"
#include "cli/inputs/lens_view.h"
#include "cli/report_input/report_reader.h"
#include "cli/workbook/charts.h"
#include "cli/workbook/csv.h"
#include "cli/workbook/sheet_plan.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <regex>

#include "support/report_files.h"
#include "support/test_support.h"

namespace lumaveil::cli::workbook {
namespace {

namespace fs = std::filesystem;
using lumaveil::testing::read_file;
using lumaveil::testing::ScratchDir;
using lumaveil::testing::test_data_dir;
using lumaveil::testing::write_file;

int run(const std::string& command) {
  int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::string unescape(std::string s) {
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const auto& [from, to] : entities)
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + 1))
      s.replace(at, std::strlen(from), to);
  return s;
}

// A cell read back from the sheet XML: its text, or its number.
struct Cell {
  bool number = false;
  double value = 0;
  std::string text;
  int style = 0;
};

// Row and column from 0 out of a reference such as "AB12".
std::pair<int, int> position(const std::string& ref) {
  int col = 0;
  std::size_t k = 0;
  while (k < ref.size() && std::isalpha(static_cast<unsigned char>(ref[k])))
    col = col * 26 + (ref[k++] - 'A' + 1);
  return {std::stoi(ref.substr(k)) - 1, col - 1};
}

// The workbook unpacked with unzip: sheet name -> cells by (row, column).
struct Workbook {
  std::vector<std::string> names;
  std::vector<std::map<std::pair<int, int>, Cell>> sheets;
  std::vector<std::string> sheet_xml;
  std::string styles;
  int charts = 0;

  bool read(const std::string& path) {
    auto part = [&](const std::string& name) {
      std::string out = "part.xml";
      if (run("unzip -p \"" + path + "\" " + name + " > " + out + " 2>/dev/null") != 0)
        return std::string();
      return read_file(out);
    };
    std::string workbook = part("xl/workbook.xml");
    if (workbook.empty()) return false;
    std::regex sheet("<sheet name=\"([^\"]*)\"");
    for (auto it = std::sregex_iterator(workbook.begin(), workbook.end(), sheet);
         it != std::sregex_iterator(); ++it)
      names.push_back(unescape((*it)[1]));
    std::vector<std::string> strings;
    std::string shared = part("xl/sharedStrings.xml");
    std::regex si("<si><t[^>]*>([^<]*)</t></si>");
    for (auto it = std::sregex_iterator(shared.begin(), shared.end(), si);
         it != std::sregex_iterator(); ++it)
      strings.push_back(unescape((*it)[1]));
    std::regex cell(
        "<c r=\"([A-Z]+[0-9]+)\"( s=\"([0-9]+)\")?( t=\"([a-z]+)\")?><v>([^<]*)</v></c>");
    std::regex inline_string(
        "<c r=\"([A-Z]+[0-9]+)\"( s=\"([0-9]+)\")? "
        "t=\"inlineStr\"><is><t[^>]*>([^<]*)</t></is></c>");
    for (std::size_t s = 0; s < names.size(); ++s) {
      std::string xml = part("xl/worksheets/sheet" + std::to_string(s + 1) + ".xml");
      sheet_xml.push_back(xml);
      std::map<std::pair<int, int>, Cell> cells;
      for (auto it = std::sregex_iterator(xml.begin(), xml.end(), cell);
           it != std::sregex_iterator(); ++it) {
        Cell c;
        c.style = (*it)[3].matched ? std::stoi((*it)[3]) : 0;
        if ((*it)[5] == "s") {
          c.text = strings.at(std::stoul((*it)[6]));
        } else {
          c.number = true;
          c.value = std::stod((*it)[6]);
        }
        cells[position((*it)[1])] = c;
      }
      // Strings written in constant-memory mode stand in the cell itself.
      for (auto it = std::sregex_iterator(xml.begin(), xml.end(), inline_string);
           it != std::sregex_iterator(); ++it) {
        Cell c;
        c.style = (*it)[3].matched ? std::stoi((*it)[3]) : 0;
        c.text = unescape((*it)[4]);
        cells[position((*it)[1])] = c;
      }
      sheets.push_back(std::move(cells));
    }
    styles = part("xl/styles.xml");
    while (!part("xl/charts/chart" + std::to_string(charts + 1) + ".xml").empty()) ++charts;
    return true;
  }
};

// The cells a sheet holds beside the report's: a spot chart's statistics.
std::size_t statistics_cells(const SheetPlan& plan, const report_input::ReportContents& r) {
#ifdef LUMAVEIL_HAVE_XLSXWRITER
  return side_cells(plan, r, drawing::spot_frame(r)).size();
#else
  (void)plan;
  (void)r;
  return 0;
#endif
}

bool have_unzip() { return run("unzip -v >/dev/null 2>&1") == 0; }

using lumaveil::testing::every_report;

TEST(ExportPlan, SheetsCoverEveryLineThatHoldsACellOnce) {
  for (const auto& file : every_report()) {
    SCOPED_TRACE(file);
    report_input::ReportContents r = report_input::read_report_file(file).value();
    std::vector<SheetPlan> plans = plan_sheets(r).value();
    if (r.mode == 0) {
      EXPECT_TRUE(plans.empty());
      continue;
    }
    std::vector<int> covered(r.cells.size(), 0);
    for (const auto& plan : plans) {
      EXPECT_LE(plan.name.size(), 31u);
      for (int line = plan.first_line; line < plan.end_line; ++line)
        ++covered[static_cast<std::size_t>(line)];
    }
    for (std::size_t line = 0; line < r.cells.size(); ++line) {
      bool has_cell = false;
      for (const auto& cell : r.cells[line]) has_cell = has_cell || !cell.empty();
      if (has_cell) {
        EXPECT_EQ(covered[line], 1) << "line " << line + 1;
      }
      EXPECT_LE(covered[line], 1) << "line " << line + 1;
    }
    if (r.mode == 1) {
      EXPECT_EQ(plans.size(), 2 * r.trajectories.size());
    }
    if (r.mode == 4) {
      EXPECT_EQ(plans.size(), r.aberrations.size());
    }
  }
}

TEST(ExportFormats, EveryPrintedDigitIsShown) {
  EXPECT_EQ(number_format("2.970764E-01"), "0.000000E+00");
  EXPECT_EQ(number_format("0.0214087"), "0.0000000");
  EXPECT_EQ(number_format("  -0.050189"), "0.000000");
  EXPECT_EQ(number_format("12"), "0");
  EXPECT_EQ(number_format("1E-07"), "0E+00");
  EXPECT_EQ(number_format("NAN"), "");
  EXPECT_EQ(number_format("1/R(0)"), "");
}

// Parses CSV written with RFC 4180 quoting back into lines of cells.
std::vector<std::vector<std::string>> parse_csv(const std::string& text) {
  std::vector<std::vector<std::string>> lines(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t k = 0; k < text.size(); ++k) {
    char ch = text[k];
    if (quoted) {
      if (ch == '"' && k + 1 < text.size() && text[k + 1] == '"') {
        lines.back().back() += '"';
        ++k;
      } else if (ch == '"') {
        quoted = false;
      } else {
        lines.back().back() += ch;
      }
    } else if (ch == '"') {
      quoted = true;
    } else if (ch == ',') {
      lines.back().emplace_back();
    } else if (ch == '\r' && k + 1 < text.size() && text[k + 1] == '\n') {
      lines.emplace_back(1);
      ++k;
    } else {
      lines.back().back() += ch;
    }
  }
  lines.pop_back();  // after the last line end
  return lines;
}

TEST(ExportCsv, TheSameCellsInUtf8) {
  for (const auto& file : every_report()) {
    SCOPED_TRACE(file);
    report_input::ReportContents r = report_input::read_report_file(file).value();
    std::string csv = csv_text(r);
    ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(parse_csv(csv.substr(3)), r.cells);
  }
  report_input::ReportContents odd;
  odd.cells = {{"a,b", "say \"x\"", ""}, {"波長"}};
  EXPECT_EQ(csv_text(odd), "\xEF\xBB\xBF\"a,b\",\"say \"\"x\"\"\",\r\n波長\r\n");
}

TEST(ExportWorkbook, EveryCellOfEveryReportReadsBackFromTheSheets) {
  // CI sets LUMAVEIL_REQUIRE_WORKBOOK_TEST=1: then a missing tool is a failure.
  const bool required = lumaveil::testing::required("LUMAVEIL_REQUIRE_WORKBOOK_TEST");
  if (!workbooks_available()) {
    if (required)
      FAIL() << "built without libxlsxwriter (sh scripts/install-deps.sh host-tools installs it)";
    GTEST_SKIP() << "built without libxlsxwriter";
  }
  if (!have_unzip()) {
    if (required) FAIL() << "unzip is not installed: the workbook cannot be read back";
    GTEST_SKIP() << "unzip is not installed: the workbook cannot be read back";
  }
  ScratchDir scratch;
  int checked = 0;
  for (const auto& file : every_report()) {
    SCOPED_TRACE(file);
    report_input::ReportContents r = report_input::read_report_file(file).value();
    if (r.mode == 0) continue;
    const Status written = write_workbook(r, "book.xlsx");
    ASSERT_TRUE(written.ok()) << written.reason();
    Workbook book;
    ASSERT_TRUE(book.read("book.xlsx"));
    std::vector<SheetPlan> plans = plan_sheets(r).value();
    int expected_charts = 0;
    for (const auto& plan : plans) {
      auto at = std::find(book.names.begin(), book.names.end(), plan.name);
      ASSERT_NE(at, book.names.end()) << plan.name;
      const auto& sheet = book.sheets[static_cast<std::size_t>(at - book.names.begin())];
      const std::string& xml = book.sheet_xml[static_cast<std::size_t>(at - book.names.begin())];
      EXPECT_NE(xml.find("ySplit=\"2\""), std::string::npos) << "heading rows frozen";
      EXPECT_NE(xml.find("<cols>"), std::string::npos) << "column widths";
      std::size_t cells = 0;
      for (int line = plan.first_line; line < plan.end_line; ++line) {
        const auto& row = r.cells[static_cast<std::size_t>(line)];
        for (std::size_t c = 0; c < row.size(); ++c) {
          if (row[c].empty()) continue;
          ++cells;
          auto found = sheet.find({line - plan.first_line, static_cast<int>(c)});
          ASSERT_NE(found, sheet.end()) << "line " << line + 1 << " column " << c + 1;
          double value = 0;
          if (!number_format(row[c]).empty()) {
            ASSERT_TRUE(report_input::parse_number(row[c], value));
            EXPECT_TRUE(found->second.number) << row[c];
            EXPECT_EQ(found->second.value, value) << row[c];
            EXPECT_GT(found->second.style, 0) << "a number format that shows every digit";
          } else {
            EXPECT_FALSE(found->second.number) << row[c];
            EXPECT_EQ(found->second.text, row[c]);
          }
          ++checked;
        }
      }
      EXPECT_EQ(sheet.size(), cells + statistics_cells(plan, r))
          << "no cell beyond the report's and the chart's statistics in " << plan.name;
      EXPECT_NE(xml.find("fitToPage=\"1\""), std::string::npos) << "one page wide";
      bool rows = plan.chart == SheetPlan::Chart::Spots
                      ? !r.trajectories[static_cast<std::size_t>(plan.block)].spots.empty()
                  : plan.chart == SheetPlan::Chart::Merit
                      ? !r.optimisation.rows.empty()
                      : plan.chart == SheetPlan::Chart::Aberration;
      if (rows) ++expected_charts;
    }
    EXPECT_EQ(book.charts, expected_charts);
    if (r.mode == 4 || r.mode == 2) {
      EXPECT_NE(book.styles.find("0.000000E+00"), std::string::npos);
    }
    if (r.mode == 4) {
      // The fit sheet holds the polynomial of the printed coefficients.
      auto at = std::find(book.names.begin(), book.names.end(), "Fit1");
      ASSERT_NE(at, book.names.end());
      const auto& fit = book.sheets[static_cast<std::size_t>(at - book.names.begin())];
      const auto& c = r.aberrations[0].u_scan.fit;
      double t = fit.at({76, 4}).value;
      EXPECT_DOUBLE_EQ(t, 0.5);
      // The fit's first rows stand beside the scan's (rows are streamed).
      ASSERT_EQ(fit.count({1, 4}), 1u);
      EXPECT_DOUBLE_EQ(fit.at({1, 4}).value, -1);
      double p = c[0] + c[1] * t + c[2] * t * t + c[3] * t * t * t + c[4] * std::pow(t, 4) +
                 c[5] * std::pow(t, 5) + c[6] * std::pow(t, 6);
      if (std::isfinite(p)) {
        EXPECT_NEAR(fit.at({76, 5}).value, p, 1e-12 * (1 + std::fabs(p)));
      }
    }
  }
  EXPECT_GT(checked, 5000);
}

// The merit chart's pass axis: whole numbers from the first pass to the
// last, never ticks at 0.5, 1.5 ...
TEST(ExportWorkbook, MeritChartCountsPassesInWholeNumbers) {
  if (!workbooks_available()) GTEST_SKIP() << "built without libxlsxwriter";
  if (!have_unzip()) GTEST_SKIP() << "unzip is not installed: the workbook cannot be read back";
  ScratchDir scratch;
  report_input::ReportContents r =
      report_input::read_report_file(lumaveil::testing::test_data_dir() +
                                     "/examples/cooke_triplet/m6.xls")
          .value();
  ASSERT_FALSE(r.optimisation.rows.empty());
  ASSERT_TRUE(write_workbook(r, "book.xlsx").ok());
  ASSERT_EQ(run("unzip -p book.xlsx xl/charts/chart1.xml > chart.xml"), 0);
  const std::string chart = read_file("chart.xml");
  const std::string x_axis = chart.substr(0, chart.find("</c:valAx>"));
  EXPECT_NE(x_axis.find("<c:majorUnit val=\"1\"/>"), std::string::npos) << x_axis;
  EXPECT_NE(x_axis.find("<c:min val=\"" + std::to_string(r.optimisation.rows.front().n) + "\"/>"),
            std::string::npos);
  EXPECT_NE(x_axis.find("<c:max val=\"" + std::to_string(r.optimisation.rows.back().n) + "\"/>"),
            std::string::npos);
}

// The spot chart of the Cooke triplet: equal and centred axis ranges, a
// square chart, the wavelength in nm, its statistics beside it (the plot's
// numbers), and a page set-up that prints it whole on a landscape page.
TEST(ExportWorkbook, SpotChartAtEqualScaleWithItsStatisticsBesideIt) {
  if (!workbooks_available()) GTEST_SKIP() << "built without libxlsxwriter";
  if (!have_unzip()) GTEST_SKIP() << "unzip is not installed: the workbook cannot be read back";
  ScratchDir scratch;
  const std::string example = std::string(LUMAVEIL_EXAMPLES_DIR) + "/cooke_triplet";
  report_input::ReportContents r =
      report_input::read_report_file(test_data_dir() + "/examples/cooke_triplet/m1.xls").value();
  const auto inputs = inputs::read_inputs(example, false);
  ASSERT_TRUE(inputs->lens_file.read);
  const inputs::LensView lens = inputs::lens_view(*inputs);
  ASSERT_TRUE(write_workbook(r, "book.xlsx", &lens).ok());
  ASSERT_EQ(run("unzip -p book.xlsx xl/charts/chart1.xml > chart.xml"), 0);
  const std::string chart = read_file("chart.xml");
  std::regex bound("<c:(min|max) val=\"([-0-9.eE+]+)\"/>");
  std::vector<double> bounds;  // x min, x max, y min, y max as written
  for (auto it = std::sregex_iterator(chart.begin(), chart.end(), bound);
       it != std::sregex_iterator(); ++it)
    bounds.push_back(std::stod((*it)[2]));
  ASSERT_EQ(bounds.size(), 4u) << chart;
  const double x_span = std::fabs(bounds[1] - bounds[0]), y_span = std::fabs(bounds[3] - bounds[2]);
  EXPECT_GT(x_span, 0);
  EXPECT_NEAR(x_span, y_span, 1e-12 * x_span);
  // Centred on the spot: its centroid within a sixteenth of the range of the middle.
  const analysis::SpotStats st =
      analysis::spot_stats(analysis::spot_points(r.trajectories[0], false));
  EXPECT_LT(std::fabs((bounds[0] + bounds[1]) / 2 - st.cx), x_span / 16);
  EXPECT_LT(std::fabs((bounds[2] + bounds[3]) / 2 - st.cy), y_span / 16);
  EXPECT_NE(chart.find(drawing::wavelength_name(&lens, 1)), std::string::npos);
  EXPECT_EQ(chart.find("wavelength 1"), std::string::npos);
  EXPECT_EQ(chart.find("<c:legend>"), std::string::npos) << "no legend to take room";
  // The chart's extent on the sheet: whole columns of 64 and rows of 20
  // pixels from its top left corner, and the rest in EMU (9525 a pixel).
  ASSERT_EQ(run("unzip -p book.xlsx xl/drawings/drawing1.xml > drawing.xml"), 0);
  const std::string drawing = read_file("drawing.xml");
  std::smatch to;
  ASSERT_TRUE(std::regex_search(
      drawing, to,
      std::regex(
          "<xdr:to><xdr:col>([0-9]+)</xdr:col><xdr:colOff>([0-9]+)</xdr:colOff><xdr:row>([0-9]+)"
          "</xdr:row><xdr:rowOff>([0-9]+)</xdr:rowOff>")));
  const double width = (std::stod(to[1]) - 6) * 64 + std::stod(to[2]) / 9525;
  const double height = (std::stod(to[3]) - 1) * 20 + std::stod(to[4]) / 9525;
  // Taller than wide by the title and the x axis's labels: the plot area
  // inside it square (measured in LibreOffice's rendering: 371 x 369 px).
  EXPECT_NEAR(height / width, 610.0 / 480, 0.02);
  // The statistics beside the chart, in the plot's unit (µm here).
  Workbook book;
  ASSERT_TRUE(book.read("book.xlsx"));
  const auto& spots = book.sheets[1];
  EXPECT_EQ(spots.at({1, 14}).text, "statistics (µm)");
  EXPECT_EQ(spots.at({2, 14}).text, "RMS radius");
  EXPECT_NEAR(spots.at({2, 15}).value, st.rms * 1000, 1e-9 * st.rms * 1000);
  EXPECT_NEAR(spots.at({3, 15}).value, st.geometric * 1000, 1e-9 * st.geometric * 1000);
  EXPECT_EQ(spots.at({7, 15}).value, static_cast<double>(r.trajectories[0].spots.size()));
  EXPECT_NE(book.sheet_xml[1].find("orientation=\"landscape\""), std::string::npos);
  EXPECT_NE(book.sheet_xml[1].find("fitToHeight=\"0\""), std::string::npos);
  ASSERT_EQ(run("unzip -p book.xlsx xl/workbook.xml > workbook.xml"), 0);
  EXPECT_NE(read_file("workbook.xml").find("_xlnm.Print_Area"), std::string::npos);
}

TEST(ExportCommand, WritesTheFilesAndRefusesWhatIsNoReport) {
  ScratchDir scratch;
  std::string host = std::string("\"") + LUMAVEIL_HOST + "\"";
  fs::copy_file(test_data_dir() + "/examples/cooke_triplet/m4.xls", "OUT_M.xls");
  ASSERT_EQ(run(host + " export --csv >out.txt 2>err.txt"), 0) << read_file("err.txt");
  EXPECT_EQ(read_file("OUT_M.csv").substr(0, 3), "\xEF\xBB\xBF");
  ASSERT_EQ(run(host + " export -o other.csv --csv >out.txt 2>err.txt"), 0);
  EXPECT_EQ(read_file("other.csv"), read_file("OUT_M.csv"));
  int workbook = run(host + " export >out.txt 2>err.txt");
  if (workbooks_available()) {
    EXPECT_EQ(workbook, 0) << read_file("err.txt");
    EXPECT_EQ(read_file("OUT_M.xlsx").substr(0, 2), "PK");
  } else {
    EXPECT_EQ(workbook, 1);
    EXPECT_NE(read_file("err.txt").find("without libxlsxwriter"), std::string::npos);
  }
  fs::create_directories("bad");
  write_file("bad/OUT_M.xls", "hello\tworld\n");
  EXPECT_EQ(run(host + " export -C bad --csv >out.txt 2>err.txt"), 1);
  EXPECT_NE(read_file("err.txt").find("is not a Lumaveil report"), std::string::npos);
  EXPECT_FALSE(fs::exists("bad/OUT_M.csv"));
  EXPECT_EQ(run(host + " export --bogus >out.txt 2>err.txt"), 2);
  EXPECT_EQ(run(host + " export --help >out.txt 2>err.txt"), 0);
  // A workbook that cannot be created is an error, not a success.
  if (workbooks_available()) {
    EXPECT_EQ(run(host + " export -o no/such/dir/x.xlsx >out.txt 2>err.txt"), 1);
  }
}

}  // namespace
}  // namespace lumaveil::cli::workbook
