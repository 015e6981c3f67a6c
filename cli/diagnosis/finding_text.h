// Small pieces of the findings' texts, shared by their files.
#ifndef LUMAVEIL_CLI_DIAGNOSIS_FINDING_TEXT_H
#define LUMAVEIL_CLI_DIAGNOSIS_FINDING_TEXT_H

#include <cstdio>
#include <string>

namespace lumaveil::cli::diagnosis {

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }
inline bool is_blank(char c) {
  return c == ' ' || c == '\v' || c == '\f' || c == '\t' || c == '\r';
}

inline const char* skip_blanks(const char* p) {
  while (is_blank(*p)) ++p;
  return p;
}

inline std::string printed(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

inline std::string printed(long long value) { return std::to_string(value); }

inline std::string surface_name(int k) { return "surface " + std::to_string(k); }

}  // namespace lumaveil::cli::diagnosis

#endif
