#include "lens_file.h"

#include <gtest/gtest.h>

namespace lumaveil::report {
namespace {

// Lines 0 .. 16 of a lens file with NUMB and NW, then the surface rows.
std::string lens_text(const std::string& title, int numb, int nw, const std::vector<std::string>& rows) {
  std::string text = title + "\n";
  for (int line = 1; line < 17; ++line) {
    if (line == 2) text += "aperture\tkind\t2";
    if (line == 12) text += "surfaces\t" + std::to_string(numb) + ".9";
    if (line == 13) text += "wavelengths\t" + std::to_string(nw);
    if (line == 15) text += "wavelength (nm)\t\t\t\t\t\t\t\t 486.1 nm\t+656.3";
    text += "\r\n";
  }
  for (const auto& row : rows) text += row + "\r\n";
  return text;
}

TEST(LensFile, ReadsTheCellsTheDrawingsNeedLikeTheLibrary) {
  LensFile lens = read_lens_text(lens_text("triplet", 3, 2,
                                           {"0\t0\t0\t20\t0\t0\t\t0\t1.0",
                                            "1\t0\t-0.005\t100 mm\t0.5\t-0.25\tV\t0\t-1.0",
                                            "2\t1\t0\t0\t0\t0\t\t0\t-1",
                                            "3\t2\tx\t0\t0.1\t0.2\t\t0\t1"}));
  EXPECT_EQ(lens.title, "triplet");
  EXPECT_EQ(lens.aperture_kind, 2);
  EXPECT_EQ(lens.wavelengths, (std::vector<double>{486.1, 656.3}));
  ASSERT_EQ(lens.surfaces.size(), 4u);  // NUMB 3.9 reads 3: rows 0 .. 3
  EXPECT_EQ(lens.surfaces[1].c, -0.005);
  EXPECT_EQ(lens.surfaces[1].d, 100);
  EXPECT_EQ(lens.surfaces[1].sx, 0.5);
  EXPECT_EQ(lens.surfaces[1].sy, -0.25);
  EXPECT_EQ(lens.surfaces[1].index_after, -1);
  EXPECT_EQ(lens.surfaces[3].type, 2);
  EXPECT_EQ(lens.surfaces[3].c, 0);  // a label reads as 0
  EXPECT_DOUBLE_EQ(lens.vertex(1), 20);
  EXPECT_DOUBLE_EQ(lens.vertex(2), 120);
  // A sphere with a negative index after it reflects; an ideal element does not.
  EXPECT_TRUE(lens.mirror(1));
  EXPECT_FALSE(lens.mirror(2));
  EXPECT_FALSE(lens.mirror(3));
  EXPECT_FALSE(lens.mirror(0));
  EXPECT_FALSE(lens.mirror(9));
}

TEST(LensFile, TitleInShiftJisOrUtf8AndLimitsOfTheGrid) {
  LensFile sjis = read_lens_text(lens_text("\x83\x8C\x83\x93\x83\x59", 1, 1, {"0", "1"}));
  EXPECT_EQ(sjis.title, "レンズ");
  LensFile utf8 = read_lens_text(lens_text("レンズ", 1, 1, {"0", "1"}));
  EXPECT_EQ(utf8.title, "レンズ");
  // NUMB above 100 and NW above 20 are cut, as the library cuts them.
  LensFile big = read_lens_text(lens_text("", 500, 90, {}));
  EXPECT_EQ(big.surfaces.size(), 101u);
  EXPECT_EQ(big.wavelengths.size(), 20u);
  EXPECT_FALSE(read_lens_file("/nonexistent/IN_FM.txt", big));
}

}  // namespace
}  // namespace lumaveil::report
