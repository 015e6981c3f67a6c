#include "cli/commands/check.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "check_support.h"
#include "support/test_support.h"

namespace lumaveil::testing {
namespace {

TEST(Check, ExamplesHaveNoFindings) {
  for (const auto& entry : std::filesystem::directory_iterator(LUMAVEIL_EXAMPLES_DIR)) {
    ScratchDir dir;
    for (const char* name : {"IN_FM.txt", "IN_FM2.txt"})
      if (std::filesystem::exists(entry.path() / name))
        std::filesystem::copy_file(entry.path() / name, name);
    const CheckResult r = check();
    EXPECT_EQ(r.status, 0) << entry.path() << "\n" << r.text;
    EXPECT_NE(r.text.find("Findings: 0\n"), std::string::npos);
    // Every example has first-order data: a focal length, or, for the wedge
    // prism, the statement that it has no power.
    EXPECT_TRUE(r.text.find("effective focal length") != std::string::npos ||
                r.text.find("afocal: no power") != std::string::npos)
        << entry.path() << "\n"
        << r.text;
    EXPECT_NE(r.text.find("all reach the image plane"), std::string::npos);
  }
}

TEST(Check, PrintsTheLensAsTheLibraryReadsIt) {
  ScratchDir dir;
  good_lens().write();
  good_rays.write();
  const CheckResult r = check();
  EXPECT_EQ(r.status, 0) << r.text;
  for (const char* expected :
       {"aperture: kind 1", "NS = 3, RH = 5", "NUMB = 4, NW = 1, ND1 = 2, ND2 = 1",
        "wavelength 1: 587.6 nm, weight 1", "V (variable 0)", "variables: 1, 0 = surface 1",
        "NIT = 5, H = 1e-05, NRAY = 3", "R = 1/C", "52.63157895", "1.5168"})
    EXPECT_NE(r.text.find(expected), std::string::npos) << expected << "\n" << r.text;
}

// The central ray is the lens file's (cells C7..C10), also when a ray set
// whose ray 0 starts elsewhere is present: it is shown and traced as written.
TEST(Check, ShowsAndTracesTheLensFilesCentralRayBesideARaySet) {
  {
    ScratchDir dir;
    for (const char* name : {"IN_FM.txt", "IN_FM2.txt"})
      std::filesystem::copy_file(
          std::filesystem::path(LUMAVEIL_EXAMPLES_DIR) / "cooke_triplet" / name, name);
    const CheckResult r = check();
    EXPECT_EQ(r.status, 0) << r.text;
    EXPECT_NE(r.text.find("central ray: U = 0, V = 0, X = 0, Y = 0\n"), std::string::npos)
        << r.text;
    // Ray 0 of the ray set keeps its own start height.
    EXPECT_NE(r.text.find("\n  0    1.5 "), std::string::npos) << r.text;
  }
  ScratchDir dir;
  good_lens().write();
  // Ray 0 starts 60 mm off the axis, beyond the front face (R = 52.6): traced as
  // the central ray it would miss.
  RaySetFile far{.rays = {{.X = 60}, {.X = 1}}};
  far.write();
  const CheckResult r = check();
  EXPECT_EQ(r.status, 0) << r.text;
  EXPECT_NE(r.text.find("central ray: U = 0, V = 0, X = 0, Y = 0\n"), std::string::npos) << r.text;
  EXPECT_NE(r.text.find("all reach the image plane"), std::string::npos) << r.text;
}

TEST(Check, DecodesShiftJisLabelsToUtf8) {
  ScratchDir dir;
  // "レンズ" in Shift_JIS as the comment of surface 1 (column 8 + NW).
  write_file("IN_FM.txt", with_cell(good_lens().text(), 18, 9, "\x83\x8c\x83\x93\x83\x59"));
  const CheckResult r = check();
  EXPECT_NE(r.text.find("\xe3\x83\xac\xe3\x83\xb3\xe3\x82\xba"), std::string::npos) << r.text;
}

TEST(Check, NamesTheCellOfATextThatIsNotAWholeNumber) {
  ScratchDir dir;
  const std::string lens = good_lens().text();
  write_file("IN_FM.txt", with_cell(lens, 18, 8, "BK7"));
  expect_finding("IN_FM.txt, line 18, column 8 (cell I19)",
                 "\"BK7\" holds no number and reads as 0");
  write_file("IN_FM.txt", with_cell(lens, 18, 2, "0,01759"));
  expect_finding("IN_FM.txt, line 18, column 2 (cell C19)", "write \"0.01759\"");
  write_file("IN_FM.txt", with_cell(lens, 18, 3, "4 mm"));
  expect_finding("IN_FM.txt, line 18, column 3 (cell D19)", "reads as 4; the text after");
  write_file("IN_FM.txt", with_cell(lens, 3, 2, "3.9"));
  expect_finding("IN_FM.txt, line 3, column 2 (cell C4)", "not a whole number and reads as 3");
  write_file("IN_FM.txt", lens);
  good_rays.write();
  write_file("IN_FM2.txt", with_cell(good_rays.text(), 16, 1, "-1,5"));
  expect_finding("IN_FM2.txt, line 16, column 1 (cell B17)", "write \"-1.5\"");
}

TEST(Check, NamesAFileOfTheWrongShape) {
  ScratchDir dir;
  const std::string lens = good_lens().text();
  auto replaced = [&](char from, const std::string& to) {
    std::string text;
    for (char c : lens) text += c == from ? to : std::string(1, c);
    return text;
  };
  write_file("IN_FM.txt", replaced('\t', ","));
  expect_finding("IN_FM.txt, line 2, column 0 (cell A3)", "separated by commas");
  write_file("IN_FM.txt", replaced('\t', ";"));
  expect_finding("IN_FM.txt, line 2, column 0 (cell A3)", "separated by semicolons");
  // The finding points at the first row whose numbers the separator splits.
  write_file("IN_FM.txt", replaced('\t', "  "));
  expect_finding("IN_FM.txt, line 2, column 0 (cell A3)", "separated by spaces");
  write_file("IN_FM.txt", replaced('\n', "\r"));
  expect_finding("IN_FM.txt", "CR alone");
  std::string utf16 = "\xff\xfe";
  for (char c : lens) utf16 += std::string(1, c) + '\0';
  write_file("IN_FM.txt", utf16);
  expect_finding("IN_FM.txt", "UTF-16");
  write_file("IN_FM.txt", "");
  expect_finding("IN_FM.txt", "empty");
}

TEST(Check, NamesCodesTiesAndSearchedDistancesThatCannotWork) {
  ScratchDir dir;
  good_rays.write();
  LensFile lens = good_lens();
  lens.surfaces[0].code = "V";
  lens.write();
  expect_finding("IN_FM.txt, line 17, column 6 (cell G18)",
                 "start plane's curvature is never used");
  lens = good_lens();
  lens.surfaces[3].code = "V";
  lens.write();
  expect_finding("IN_FM.txt, line 20, column 6 (cell G21)", "no values");
  lens = good_lens();
  lens.surfaces[1].code = "";
  lens.write();
  expect_finding("IN_FM.txt, line 17, column 6 (cell G18)", "nothing to vary");
  lens = good_lens();
  lens.surfaces[2].code = "M";
  lens.surfaces[2].link = 101;
  lens.write();
  expect_finding("IN_FM.txt, line 19, column 7 (cell H20)", "outside 0..100: the tie is ignored");
  lens.surfaces[2].link = 0;
  lens.write();
  expect_finding("IN_FM.txt, line 19, column 7 (cell H20)", "not a V surface");
  lens = good_lens();
  lens.nd1 = 3;
  lens.write();
  expect_finding("IN_FM.txt, line 13, column 3 (cell D14)", "ND1 = 3 is not a surface 0..NUMB-2");
  lens.nd1 = 1;
  lens.nd2 = -1;
  lens.write();
  expect_finding("IN_FM.txt, line 13, column 4 (cell E14)", "ND2 = -1 is not a surface");
  lens.nd2 = 1;
  lens.write();
  expect_finding("IN_FM.txt, line 13, column 4 (cell E14)", "ND1 = ND2 = 1");
  // Without a ray set the optimisers cannot run: none of these is a finding.
  std::filesystem::remove("IN_FM2.txt");
  lens.surfaces[1].code = "";
  lens.write();
  EXPECT_EQ(check().status, 0);
}

TEST(Check, NamesCountsAndSettingsOutOfRange) {
  ScratchDir dir;
  LensFile lens = good_lens();
  lens.numb = 101;
  lens.write();
  expect_finding("IN_FM.txt, line 12, column 1 (cell B13)", "NUMB = 101 is cut to 100");
  lens = good_lens();
  lens.nw = 21;
  lens.write();
  expect_finding("IN_FM.txt, line 13, column 1 (cell B14)", "NW = 21 is cut to 20");
  lens = good_lens();
  lens.steps = 2;
  lens.write();
  expect_finding("IN_FM.txt, line 3, column 2 (cell C4)", "mode 4 need NS of 3 or more");
  lens = good_lens();
  lens.surfaces[2].D = -97;
  lens.write();
  expect_finding("IN_FM.txt, line 19, column 3 (cell D20)", "is negative (-97)");
  // Before an ideal element a negative D is a negative focal length.
  lens.surfaces[3].type = 1;
  lens.write();
  EXPECT_EQ(check().text.find("line 19, column 3"), std::string::npos);

  good_lens().write();
  RaySetFile rays = good_rays;
  rays.nray = 101;
  rays.write();
  expect_finding("IN_FM2.txt, line 4, column 2 (cell C5)", "NRAY = 101 is cut to 100");
  for (auto [line, setting] : {std::pair{2, "NIT"}, {7, "NITC"}}) {
    rays = good_rays;
    (line == 2 ? rays.NIT : rays.NITC) = 0;
    rays.write();
    expect_finding("IN_FM2.txt, line " + std::to_string(line) + ", column 2 (cell C" +
                       std::to_string(line + 1) + ")",
                   std::string(setting) + " = 0");
  }
  rays = good_rays;
  rays.NITD = -1;
  rays.write();
  expect_finding("IN_FM2.txt, line 8, column 2 (cell C9)", "NITD = -1");
  rays.NITD = 0;  // one pass: fine
  rays.H = 0;
  rays.write();
  expect_finding("IN_FM2.txt, line 3, column 2 (cell C4)", "H = 0");
  EXPECT_EQ(check().text.find("line 8, column 2"), std::string::npos);
  rays = good_rays;
  rays.HD = 0;
  rays.write();
  expect_finding("IN_FM2.txt, line 9, column 2 (cell C10)", "HD = 0");
}

TEST(Check, NamesARayThatFailsAndALargeWork) {
  ScratchDir dir;
  LensFile lens = good_lens();
  lens.surfaces[1].C = 0.25;  // R = 4 < RH: the rim rays miss it
  lens.write();
  expect_finding("IN_FM.txt, line 18, column 2 (cell C19)",
                 "(upper rim ray, lower rim ray, spot grid point +x");
  lens = good_lens();
  lens.steps = 20000;  // mode 1 traces some 1.3e9 rays of 4 surfaces
  lens.write();
  expect_finding("IN_FM.txt, line 3, column 2 (cell C4)", "mode 1 would trace about");
}

TEST(Check, CountsAtTheLimitsOfIntAreFindingsAndNothingWraps) {
  ScratchDir dir;
  LensFile lens = good_lens();
  lens.numb = -2147483647 - 1;
  lens.write();
  RaySetFile rays = good_rays;
  rays.nray = -2147483647 - 1;
  rays.NIT = 2147483647;
  rays.write();
  expect_finding("IN_FM.txt, line 12, column 1 (cell B13)", "NUMB = -2147483648: a lens needs");
  lens.numb = 2147483647;
  lens.write();
  expect_finding("IN_FM.txt, line 12, column 1 (cell B13)", "NUMB = 2147483647 is cut to 100");
}

TEST(Check, AMissingLensFileIsAFinding) {
  ScratchDir dir;
  expect_finding("IN_FM.txt", "cannot be opened");
}

// Each input that stands but cannot be opened is a finding with its reason,
// at once (a FIFO is never waited on); a missing ray set only is absent.
TEST(Check, NamesWhyEachInputCannotBeOpened) {
  struct Case {
    const char* file;
    const char* stands;  // "fifo", "folder" or "missing"
    const char* says;    // the finding, or "" for none
  };
  const Case kCases[] = {
      {"IN_FM.txt", "fifo", "IN_FM.txt: cannot be opened (not a regular file: a FIFO"},
      {"IN_FM.txt", "folder", "IN_FM.txt: cannot be opened (Is a directory)"},
      {"IN_FM.txt", "missing", "IN_FM.txt: cannot be opened (No such file or directory)"},
      {"IN_FM2.txt", "fifo", "IN_FM2.txt: cannot be opened (not a regular file: a FIFO"},
      {"IN_FM2.txt", "folder", "IN_FM2.txt: cannot be opened (Is a directory)"},
      {"IN_FM2.txt", "missing", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.stands);
    ScratchDir dir;
    good_lens().write();
    good_rays.write();
    std::filesystem::remove(c.file);
    if (std::string(c.stands) == "fifo") {
      ASSERT_EQ(mkfifo(c.file, 0666), 0);
    }
    if (std::string(c.stands) == "folder") std::filesystem::create_directory(c.file);
    const CheckResult r = check();
    if (*c.says == '\0') {
      EXPECT_EQ(r.status, 0) << r.text;
      EXPECT_NE(r.text.find("IN_FM2.txt: absent"), std::string::npos) << r.text;
    } else {
      EXPECT_EQ(r.status, 1);
      EXPECT_NE(r.text.find(c.says), std::string::npos) << r.text;
    }
  }
}

}  // namespace
}  // namespace lumaveil::testing
