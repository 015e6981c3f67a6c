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

// The longest text of one conversion: %f of the largest double has 309
// integer digits.
constexpr int kNumberBytes = 512;

// The text of one value for the conversion `kind` ('d', 'f', 'E' or 'G')
// with `precision` digits (-1: printf's default of 6) into `out`, which
// holds kNumberBytes; returns its length. The report's conversions (6
// digits) go through the integer routines of decimal.h, the rest, and the
// values those leave undecided, through format_number_exact.
int format_number(char* out, char kind, int precision, const FormatArg& arg);

// The same through the standard library's exact conversion (std::to_chars)
// alone, as the reports were first printed: the fallback of format_number
// and the oracle its tests hold it to.
int format_number_exact(char* out, char kind, int precision, const FormatArg& arg);

// Writes `format` with its conversions filled from `args` in order into the
// sink. Text between conversions, Shift_JIS bytes included, is copied as it
// stands; "%%" writes one '%'. A conversion without an argument writes
// nothing.
void format_to(FormatSink& sink, const char* format, std::initializer_list<FormatArg> args);

}  // namespace lumaveil

#endif
