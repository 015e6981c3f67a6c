// Reading numbers from the text of an input cell, as the C library's atoi and
// atof read them in the "C" locale, whatever locale the host process has set:
// leading white space is skipped, the longest valid numeric prefix is taken
// (a full stop is always the decimal point; atof also takes exponents,
// hexadecimal, inf and nan), and text without a number reads as 0.
#ifndef LUMAVEIL_MODEL_NUMBERS_H
#define LUMAVEIL_MODEL_NUMBERS_H

namespace lumaveil {

// atoi: an optional sign and decimal digits; values beyond the range of int
// saturate at its limits.
int parse_int(const char* text);

// atof: the longest prefix that strtod would take in the "C" locale. A value
// too large for a double reads as +-HUGE_VAL, one too small as +-0.
double parse_real(const char* text);

}  // namespace lumaveil

#endif
