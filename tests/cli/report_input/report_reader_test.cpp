#include "cli/report_input/report_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "cli/report_input/text.h"
#include "support/report_files.h"
#include "support/test_support.h"

namespace lumaveil::cli::report_input {
namespace {

using lumaveil::testing::read_file;
using lumaveil::testing::test_data_dir;

// One value as the library prints it: the C conversions, and a not-a-number
// spelled without a sign.
std::string field(const char* format, double v) {
  if (std::isnan(v)) {
    bool upper = std::strchr(format, 'E') != nullptr || std::strchr(format, 'G') != nullptr;
    return upper ? "NAN" : "nan";
  }
  if (std::isinf(v)) {
    bool upper = std::strchr(format, 'E') != nullptr || std::strchr(format, 'G') != nullptr;
    return std::string(v < 0 ? "-" : "") + (upper ? "INF" : "inf");
  }
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, format, v);
  return buffer;
}

// The report text again, printed from the typed blocks with the library's
// formats. Equal to the file only if every number was read from its own field.
std::string reprint(const ReportContents& r) {
  std::string out;
  if (r.mode == 0) return r.error + "\n";
  if (r.mode == 1) {
    for (const auto& b : r.trajectories) {
      out += "波長" + std::to_string(b.wavelength) + "（中心光束の軌跡）\n";
      for (const auto& table : b.tables) {
        out += "i\t1/R(i)\tZ(i)\tX(i)\tU(i)\tY(i)\tV(i)\n";
        for (const auto& row : table)
          out += std::to_string(row.i) + "\t" + field("%f", row.c) + "\t" + field("%f", row.z) +
                 "\t" + field("%f", row.x) + "\t" + field("%f", row.u) + "\t" + field("%f", row.y) +
                 "\t" + field("%f", row.v) + "\n";
      }
      out += "\n波長" + std::to_string(b.wavelength) + "（スポットダイアグラム）\t\t\t" +
             std::to_string(b.spot_count) + "\nNo\tU(i)\tV(i)\tX(i)\tY(i)\n";
      for (const auto& s : b.spots)
        out += std::to_string(s.n) + "\t" + field("%10.6f", s.u) + "\t" + field("%10.6f", s.v) +
               "\t" + field("%10.6f", s.x) + "\t" + field("%10.6f", s.y) + "\n";
      out += "\n\n\n";
    }
    return out;
  }
  if (r.mode == 4) {
    for (const auto& b : r.aberrations) {
      out += "波長" + field("%E", b.wavelength_nm) + "(nm)\n";
      for (int section = 0; section < 2; ++section) {
        const Scan& scan = section == 0 ? b.u_scan : b.v_scan;
        out +=
            section == 0 ? "U[0]\tX[NUMB-1]\tU[NUMB-1]\tAB\n" : "V[0]\tY[NUMB-1]\tV[NUMB-1]\tAB\n";
        for (const auto& row : scan.rows)
          out += field("%E", row.start) + "\t" + field("%E", row.height) + "\t" +
                 field("%E", row.angle) + "\t" + field("%E", row.ab) + "\n";
        for (int p = 0; p < 7; ++p)
          out += std::to_string(p) + "次\t" + field("%E", scan.fit[p]) + "\n";
        out += "\n\n";
      }
    }
    return out;
  }
  const Optimisation& o = r.optimisation;
  out += r.heading + "\nNo\t";
  for (const auto& d : o.distance_names) out += d + "\t";
  out += "E\tXa\tXs\tYa\tYs\t";
  for (const auto& v : o.variable_names) out += v + "\t";
  out += "\n";
  if (!o.error.empty()) out += o.error + "\n";
  const char* variable_format = r.mode == 3 ? "%E" : "%G";
  for (const auto& row : o.rows) {
    out += std::to_string(row.n) + "\t";
    for (double d : row.distances) out += field("%E", d) + "\t";
    for (double v : {row.e, row.xa, row.xs, row.ya, row.ys}) out += field("%E", v) + "\t";
    for (double v : row.variables) out += field(variable_format, v) + "\t";
    out += "\n";
  }
  return out;
}

// The file as UTF-8 text with LF line ends.
std::string as_utf8(const std::string& bytes) {
  std::string text = decode_cp932(bytes);
  std::string out;
  for (std::size_t k = 0; k < text.size(); ++k)
    if (!(text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n')) out += text[k];
  return out;
}

using lumaveil::testing::every_report;

TEST(ReportReader, EveryReferenceAndExampleReportReadsBackToItsOwnText) {
  std::vector<std::string> files = every_report();
  ASSERT_GE(files.size(), 40u);
  int modes_seen[7] = {0, 0, 0, 0, 0, 0, 0};
  for (const auto& file : files) {
    SCOPED_TRACE(file);
    std::string bytes = read_file(file);
    ReportContents r = read_report(bytes, file).value();
    ASSERT_GE(r.mode, 0);
    ASSERT_LE(r.mode, 6);
    ++modes_seen[r.mode];
    EXPECT_EQ(reprint(r), as_utf8(bytes));
    EXPECT_EQ(r.cells.size(), lumaveil::testing::split_lines(as_utf8(bytes)).size());
  }
  for (int mode = 0; mode <= 6; ++mode) EXPECT_GT(modes_seen[mode], 0) << "mode " << mode;
}

TEST(ReportReader, ModeIsRecognisedFromTheLayoutAndBlocksHoldTheirFields) {
  ReportContents m1 =
      read_report_file(test_data_dir() + "/reference/m1_singlet_ns1/expected.xls").value();
  EXPECT_EQ(m1.mode, 1);
  ASSERT_EQ(m1.trajectories.size(), 1u);
  const auto& b = m1.trajectories[0];
  ASSERT_EQ(b.tables[1].size(), 4u);
  EXPECT_EQ(b.tables[1][1].i, 1);
  EXPECT_EQ(b.tables[1][1].c, 0.02);
  EXPECT_EQ(b.tables[1][1].z, 10.250628);
  EXPECT_EQ(b.tables[1][1].u, 0.033451);
  EXPECT_EQ(b.spot_count, 5);
  ASSERT_EQ(b.spots.size(), 5u);
  EXPECT_EQ(b.spots[0].u, -0.050189);
  EXPECT_EQ(b.spots[0].x, 0.014576);
  EXPECT_EQ(b.spots[4].n, 5);
  EXPECT_EQ(m1.heading, "波長1（中心光束の軌跡）");

  ReportContents m4 =
      read_report_file(test_data_dir() + "/reference/m4_kind2_m4/expected.xls").value();
  EXPECT_EQ(m4.mode, 4);
  ASSERT_FALSE(m4.aberrations.empty());
  EXPECT_EQ(m4.aberrations[0].wavelength_nm, 587.6);
  ASSERT_EQ(m4.aberrations[0].u_scan.rows.size(), 9u);
  EXPECT_EQ(m4.aberrations[0].u_scan.rows[0].ab, 1.023564E+02);
  EXPECT_EQ(m4.aberrations[0].u_scan.fit[2], 1.021610E+02);
  EXPECT_EQ(m4.aberrations[0].v_scan.rows[8].height, -1.403328E+01);
  EXPECT_DOUBLE_EQ(m4.aberrations[0].u_scan.t(0), -1);
  EXPECT_DOUBLE_EQ(m4.aberrations[0].u_scan.t(6), 0.5);

  ReportContents m5 =
      read_report_file(test_data_dir() + "/reference/m5_singlet/expected.xls").value();
  EXPECT_EQ(m5.mode, 5);
  ASSERT_EQ(m5.optimisation.rows.size(), 4u);
  EXPECT_EQ(m5.optimisation.distance_names, std::vector<std::string>{"D1"});
  EXPECT_EQ(m5.optimisation.variable_names, std::vector<std::string>{"1/R(0)"});
  EXPECT_EQ(m5.optimisation.rows[0].n, 0);
  EXPECT_EQ(m5.optimisation.rows[0].distances[0], 1.193692E+02);
  EXPECT_EQ(m5.optimisation.rows[3].e, 2.287811E-01);
  EXPECT_EQ(m5.optimisation.rows[3].variables[0], 0.0485548);

  EXPECT_EQ(read_report_file(test_data_dir() + "/reference/m3_singlet_image_distance/expected.xls")
                .value()
                .mode,
            3);
  ReportContents error =
      read_report_file(test_data_dir() + "/reference/missing_in_fm_mode1/expected.xls").value();
  EXPECT_EQ(error.mode, 0);
  EXPECT_EQ(error.error, "error: cannot open IN_FM.txt");
}

// The first line of a report file, as its bytes.
std::string first_line(const std::string& file) {
  std::string bytes = read_file(test_data_dir() + file);
  return bytes.substr(0, bytes.find('\n'));
}

TEST(ReportReader, WindowsLineEndsAndNonFiniteFieldsRead) {
  std::string text = first_line("/reference/m2_singlet_focus/expected.xls") +
                     "\r\n"
                     "No\tE\tXa\tXs\tYa\tYs\t1/R(0)\t1/R(1)\t\r\n"
                     "1\tNAN\t-INF\tINF\t1.000000E+00\t2.000000E+00\t0.02\t-NAN\t\r\n";
  ReportContents r = read_report(text).value();
  EXPECT_EQ(r.mode, 2);
  ASSERT_EQ(r.optimisation.rows.size(), 1u);
  EXPECT_TRUE(std::isnan(r.optimisation.rows[0].e));
  EXPECT_EQ(r.optimisation.rows[0].xa, -INFINITY);
  EXPECT_EQ(r.optimisation.rows[0].xs, INFINITY);
  EXPECT_EQ(r.optimisation.rows[0].ys, 2.0);
  ASSERT_EQ(r.optimisation.rows[0].variables.size(), 2u);
  EXPECT_TRUE(std::isnan(r.optimisation.rows[0].variables[1]));
}

TEST(ReportReader, ModeSixWithAnErrorLineHasNoRows) {
  std::string rest =
      "No\tD1\tD2\tE\tXa\tXs\tYa\tYs\t1/R(0)\t\n"
      "error: ND[1] = ND[2] = 2: the two searched distances must differ\n";
  // The heading in UTF-8 is not what the library writes ...
  EXPECT_FALSE(
      read_report("N次元Gauss-Newton法によるレンズ曲率(1/R)+2軸間距離最適化計算結果\n" + rest)
          .ok());
  // ... the same words in code page 932 are.
  std::string heading = first_line("/examples/cooke_triplet/m6.xls");
  ReportContents r = read_report(heading + "\n" + rest).value();
  EXPECT_EQ(r.mode, 6);
  EXPECT_EQ(r.heading, "N次元Gauss-Newton法によるレンズ曲率(1/R)+2軸間距離最適化計算結果");
  EXPECT_TRUE(r.optimisation.rows.empty());
  EXPECT_EQ(r.optimisation.distance_names, (std::vector<std::string>{"D1", "D2"}));
  EXPECT_EQ(r.optimisation.error,
            "error: ND[1] = ND[2] = 2: the two searched distances must differ");
}

// The message of the rejection, or "" when the text was accepted.
std::string rejection(const std::string& text) {
  const Result<ReportContents> r = read_report(text);
  return r.ok() ? "" : r.reason();
}

TEST(ReportReader, RejectsTextThatIsNoReportOrIsCutShort) {
  EXPECT_NE(rejection("surface\ttype\n0\t1\n").find("is not a Lumaveil report"), std::string::npos);
  EXPECT_NE(rejection("").find("is empty"), std::string::npos);
  EXPECT_NE(
      rejection(std::string("\x89\x50\x4E\x47\r\n\x1A\n\0\0", 10)).find("not a Lumaveil report"),
      std::string::npos);

  std::string m1 = read_file(test_data_dir() + "/reference/m1_singlet_ns1/expected.xls");
  EXPECT_EQ(rejection(m1), "");
  // The last spot row lost: the heading's count no longer matches.
  std::string cut = m1.substr(0, m1.rfind("5\t"));
  EXPECT_NE(rejection(cut).find("counts 5 points but 4 rows follow"), std::string::npos);
  // A number spoilt inside a trace table names its line (from 1) and column.
  std::string spoilt = m1;
  spoilt.replace(spoilt.find("10.250628"), 9, "10.25x628");
  EXPECT_NE(rejection(spoilt).find("line 9: column 3 '10.25x628' is not a number"),
            std::string::npos)
      << rejection(spoilt);

  std::string m4 = read_file(test_data_dir() + "/reference/m4_kind2_m4/expected.xls");
  EXPECT_EQ(rejection(m4), "");
  std::string no_fit = m4.substr(0, m4.find("3\x8E\x9F"));
  EXPECT_NE(rejection(no_fit).find("fit coefficient of order 3"), std::string::npos);

  std::string m2 = read_file(test_data_dir() + "/reference/m2_singlet_focus/expected.xls");
  std::string short_row = m2;
  // "\t0.02\t" becomes "\t": the field and its tab go.
  short_row.erase(short_row.find("\t0.02\t") + 1, 5);
  EXPECT_NE(rejection(short_row).find("a row has 6 fields, the column line 7"), std::string::npos)
      << rejection(short_row);
}

TEST(ReportReader, RefusesAReportThatNeedsMoreMemoryThanItsLimitAndSaysSo) {
  const std::string file = test_data_dir() + "/reference/m1_singlet_ns1/expected.xls";
  const std::string text = read_file(file);
  ReadOptions small;
  small.memory_limit = text.size();
  const std::string reason = read_report(text, "OUT_M.xls", small).reason();
  EXPECT_EQ(reason, "OUT_M.xls (" + std::to_string(text.size()) +
                        " bytes) is too large to read: lumaveil keeps at most " +
                        std::to_string(small.memory_limit) + " bytes of a report in memory");
  EXPECT_FALSE(read_report_file(file, "OUT_M.xls", small).ok());
  // Without the lines' text the typed blocks fit: the same limit passes.
  small.keep_lines = false;
  const ReportContents blocks = read_report_file(file, "OUT_M.xls", small).value();
  EXPECT_TRUE(blocks.cells.empty());
  EXPECT_EQ(blocks.trajectories.at(0).spots.size(), 5u);
  // A spot heading that announces two billion points gets no room reserved
  // before its rows come: the count is checked, nothing runs out of memory.
  std::string crafted = text;
  crafted.replace(crafted.find("\t\t\t5"), 4, "\t\t\t2147483647");
  EXPECT_NE(read_report(crafted).reason().find("counts 2147483647 points but 5 rows follow"),
            std::string::npos);
  // A line longer than the limit is refused before it is read whole.
  small.memory_limit = 4096;
  const auto long_line = std::filesystem::temp_directory_path() / "lumaveil-long-line.xls";
  { std::ofstream(long_line) << std::string(1 << 20, 'x'); }
  EXPECT_NE(read_report_file(long_line.string(), "OUT_M.xls", small)
                .reason()
                .find("OUT_M.xls (1 MiB) is too large to read"),
            std::string::npos);
  std::filesystem::remove(long_line);
}

TEST(ReportReader, NumbersReadOnlyWhenTheWholeCellIsOne) {
  double v = 0;
  EXPECT_TRUE(parse_number("  -0.050189", v));
  EXPECT_EQ(v, -0.050189);
  EXPECT_TRUE(parse_number("1.023564E+02", v));
  EXPECT_EQ(v, 102.3564);
  EXPECT_TRUE(parse_number("-0.000000", v));
  EXPECT_TRUE(std::signbit(v));
  EXPECT_FALSE(parse_number("12 mm", v));
  EXPECT_FALSE(parse_number("", v));
  EXPECT_FALSE(parse_number("   ", v));
  EXPECT_FALSE(parse_number("0次", v));
}

}  // namespace
}  // namespace lumaveil::cli::report_input
