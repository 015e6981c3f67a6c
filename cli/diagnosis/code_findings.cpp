// The optimisation codes of the lens file (column 6) and the companions of
// tied surfaces (column 7). The library reads a code from the first byte of
// its cell alone: 'V' makes surface k a variable of modes 2, 3, 5 and 6, 'P'
// and 'M' tie it to surface LINK[k] (the same value, or its negative), and
// any other byte leaves it fixed, silently. The findings catch the codes a
// user meant but the library does not see, and ties that follow nothing.
#include <string>
#include <vector>

#include "cli/diagnosis/finding_text.h"
#include "cli/diagnosis/findings.h"
#include "model/codes.h"

namespace lumaveil::cli::diagnosis {

namespace {

bool is_code(char c) { return c == 'V' || c == 'P' || c == 'M'; }

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// A code cell that does not begin with 'V', 'P' or 'M' but looks meant as
// one: a blank before the letter, or the letter in lower case (also as the
// start of a word such as "var"). "" when it does not.
std::string mistyped_code(const char* text, int k) {
  const char* p = skip_blanks(text);
  const char meant = upper(*p);
  if (is_code(text[0]) || !is_code(meant)) return "";
  std::string why;
  if (p != text)
    why = "begins with a blank";
  else if (p[1] == '\0')
    why = std::string("is a lower-case '") + *p + "'";
  else
    why = "begins with a lower-case '" + std::string(1, *p) + "'";
  const char* effect = meant == 'V' ? " is not variable" : " is tied to nothing and stays fixed";
  return "the code \"" + std::string(text) + "\" " + why +
         ": a code is read from the cell's first byte, upper case only, so " + surface_name(k) +
         effect + "; write \"" + std::string(1, meant) + "\" as the cell's first character";
}

// A 'P' or 'M' surface k whose companion LINK[k] cannot carry a variable.
std::string broken_tie(const State& s, int k) {
  const int g = s.LINK[k];
  const std::string tie = surface_name(k) + " is tied (" + s.CODE[k][0] + ") to ";
  const std::string remedy = "; write in LINK the number of the V surface it should follow";
  if (g < 0 || g > kMaxSurfaces)
    return tie + "LINK = " + printed(g) +
           ", outside 0..100: the tie is ignored and the surface stays fixed" + remedy;
  if (g > s.NUMB)
    return tie + "LINK = " + printed(g) + ", beyond the last surface (NUMB = " + printed(s.NUMB) +
           "): it takes the value of a row that is not read and follows no variable" + remedy;
  if (g == k) return tie + "itself (LINK = " + printed(g) + "): it follows no variable" + remedy;
  if (g > wide(s.NUMB) - 2 || !is_variable(s, g))
    return tie + surface_name(g) +
           ", which is not a V surface among 0..NUMB-2: it takes that surface's value and moves "
           "with whatever variable number the surface last held, so it follows no variable as "
           "intended" +
           remedy;
  return "";
}

}  // namespace

int mistyped_variables(const State& s, const InputGrid& grid) {
  int count = 0;
  for (int k = 0; k <= wide(s.NUMB) - 2; ++k) {
    const char* text = grid.cell(17 + k, 6);
    if (text[0] != 'V' && upper(*skip_blanks(text)) == 'V') ++count;
  }
  return count;
}

std::vector<Finding> code_findings(const State& s, const InputGrid& grid) {
  std::vector<Finding> found;
  auto add = [&](int line, int column, const std::string& message) {
    found.push_back({kLensFile, line, column, message});
  };
  if (s.NUMB >= 1 && is_variable(s, 0))
    add(17, 6,
        "surface 0 is coded V: the start plane's curvature is never used, so modes 2, 5 "
        "and 6 find singular normal equations (mode 3 does vary its distance, moving the "
        "whole lens); code V on the surfaces to vary");
  if (s.NUMB >= 2 && is_variable(s, s.NUMB - 1))
    add(17 + s.NUMB - 1, 6,
        "surface NUMB-1 (the image plane) is coded V: it gets a report column with no values "
        "under it, so the later columns shift, and it moves no ray; remove the code");
  if (s.NUMB >= 0 && is_variable(s, s.NUMB))
    add(17 + s.NUMB, 6,
        "surface NUMB (the closing plane) is coded V: the code is never read; "
        "remove it");
  for (int k = 0; k <= wide(s.NUMB) - 2; ++k) {
    const std::string mistyped = mistyped_code(grid.cell(17 + k, 6), k);
    if (!mistyped.empty()) add(17 + k, 6, mistyped);
    if (s.CODE[k][0] != 'P' && s.CODE[k][0] != 'M') continue;
    const std::string tie = broken_tie(s, k);
    if (!tie.empty()) add(17 + k, 7, tie);
  }
  return found;
}

}  // namespace lumaveil::cli::diagnosis
