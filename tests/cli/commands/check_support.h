// What the tests of `lumaveil check` share: running the check in the
// current directory, and a finding expected at a cell. Their good lens and
// ray set are good_lens() and good_rays (support/test_support.h).
#ifndef LUMAVEIL_TESTS_CLI_COMMANDS_CHECK_SUPPORT_H
#define LUMAVEIL_TESTS_CLI_COMMANDS_CHECK_SUPPORT_H

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/commands/check.h"
#include "support/test_support.h"

namespace lumaveil::testing {

struct CheckResult {
  int status;
  std::string text;
};

// Runs the check in the current directory.
inline CheckResult check() {
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  const int status = cli::commands::run_check(out);
  std::fclose(out);
  CheckResult r{status, std::string(buffer, size)};
  std::free(buffer);
  return r;
}

// The lens text with one cell replaced: line `line`, column `column`.
inline std::string with_cell(const std::string& text, int line, int column,
                             const std::string& cell) {
  auto lines = split_lines(text);
  auto cells = split_cells(lines.at(line));
  while (static_cast<int>(cells.size()) <= column) cells.emplace_back();
  cells[column] = cell;
  std::string joined, result;
  for (std::size_t c = 0; c < cells.size(); ++c) joined += (c ? "\t" : "") + cells[c];
  lines[line] = joined;
  for (const std::string& l : lines) result += l + "\n";
  return result;
}

// Expects the check to fail with a finding at `where` that says `says`.
inline void expect_finding(const std::string& where, const std::string& says) {
  const CheckResult r = check();
  EXPECT_EQ(r.status, 1) << r.text;
  std::size_t at = r.text.find(where + ": ");
  ASSERT_NE(at, std::string::npos) << "no finding at " << where << "\n" << r.text;
  // A cell may have several findings: one of them must say it.
  std::string lines;
  for (; at != std::string::npos; at = r.text.find(where + ": ", at + 1)) {
    const std::string line = r.text.substr(at, r.text.find('\n', at) - at);
    if (line.find(says) != std::string::npos) return;
    lines += line + "\n";
  }
  ADD_FAILURE() << "no finding at " << where << " says: " << says << "\n" << lines;
}

}  // namespace lumaveil::testing

#endif
