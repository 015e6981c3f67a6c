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

}  // namespace lumaveil

#endif
