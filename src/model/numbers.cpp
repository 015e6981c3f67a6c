#include "model/numbers.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

namespace lumaveil {
namespace {

// White space as isspace() sees it in the "C" locale.
bool is_c_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

const char* skip_space(const char* p) {
  while (is_c_space(*p)) ++p;
  return p;
}

bool is_hex_digit(char c) {
  return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Whether a number text out of double range overflowed rather than
// underflowed: the sign of its order of magnitude, roughly.
bool number_text_overflows(const char* first, const char* last, bool hexadecimal) {
  auto digit = [&](char c) { return hexadecimal ? is_hex_digit(c) : is_digit(c); };
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
  const char mark = hexadecimal ? 'p' : 'e';  // the letter that starts the exponent
  if (p < last && (*p == mark || *p == mark - 'a' + 'A')) {
    ++p;
    bool negative = false;
    if (p < last && (*p == '+' || *p == '-')) negative = (*p++ == '-');
    while (p < last && is_digit(*p)) {
      if (exponent < 100000000) exponent = exponent * 10 + (*p - '0');
      ++p;
    }
    if (negative) exponent = -exponent;
  }
  return integer_digits - leading_fraction_zeros + exponent > 0;
}

}  // namespace

int parse_int(const char* text) {
  const char* p = skip_space(text);
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  long long value = 0;
  while (is_digit(*p)) {
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
  // A second sign is no number: from_chars would take it, strtod does not.
  if (*p == '+' || *p == '-') return 0.0;
  const char* last = p + std::strlen(p);

  auto format = std::chars_format::general;
  const char* first = p;
  bool hexadecimal = p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
  if (hexadecimal) {
    first = p + 2;
    format = std::chars_format::hex;
    if (*first == '+' || *first == '-') return negative ? -0.0 : 0.0;
  }
  double value = 0.0;
  auto [end, error] = std::from_chars(first, last, value, format);
  if (error == std::errc::invalid_argument) {
    // No number: 0, and without the sign. But "0x" with no hexadecimal
    // digits after it still reads as the signed 0 in front of the x.
    if (!hexadecimal) return 0.0;
    value = 0.0;
  } else if (error == std::errc::result_out_of_range) {
    value = number_text_overflows(first, end, hexadecimal) ? HUGE_VAL : 0.0;
  }
  return negative ? -value : value;
}

}  // namespace lumaveil
