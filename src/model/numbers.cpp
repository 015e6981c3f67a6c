#include "model/numbers.h"

#include <bit>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>

namespace lumaveil {
namespace {

// White space as isspace() sees it in the "C" locale.
bool is_c_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

const char* skip_space(const char* p) {
  while (is_c_space(*p)) ++p;
  return p;
}

bool is_hex_digit(char c) {
  return is_decimal_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether `p` starts with `word` (lower case), in any case.
bool starts_with_word(const char* p, const char* word) {
  for (; *word != '\0'; ++p, ++word)
    if (lower(*p) != *word) return false;
  return true;
}

// What the longest numeric prefix of a text is.
enum class NumberKind { none, decimal, hexadecimal, infinity, not_a_number };

struct NumberText {
  NumberKind kind = NumberKind::none;
  const char* first = nullptr;  // digits (after "0x"), or the parenthesised
  const char* last = nullptr;   // characters of a not-a-number; one past the end
};

// Digits, an optional point and digits, at least one digit in all; then an
// exponent, taken only when its letter is followed by an optionally signed
// decimal digit. Returns the end of the mantissa and exponent, or nullptr
// when there is no digit.
const char* scan_mantissa_and_exponent(const char* p, bool hexadecimal, char exponent_letter) {
  auto digit = [&](char c) { return hexadecimal ? is_hex_digit(c) : is_decimal_digit(c); };
  bool any_digit = false;
  while (digit(*p)) { any_digit = true; ++p; }
  if (*p == '.') {
    ++p;
    while (digit(*p)) { any_digit = true; ++p; }
  }
  if (!any_digit) return nullptr;
  if (lower(*p) == exponent_letter) {
    const char* q = p + 1;
    if (*q == '+' || *q == '-') ++q;
    if (is_decimal_digit(*q)) {
      while (is_decimal_digit(*q)) ++q;
      p = q;
    }
  }
  return p;
}

// The longest prefix of `p` (after blanks and sign) that strtod takes.
NumberText scan_number(const char* p) {
  NumberText text;
  if (p[0] == '0' && lower(p[1]) == 'x') {
    // "0x" without hexadecimal digits after it is the number 0 before the x.
    if (const char* end = scan_mantissa_and_exponent(p + 2, true, 'p'))
      return {NumberKind::hexadecimal, p + 2, end};
    return {NumberKind::decimal, p, p + 1};
  }
  if (const char* end = scan_mantissa_and_exponent(p, false, 'e'))
    return {NumberKind::decimal, p, end};
  if (starts_with_word(p, "inf")) return {NumberKind::infinity, p, p};  // or "infinity"
  if (starts_with_word(p, "nan")) {
    // "nan(chars)" with letters, digits and underscores between the brackets.
    const char* q = p + 3;
    if (*q == '(') {
      const char* chars = q + 1;
      const char* r = chars;
      while (is_decimal_digit(*r) || (lower(*r) >= 'a' && lower(*r) <= 'z') || *r == '_') ++r;
      if (*r == ')') return {NumberKind::not_a_number, chars, r};
    }
    return {NumberKind::not_a_number, q, q};
  }
  return text;
}

// The bits the C library puts into the mantissa of "nan(chars)": the
// characters read as an unsigned number in C notation (0x hexadecimal, a
// leading 0 octal, else decimal, saturating), when they are that number and
// nothing else; the quiet bit stays set. Other characters give the plain
// not-a-number.
double not_a_number(const char* first, const char* last) {
  std::uint64_t bits = 0x7ff8000000000000u;
  const char* p = first;
  int base = 10;
  if (p[0] == '0' && lower(p[1]) == 'x' && p + 2 < last && is_hex_digit(p[2])) {
    base = 16;
    p += 2;
  } else if (p < last && p[0] == '0') {
    base = 8;
  }
  std::uint64_t payload = 0;
  bool saturated = false;
  for (; p < last; ++p) {
    const char c = lower(*p);
    const int d = is_decimal_digit(c) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : 99;
    if (d >= base) return std::bit_cast<double>(bits);
    if (payload > (UINT64_MAX - static_cast<std::uint64_t>(d)) / static_cast<unsigned>(base))
      saturated = true;
    payload = payload * static_cast<unsigned>(base) + static_cast<unsigned>(d);
  }
  if (saturated) payload = UINT64_MAX;
  bits |= payload & 0x0007ffffffffffffu;
  return std::bit_cast<double>(bits);
}

// Whether a number text out of double range overflowed rather than
// underflowed: the sign of its binary (hexadecimal) or decimal order of
// magnitude, roughly. Such texts lie beyond 2^1024 or below 2^-1075, far
// from the order 0 at which the estimate could err.
bool number_text_overflows(const char* first, const char* last, bool hexadecimal) {
  auto digit = [&](char c) { return hexadecimal ? is_hex_digit(c) : is_decimal_digit(c); };
  const long digit_weight = hexadecimal ? 4 : 1;  // order of magnitude of one digit
  long exponent = 0;
  const char* p = first;
  while (p < last && *p == '0') ++p;
  long integer_digits = 0;
  while (p < last && digit(*p)) { ++integer_digits; ++p; }
  long leading_fraction_zeros = 0;
  if (p < last && *p == '.') {
    ++p;
    if (integer_digits == 0)
      while (p < last && *p == '0') { ++leading_fraction_zeros; ++p; }
    while (p < last && digit(*p)) ++p;
  }
  if (p < last) {  // the exponent: the scan took it whole
    ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    while (p < last) {
      if (exponent < 100000000) exponent = exponent * 10 + (*p - '0');
      ++p;
    }
    if (negative) exponent = -exponent;
  }
  return digit_weight * (integer_digits - leading_fraction_zeros) + exponent > 0;
}

// The value of the digits of a decimal or hexadecimal number text, rounded
// to nearest; beyond the range of double +HUGE_VAL or +0.
double digits_value(const NumberText& text) {
  const bool hexadecimal = text.kind == NumberKind::hexadecimal;
  double value = 0.0;
  auto format = hexadecimal ? std::chars_format::hex : std::chars_format::general;
  auto result = std::from_chars(text.first, text.last, value, format);
  if (result.ec == std::errc::result_out_of_range)
    value = number_text_overflows(text.first, text.last, hexadecimal) ? HUGE_VAL : 0.0;
  return value;
}

}  // namespace

int parse_int(const char* text) {
  const char* p = skip_space(text);
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  long long value = 0;
  while (is_decimal_digit(*p)) {
    if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (*p - '0');
    ++p;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

double parse_real(const char* text) {
  const char* p = skip_space(text);
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  const NumberText number = scan_number(p);
  double value = 0.0;
  switch (number.kind) {
    case NumberKind::none:
      return 0.0;  // no number: 0, and without the sign
    case NumberKind::decimal:
    case NumberKind::hexadecimal:
      value = digits_value(number);
      break;
    case NumberKind::infinity:
      value = HUGE_VAL;
      break;
    case NumberKind::not_a_number:
      value = not_a_number(number.first, number.last);
      break;
  }
  return negative ? -value : value;
}

}  // namespace lumaveil
