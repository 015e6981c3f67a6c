// The report's text as lines of decoded cells, and the walker over them that
// the block readers share. Internal to the report reader: a failure is
// thrown as ParseFailure and becomes the failed result of read_report.
#ifndef LUMAVEIL_CLI_REPORT_INPUT_LINE_PARSER_H
#define LUMAVEIL_CLI_REPORT_INPUT_LINE_PARSER_H

#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/report_input/report_blocks.h"
#include "cli/report_input/report_reader.h"

namespace lumaveil::cli::report_input {

using Lines = std::vector<std::vector<std::string>>;

// Why the text is no report, naming the line.
struct ParseFailure {
  std::string reason;
};

// A whole cell as an int.
bool parse_int(std::string_view cell, int& value);
// The report's lines as decoded cells. A CR before the LF (a report written
// on Windows) is dropped; a last line without LF counts.
Lines split_report(std::string_view text);

bool starts_with(std::string_view s, std::string_view prefix);
bool ends_with(std::string_view s, std::string_view suffix);

// Walks the lines of one report, with messages that name the line (from 1,
// as an editor counts them).
class Parser {
 public:
  Parser(Lines& lines, const std::string& name) : lines_(lines), name_(name) {}

  [[noreturn]] void fail(const std::string& what) const {
    std::ostringstream message;
    message << name_ << " line " << (at_ + 1) << ": " << what;
    throw ParseFailure{message.str()};
  }

  bool done() const { return at_ >= lines_.size(); }
  int at() const { return static_cast<int>(at_); }
  const std::vector<std::string>& line() const { return lines_[at_]; }
  void next() { ++at_; }

  bool empty_line() const {
    if (done()) return false;
    for (const std::string& cell : line())
      if (!cell.empty()) return false;
    return true;
  }
  void skip_empty() {
    while (empty_line()) next();
  }

  // The current line must be exactly these cells.
  void expect(std::initializer_list<std::string_view> cells, const char* what) {
    if (done()) fail(std::string("the report ends where ") + what + " should follow");
    const auto& l = line();
    bool same = l.size() == cells.size();
    std::size_t k = 0;
    for (std::string_view cell : cells) {
      if (!same) break;
      same = l[k++] == cell;
    }
    if (!same) fail(std::string("expected ") + what);
    next();
  }

  double number(std::size_t column) const {
    double value = 0;
    const auto& l = line();
    if (column >= l.size()) fail("column " + std::to_string(column + 1) + " is missing");
    if (!parse_number(l[column], value))
      fail("column " + std::to_string(column + 1) + " '" + l[column] + "' is not a number");
    return value;
  }

  // The numbers of the columns from `first` on, into the fields in order.
  void numbers(std::size_t first, std::initializer_list<double*> fields) const {
    for (double* field : fields) *field = number(first++);
  }

  int integer(std::size_t column) const {
    int value = 0;
    const auto& l = line();
    if (column >= l.size() || !parse_int(l[column], value))
      fail("column " + std::to_string(column + 1) + " is not a whole number");
    return value;
  }

  // A data row: at least `width` cells and a whole number in the first.
  bool row_ahead(std::size_t width) const {
    int ignored;
    return !done() && line().size() >= width && parse_int(line()[0], ignored);
  }

 private:
  Lines& lines_;
  const std::string& name_;
  std::size_t at_ = 0;
};

// The blocks of each kind of report (report_blocks.cpp).
void read_trajectories(Parser& p, ReportContents& report);
void read_aberrations(Parser& p, ReportContents& report);
void read_optimisation(Parser& p, ReportContents& report, int distances);
// "波長q" followed by `title`: q, or -1 when the cell is something else.
int wavelength_number(std::string_view cell, std::string_view title);

// Headings as UTF-8.
inline constexpr std::string_view kWavelength = "波長";
inline constexpr std::string_view kTrajectory = "（中心光束の軌跡）";
inline constexpr std::string_view kSpot = "（スポットダイアグラム）";
inline constexpr std::string_view kGaussNewton = "N次元Gauss-Newton法によるレンズ";
inline constexpr std::string_view kCurvatureTitle = "曲率(1/R)最適化計算結果";
inline constexpr std::string_view kDistanceTitle = "間隔(D)最適化計算結果";
inline constexpr std::string_view kOneDistanceTitle = "曲率(1/R)+1軸間距離最適化計算結果";
inline constexpr std::string_view kTwoDistanceTitle = "曲率(1/R)+2軸間距離最適化計算結果";
inline constexpr std::string_view kOrder = "次";

}  // namespace lumaveil::cli::report_input

#endif
