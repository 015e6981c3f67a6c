#include "report/decimal.h"

#include <cstring>

#include "report/decimal_scaling.h"

namespace lumaveil {
namespace {

using decimal_scaling::Binary;
using decimal_scaling::decompose;
using decimal_scaling::kTenTo;
using decimal_scaling::Significant;
using decimal_scaling::u64;

// "00" to "99".
struct DigitPairs {
  char at[200];
};

constexpr DigitPairs make_pairs() {
  DigitPairs t{};
  for (int j = 0; j < 100; ++j) {
    t.at[2 * j] = static_cast<char>('0' + j / 10);
    t.at[2 * j + 1] = static_cast<char>('0' + j % 10);
  }
  return t;
}

constexpr DigitPairs kPairs = make_pairs();

// Writes the `count` lowest decimal digits of n, zeros in front, two at a
// time from the last.
char* put_digits(char* p, u64 n, int count) {
  int j = count;
  while (j >= 2) {
    j -= 2;
    std::memcpy(p + j, kPairs.at + 2 * (n % 100), 2);
    n /= 100;
  }
  if (j == 1) p[0] = static_cast<char>('0' + n % 10);
  return p + count;
}

// The number of decimal digits of n (1 for 0).
int digit_count(u64 n) {
  int count = 1;
  while (count < 20 && n >= kTenTo[count]) ++count;
  return count;
}

// Writes the six digits of n < 10^6, zeros in front, two at a time from the
// first without a division: t / 2^32 is n / 10^4 plus an error below
// 0.63·10^-4 (429497 exceeds 2^32 / 10^4 by 0.2704, times n < 10^6). The
// whole part of t / 2^32 is the first pair; the part below, times 100,
// carries the next pair in its whole part, the error growing a hundredfold
// each time: still below 0.63 of the last pair's unit, too little to change
// any whole part.
char* put_six_digits(char* p, u64 n) {
  constexpr u64 kLow32 = 0xFFFFFFFFu;
  u64 t = n * 429497;
  std::memcpy(p, kPairs.at + 2 * (t >> 32), 2);
  t = (t & kLow32) * 100;
  std::memcpy(p + 2, kPairs.at + 2 * (t >> 32), 2);
  t = (t & kLow32) * 100;
  std::memcpy(p + 4, kPairs.at + 2 * (t >> 32), 2);
  return p + 6;
}

// The exponent of the E form: its sign and at least two digits.
char* put_exponent(char* p, int x) {
  *p++ = 'E';
  *p++ = x < 0 ? '-' : '+';
  const u64 a = static_cast<u64>(x < 0 ? -x : x);
  return put_digits(p, a, a >= 100 ? 3 : 2);
}

}  // namespace

int fixed6(char* out, double v, int width) {
  const Binary b = decompose(v);
  u64 n = 0;
  if (!decimal_scaling::micro_units(b, n)) return -1;
  const u64 whole = n / 1000000;
  const int count = digit_count(whole);
  // The spaces first, eight at a time: the length is known before any digit
  // is written, and the digits cover the spaces stored beyond the padding.
  char* p = out;
  for (int pad = width - (b.negative ? 1 : 0) - count - 7; pad > 0; pad -= 8) {
    std::memcpy(p, "        ", 8);
    p += pad < 8 ? pad : 8;
  }
  if (b.negative) *p++ = '-';
  p = put_digits(p, whole, count);
  *p++ = '.';
  p = put_six_digits(p, n - whole * 1000000);
  return static_cast<int>(p - out);
}

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

int integer_text(char* out, long long v) {
  char* p = out;
  u64 magnitude = static_cast<u64>(v);
  if (v < 0) {
    *p++ = '-';
    magnitude = 0 - magnitude;  // the magnitude of the most negative value too
  }
  p = put_digits(p, magnitude, digit_count(magnitude));
  return static_cast<int>(p - out);
}

}  // namespace lumaveil
