#include "cli/inputs/input_files.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace lumaveil::cli::inputs {
namespace {

using lumaveil::testing::ScratchDir;
using lumaveil::testing::write_file;

// A file longer than the bytes kept: its grid is the library's own, cell for
// cell, and of the rest only the kinds of byte the findings look at remain.
TEST(InputFiles, ALongFileGivesTheLibrarysGridInBoundedMemory) {
  ScratchDir dir;
  struct Case {
    std::string tail;  // after kKeptBytes of blank lines
    std::string kept;  // what the bytes keep of it
  };
  const Case kCases[] = {
      {"", ""},
      {"\n\n", "\n"},
      {"title\tNS\t3\r\n", "\t\r\nx"},
      {std::string("a\0b", 3), std::string("\0x", 2)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.kept);
    write_file("IN_FM.txt", std::string(kKeptBytes, '\n') + c.tail);
    InputFile file;
    ASSERT_TRUE(read_input_file("IN_FM.txt", kLensDataGrid, file));
    ASSERT_EQ(file.bytes.size(), kKeptBytes + c.kept.size());
    EXPECT_EQ(file.bytes.compare(0, kKeptBytes, std::string(kKeptBytes, '\n')), 0);
    EXPECT_EQ(file.bytes.substr(kKeptBytes), c.kept);
    InputGrid library;
    ASSERT_TRUE(library.read("IN_FM.txt", kLensDataGrid));
    for (int line = 0; line < kLensDataGrid.lines; ++line)
      for (int column = 0; column < kLensDataGrid.columns; ++column)
        ASSERT_STREQ(file.grid->cell(line, column), library.cell(line, column));
  }
}

}  // namespace
}  // namespace lumaveil::cli::inputs
