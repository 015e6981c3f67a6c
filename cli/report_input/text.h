// Text of the input files and reports as UTF-8: the one decoder of Shift_JIS
// (code page 932) and the one walker of UTF-8 sequences in the host.
#ifndef LUMAVEIL_CLI_REPORT_INPUT_TEXT_H
#define LUMAVEIL_CLI_REPORT_INPUT_TEXT_H

#include <cstddef>
#include <string>
#include <string_view>

namespace lumaveil::cli::report_input {

// Whether every byte is ASCII (below 0x80): the same text in every encoding
// the host reads.
bool is_ascii(std::string_view bytes);

// The length of the UTF-8 sequence that begins with `lead`: 1 to 4, or 0
// when the byte cannot begin one.
std::size_t sequence_length(unsigned char lead);

// Whether `bytes` are well-formed UTF-8 (by the sequence lengths and their
// continuation bytes).
bool valid_utf8(std::string_view bytes);

// Shift_JIS (code page 932) text as UTF-8. Bytes that are no character of
// the code page become U+FFFD; ASCII passes unchanged.
std::string decode_cp932(std::string_view bytes);

// A free-text cell of an input file, which may be UTF-8 or Shift_JIS: kept
// when it is UTF-8, else decoded as Shift_JIS.
std::string as_utf8(std::string_view bytes);

// The columns a spreadsheet needs to show UTF-8 text: characters of three
// or more bytes (CJK and full-width forms) count twice.
double display_width(std::string_view utf8);

}  // namespace lumaveil::cli::report_input

#endif
