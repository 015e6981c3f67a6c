#include "report/decimal_scaling.h"

namespace lumaveil::decimal_scaling {
namespace {

// ---------------------------------------------------------------------------
// 128-bit products.

struct U128 {
  u64 hi, lo;
};

U128 multiply(u64 a, u64 b) { return {high_of_product(a, b), a * b}; }

// Bit i of p, and whether any bit below i is set.
int bit_at(const U128& p, int i) {
  return static_cast<int>((i >= 64 ? p.hi >> (i - 64) : p.lo >> i) & 1u);
}

bool any_bit_below(const U128& p, int i) {
  if (i >= 64) return p.lo != 0 || (i > 64 && (p.hi << (128 - i)) != 0);
  return i > 0 && (p.lo << (64 - i)) != 0;
}

// p / 2^r rounded to the nearest integer, ties to even; 0 < r < 128 and the
// quotient below 2^64.
u64 round_shifted(const U128& p, int r) {
  const u64 q = r >= 64 ? p.hi >> (r - 64) : (p.lo >> r) | (p.hi << (64 - r));
  const bool up = bit_at(p, r - 1) != 0 && (any_bit_below(p, r - 1) || (q & 1u) != 0);
  return q + (up ? 1 : 0);
}

// ---------------------------------------------------------------------------
// The table of the powers of ten (decimal_scaling.h), worked out in exact
// integer arithmetic.

// A non-negative integer of up to 41·32 bits (10^330 has 1097).
struct Big {
  static constexpr int kLimbs = 41;
  std::uint32_t w[kLimbs] = {};
};

constexpr int big_bit_length(const Big& b) {
  for (int i = Big::kLimbs - 1; i >= 0; --i) {
    if (b.w[i] == 0) continue;
    int n = 32;
    while (((b.w[i] >> (n - 1)) & 1u) == 0) --n;
    return 32 * i + n;
  }
  return 0;
}

// Bits length-1 down to length-64 of b (zeros below bit 0).
constexpr u64 leading_64(const Big& b, int length) {
  u64 m = 0;
  for (int i = length - 1; i >= length - 64; --i)
    m = (m << 1) | (i >= 0 ? (b.w[i / 32] >> (i % 32)) & 1u : 0u);
  return m;
}

constexpr void times_ten(Big& b) {
  u64 carry = 0;
  for (std::uint32_t& w : b.w) {
    const u64 t = static_cast<u64>(w) * 10u + carry;
    w = static_cast<std::uint32_t>(t);
    carry = t >> 32;
  }
}

constexpr void divide_by_ten(Big& b) {
  u64 rest = 0;
  for (int i = Big::kLimbs - 1; i >= 0; --i) {
    const u64 t = (rest << 32) | b.w[i];
    b.w[i] = static_cast<std::uint32_t>(t / 10u);
    rest = t % 10u;
  }
}


constexpr PowerTable make_powers() {
  PowerTable t{};
  // 10^k for k >= 0, exactly.
  Big b{};
  b.w[0] = 1;
  for (int k = 0; k <= kMaxPower; ++k) {
    const int length = big_bit_length(b);
    t.at[k - kMinPower] = {leading_64(b, length), length - 64};
    times_ten(b);
  }
  // 10^-i as floor(2^1270 / 10^i): each division by ten cuts, which
  // floor(floor(a / 10) / 10) = floor(a / 100) allows; with the cut of the
  // leading bits the table value is less than 2 units below 10^-i.
  constexpr int kScale = 1270;
  Big a{};
  a.w[kScale / 32] = 1u << (kScale % 32);
  for (int i = 1; i <= -kMinPower; ++i) {
    divide_by_ten(a);
    const int length = big_bit_length(a);
    t.at[-i - kMinPower] = {leading_64(a, length), length - 64 - kScale};
  }
  return t;
}

}  // namespace

constexpr PowerTable kPowers = make_powers();

u64 round_small_micro(u64 m, int r) {
  if (r >= 128) return 0;
  return round_shifted(multiply(m, 15625), r);
}

}  // namespace lumaveil::decimal_scaling
