#include "cli/report_input/text.h"

#include <gtest/gtest.h>

namespace lumaveil::cli::report_input {
namespace {

TEST(ReportReader, DecodesCodePage932AndMarksBytesThatAreNoCharacter) {
  EXPECT_EQ(decode_cp932("\x94\x67\x92\xB7"), "波長");
  EXPECT_EQ(decode_cp932("abc\t1"), "abc\t1");
  // A lead byte at the end of the text has no trail byte.
  EXPECT_EQ(decode_cp932("a\x94"), "a\xEF\xBF\xBD");
  EXPECT_EQ(decode_cp932("\x83\x58\x83\x7C\x83\x62\x83\x67"), "スポット");
}

// Text of an input file: kept when it is UTF-8, else read as Shift_JIS;
// the width a spreadsheet column needs for it.
TEST(Text, Utf8KeptShiftJisDecodedAndWidths) {
  EXPECT_TRUE(valid_utf8("レンズ"));
  EXPECT_FALSE(valid_utf8("\x83\x8C\x83\x93"));
  EXPECT_FALSE(valid_utf8("\xE3\x83"));  // cut short
  // Shift_JIS bytes that only look like UTF-8 sequences: beyond U+10FFFF,
  // overlong, a surrogate.
  for (const char* bytes : {"\xF5\x91\xA9\x82", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80"})
    EXPECT_FALSE(valid_utf8(bytes)) << bytes;
  EXPECT_TRUE(valid_utf8("\xF0\x9F\x94\xAD"));  // U+1F52D, a telescope
  EXPECT_EQ(as_utf8("レンズ"), "レンズ");
  EXPECT_EQ(as_utf8("\x83\x8C\x83\x93\x83\x59"), "レンズ");
  EXPECT_EQ(display_width("ab"), 2);
  EXPECT_EQ(display_width("波長 nm"), 7);
  EXPECT_EQ(display_width("é"), 1);
}

}  // namespace
}  // namespace lumaveil::cli::report_input
