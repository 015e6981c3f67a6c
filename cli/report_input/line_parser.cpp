#include "cli/report_input/line_parser.h"

#include <charconv>
#include <cstring>

#include "cli/report_input/text.h"

namespace lumaveil::cli::report_input {

bool parse_int(std::string_view cell, int& value) {
  const char* last = cell.data() + cell.size();
  auto [end, ec] = std::from_chars(cell.data(), last, value);
  return !cell.empty() && ec == std::errc() && end == last;
}

bool starts_with(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}
bool ends_with(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

Parser::Parser(LineReader& reader, const std::string& name, ReportLines* keep, std::size_t limit,
               std::string too_large)
    : reader_(reader), name_(name), keep_(keep), limit_(limit), too_large_(std::move(too_large)) {
  load();
}

void Parser::load() {
  std::string_view raw;
  if (!reader_.next(raw)) {
    if (reader_.too_long()) throw ParseFailure{too_large_};
    if (reader_.error() != 0)
      fail(std::string("cannot be read: ") + std::strerror(reader_.error()));
    done_ = true;
    cells_.clear();
    return;
  }
  // Only the headings hold Shift_JIS; number rows are ASCII and used as read.
  std::string_view text = raw;
  if (!is_ascii(raw)) {
    decoded_ = decode_cp932(raw);
    text = decoded_;
  }
  if (keep_ != nullptr) {
    keep(ReportLines::cost(text.size()));
    keep_->add(text);
  }
  split_cells(text, cells_);
}

void Parser::fail(const std::string& what) const {
  throw ParseFailure{name_ + " line " + std::to_string(at_ + 1) + ": " + what};
}

void Parser::expect(std::initializer_list<std::string_view> cells, const char* what) {
  if (done_) fail(std::string("the report ends where ") + what + " should follow");
  bool same = cells_.size() == cells.size();
  std::size_t k = 0;
  for (std::string_view cell : cells) {
    if (!same) break;
    same = cells_[k++] == cell;
  }
  if (!same) fail(std::string("expected ") + what);
  next();
}

double Parser::number(std::size_t column) const {
  double value = 0;
  if (column >= cells_.size()) fail("column " + std::to_string(column + 1) + " is missing");
  if (!parse_number(cells_[column], value))
    fail("column " + std::to_string(column + 1) + " '" + std::string(cells_[column]) +
         "' is not a number");
  return value;
}

int Parser::integer(std::size_t column) const {
  int value = 0;
  if (column >= cells_.size() || !parse_int(cells_[column], value))
    fail("column " + std::to_string(column + 1) + " is not a whole number");
  return value;
}

}  // namespace lumaveil::cli::report_input
