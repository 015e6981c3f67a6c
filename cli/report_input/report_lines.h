// Every line of a report as its cells, kept compactly: the decoded text of
// all lines in one buffer with a 4-byte start per line, so that a report of
// a million spot rows costs little more than its own bytes. A line's cells
// are split out only when it is looked at.
#ifndef LUMAVEIL_CLI_REPORT_INPUT_REPORT_LINES_H
#define LUMAVEIL_CLI_REPORT_INPUT_REPORT_LINES_H

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace lumaveil::cli::report_input {

class ReportLines {
 public:
  using Cells = std::vector<std::string>;

  ReportLines() = default;
  // Lines from their cells; a cell must hold no tab.
  ReportLines(std::initializer_list<Cells> lines);

  // Room for the lines of a report of `bytes` bytes, made once: the text of
  // a report of many megabytes is then not copied again each time it grows.
  void reserve_for(std::size_t bytes);
  // Appends one line: its cells joined by tabs, as the report has them.
  void add(std::string_view line);
  // What one more line of `length` bytes costs in memory.
  static std::size_t cost(std::size_t length) { return length + sizeof(std::uint32_t); }

  std::size_t size() const { return starts_.size(); }
  bool empty() const { return starts_.empty(); }
  // Line `i`: its text (cells joined by tabs), or its cells (the trailing
  // empty cell of a line ending in a tab kept).
  std::string_view text(std::size_t i) const;
  Cells operator[](std::size_t i) const;

  class const_iterator {
   public:
    using value_type = Cells;
    using difference_type = std::ptrdiff_t;
    using reference = Cells;
    using pointer = void;
    using iterator_category = std::input_iterator_tag;
    const_iterator(const ReportLines* lines, std::size_t i) : lines_(lines), i_(i) {}
    Cells operator*() const { return (*lines_)[i_]; }
    const_iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator==(const const_iterator& other) const { return i_ == other.i_; }
    bool operator!=(const const_iterator& other) const { return i_ != other.i_; }

   private:
    const ReportLines* lines_;
    std::size_t i_;
  };
  using iterator = const_iterator;
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size()}; }

 private:
  std::string text_;
  std::vector<std::uint32_t> starts_;
};

bool operator==(const ReportLines& a, const std::vector<ReportLines::Cells>& b);
inline bool operator==(const std::vector<ReportLines::Cells>& b, const ReportLines& a) {
  return a == b;
}

// The cells of one line (split at tabs) into `cells`, views into `line`.
void split_cells(std::string_view line, std::vector<std::string_view>& cells);

}  // namespace lumaveil::cli::report_input

#endif
