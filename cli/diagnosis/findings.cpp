#include "cli/diagnosis/findings.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/diagnosis/finding_text.h"
#include "model/codes.h"
#include "model/numbers.h"

namespace lumaveil::cli::diagnosis {

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
    const char* separator = nullptr;
    char mark = 0;
    if (bytes.find(';') != std::string::npos) {
      separator = "semicolons";
      mark = ';';
    } else if (bytes.find(',') != std::string::npos) {
      separator = "commas";
      mark = ',';
    } else {
      separator = "spaces";
      mark = ' ';
    }
    const std::size_t at = bytes.find(mark);
    int line = 0;
    for (std::size_t i = 0; i < at && at != std::string::npos; ++i)
      if (bytes[i] == '\n') ++line;
    found.push_back({file, line, 0,
                     std::string("the file has no tabs; its cells seem separated by ") + separator +
                         ", so every line is one cell and every value reads as 0: "
                         "separate the cells with tabs"});
  }
  return found;
}

}  // namespace lumaveil::cli::diagnosis
