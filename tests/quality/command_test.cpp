// `lumaveil quality` as a user meets it: arguments, exit statuses, the table
// and the files.
#include <sstream>

#include "cli/quality/command.h"
#include "quality_fixtures.h"

namespace lumaveil::quality {
namespace {

using lumaveil::testing::file_exists;
using lumaveil::testing::read_file;
using lumaveil::testing::ScratchDir;
using testing::write_ideal_lens;

struct CommandRun {
  int status;
  std::string out, err;
};

CommandRun run(std::vector<const char*> args) {
  QualityOptions options;
  std::ostringstream out, err;
  int status = parse_quality_options(static_cast<int>(args.size()), args.data(), options, out, err);
  if (status < 0) status = run_quality_command(options, out, err);
  return {status, out.str(), err.str()};
}

TEST(QualityCommand, PrintsTheTableAndWritesTheFiles) {
  ScratchDir dir;
  write_ideal_lens(50, 10, 0);
  const CommandRun r = run({"--stop", "1", "--field", "0,1"});
  EXPECT_EQ(r.status, 0) << r.err;
  // A perfect lens: no aberration, Strehl 1, the diffraction-limited MTF
  // (0.9207 at 50/mm with the cut-off 2·0.2/500 nm = 800/mm).
  EXPECT_NE(r.out.find("0 deg           500.0   3228     0   0.0000   0.0000   0.0000   0.0000  1.0000  1.0000  0.9207  0.9207"),
            std::string::npos) << r.out;
  for (const char* file : {"quality/index.html", "quality/quality.csv", "quality/wavefront-f1-w1.csv",
                           "quality/zernike-f2-w1.csv", "quality/psf-f1-w1.csv", "quality/mtf-f2-w1.csv",
                           "quality/energy-f1-w1.csv", "quality/wavefront-f2-w1.svg",
                           "quality/zernike-f1-w1.svg", "quality/psf-f1-w1.svg",
                           "quality/psf-sections-f1-w1.svg", "quality/mtf-f1-w1.svg",
                           "quality/energy-f2-w1.svg"})
    EXPECT_TRUE(file_exists(file)) << file;
  const std::string page = read_file("quality/index.html");
  EXPECT_NE(page.find("positive where the wavefront leads"), std::string::npos);
  EXPECT_NE(page.find("<img src=\"mtf-f2-w1.svg\""), std::string::npos);
  EXPECT_EQ(read_file("quality/mtf-f1-w1.csv").rfind("frequency_per_mm,tangential,sagittal,", 0), 0u);
}

struct Refusal {
  std::vector<const char*> args;
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
      {{"--stop", "1", "-C", "no-such-folder"}, 1, "cannot open"},
  };
  for (const Refusal& c : cases) {
    const CommandRun r = run(c.args);
    EXPECT_EQ(r.status, c.status) << c.message << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
  EXPECT_FALSE(file_exists("quality"));
}

TEST(QualityCommand, WarnsWhenThePupilIsUndersampled) {
  ScratchDir dir;
  // 20 waves of defocus: W rises by 2.5 waves per cell at the rim of a
  // 32-cell grid, by 0.31 on 256 cells.
  write_ideal_lens(50, 10, 0.5);
  const CommandRun r = run({"--stop", "1", "--grid", "32", "--no-files"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("the PSF and MTF need --grid 256 or more"), std::string::npos) << r.err;
  EXPECT_FALSE(file_exists("quality"));
}

}  // namespace
}  // namespace lumaveil::quality
