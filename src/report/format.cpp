#include "report/format.h"

#include <charconv>
#include <cmath>

#include "model/numbers.h"

namespace lumaveil {
namespace {

// Longest conversion: %f of the largest double has 309 integer digits.
constexpr int kNumberBytes = 512;

// The spelling of a value that is not finite: inf with its sign, nan
// without one. The sign bit of a not-a-number carries no meaning and differs
// between processors for the same calculation, so it is not shown.
int non_finite(char* out, double v, bool upper) {
  const bool nan = std::isnan(v);
  const char* text = nan ? (upper ? "NAN" : "nan") : (upper ? "INF" : "inf");
  int n = 0;
  if (!nan && std::signbit(v)) out[n++] = '-';
  for (const char* p = text; *p != '\0'; ++p) out[n++] = *p;
  return n;
}

// Formats one value for the conversion `kind` with `precision` digits.
int convert(char* out, char kind, int precision, const FormatArg& arg) {
  char* last = out + kNumberBytes;
  if (kind == 'd') {
    long long v = arg.is_int ? arg.i : static_cast<long long>(arg.d);
    return static_cast<int>(std::to_chars(out, last, v).ptr - out);
  }
  double v = arg.is_int ? static_cast<double>(arg.i) : arg.d;
  bool upper = kind == 'E' || kind == 'G';
  if (!std::isfinite(v)) return non_finite(out, v, upper);
  if (precision < 0) precision = 6;
  std::chars_format style = std::chars_format::fixed;
  if (kind == 'E') style = std::chars_format::scientific;
  if (kind == 'G') style = std::chars_format::general;
  int n = static_cast<int>(std::to_chars(out, last, v, style, precision).ptr - out);
  if (upper)
    for (int j = 0; j < n; ++j)
      if (out[j] == 'e') out[j] = 'E';
  return n;
}

}  // namespace

void format_to(FormatSink& sink, const char* format, std::initializer_list<FormatArg> args) {
  const FormatArg* next = args.begin();
  const char* p = format;
  while (*p != '\0') {
    // Plain text up to the next conversion.
    const char* start = p;
    while (*p != '\0' && *p != '%') ++p;
    if (p > start) sink.append(start, static_cast<int>(p - start));
    if (*p == '\0') break;
    ++p;
    if (*p == '%') {
      sink.append("%", 1);
      ++p;
      continue;
    }
    // Width and precision.
    int width = 0;
    while (is_decimal_digit(*p)) width = width * 10 + (*p++ - '0');
    int precision = -1;
    if (*p == '.') {
      ++p;
      precision = 0;
      while (is_decimal_digit(*p)) precision = precision * 10 + (*p++ - '0');
    }
    char kind = *p;
    if (kind == '\0') break;
    ++p;
    if (next == args.end()) continue;
    char number[kNumberBytes];
    int n = convert(number, kind, precision, *next++);
    for (int pad = width - n; pad > 0; --pad) sink.append(" ", 1);
    sink.append(number, n);
  }
}

}  // namespace lumaveil
