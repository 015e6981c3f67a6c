// The text the report's formatter writes for a format and its values, as a
// string (the formatter itself is linked from the core).
#ifndef LUMAVEIL_TESTS_FORMAT_TEXT_H
#define LUMAVEIL_TESTS_FORMAT_TEXT_H

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "report/format.h"

namespace lumaveil::testing {

inline std::string format_text(const char* format, std::initializer_list<FormatArg> args) {
  struct StringSink : FormatSink {
    void append(const char* text, int length) override { out.append(text, length); }
    std::string out;
  } sink;
  format_to(sink, format, args);
  return sink.out;
}

// The double of the bit pattern `bits`.
inline double from_bits(std::uint64_t bits) { return std::bit_cast<double>(bits); }

}  // namespace lumaveil::testing

#endif
