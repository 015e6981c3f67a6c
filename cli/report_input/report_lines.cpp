#include "cli/report_input/report_lines.h"

#include "cli/report_input/large_pages.h"

namespace lumaveil::cli::report_input {

void split_cells(std::string_view line, std::vector<std::string_view>& cells) {
  cells.clear();
  std::size_t start = 0;
  while (true) {
    const std::size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) {
      cells.push_back(line.substr(start));
      return;
    }
    cells.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
}

ReportLines::ReportLines(std::initializer_list<Cells> lines) {
  for (const Cells& cells : lines) {
    std::string line;
    for (std::size_t c = 0; c < cells.size(); ++c) line += (c > 0 ? "\t" : "") + cells[c];
    add(line);
  }
}

void ReportLines::reserve_for(std::size_t bytes) {
  // The kept text is the file's bytes less the line ends (more only for
  // Shift_JIS headings, which grow by half when decoded). A mode-1 spot row,
  // the bulk of a large report, is about 50 bytes; a guess too high or too
  // low only costs one more growth of the 4-byte starts.
  constexpr std::size_t kTypicalLine = 48;
  text_.reserve(bytes);
  advise_large_pages(text_.data(), text_.capacity());
  reserve_in_large_pages(starts_, bytes / kTypicalLine);
}

void ReportLines::add(std::string_view line) {
  starts_.push_back(static_cast<std::uint32_t>(text_.size()));
  text_.append(line);
}

std::string_view ReportLines::text(std::size_t i) const {
  const std::size_t end = i + 1 < starts_.size() ? starts_[i + 1] : text_.size();
  return std::string_view(text_).substr(starts_[i], end - starts_[i]);
}

ReportLines::Cells ReportLines::operator[](std::size_t i) const {
  std::vector<std::string_view> views;
  split_cells(text(i), views);
  return Cells(views.begin(), views.end());
}

bool operator==(const ReportLines& a, const std::vector<ReportLines::Cells>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return false;
  return true;
}

}  // namespace lumaveil::cli::report_input
