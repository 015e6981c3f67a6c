// The text the report's formatter writes for a format and its values, as a
// string (the formatter itself is linked from the core).
#ifndef LUMAVEIL_TESTS_FORMAT_TEXT_H
#define LUMAVEIL_TESTS_FORMAT_TEXT_H

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

}  // namespace lumaveil::testing

#endif
