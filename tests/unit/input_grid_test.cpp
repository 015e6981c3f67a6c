#include "model/input_grid.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "model/numbers.h"
#include "support/test_support.h"

namespace lumaveil {
namespace {

// The grid of a text, read as from a file.
std::unique_ptr<InputGrid> grid_of(const std::string& text, GridShape shape = kLensDataGrid) {
  auto grid = std::make_unique<InputGrid>();
  std::FILE* file = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), file);
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

// The ray set's last cell, open when the file ends, keeps every byte it
// holds: all of a 100-byte cell, and of a longer one the first 99 and the
// last, which wrote over position 99 in turn. A tab or line end still cuts a
// cell to 99 bytes, and the lens data's last cell ends as if a tab followed.
TEST(InputGrid, TheRaySetsLastCellKeepsAllItHoldsWhenTheFileEndsInIt) {
  std::string digits(99, '0');
  digits[0] = '1';
  for (const std::string& last : {digits + "7", digits + std::string(50, '0') + "7"}) {
    const std::string file = "\t\tsettings\n" + std::string(7, '\n') + "\t\t" + last;
    auto grid = grid_of(file, kRaySetGrid);
    EXPECT_EQ(grid->cell(8, 2), digits + "7") << last.size() << " bytes";
    EXPECT_STREQ(grid->cell(9, 2), "");  // nothing runs on into the next line's cell
    EXPECT_EQ(parse_real(grid->cell(8, 2)), 1e99);  // not 1e98
    EXPECT_EQ(grid_of(file + "\n", kRaySetGrid)->cell(8, 2), digits);
    EXPECT_EQ(grid_of(file + "\t", kRaySetGrid)->cell(8, 2), digits);
  }
  const std::string long_cell(100, 'x');
  EXPECT_EQ(grid_of("a\t" + long_cell)->cell(0, 1), long_cell.substr(0, 79));
  EXPECT_EQ(grid_of("a\t" + long_cell.substr(0, 79), kRaySetGrid)->cell(0, 1),
            long_cell.substr(0, 79));
}

// What a file looks like from outside its cells: a UTF-16 text is full of
// NUL bytes and may begin with a byte-order mark.
TEST(InputGrid, CountsNulBytesAndSeesAUtf16ByteOrderMark) {
  const std::string utf16le{"\xFF\xFE" "1\0\t\0" "2\0", 8};
  auto grid = grid_of(utf16le);
  EXPECT_TRUE(grid->utf16_mark());
  EXPECT_EQ(grid->nul_bytes(), 3);
  EXPECT_TRUE(grid_of("\xFE\xFF")->utf16_mark());
  for (const char* text : {"\xFF", "a\xFF\xFE", "1\t2\n"}) {
    grid = grid_of(text);
    EXPECT_FALSE(grid->utf16_mark()) << text;
    EXPECT_EQ(grid->nul_bytes(), 0) << text;
  }
}

// A stream that fails to read is no empty file.
TEST(InputGrid, AReadErrorLeavesTheGridEmptyAndSaysSo) {
  testing::ScratchDir dir;
  testing::write_file("IN_FM.txt", "a\tb\n");
  auto grid = grid_of("old\n");
  std::FILE* write_only = std::fopen("IN_FM.txt", "a");
  EXPECT_FALSE(grid->fill(write_only, kLensDataGrid));
  std::fclose(write_only);
  EXPECT_STREQ(grid->cell(0, 0), "");
}

// Only a regular file is read. Anything else under the name is not opened
// for use; its outcome names the step and the reason.
TEST(InputGrid, ReadsOnlyRegularFiles) {
  testing::ScratchDir dir;
  auto grid = std::make_unique<InputGrid>();
  FileOutcome outcome{};
  grid->read("IN_FM.txt", kLensDataGrid, outcome);
  EXPECT_TRUE(outcome.used);
  EXPECT_STREQ(outcome.failure, "open");
  EXPECT_EQ(outcome.error, ENOENT);
  std::filesystem::create_directory("IN_FM.txt");
  grid->read("IN_FM.txt", kLensDataGrid, outcome);
  EXPECT_STREQ(outcome.failure, "open");
  EXPECT_EQ(outcome.error, EISDIR);
  std::filesystem::remove("IN_FM.txt");
  for (const char* device : {"/dev/null", "/dev/zero"}) {
    if (!std::filesystem::exists(device)) continue;
    std::filesystem::create_symlink(device, "IN_FM.txt");
    grid->read("IN_FM.txt", kLensDataGrid, outcome);
    EXPECT_STREQ(outcome.failure, "open") << device;
    EXPECT_EQ(outcome.error, kNotRegularFile) << device;
    std::filesystem::remove("IN_FM.txt");
  }
  ASSERT_EQ(mkfifo("IN_FM.txt", 0600), 0);  // nobody writes: opening must not wait
  grid->read("IN_FM.txt", kLensDataGrid, outcome);
  EXPECT_EQ(outcome.error, kNotRegularFile);
  std::filesystem::remove("IN_FM.txt");
  testing::write_file("IN_FM.txt", std::string("1\0\t2", 4));
  grid->read("IN_FM.txt", kLensDataGrid, outcome);
  EXPECT_EQ(outcome.failure, nullptr);
  EXPECT_EQ(outcome.nul_bytes, 1);
  EXPECT_STREQ(grid->cell(0, 1), "2");
}

// strtod and atoi in the "C" locale are the reference for every shape of cell.
TEST(Numbers, CellsReadAsAtofAndAtoiReadThem) {
  for (const char* text : {"1.5e-3", "  2.5x", "abc", "", "0x1p3", "1e999", "-1e999", "-1e-400",
                           "2e-320", "1e+", "-.5e1", "+-1", "0x", "0x.8p1", "-0", "-INFx", "\t 7",
                           "1.8e308", "12abc", " -7", "3.9", "-", "-abc"}) {
    const double want = std::strtod(text, nullptr);
    const double got = parse_real(text);
    EXPECT_EQ(got, want) << '"' << text << '"';
    EXPECT_EQ(std::signbit(got), std::signbit(want)) << '"' << text << "\" reads " << got;
    EXPECT_EQ(parse_int(text), std::atoi(text)) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace lumaveil
