// The rows of the long tables written straight from their values: the
// spot diagram's literals::kSpotRow ("%d\t%10.6f\t%10.6f\t%10.6f\t%10.6f\n":
// the row number and U, V, X and Y of the ray at surface NUMB-1) and the
// aperture scans' literals::kScanRow ("%E\t%E\t%E\t%E\n"). A spot diagram
// or a scan has hundreds of thousands of these rows; the general formatter
// (format.h) takes each one piece by piece and through its own buffer, these
// write the bytes where they go. Each number goes through the very routine
// the formatter uses for it (integer_text, fixed6, scientific6), so the
// bytes are the same; a value that routine leaves to the exact conversion
// (not finite, |v| ≥ 2^44 for fixed6, a rounding too near a tie for
// scientific6) sends the whole row back to the formatter.
#ifndef LUMAVEIL_REPORT_ROW_TEXT_H
#define LUMAVEIL_REPORT_ROW_TEXT_H

#include <cmath>

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

// The longest row scan_row_text writes: four numbers of at most
// kDecimalBytes bytes, each followed by a tab or the line end.
constexpr int kScanRowBytes = 4 * (kDecimalBytes + 1);

// One number of a scan row and the byte after it; nullptr when it is left
// to the exact conversion.
inline char* put_scan_cell(char* p, double value, char after) {
  if (!std::isfinite(value)) return nullptr;
  const int length = scientific6(p, value);
  if (length < 0) return nullptr;
  p[length] = after;
  return p + length + 1;
}

// A scan row into `out` (kScanRowBytes); returns its length, or -1 when one
// of the four doubles is left to the exact conversion.
inline int scan_row_text(char* out, double start, double at, double angle, double ab) {
  char* p = out;
  if ((p = put_scan_cell(p, start, '\t')) == nullptr ||
      (p = put_scan_cell(p, at, '\t')) == nullptr ||
      (p = put_scan_cell(p, angle, '\t')) == nullptr || (p = put_scan_cell(p, ab, '\n')) == nullptr)
    return -1;
  return static_cast<int>(p - out);
}

}  // namespace lumaveil

#endif
