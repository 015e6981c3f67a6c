#include "cli/report_input/line_parser.h"

#include <charconv>

#include "cli/report_input/text.h"

namespace lumaveil::cli::report_input {

namespace {

std::vector<std::string> split_cells(std::string_view line) {
  std::vector<std::string> cells;
  std::size_t start = 0;
  while (true) {
    std::size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) {
      cells.emplace_back(line.substr(start));
      return cells;
    }
    cells.emplace_back(line.substr(start, tab - start));
    start = tab + 1;
  }
}

}  // namespace

bool parse_int(std::string_view cell, int& value) {
  const char* last = cell.data() + cell.size();
  auto [end, ec] = std::from_chars(cell.data(), last, value);
  return !cell.empty() && ec == std::errc() && end == last;
}

Lines split_report(std::string_view text) {
  Lines lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t lf = text.find('\n', start);
    std::size_t end = lf == std::string_view::npos ? text.size() : lf;
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(split_cells(decode_cp932(line)));
    if (lf == std::string_view::npos) break;
    start = lf + 1;
  }
  return lines;
}

bool starts_with(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}
bool ends_with(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

}  // namespace lumaveil::cli::report_input
