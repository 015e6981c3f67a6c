// The text of one row of the spot diagram, literals::kSpotRow
// ("%d\t%10.6f\t%10.6f\t%10.6f\t%10.6f\n"), written straight from its five
// values: the row number and U, V, X and Y of the ray at surface NUMB-1.
// The spot diagram has hundreds of thousands of these rows; the general
// formatter (format.h) takes each one piece by piece and through its own
// buffer, this writes its bytes where they go. Each number goes through the
// very routines the formatter uses for it (integer_text, fixed6), so the
// bytes are the same; a value fixed6 leaves to the exact conversion (not
// finite, or |v| ≥ 2^44) sends the whole row back to the formatter.
#ifndef LUMAVEIL_REPORT_SPOT_ROW_H
#define LUMAVEIL_REPORT_SPOT_ROW_H

#include "report/decimal.h"

namespace lumaveil {

// The longest row spot_row_text writes, with room for fixed6's spaces
// stored eight at a time: a number of 20 digits and a sign, and four
// numbers of at most kDecimalBytes bytes each, each after its tab.
constexpr int kSpotRowBytes = 21 + 4 * (1 + kDecimalBytes) + 1 + 8;

// One number of the row after its tab; nullptr when fixed6 leaves it to the
// exact conversion.
inline char* put_spot_cell(char* p, double value) {
  *p++ = '\t';
  const int length = fixed6(p, value, 10);
  return length < 0 ? nullptr : p + length;
}

// The row into `out` (kSpotRowBytes); returns its length, or -1 when one of
// the four doubles needs the exact conversion (nothing useful is in `out`).
inline int spot_row_text(char* out, long long n, double u, double v, double x, double y) {
  char* p = out + integer_text(out, n);
  if ((p = put_spot_cell(p, u)) == nullptr || (p = put_spot_cell(p, v)) == nullptr ||
      (p = put_spot_cell(p, x)) == nullptr || (p = put_spot_cell(p, y)) == nullptr)
    return -1;
  *p++ = '\n';
  return static_cast<int>(p - out);
}

}  // namespace lumaveil

#endif
