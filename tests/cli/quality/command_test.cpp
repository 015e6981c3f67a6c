// `lumaveil quality` as a user meets it: the host program with its
// arguments, exit statuses, the table and the files.
#include <filesystem>
#include <string>
#include <vector>

#include "quality_fixtures.h"

namespace lumaveil::cli::quality {
namespace {

using lumaveil::testing::file_exists;
using lumaveil::testing::HostRun;
using lumaveil::testing::read_file;
using lumaveil::testing::run_host;
using lumaveil::testing::ScratchDir;
using testing::write_ideal_lens;

HostRun run(const std::vector<std::string>& args) {
  return run_host(LUMAVEIL_HOST, "quality", args);
}

TEST(QualityCommand, PrintsTheTableAndWritesTheFiles) {
  ScratchDir dir;
  write_ideal_lens(50, 10, 0);
  const HostRun r = run({"--stop", "1", "--field", "0,1"});
  EXPECT_EQ(r.status, 0) << r.err;
  // A perfect lens: no aberration, Strehl 1, the diffraction-limited MTF
  // (0.9207 at 50/mm with the cut-off 2·0.2/500 nm = 800/mm).
  EXPECT_NE(r.out.find("0 deg           500.0   3228     0   0.0000   0.0000   0.0000   0.0000  "
                       "1.0000  1.0000  0.9207  0.9207"),
            std::string::npos)
      << r.out;
  for (const char* file :
       {"quality/index.html", "quality/quality.csv", "quality/wavefront-f1-w1.csv",
        "quality/zernike-f2-w1.csv", "quality/psf-f1-w1.csv", "quality/mtf-f2-w1.csv",
        "quality/energy-f1-w1.csv", "quality/wavefront-f2-w1.svg", "quality/zernike-f1-w1.svg",
        "quality/psf-f1-w1.svg", "quality/psf-sections-f1-w1.svg", "quality/mtf-f1-w1.svg",
        "quality/energy-f2-w1.svg"})
    EXPECT_TRUE(file_exists(file)) << file;
  const std::string page = read_file("quality/index.html");
  EXPECT_NE(page.find("positive where the wavefront leads"), std::string::npos);
  EXPECT_NE(page.find("<img src=\"mtf-f2-w1.svg\""), std::string::npos);
  EXPECT_EQ(read_file("quality/mtf-f1-w1.csv").rfind("frequency_per_mm,tangential,sagittal,", 0),
            0u);
}

struct Refusal {
  std::vector<std::string> args;
  int status;
  const char* message;
};

TEST(QualityCommand, RefusesWhatDoesNotFitTheLens) {
  ScratchDir dir;
  write_ideal_lens(50, 10, 0);
  const Refusal cases[] = {
      {{"--field", "0"}, 2, "--stop K is required"},
      {{"--stop", "0"}, 2, "is no surface 1..2"},
      {{"--stop", "3"}, 2, "is no surface 1..2"},
      {{"--stop", "1", "--grid", "4"}, 2, "--grid needs"},
      {{"--stop", "1", "--wavelength", "2"}, 2, "the lens has 1"},
      {{"--stop", "1", "--unit", "mm"}, 2, "fields are angles"},
      {{"--stop", "1", "--field", "1,x"}, 2, "--field needs numbers"},
      {{"--stop", "1", "--grid", "2000"}, 2, "--grid needs"},
      {{"--stop", "1", "--frequency", "-1"}, 2, "--frequency needs"},
      {{"--stop", "1", "--wavelength", "0"}, 2, "--wavelength needs a number from 1"},
      {{"--stop", "1", "--bogus"}, 2, "lumaveil quality: unknown option --bogus"},
      {{"--stop", "1", "-C", "no-such-folder"}, 1, "cannot enter no-such-folder"},
  };
  for (const Refusal& c : cases) {
    const HostRun r = run(c.args);
    EXPECT_EQ(r.status, c.status) << c.message << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
  EXPECT_FALSE(file_exists("quality"));
}

// -C DIR before or after the command; the help from the command table; a
// missing lens file named as the user knows it.
TEST(QualityCommand, TakesTheGlobalOptionsAndHelpOfTheHost) {
  ScratchDir dir;
  std::filesystem::create_directory("lens");
  std::filesystem::current_path("lens");
  write_ideal_lens(50, 10, 0);
  std::filesystem::current_path("..");
  for (const char* words : {"-C lens quality --stop 1 --grid 16 -o out",
                            "quality --grid 16 --stop 1 -o out -C lens --quiet"}) {
    const HostRun r = run_host(LUMAVEIL_HOST, words);
    EXPECT_EQ(r.status, 0) << words << "\n" << r.err;
    EXPECT_NE(r.out.find("\nlens/out: 13 files, index.html shows them\n"), std::string::npos)
        << r.out;
  }
  EXPECT_TRUE(file_exists("lens/out/index.html"));
  const HostRun help = run_host(LUMAVEIL_HOST, "help quality");
  EXPECT_EQ(help.out, run_host(LUMAVEIL_HOST, "quality --help").out);
  for (const char* part : {"usage: lumaveil [-C DIR] [--quiet] quality [--stop K]", "--grid N",
                           "--frequency NU", "--no-files"})
    EXPECT_NE(help.out.find(part), std::string::npos) << part;
  const HostRun missing = run_host(LUMAVEIL_HOST, "quality --stop 1");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot read IN_FM.txt: No such file or directory"), std::string::npos)
      << missing.err;
}

TEST(QualityCommand, WarnsWhenThePupilIsUndersampled) {
  ScratchDir dir;
  // 20 waves of defocus: W rises by 2.5 waves per cell at the rim of a
  // 32-cell grid, by 0.31 on 256 cells.
  write_ideal_lens(50, 10, 0.5);
  const HostRun r = run({"--stop", "1", "--grid", "32", "--no-files"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("the PSF and MTF need --grid 256 or more"), std::string::npos) << r.err;
  EXPECT_FALSE(file_exists("quality"));
}

}  // namespace
}  // namespace lumaveil::cli::quality
