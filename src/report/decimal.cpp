#include "report/decimal.h"

#include <cstring>

#include "report/decimal_digits.h"
#include "report/decimal_scaling.h"

namespace lumaveil {
namespace {

using decimal_scaling::Binary;
using decimal_scaling::decompose;
using decimal_scaling::Significant;
using decimal_scaling::u64;
using decimal_digits::put_digits;
using decimal_digits::put_six_digits;

// The exponent of the E form: its sign and at least two digits.
char* put_exponent(char* p, int x) {
  *p++ = 'E';
  *p++ = x < 0 ? '-' : '+';
  const u64 a = static_cast<u64>(x < 0 ? -x : x);
  return put_digits(p, a, a >= 100 ? 3 : 2);
}

}  // namespace

int scientific6(char* out, double v) {
  const Binary b = decompose(v);
  Significant r{0, 0};
  if (b.m != 0 && !decimal_scaling::round_significant(b, 7, r)) return -1;
  char* p = out;
  if (b.negative) *p++ = '-';
  const u64 first = r.n / 1000000;
  *p++ = static_cast<char>('0' + first);
  *p++ = '.';
  p = put_six_digits(p, r.n - first * 1000000);
  p = put_exponent(p, r.x);
  return static_cast<int>(p - out);
}

int general6(char* out, double v) {
  const Binary b = decompose(v);
  char* p = out;
  if (b.negative) *p++ = '-';
  if (b.m == 0) {
    *p++ = '0';
    return static_cast<int>(p - out);
  }
  Significant r{0, 0};
  if (!decimal_scaling::round_significant(b, 6, r)) return -1;
  // The six digits, trailing zeros dropped.
  char digits[6];
  put_six_digits(digits, r.n);
  int kept = 6;
  while (kept > 1 && digits[kept - 1] == '0') --kept;
  if (r.x < -4 || r.x >= 6) {
    // d.ddddd E±xx
    *p++ = digits[0];
    if (kept > 1) {
      *p++ = '.';
      for (int j = 1; j < kept; ++j) *p++ = digits[j];
    }
    p = put_exponent(p, r.x);
  } else if (r.x >= 0) {
    // x+1 digits before the point.
    for (int j = 0; j <= r.x; ++j) *p++ = digits[j];
    if (kept > r.x + 1) {
      *p++ = '.';
      for (int j = r.x + 1; j < kept; ++j) *p++ = digits[j];
    }
  } else {
    // 0.000ddd: -x-1 zeros after the point.
    *p++ = '0';
    *p++ = '.';
    for (int j = 0; j < -r.x - 1; ++j) *p++ = '0';
    for (int j = 0; j < kept; ++j) *p++ = digits[j];
  }
  return static_cast<int>(p - out);
}

}  // namespace lumaveil
