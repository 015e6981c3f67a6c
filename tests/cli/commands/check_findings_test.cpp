#include <gtest/gtest.h>

#include <string>

#include "check_support.h"

namespace lumaveil::testing {
namespace {

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

}  // namespace
}  // namespace lumaveil::testing
