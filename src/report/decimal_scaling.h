// A double turned into the integer of the decimal digits a report prints of
// it, in integer arithmetic only (no locale, no rounding mode, no library
// call). decimal.h writes those integers as text.
//
// v = m·2^e exactly. The digits are the integer nearest to |v|·10^k for the
// k that leaves 6 decimals (micro_units) or d significant digits
// (round_significant). For 6 decimals, 10^6 = 15625·2^6, so the product is
// exact in 128 bits and the rounding exact. For the significant digits,
// 10^k comes from a table of its leading 64 bits, which are at most 2 units
// below the true value; the product is then known to within 2^-34 of a unit
// of the last digit. When the part below the last digit lies so near one
// half that this error could decide the rounding (exact ties, and about one
// value in 2^30 otherwise), or |v| ≥ 2^44 for 6 decimals, the functions
// return false and the caller takes the exact conversion of the standard
// library.
#ifndef LUMAVEIL_REPORT_DECIMAL_SCALING_H
#define LUMAVEIL_REPORT_DECIMAL_SCALING_H

#include <bit>
#include <cstdint>
#include <cstring>

namespace lumaveil::decimal_scaling {

using u64 = std::uint64_t;

// |v| = m·2^e exactly, with v's sign. Infinities and not-a-numbers come out
// with e = 972, above every magnitude the callers take.
struct Binary {
  bool negative;
  u64 m;
  int e;
};

inline Binary decompose(double v) {
  u64 bits;
  std::memcpy(&bits, &v, sizeof bits);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  const u64 fraction = bits & ((u64{1} << 52) - 1);
  if (biased == 0) return {(bits >> 63) != 0, fraction, -1074};
  return {(bits >> 63) != 0, fraction | (u64{1} << 52), biased - 1075};
}

// 10^0 to 10^19.
inline constexpr u64 kTenTo[20] = {
    1,           10,           100,           1000,           10000,
    100000,      1000000,      10000000,      100000000,      1000000000,
    10000000000, 100000000000, 1000000000000, 10000000000000, 100000000000000,
    1000000000000000, 10000000000000000, 100000000000000000, 1000000000000000000,
    10000000000000000000u};

inline int bit_length(u64 m) { return 64 - std::countl_zero(m); }

// The upper 64 bits of the 128-bit product a·b.
#ifdef __SIZEOF_INT128__
inline u64 high_of_product(u64 a, u64 b) {
  __extension__ typedef unsigned __int128 uint128;
  return static_cast<u64>((static_cast<uint128>(a) * b) >> 64);
}
#else
// Four 32-bit products (32-bit targets have no 128-bit integer).
inline u64 high_of_product(u64 a, u64 b) {
  const u64 a0 = a & 0xFFFFFFFFu, a1 = a >> 32, b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
  const u64 p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const u64 middle = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
  return p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32);
}
#endif

// m·15625 / 2^r rounded to the nearest integer, ties to even, for r ≥ 64
// (|v| below 2^-17): the rare small values.
u64 round_small_micro(u64 m, int r);

// The nearest integer to |v|·10^6, ties to even; false when |v| ≥ 2^44 or
// v is not finite (the result would not fit in 64 bits).
inline bool micro_units(const Binary& b, u64& n) {
  if (b.m == 0) {
    n = 0;
    return true;
  }
  if (b.e + bit_length(b.m) > 44) return false;
  // |v|·10^6 = m·15625·2^(e+6) = m·15625 / 2^r, below 2^64. A normal
  // double below 2^44 has e ≤ -9 (m has 53 bits), a subnormal e = -1074:
  // r is at least 3.
  const int r = -(b.e + 6);
  if (r >= 64) {
    n = round_small_micro(b.m, r);
    return true;
  }
  // The product m·15625 has at most 67 bits; q is it shifted down by r,
  // `below` the r bits shifted out, moved to the top of a word: the
  // fraction of a unit of q in 64 bits.
  const u64 low = b.m * 15625;
  const u64 q = (low >> r) | (high_of_product(b.m, 15625) << (64 - r));
  const u64 below = low << (64 - r);
  // Up when the fraction passes one half, or equals it with q odd.
  constexpr u64 kHalf = u64{1} << 63;
  n = q + (below > kHalf - (q & 1) ? 1 : 0);
  return true;
}

// A value rounded to d significant digits: n in [10^(d-1), 10^d) and the
// decimal exponent x, so that |v| ≈ n·10^(x-d+1).
struct Significant {
  u64 n;
  int x;
};

// The powers of ten: 10^k ≈ m·2^q with m in [2^63, 2^64) the leading 64
// bits of 10^k, cut (never rounded up), worked out at compile time in exact
// integer arithmetic.
constexpr int kMinPower = -305;
constexpr int kMaxPower = 330;

struct Power {
  u64 m;
  int q;
};

struct PowerTable {
  Power at[kMaxPower - kMinPower + 1];
};

extern const PowerTable kPowers;

// The nearest integer to |v|·10^(d-1-x) for a finite non-zero v and d of 6
// or 7 (the digits the reports print), x being the decimal exponent
// floor(log10|v|). False when the error of the table's power could decide
// the rounding.
inline bool round_significant(const Binary& b, int d, Significant& out) {
  const int length = bit_length(b.m);
  const u64 m = b.m << (64 - length);  // |v| = m·2^e2, m in [2^63, 2^64)
  const int e2 = b.e + length - 64;
  // |v| lies in [2^t, 2^(t+1)), so floor(log10|v|) is x0 or x0 + 1.
  const int t = e2 + 63;
  int x = (t * 315653) >> 20;  // x0 = floor(t·log10 2) for |t| <= 2620
  const Power& p = kPowers.at[d - 1 - x - kMinPower];
  const u64 high = high_of_product(m, p.m);
  // product·2^(e2 + p.q) is |v|·10^(d-1-x0) less at most 2^-34, in
  // [10^(d-1), 2·10^d): its whole part in the top bits of `high`, with
  // `below` bits below the point there (between 37 and 48 of them).
  const int below = -(e2 + p.q) - 64;
  u64 whole = high >> below;
  u64 part = high & ((u64{1} << below) - 1);
  u64 half = u64{1} << (below - 1);
  if (whole >= kTenTo[d]) {
    // |v| >= 10^(x0+1): the last digit moves one place up.
    part += (whole % 10) << below;
    whole /= 10;
    half *= 10;
    ++x;
  }
  const u64 error = u64{1} << (below - 32);  // 2^-32 of a unit, with room to spare
  u64 n = whole;
  if (part > half) ++n;
  else if (part + error >= half) return false;  // a tie, or too near one
  out = {n, x};
  if (n == kTenTo[d]) out = {kTenTo[d - 1], x + 1};  // 9.9999995 rounds to 10
  return true;
}

}  // namespace lumaveil::decimal_scaling

#endif
