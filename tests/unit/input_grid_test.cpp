#include "model/input_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "model/numbers.h"

namespace lumaveil {
namespace {

// The grid of a text, read as from a file.
std::unique_ptr<InputGrid> grid_of(const std::string& text, GridShape shape = kLensDataGrid) {
  auto grid = std::make_unique<InputGrid>();
  std::FILE* file = std::tmpfile();
  std::fputs(text.c_str(), file);
  std::rewind(file);
  grid->fill(file, shape);
  std::fclose(file);
  return grid;
}

TEST(InputGrid, LineFeedEndsALineAndCarriageReturnIsIgnored) {
  for (const char* text : {"a\tb\nc\td", "a\tb\r\nc\td\r\n"})
    EXPECT_STREQ(grid_of(text)->cell(1, 1), "d") << text;
  EXPECT_STREQ(grid_of("1\r2\r3\n")->cell(0, 0), "123");
}

TEST(InputGrid, OverflowingTextSaturatesAtTheLastCellColumnAndLine) {
  for (GridShape shape : {kLensDataGrid, kRaySetGrid}) {
    const std::string cell(shape.cell_bytes + 5, 'x'), tabs(shape.columns - 1, '\t');
    auto g = grid_of(cell + tabs + "long\tz\n" + std::string(shape.lines, '\n') + "end", shape);
    EXPECT_EQ(g->cell(0, 0), cell.substr(0, shape.cell_bytes - 1));
    EXPECT_STREQ(g->cell(0, shape.columns - 1), "z");
    EXPECT_STREQ(g->cell(shape.lines - 1, 0), "end");
  }
}

// strtod and atoi in the "C" locale are the reference for every shape of cell.
TEST(Numbers, CellsReadAsAtofAndAtoiReadThem) {
  for (const char* text : {"1.5e-3", "  2.5x", "abc", "", "0x1p3", "1e999", "-1e999", "-1e-400",
                           "2e-320", "1e+", "-.5e1", "+-1", "0x", "0x.8p1", "-0", "-INFx", "\t 7",
                           "1.8e308", "12abc", " -7", "3.9", "-", "-abc"}) {
    const double want = std::strtod(text, nullptr), got = parse_real(text);
    EXPECT_TRUE(got == want && std::signbit(got) == std::signbit(want))
        << '"' << text << "\" reads " << got << ", atof " << want;
    EXPECT_EQ(parse_int(text), std::atoi(text)) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace lumaveil
