// Number formatting for the reports: the printf conversions %d, %f, %E and %G
// with an optional width and precision (as in "%10.6f"), exactly as C's printf
// writes them in the "C" locale, whatever locale the host process has set. A
// full stop is always the decimal point.
#ifndef LUMAVEIL_REPORT_FORMAT_H
#define LUMAVEIL_REPORT_FORMAT_H

#include <initializer_list>

namespace lumaveil {

// One value handed to a format: an integer for %d, a double for the others.
struct FormatArg {
  FormatArg(int v) : is_int(true), i(v), d(0) {}
  FormatArg(long long v) : is_int(true), i(v), d(0) {}
  FormatArg(double v) : is_int(false), i(0), d(v) {}
  bool is_int;
  long long i;
  double d;
};

// Receives the formatted text piece by piece.
class FormatSink {
 public:
  virtual void append(const char* text, int length) = 0;

 protected:
  ~FormatSink() = default;
};

// Writes `format` with its conversions filled from `args` in order into the
// sink. Text between conversions, Shift_JIS bytes included, is copied as it
// stands; "%%" writes one '%'. A conversion without an argument writes
// nothing.
void format_to(FormatSink& sink, const char* format, std::initializer_list<FormatArg> args);

}  // namespace lumaveil

#endif
