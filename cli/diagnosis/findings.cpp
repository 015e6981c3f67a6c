#include "cli/diagnosis/findings.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "cli/diagnosis/finding_text.h"
#include "model/codes.h"
#include "model/numbers.h"

namespace lumaveil::cli::diagnosis {

namespace {

// The separator of a file without tabs, judged by its data: the candidate
// that splits off the most pieces reading as a number or a code. A comment
// may hold any of the candidates, but the pieces it splits into are words,
// so comment text cannot outvote the rows of numbers.
struct SeparatorGuess {
  const char* name;
  int line;  // the first line with a number or code split off by it
};

bool data_piece(const std::string& piece) {
  const char* p = skip_blanks(piece.c_str());
  if ((*p == 'V' || *p == 'P' || *p == 'M') && *skip_blanks(p + 1) == '\0') return true;
  const CellText text = classify_cell(p, false);
  return text == CellText::kNumber || text == CellText::kDecimalComma;
}

SeparatorGuess guess_separator(const std::string& bytes) {
  static const std::pair<char, const char*> kCandidates[] = {
      {';', "semicolons"}, {',', "commas"}, {' ', "spaces"}};
  SeparatorGuess best{"spaces", 0};
  int best_pieces = 0;
  for (const auto& [mark, name] : kCandidates) {
    int pieces = 0, first_line = -1, line = 0;
    std::size_t start = 0;
    while (start <= bytes.size()) {
      std::size_t end = bytes.find('\n', start);
      if (end == std::string::npos) end = bytes.size();
      const std::string text = bytes.substr(start, end - start);
      if (text.find(mark) != std::string::npos) {
        std::size_t from = 0;
        for (std::size_t to; from <= text.size(); from = to + 1) {
          to = text.find(mark, from);
          if (to == std::string::npos) to = text.size();
          if (data_piece(text.substr(from, to - from))) {
            ++pieces;
            if (first_line < 0) first_line = line;
          }
        }
      }
      ++line;
      start = end + 1;
    }
    if (pieces > best_pieces) {
      best_pieces = pieces;
      best = {name, first_line};
    }
  }
  return best;
}

}  // namespace

std::string cell_name(int line, int column) {
  std::string letters;
  for (int c = column + 1; c > 0; c = (c - 1) / 26)
    letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
  return letters + std::to_string(line + 1);
}

std::string location(const Finding& f) {
  if (f.line < 0) return f.file;
  return f.file + ", line " + std::to_string(f.line) + ", column " + std::to_string(f.column) +
         " (cell " + cell_name(f.line, f.column) + ")";
}

std::vector<Finding> file_shape_findings(const std::string& file, const std::string& bytes) {
  std::vector<Finding> found;
  auto whole = [&](const std::string& message) { found.push_back({file, -1, 0, message}); };
  if (bytes.find_first_not_of(" \t\r\n\v\f") == std::string::npos) {
    whole("the file is empty: every value reads as 0");
    return found;
  }
  const bool bom16 = bytes.size() >= 2 && ((bytes[0] == '\xff' && bytes[1] == '\xfe') ||
                                           (bytes[0] == '\xfe' && bytes[1] == '\xff'));
  if (bom16 || bytes.find('\0') != std::string::npos) {
    whole(std::string(bom16 ? "the file is UTF-16" : "the file holds NUL bytes (UTF-16?)") +
          ": every cell reads as 0; save it as plain text (UTF-8, Shift_JIS or ASCII)");
    return found;
  }
  if (bytes.find('\r') != std::string::npos && bytes.find('\n') == std::string::npos)
    whole(
        "the lines end in CR alone: the file reads as one line and every value as 0; "
        "save it with LF or CR LF line ends");
  if (bytes.find('\t') == std::string::npos) {
    // No tab at all: every line is one cell. Name the separator it seems to use.
    const SeparatorGuess guess = guess_separator(bytes);
    found.push_back({file, guess.line, 0,
                     std::string("the file has no tabs; its cells seem separated by ") +
                         guess.name +
                         ", so every line is one cell and every value reads as 0: "
                         "separate the cells with tabs"});
  }
  return found;
}

}  // namespace lumaveil::cli::diagnosis
