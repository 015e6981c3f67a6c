// The decimal digits of a double for the report's number conversions, in
// integer arithmetic only (no locale, no rounding mode, no library call):
//
//   fixed6       "%f" and "%10.6f" without the padding: 6 decimals
//   scientific6  "%E": one digit, a point, 6 decimals, E, the exponent's sign
//                and at least two digits
//   general6     "%G": 6 significant digits, trailing zeros dropped, the
//                exponent form for exponents below -4 or from 6 on
//
// Each writes what C's printf writes for a finite v in the "C" locale, the
// sign of a negative zero included, and returns the number of bytes.
//
// How: v = m·2^e exactly. The decimal digits are the integer nearest to
// v·10^k for the k that leaves 6 decimals (fixed) or 7 or 6 significant
// digits. For fixed6, 10^6 = 15625·2^6, so the product is exact in 128 bits
// and the rounding exact. For the significant digits, 10^k comes from a
// table of its leading 64 bits, which are at most 2 units below the true
// value; the product is then known to within 2^-34 of a unit of the last
// digit. When the part below the last digit lies so near one half that this
// error could decide the rounding (exact ties, and about one value in 2^30
// otherwise), or |v| ≥ 2^44 for fixed6, the functions return -1 and the
// caller takes the exact conversion of the standard library.
#ifndef LUMAVEIL_REPORT_DECIMAL_H
#define LUMAVEIL_REPORT_DECIMAL_H

namespace lumaveil {

// The longest text any of the three writes: 1 + 44·log10(2) + 1 + 6 digits
// and signs for fixed6, 13 for scientific6, 12 for general6.
constexpr int kDecimalBytes = 24;

int fixed6(char* out, double v);
int scientific6(char* out, double v);
int general6(char* out, double v);

}  // namespace lumaveil

#endif
