#include "cli/commands/check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace lumaveil::testing {
namespace {

struct CheckResult {
  int status;
  std::string text;
};

// Runs the check in the current directory.
CheckResult check() {
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  const int status = cli::commands::run_check(out);
  std::fclose(out);
  CheckResult r{status, std::string(buffer, size)};
  std::free(buffer);
  return r;
}

// A plano-convex singlet with a variable front face, as a new user writes it.
LensFile good_lens() {
  return {.steps = 3,
          .RH = 5,
          .surfaces = {{.D = 10, .n = {1}},
                       {.C = 0.019, .D = 4, .code = "V", .n = {1.5168}},
                       {.D = 97, .n = {1}},
                       {.n = {1}},
                       {.n = {1}}},
          .nd1 = 2,
          .nd2 = 1};
}

const RaySetFile good_rays{.rays = {{.X = 1}, {.X = -1}, {.X = 3}}};

// The lens text with one cell replaced: line `line`, column `column`.
std::string with_cell(const std::string& text, int line, int column, const std::string& cell) {
  auto lines = split_lines(text);
  auto cells = split_cells(lines.at(line));
  while (static_cast<int>(cells.size()) <= column) cells.emplace_back();
  cells[column] = cell;
  std::string joined, result;
  for (std::size_t c = 0; c < cells.size(); ++c) joined += (c ? "\t" : "") + cells[c];
  lines[line] = joined;
  for (const std::string& l : lines) result += l + "\n";
  return result;
}

// Expects the check to fail with a finding at `where` that says `says`.
void expect_finding(const std::string& where, const std::string& says) {
  const CheckResult r = check();
  EXPECT_EQ(r.status, 1) << r.text;
  std::size_t at = r.text.find(where + ": ");
  ASSERT_NE(at, std::string::npos) << "no finding at " << where << "\n" << r.text;
  // A cell may have several findings: one of them must say it.
  std::string lines;
  for (; at != std::string::npos; at = r.text.find(where + ": ", at + 1)) {
    const std::string line = r.text.substr(at, r.text.find('\n', at) - at);
    if (line.find(says) != std::string::npos) return;
    lines += line + "\n";
  }
  ADD_FAILURE() << "no finding at " << where << " says: " << says << "\n" << lines;
}

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

// One lens (or ray set) broken in one way, and the finding it must give: at
// `where`, saying `says`; `absent`, when given, must not appear anywhere.
struct BrokenInput {
  const char* mistake;
  std::string lens, rays;
  std::string where, says, absent = "";
};

// The text with every tab replaced by `separator`.
std::string separated_by(const std::string& text, const std::string& separator) {
  std::string result;
  for (char c : text) result += c == '\t' ? separator : std::string(1, c);
  return result;
}

TEST(Check, EachMistakeGivesItsFindingAtItsCell) {
  const std::string lens = good_lens().text(), rays = good_rays.text();
  auto lens_cell = [&](int line, int column, const std::string& text) {
    return with_cell(lens, line, column, text);
  };
  auto ray_cell = [&](int line, int column, const std::string& text) {
    return with_cell(rays, line, column, text);
  };
  // Surface 2 tied to `link` with `code`.
  auto tie = [&](const std::string& code, const std::string& link) {
    return with_cell(lens_cell(19, 6, code), 19, 7, link);
  };
  const std::string i16 = "IN_FM.txt, line 15, column 8 (cell I16)";
  const std::string g19 = "IN_FM.txt, line 18, column 6 (cell G19)";
  const std::string h20 = "IN_FM.txt, line 19, column 7 (cell H20)";
  const BrokenInput cases[] = {
      {"empty wavelength", lens_cell(15, 8, ""), rays, i16,
       "wavelength 1: the cell is empty and reads as 0 nm: mode 4 divides"},
      {"wavelength as a name", lens_cell(15, 8, "d-line"), rays, i16,
       "\"d-line\" holds no number and reads as 0"},
      {"negative wavelength", lens_cell(15, 8, "-587.6"), rays, i16,
       "wavelength 1 = -587.6 nm is not positive"},
      {"zero wavelength", lens_cell(15, 8, "0"), rays, i16, "wavelength 1 = 0 nm is not positive"},
      {"empty weight", lens_cell(16, 8, ""), rays, "IN_FM.txt, line 16, column 8 (cell I17)",
       "weight of wavelength 1: the cell is empty and reads as 0"},
      {"empty index in the glass", lens_cell(18, 8, ""), rays,
       "IN_FM.txt, line 18, column 8 (cell I19)",
       "index after surface 1 at wavelength 1: the cell is empty and reads as 0: a medium of "
       "index 0 bends every ray out of the lens; write the index (1.0 for air, negative after a "
       "mirror); so at wavelength 1 the real rays",
       "wavelength 1: real rays ("},
      {"lower-case v", lens_cell(18, 6, "v"), rays, g19,
       "the code \"v\" is a lower-case 'v': a code is read from the cell's first byte, upper case "
       "only, so surface 1 is not variable; write \"V\"",
       "nothing to vary"},
      {"blank before V", lens_cell(18, 6, " V"), rays, g19, "\" V\" begins with a blank"},
      {"code word", lens_cell(18, 6, "var"), rays, g19, "\"var\" begins with a lower-case 'v'"},
      {"lower-case p", tie("p", "1"), rays, "IN_FM.txt, line 19, column 6 (cell G20)",
       "surface 2 is tied to nothing and stays fixed; write \"P\""},
      {"tie to itself", tie("P", "2"), rays, h20, "surface 2 is tied (P) to itself (LINK = 2)"},
      {"tie beyond the surfaces", tie("M", "50"), rays, h20,
       "to LINK = 50, beyond the last surface (NUMB = 4)"},
      {"tie outside the arrays", tie("M", "-1"), rays, h20, "LINK = -1, outside 0..100"},
      {"tie to a fixed surface", tie("P", "3"), rays, h20,
       "to surface 3, which is not a V surface among 0..NUMB-2"},
      {"V on the closing plane", lens_cell(21, 6, "V"), rays,
       "IN_FM.txt, line 21, column 6 (cell G22)", "the code is never read"},
      {"commas, a semicolon in a comment",
       separated_by(lens_cell(18, 10, "front face; crown glass"), ","), rays,
       "IN_FM.txt, line 2, column 0 (cell A3)", "seem separated by commas"},
      {"spaces, commas and a semicolon in a comment",
       separated_by(lens_cell(18, 10, "front face, crown; glass"), " "), rays,
       "IN_FM.txt, line 2, column 0 (cell A3)", "seem separated by spaces"},
      {"empty target", lens, ray_cell(16, 5, ""), "IN_FM2.txt, line 16, column 5 (cell F17)",
       "target X of ray 1: the cell is empty and reads as 0; write 0 if 0 is meant"},
      {"ray starting at zero", lens, ray_cell(16, 1, "0"),
       "IN_FM2.txt, line 16, column 1 (cell B17)",
       "ray 1 starts with X, Y, U and V all 0, so the merit skips it"},
      {"NRAY beyond the rays", lens, ray_cell(4, 2, "5"), "IN_FM2.txt, line 4, column 2 (cell C5)",
       "NRAY = 5 but the ray lines end after 3 rays (line 17)"},
      {"dense spot grid", lens_cell(3, 2, "400"), rays, "IN_FM.txt, line 3, column 2 (cell C4)",
       "NS = 400: mode 1 traces 502625 spot rays per wavelength and writes a report of about 25 "
       "MB"},
  };
  for (const BrokenInput& c : cases) {
    SCOPED_TRACE(c.mistake);
    ScratchDir dir;
    write_file("IN_FM.txt", c.lens);
    write_file("IN_FM2.txt", c.rays);
    expect_finding(c.where, c.says);
    if (!c.absent.empty()) {
      EXPECT_EQ(check().text.find(c.absent), std::string::npos) << check().text;
    }
  }
}

TEST(Check, ShowsTheSizeOfTheSpotGridAndTheReports) {
  ScratchDir dir;
  good_lens().write();
  const CheckResult r = check();
  EXPECT_NE(r.text.find("mode 1: 29 spot rays per wavelength, a report of about"),
            std::string::npos)
      << r.text;
  EXPECT_NE(r.text.find("mode 4: a report of about"), std::string::npos) << r.text;
}

TEST(Check, AMissingLensFileIsAFinding) {
  ScratchDir dir;
  expect_finding("IN_FM.txt", "cannot be opened");
}

}  // namespace
}  // namespace lumaveil::testing
