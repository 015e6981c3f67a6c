// Reading numbers from the text of an input cell, as the C library's atoi and
// atof read them in the "C" locale, whatever locale the host process has set:
// leading white space is skipped, the longest valid numeric prefix is taken
// (a full stop is always the decimal point; atof also takes exponents,
// hexadecimal, inf, infinity, nan and nan(chars) in any case), and text
// without a number reads as 0. The result is the C library's to the last bit,
// the mantissa bits of a not-a-number included.
#ifndef LUMAVEIL_MODEL_NUMBERS_H
#define LUMAVEIL_MODEL_NUMBERS_H

namespace lumaveil {

// '0' to '9', whatever the locale.
inline bool is_decimal_digit(char c) { return c >= '0' && c <= '9'; }

// atoi: an optional sign and decimal digits; values beyond the range of int
// saturate at its limits.
int parse_int(const char* text);

// atof: the longest prefix that strtod would take in the "C" locale. A value
// too large for a double reads as +-HUGE_VAL; smaller ones round to nearest,
// down to the denormals and +-0.
double parse_real(const char* text);

}  // namespace lumaveil

#endif
