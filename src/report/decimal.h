// The decimal digits of a double for the report's number conversions, in
// integer arithmetic only (no locale, no rounding mode, no library call):
//
//   fixed6       "%f" and "%10.6f": 6 decimals, spaces in front up to the
//                width
//   scientific6  "%E": one digit, a point, 6 decimals, E, the exponent's sign
//                and at least two digits
//   general6     "%G": 6 significant digits, trailing zeros dropped, the
//                exponent form for exponents below -4 or from 6 on
//   integer_text "%d" of an integer
//
// Each writes what C's printf writes for a finite v in the "C" locale, the
// sign of a negative zero included, and returns the number of bytes; or -1
// for the few values whose digits decimal_scaling.h leaves undecided (and
// for fixed6, |v| ≥ 2^44 and values that are not finite), which the caller
// hands to the exact conversion of the standard library.
#ifndef LUMAVEIL_REPORT_DECIMAL_H
#define LUMAVEIL_REPORT_DECIMAL_H

#include <cstring>

#include "report/decimal_digits.h"
#include "report/decimal_scaling.h"

namespace lumaveil {

// The longest text any of them writes without padding: 1 + 44·log10(2) + 1
// + 6 digits and signs for fixed6, 13 for scientific6, 12 for general6, 20
// for integer_text.
constexpr int kDecimalBytes = 24;

// `out` holds kDecimalBytes, and for fixed6 `width` bytes more.
int fixed6(char* out, double v, int width = 0);
int scientific6(char* out, double v);
int general6(char* out, double v);
int integer_text(char* out, long long v);

// fixed6 and integer_text print the long tables of numbers: inline, so
// that the formatter runs them without a call.
inline int fixed6(char* out, double v, int width) {
  const decimal_scaling::Binary b = decimal_scaling::decompose(v);
  decimal_scaling::u64 n = 0;
  if (!decimal_scaling::micro_units(b, n)) return -1;
  const decimal_scaling::u64 whole = n / 1000000;
  const int count = whole < 10 ? 1 : decimal_digits::digit_count(whole);
  // The spaces first, eight at a time: the length is known before any digit
  // is written, and the digits (at least eight bytes) cover the spaces
  // stored beyond the padding.
  char* p = out;
  const int pad = width - (b.negative ? 1 : 0) - count - 7;
  for (int j = 0; j < pad; j += 8) std::memcpy(p + j, "        ", 8);
  if (pad > 0) p += pad;
  *p = '-';
  p += b.negative ? 1 : 0;
  p = decimal_digits::put_digits(p, whole, count);
  *p++ = '.';
  p = decimal_digits::put_six_digits(p, n - whole * 1000000);
  return static_cast<int>(p - out);
}

inline int integer_text(char* out, long long v) {
  char* p = out;
  decimal_scaling::u64 magnitude = static_cast<decimal_scaling::u64>(v);
  if (v < 0) {
    *p++ = '-';
    magnitude = 0 - magnitude;  // the magnitude of the most negative value too
  }
  p = decimal_digits::put_digits(p, magnitude, decimal_digits::digit_count(magnitude));
  return static_cast<int>(p - out);
}

}  // namespace lumaveil

#endif
