// The walker over a report's lines that the block readers share. Internal to
// the report reader: a failure is thrown as ParseFailure and becomes the
// failed result of read_report.
#ifndef LUMAVEIL_CLI_REPORT_INPUT_LINE_PARSER_H
#define LUMAVEIL_CLI_REPORT_INPUT_LINE_PARSER_H

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "cli/report_input/line_reader.h"
#include "cli/report_input/report_blocks.h"
#include "cli/report_input/report_lines.h"
#include "cli/report_input/report_reader.h"

namespace lumaveil::cli::report_input {

// Why the text is no report, naming the line.
struct ParseFailure {
  std::string reason;
};

// A whole cell as an int.
bool parse_int(std::string_view cell, int& value);

bool starts_with(std::string_view s, std::string_view prefix);
bool ends_with(std::string_view s, std::string_view suffix);

// Walks the lines of one report as they are read, one line at a time, with
// messages that name the line (from 1, as an editor counts them). Each line
// is decoded to UTF-8 and split into cells; when `keep` is given, it is also
// kept there. What is kept (lines and the typed rows the block readers
// count with keep()) may not pass `limit` bytes; `too_large` is the reason
// given then.
class Parser {
 public:
  Parser(LineReader& reader, const std::string& name, ReportLines* keep, std::size_t limit,
         std::string too_large);

  [[noreturn]] void fail(const std::string& what) const;

  bool done() const { return done_; }
  int at() const { return static_cast<int>(at_); }
  const std::vector<std::string_view>& line() const { return cells_; }
  void next() {
    ++at_;
    load();
  }
  // Counts `bytes` more kept in memory; fails past the limit.
  void keep(std::size_t bytes) {
    kept_ += bytes;
    if (kept_ > limit_) throw ParseFailure{too_large_};
  }

  // The bytes that may still be kept.
  std::size_t room() const { return limit_ - kept_; }

  bool empty_line() const {
    if (done_) return false;
    for (std::string_view cell : cells_)
      if (!cell.empty()) return false;
    return true;
  }
  void skip_empty() {
    while (empty_line()) next();
  }

  // The current line must be exactly these cells.
  void expect(std::initializer_list<std::string_view> cells, const char* what);
  double number(std::size_t column) const;
  // The numbers of the columns from `first` on, into the fields in order.
  void numbers(std::size_t first, std::initializer_list<double*> fields) const {
    for (double* field : fields) *field = number(first++);
  }
  int integer(std::size_t column) const;

  // A data row: at least `width` cells and a whole number in the first.
  bool row_ahead(std::size_t width) const {
    int ignored;
    return !done_ && cells_.size() >= width && parse_int(cells_[0], ignored);
  }

 private:
  // Reads line at_ into cells_ (done_ at the end of the text).
  void load();

  LineReader& reader_;
  const std::string& name_;
  ReportLines* keep_;
  std::size_t limit_, kept_ = 0;
  std::string too_large_;
  std::size_t at_ = 0;
  bool done_ = false;
  std::string decoded_;
  std::vector<std::string_view> cells_;
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
