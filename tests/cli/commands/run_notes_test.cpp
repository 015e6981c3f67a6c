#include "cli/commands/run_notes.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace lumaveil::testing {
namespace {

TEST(RunNotes, CountsTheCellsThatAreNotFinite) {
  EXPECT_EQ(cli::commands::non_finite_count("1\t2.5\n"), 0);
  EXPECT_EQ(cli::commands::non_finite_count("1\t       nan\t-INF\nNAN\tinf\n"), 4);
  // Words are not numbers, also when they begin like one.
  EXPECT_EQ(cli::commands::non_finite_count("infinity focus\tnano\n"), 0);
  // A cell with both an n and an N counts once; the last cell needs no line end.
  EXPECT_EQ(cli::commands::non_finite_count("NaN\t1\n2\tInf"), 2);
  EXPECT_EQ(cli::commands::non_finite_count("\t\n-nan\t\tINFINITY\n\n"), 2);
  // Too large to read is not a value that is not finite.
  EXPECT_EQ(cli::commands::non_finite_count("1e999\t-1E+999\n"), 0);
}

// A report of several megabytes is counted in pieces: cells that are not
// finite before, across and after the seams of the pieces, none twice.
TEST(RunNotes, CountsAReportFileInPiecesAsInOne) {
  testing::ScratchDir dir;
  std::string report;
  long long expected = 0;
  const char* spellings[] = {"nan", "-INF", "inf", "NAN"};
  for (long long cell = 0; report.size() < 3'500'000; ++cell) {
    // A nan across the first seam, one megabyte in.
    const auto to_seam = (1u << 20) - report.size() % (1u << 20);
    if (to_seam > 2 && to_seam < 40) {
      report += std::string(to_seam - 2, '7') + "\tnan\t";
      ++expected;
      continue;
    }
    // Cells of 1 to 17 bytes, so that the other seams fall anywhere in them.
    const bool odd = cell % 9973 == 0;
    report += odd ? spellings[cell % 4] : std::string(1 + cell % 17, '7');
    report += cell % 5 == 4 ? '\n' : '\t';
    expected += odd;
  }
  report += "nan";  // the last cell, without a line end
  ++expected;
  testing::write_file("OUT_M.xls", report);
  EXPECT_EQ(cli::commands::non_finite_count(report), expected);
  EXPECT_EQ(cli::commands::non_finite_count_in_file("OUT_M.xls"), expected);
  EXPECT_EQ(cli::commands::non_finite_count_in_file("absent.xls"), 0);
}

// A cell longer than a piece (no tab or line end in a whole megabyte) waits
// for the pieces after it, however many: read whole, "1   ...   nan" is no
// number, while its end alone would read as a not-a-number.
TEST(RunNotes, CountsACellLongerThanAPiece) {
  testing::ScratchDir dir;
  const std::string report = "nan\t1" + std::string(2'500'000, ' ') + "nan\tinf\n" +
                             std::string(3'000'000, '7') + "\t-INF";
  testing::write_file("OUT_M.xls", report);
  EXPECT_EQ(cli::commands::non_finite_count(report), 3);
  EXPECT_EQ(cli::commands::non_finite_count_in_file("OUT_M.xls"), 3);
}

// Each kind of useless report gives its note on standard error, and the exit
// status stays that of the files (0: every file was read and written).
TEST(RunNotes, TheHostSaysWhenTheReportHoldsNothingUseful) {
  struct Case {
    const char* what;
    std::string lens;
    RaySetFile rays;
    const char* arguments;
    std::string note, summary;
  };
  RaySetFile no_step = good_rays;
  no_step.H = 0;  // the derivatives divide 0 by 0: the corrections are NaN
  LensFile missing = good_lens();
  missing.surfaces[1].C = 0.25;  // R = 4 < RH: the rim and grid rays miss it
  const Case cases[] = {
      {"empty lens", "", good_rays, "1",
       "lumaveil: note: IN_FM.txt gave no surfaces and no wavelengths (NUMB = 0, NW = 0): the "
       "report holds no results; `lumaveil check` shows why\n",
       "OUT_M.xls: mode 1, 0 wavelengths"},
      {"CR-only lens", "a\r\rb\r", good_rays, "4", "gave no surfaces and no wavelengths", ""},
      {"mode 7", good_lens().text(), good_rays, "7",
       "lumaveil: note: mode 7 reads the lens and writes nothing (the modes are 1 to 6)\n", ""},
      {"mode 0", good_lens().text(), good_rays, "0", "mode 0 reads the lens and writes nothing",
       ""},
      {"diverged optimisation", good_lens().text(), no_step, "2",
       "lumaveil: note: E is not finite from iteration 2 on: the optimisation diverged or its "
       "rays failed; `lumaveil check` shows why\n",
       "values not finite"},
      {"rays that miss", missing.text(), good_rays, "1",
       "the spot rows of wavelength 1 are not finite from row 1 on", "values not finite"},
      {"scans that miss", missing.text(), good_rays, "4",
       "the x scan at 587.6 nm is not finite from row 1 on", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    write_file("IN_FM.txt", c.lens);
    c.rays.write();
    const HostRun run = run_host(LUMAVEIL_HOST, c.arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find(c.note), std::string::npos) << run.err;
    EXPECT_NE(run.out.find(c.summary), std::string::npos) << run.out;
  }
}

TEST(RunNotes, AGoodRunHasNoNote) {
  ScratchDir dir;
  good_lens().write();
  good_rays.write();
  for (const char* mode : {"1", "2", "4"}) {
    const HostRun run = run_host(LUMAVEIL_HOST, mode);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "") << mode;
    EXPECT_EQ(run.out.find("not finite"), std::string::npos) << run.out;
  }
}

}  // namespace
}  // namespace lumaveil::testing
