// What the reader of numbers must give for a text, worked out independently
// of it: the C library's strtod and strtol in the "C" locale (whatever locale
// the process has), and random texts that exercise them. Shared by the unit
// test and the fuzz harness of the number reader.
#ifndef LUMAVEIL_TESTS_NUMBER_ORACLE_H
#define LUMAVEIL_TESTS_NUMBER_ORACLE_H

#include <locale.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace lumaveil::testing {

inline locale_t c_locale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return c;
}

inline std::uint64_t bits_of(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

// The hexadecimal number text [p, end) ("0x" included, known to be well
// formed) rounded exactly to nearest-even on the denormal grid 2^-1074.
// Only for values at or below the smallest normal, where that grid is the
// whole precision.
inline double exact_small_hexadecimal(const char* p, const char* end, bool negative) {
  std::vector<int> bits;  // the mantissa digits as bits, most significant first
  long fraction_digits = 0, exponent = 0;
  bool in_fraction = false;
  for (p += 2; p < end && *p != 'p' && *p != 'P'; ++p) {
    if (*p == '.') { in_fraction = true; continue; }
    const int d = (*p <= '9') ? *p - '0' : (*p | 0x20) - 'a' + 10;
    for (int b = 3; b >= 0; --b) bits.push_back((d >> b) & 1);
    if (in_fraction) ++fraction_digits;
  }
  if (p < end) {
    exponent = std::strtol(p + 1, nullptr, 10);
    if (exponent > 100000) exponent = 100000;
    if (exponent < -100000) exponent = -100000;
  }
  // The mantissa's bits above the grid point 2^-1074: `whole` of them.
  const long whole = static_cast<long>(bits.size()) + exponent - 4 * fraction_digits + 1074;
  std::uint64_t units = 0;
  bool half = false, beyond = false;
  for (long i = 0; i < static_cast<long>(bits.size()); ++i) {
    if (i < whole) units = units * 2 + static_cast<std::uint64_t>(bits[i]);
    else if (i == whole) half = bits[i] != 0;
    else beyond = beyond || bits[i] != 0;
  }
  for (long i = static_cast<long>(bits.size()); i < whole; ++i) units *= 2;
  if (half && (beyond || (units & 1) != 0)) ++units;
  const double value = std::ldexp(static_cast<double>(units), -1074);
  return negative ? -value : value;
}

// strtod in the "C" locale, bit for bit. One exception: this C library
// rounds some hexadecimal numbers in the denormal range wrongly (it loses
// bits beyond the first one past the last kept digit), while the C
// language asks hexadecimal numbers to be rounded correctly; those are
// rounded here exactly.
inline double reference_real(const char* text) {
  char* end = nullptr;
  const double value = strtod_l(text, &end, c_locale());
  if (!(std::fabs(value) <= DBL_MIN)) return value;
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  const bool negative = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  if (p[0] == '0' && (p[1] | 0x20) == 'x' && end > p + 1)
    return exact_small_hexadecimal(p, end, negative);
  return value;
}

// atoi in the "C" locale within int; beyond it the limits of int.
inline int reference_int(const char* text) {
  const long long v = strtoll_l(text, nullptr, 10, c_locale());
  return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
}

// A random text of at most `max_bytes` bytes built from pieces of numbers:
// blanks, signs, points, commas, exponent letters, "0x", inf/nan words in
// mixed case, brackets, and runs of decimal and hexadecimal digits.
inline std::string random_number_text(std::mt19937_64& rng, std::size_t max_bytes) {
  static const char* const pieces[] = {
      "0x", "0X", " ", "\t", "\n", "+", "-", ".", ",", "e", "E", "p", "P", "x", "i", "n", "f",
      "a", "(", ")", "_", "inf", "INF", "infinity", "iNfInItY", "nan", "NaN", "nan(", "0", "00",
      "e308", "E-324", "e-400", "p1023", "p1024", "p-1074", "P-1075", "p-1022", "e+", "p-"};
  static const char digits[] = "0123456789abcdefABCDEF";
  std::string text;
  const int count = static_cast<int>(rng() % 9);
  for (int i = 0; i < count; ++i) {
    if (rng() % 3 == 0) {
      const int n = 1 + static_cast<int>(rng() % 24);
      const bool decimal = rng() % 2 == 0;
      for (int j = 0; j < n; ++j) text += digits[rng() % (decimal ? 10 : 22)];
    } else {
      text += pieces[rng() % (sizeof pieces / sizeof pieces[0])];
    }
  }
  if (text.size() > max_bytes) text.resize(max_bytes);
  return text;
}

}  // namespace lumaveil::testing

#endif
