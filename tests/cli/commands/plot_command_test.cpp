#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "cli/report_input/report_blocks.h"
#include "support/test_support.h"
#include "support/xml_check.h"

namespace lumaveil::cli::commands {
namespace {

namespace fs = std::filesystem;
using lumaveil::testing::file_exists;
using lumaveil::testing::read_file;
using lumaveil::testing::ScratchDir;
using lumaveil::testing::test_data_dir;
using lumaveil::testing::write_file;
using lumaveil::testing::xml_problem;

// ---- The command, through the host ---------------------------------------

using lumaveil::testing::HostRun;

HostRun host(const std::string& arguments) {
  return lumaveil::testing::run_host(LUMAVEIL_HOST, arguments);
}

void copy_example(const std::string& name, const std::string& to) {
  fs::create_directories(to);
  for (const char* f : {"IN_FM.txt", "IN_FM2.txt"})
    fs::copy_file(fs::path(LUMAVEIL_EXAMPLES_DIR) / name / f, fs::path(to) / f);
}

TEST(PlotCommand, EveryModeOfAnExampleWritesItsPlotsAndThePage) {
  ScratchDir scratch;
  for (int mode = 1; mode <= 6; ++mode) {
    SCOPED_TRACE(mode);
    std::string dir = "m";
    dir += std::to_string(mode);
    copy_example("achromatic_doublet", dir);
    ASSERT_EQ(host("-C " + dir + " " + std::to_string(mode)).status, 0);
    HostRun run = host("plot -C " + dir);
    ASSERT_EQ(run.status, 0) << run.err;
    std::string page = read_file(dir + "/plots/index.html");
    EXPECT_NE(page.find(report_input::mode_title(mode)), std::string::npos);
    EXPECT_NE(page.find("achromat"), std::string::npos) << "the lens title";
    std::regex image("src=\"([^\"]+)\"");
    int images = 0;
    for (auto it = std::sregex_iterator(page.begin(), page.end(), image);
         it != std::sregex_iterator(); ++it) {
      std::string svg = read_file(dir + "/plots/" + (*it)[1].str());
      EXPECT_EQ(xml_problem(svg), "") << (*it)[1];
      ++images;
    }
    EXPECT_GT(images, 0);
    // The page needs nothing from the network and no script.
    EXPECT_EQ(page.find("http"), std::string::npos);
    EXPECT_EQ(page.find("<script"), std::string::npos);
  }
  // -o: a folder of one's choice, taken inside DIR when relative.
  ASSERT_EQ(host("plot -C m2 -o pictures --residuals").status, 0);
  EXPECT_TRUE(file_exists("m2/pictures/residuals.svg"));
  EXPECT_FALSE(file_exists("m2/plots/residuals.svg"));
}

// A singlet of curvature 1/64 written plainly, with NUMB = `numb`.
std::string singlet_text(int numb) {
  lumaveil::testing::LensFile lens{.steps = 2,
                                   .RH = 5,
                                   .surfaces = {{.D = 10, .n = {1}},
                                                {.C = 0.015625, .D = 4, .n = {1.5168}},
                                                {.D = 97, .n = {1}},
                                                {.n = {1}},
                                                {.n = {1}}},
                                   .numb = numb};
  return lens.text();
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// A plot draws the lens the library computes: a cell the library reads by
// its own rules draws as the plainly written value the library takes it for.
TEST(PlotCommand, DrawsTheLensTheLibraryComputes) {
  ScratchDir scratch;
  struct Case {
    std::string plain, odd;
  };
  const Case cases[] = {
      {singlet_text(4), replaced(singlet_text(4), "\t0.015625\t", "\t0x1p-6\t")},
      {singlet_text(100), replaced(singlet_text(100), "\nNUMB\t100\n", "\nNUMB\t3000000000\n")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.odd.substr(0, 300));
    fs::remove_all("plain");
    fs::remove_all("odd");
    fs::create_directories("plain");
    fs::create_directories("odd");
    write_file("plain/IN_FM.txt", c.plain);
    write_file("odd/IN_FM.txt", c.odd);
    ASSERT_EQ(host("-C plain 1").status, 0);
    fs::copy_file("plain/OUT_M.xls", "odd/OUT_M.xls");
    ASSERT_EQ(host("plot -C plain").status, 0);
    ASSERT_EQ(host("plot -C odd").status, 0);
    EXPECT_TRUE(read_file("odd/plots/layout.svg") == read_file("plain/plots/layout.svg"))
        << "the layout of the lens differs from the one written plainly";
  }
}

TEST(PlotCommand, RefusesWhatItCannotDrawWithAMessageAndStatusOne) {
  ScratchDir scratch;
  write_file("OUT_M.xls", "surface\ttype\n0\t1\n");
  HostRun not_report = host("plot");
  EXPECT_EQ(not_report.status, 1);
  EXPECT_NE(not_report.err.find("is not a Lumaveil report"), std::string::npos) << not_report.err;
  EXPECT_FALSE(file_exists("plots/index.html"));

  fs::create_directories("empty");
  HostRun missing = host("plot -C empty");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot open"), std::string::npos) << missing.err;

  // A report of a failed run holds nothing to draw.
  fs::create_directories("failed");
  ASSERT_EQ(host("-C failed 1").status, 1);
  HostRun failed = host("plot -C failed");
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("error: cannot open IN_FM.txt"), std::string::npos) << failed.err;

  EXPECT_EQ(host("plot --bogus").status, 2);
  EXPECT_EQ(host("plot -o").status, 2);
  EXPECT_EQ(host("plot --help").status, 0);
}

TEST(PlotCommand, AFifoUnderTheReportsNameIsRefusedAtOnceNotWaitedOn) {
  ScratchDir scratch;
  ASSERT_EQ(mkfifo("OUT_M.xls", 0600), 0);
  HostRun run = host("plot");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("not a regular file"), std::string::npos) << run.err;
}

TEST(PlotCommand, WithoutTheLensFileThePlotsStillComeAndThePageSaysWhy) {
  ScratchDir scratch;
  fs::copy_file(test_data_dir() + "/examples/cooke_triplet/m1.xls", "OUT_M.xls");
  ASSERT_EQ(host("plot").status, 0);
  std::string page = read_file("plots/index.html");
  EXPECT_NE(page.find("IN_FM.txt not found"), std::string::npos);
  EXPECT_NE(read_file("plots/spot-wavelength-2.svg").find("wavelength 2"), std::string::npos);
}

// plot and export say exactly why a file could not be read or written.
TEST(PlotAndExport, SayWhyAFileCannotBeReadOrWritten) {
  ScratchDir scratch;
  struct Case {
    const char* setup;  // what stands where
    const char* arguments;
    int status;
    const char* says;  // on standard error
  };
  const Case cases[] = {
      {"report is a folder", "plot", 1, "lumaveil plot: cannot open OUT_M.xls (Is a directory)"},
      {"report is a folder", "-C . export --csv", 1,
       "lumaveil export: cannot open ./OUT_M.xls (Is a directory)"},
      {"report", "export --csv -o none/out.csv", 1,
       "cannot write none/out.csv: No such file or directory"},
      {"report", "plot -o OUT_M.xls/plots", 1, "lumaveil plot: cannot create OUT_M.xls/plots"},
      {"report", "plot -o OUT_M.xls", 2,
       "lumaveil plot: -o OUT_M.xls would overwrite the report OUT_M.xls"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    fs::remove_all("OUT_M.xls");
    if (std::string(c.setup) == "report is a folder")
      fs::create_directories("OUT_M.xls");
    else
      fs::copy_file(test_data_dir() + "/examples/cooke_triplet/m1.xls", "OUT_M.xls");
    const HostRun run = host(c.arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  // A folder in the lens file's place: the page names the reason.
  fs::create_directories("IN_FM.txt");
  ASSERT_EQ(host("plot").status, 0);
  EXPECT_NE(read_file("plots/index.html").find("IN_FM.txt cannot be read (Is a directory)"),
            std::string::npos);
}

}  // namespace
}  // namespace lumaveil::cli::commands
