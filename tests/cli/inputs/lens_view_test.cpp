#include "cli/inputs/lens_view.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace lumaveil::cli::inputs {
namespace {

using lumaveil::testing::ScratchDir;
using lumaveil::testing::write_file;

// Lines 0 .. 16 of a lens file with NUMB and NW, then the surface rows.
std::string lens_text(const std::string& title, const std::string& numb, int nw,
                      const std::vector<std::string>& rows) {
  std::string text = title + "\n";
  for (int line = 1; line < 17; ++line) {
    if (line == 2) text += "aperture\tkind\t2";
    if (line == 12) text += "surfaces\t" + numb;
    if (line == 13) text += "wavelengths\t" + std::to_string(nw);
    if (line == 15) text += "wavelength (nm)\t\t\t\t\t\t\t\t 486.1 nm\t+656.3";
    text += "\r\n";
  }
  for (const auto& row : rows) text += row + "\r\n";
  return text;
}

// The view of a lens file written into the scratch directory.
LensView view_of(const std::string& text) {
  write_file("IN_FM.txt", text);
  const auto inputs = read_inputs(".", false);
  EXPECT_TRUE(inputs->lens_file.read) << inputs->lens_file.reason;
  return lens_view(*inputs);
}

TEST(LensView, ShowsTheCellsTheDrawingsNeedAsTheLibraryReadsThem) {
  ScratchDir scratch;
  LensView lens = view_of(
      lens_text("triplet", "3.9", 2,
                {"0\t0\t0\t20\t0\t0\t\t0\t1.0", "1\t0\t-0.005\t100 mm\t0.5\t-0.25\tV\t0\t-1.0",
                 "2\t1\t0\t0\t0\t0\t\t0\t-1", "3\t2\tx\t0\t0.1\t0.2\t\t0\t1"}));
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

TEST(LensView, TitleInShiftJisOrUtf8AndLimitsOfTheGrid) {
  ScratchDir scratch;
  EXPECT_EQ(view_of(lens_text("\x83\x8C\x83\x93\x83\x59", "1", 1, {"0", "1"})).title, "レンズ");
  EXPECT_EQ(view_of(lens_text("レンズ", "1", 1, {"0", "1"})).title, "レンズ");
  // The title is free text: kept whole, also beyond the 79 bytes of a cell.
  const std::string long_title(120, 'L');
  EXPECT_EQ(view_of(lens_text(long_title + "\tx", "1", 1, {"0", "1"})).title, long_title);
  // NUMB above 100 and NW above 20 are cut, as the library cuts them.
  LensView big = view_of(lens_text("", "500", 90, {}));
  EXPECT_EQ(big.surfaces.size(), 101u);
  EXPECT_EQ(big.wavelengths.size(), 20u);
  const auto missing = read_inputs("/nonexistent", false);
  EXPECT_FALSE(missing->lens_file.read);
  EXPECT_EQ(missing->lens_file.reason, "No such file or directory");
}

// Cells a plain decimal reader misreads: the view holds what the library
// computes with.
TEST(LensView, NumbersReadByTheLibrarysRules) {
  ScratchDir scratch;
  struct Case {
    const char* numb;
    const char* curvature;
    std::size_t surfaces;
    double c;
  };
  const Case cases[] = {
      {"3000000000", "0.5", 101, 0.5},  // beyond int: the library's count, cut to 100
      {"3", "0x1p-6", 4, 0.015625},     // hexadecimal
      {" +3", "1e-2", 4, 0.01},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.numb);
    LensView lens = view_of(lens_text(
        "t", c.numb, 1, {"0\t0\t0\t10", std::string("1\t0\t") + c.curvature + "\t5", "2", "3"}));
    EXPECT_EQ(lens.surfaces.size(), c.surfaces);
    EXPECT_EQ(lens.surfaces[1].c, c.c);
  }
}

}  // namespace
}  // namespace lumaveil::cli::inputs
