// Integers written as decimal digits, two at a time from a table of the
// pairs "00" to "99", without a division where the count of digits is fixed.
#ifndef LUMAVEIL_REPORT_DECIMAL_DIGITS_H
#define LUMAVEIL_REPORT_DECIMAL_DIGITS_H

#include <cstring>

#include "report/decimal_scaling.h"

namespace lumaveil::decimal_digits {

using decimal_scaling::kTenTo;
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

inline constexpr DigitPairs kPairs = make_pairs();

// Writes n < 10^count as `count` digits, zeros in front, two at a time
// from the last.
inline char* put_digits(char* p, u64 n, int count) {
  int j = count;
  while (j >= 2) {
    j -= 2;
    std::memcpy(p + j, kPairs.at + 2 * (n % 100), 2);
    n /= 100;
  }
  if (j == 1) p[0] = static_cast<char>('0' + n);
  return p + count;
}

// The number of decimal digits of n (1 for 0): from the number of its bits,
// t = floor(bits·log10 2) (1233 / 4096 is log10 2 a little low), the count
// is t + 1, or t when n lies below 10^t.
inline int digit_count(u64 n) {
  const u64 odd = n | 1;  // as many digits as n, 0 included (the powers of ten are even)
  const int t = (decimal_scaling::bit_length(odd) * 1233) >> 12;
  return t + 1 - (odd < kTenTo[t] ? 1 : 0);
}

// Writes the six digits of n < 10^6, zeros in front, two at a time from the
// first without a division: t / 2^32 is n / 10^4 plus an error below
// 0.63·10^-4 (429497 exceeds 2^32 / 10^4 by 0.2704, times n < 10^6). The
// whole part of t / 2^32 is the first pair; the part below, times 100,
// carries the next pair in its whole part, the error growing a hundredfold
// each time: still below 0.63 of the last pair's unit, too little to change
// any whole part.
inline char* put_six_digits(char* p, u64 n) {
  constexpr u64 kLow32 = 0xFFFFFFFFu;
  u64 t = n * 429497;
  std::memcpy(p, kPairs.at + 2 * (t >> 32), 2);
  t = (t & kLow32) * 100;
  std::memcpy(p + 2, kPairs.at + 2 * (t >> 32), 2);
  t = (t & kLow32) * 100;
  std::memcpy(p + 4, kPairs.at + 2 * (t >> 32), 2);
  return p + 6;
}

}  // namespace lumaveil::decimal_digits

#endif
