#include "report_reader.h"

#include "cli/file_bytes.h"
#include "cli/text.h"

#include <cerrno>
#include <charconv>
#include <sstream>

namespace lumaveil::report {

bool parse_number(std::string_view cell, double& value) {
  std::size_t start = cell.find_first_not_of(' ');
  if (start == std::string_view::npos) return false;
  cell.remove_prefix(start);
  const char* first = cell.data();
  const char* last = first + cell.size();
  auto [end, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && end == last;
}

namespace {

bool parse_int(std::string_view cell, int& value) {
  const char* last = cell.data() + cell.size();
  auto [end, ec] = std::from_chars(cell.data(), last, value);
  return !cell.empty() && ec == std::errc() && end == last;
}

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

// The report's lines as decoded cells. A CR before the LF (a report written
// on Windows) is dropped; a last line without LF counts.
std::vector<std::vector<std::string>> split_report(std::string_view text) {
  std::vector<std::vector<std::string>> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t lf = text.find('\n', start);
    std::size_t end = lf == std::string_view::npos ? text.size() : lf;
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(split_cells(cli::text::decode_cp932(line)));
    if (lf == std::string_view::npos) break;
    start = lf + 1;
  }
  return lines;
}

// Headings as UTF-8.
constexpr std::string_view kWavelength = "波長";
constexpr std::string_view kTrajectory = "（中心光束の軌跡）";
constexpr std::string_view kSpot = "（スポットダイアグラム）";
constexpr std::string_view kGaussNewton = "N次元Gauss-Newton法によるレンズ";
constexpr std::string_view kCurvatureTitle = "曲率(1/R)最適化計算結果";
constexpr std::string_view kDistanceTitle = "間隔(D)最適化計算結果";
constexpr std::string_view kOneDistanceTitle = "曲率(1/R)+1軸間距離最適化計算結果";
constexpr std::string_view kTwoDistanceTitle = "曲率(1/R)+2軸間距離最適化計算結果";
constexpr std::string_view kOrder = "次";

bool starts_with(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}
bool ends_with(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// Walks the lines of one report, with messages that name the line (from 1,
// as an editor counts them).
class Parser {
 public:
  Parser(std::vector<std::vector<std::string>>& lines, const std::string& name)
      : lines_(lines), name_(name) {}

  [[noreturn]] void fail(const std::string& what) const {
    std::ostringstream message;
    message << name_ << " line " << (at_ + 1) << ": " << what;
    throw ReportError(message.str());
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
  std::vector<std::vector<std::string>>& lines_;
  const std::string& name_;
  std::size_t at_ = 0;
};

// "波長q" followed by `title`: q, or -1 when the cell is something else.
int wavelength_number(std::string_view cell, std::string_view title) {
  if (!starts_with(cell, kWavelength) || !ends_with(cell, title)) return -1;
  std::string_view digits =
      cell.substr(kWavelength.size(), cell.size() - kWavelength.size() - title.size());
  int q = 0;
  return parse_int(digits, q) ? q : -1;
}

TraceTable read_trace_table(Parser& p) {
  p.expect({"i", "1/R(i)", "Z(i)", "X(i)", "U(i)", "Y(i)", "V(i)"}, "a trace table heading");
  TraceTable table;
  while (p.row_ahead(7)) {
    if (p.line().size() != 7) p.fail("a trace row has 7 columns");
    TraceRow row;
    row.i = p.integer(0);
    row.c = p.number(1);
    row.z = p.number(2);
    row.x = p.number(3);
    row.u = p.number(4);
    row.y = p.number(5);
    row.v = p.number(6);
    table.push_back(row);
    p.next();
  }
  return table;
}

void read_trajectories(Parser& p, Report& report) {
  while (true) {
    p.skip_empty();
    if (p.done()) return;
    TrajectoryBlock block;
    block.first_line = p.at();
    block.wavelength = wavelength_number(p.line()[0], kTrajectory);
    if (block.wavelength < 0 || p.line().size() != 1) p.fail("expected a wavelength heading");
    p.next();
    for (TraceTable& table : block.tables) table = read_trace_table(p);
    if (!p.empty_line()) p.fail("expected the empty line before the spot diagram");
    p.next();
    if (p.done()) p.fail("the report ends before the spot diagram");
    const auto& heading = p.line();
    if (heading.size() != 4 || wavelength_number(heading[0], kSpot) != block.wavelength ||
        !heading[1].empty() || !heading[2].empty())
      p.fail("expected the spot diagram heading of wavelength " +
             std::to_string(block.wavelength));
    block.spot_count = p.integer(3);
    p.next();
    p.expect({"No", "U(i)", "V(i)", "X(i)", "Y(i)"}, "the spot column names");
    while (p.row_ahead(5)) {
      if (p.line().size() != 5) p.fail("a spot row has 5 columns");
      SpotRow row;
      row.n = p.integer(0);
      row.u = p.number(1);
      row.v = p.number(2);
      row.x = p.number(3);
      row.y = p.number(4);
      block.spots.push_back(row);
      p.next();
    }
    if (static_cast<int>(block.spots.size()) != block.spot_count)
      p.fail("the spot heading counts " + std::to_string(block.spot_count) + " points but " +
             std::to_string(block.spots.size()) + " rows follow");
    block.end_line = p.at();
    report.trajectories.push_back(std::move(block));
  }
}

Scan read_scan(Parser& p, const char* angle, const char* height) {
  Scan scan;
  scan.first_line = p.at();
  std::string a0 = std::string(angle) + "[0]";
  std::string h1 = std::string(height) + "[NUMB-1]";
  std::string a1 = std::string(angle) + "[NUMB-1]";
  p.expect({a0, h1, a1, "AB"}, "a scan heading");
  // Scan rows have four numbers; the fit lines that follow start "0次".
  while (!p.done() && p.line().size() == 4) {
    ScanRow row;
    row.start = p.number(0);
    row.height = p.number(1);
    row.angle = p.number(2);
    row.ab = p.number(3);
    scan.rows.push_back(row);
    p.next();
  }
  for (int order = 0; order < 7; ++order) {
    if (p.done() || p.line().size() != 2 ||
        p.line()[0] != std::to_string(order) + std::string(kOrder))
      p.fail("expected the fit coefficient of order " + std::to_string(order));
    scan.fit[order] = p.number(1);
    p.next();
  }
  scan.end_line = p.at();
  return scan;
}

void read_aberrations(Parser& p, Report& report) {
  while (true) {
    p.skip_empty();
    if (p.done()) return;
    AberrationBlock block;
    block.first_line = p.at();
    const std::string& cell = p.line()[0];
    constexpr std::string_view nm = "(nm)";
    double wavelength = 0;
    if (p.line().size() != 1 || !starts_with(cell, kWavelength) || !ends_with(cell, nm) ||
        !parse_number(std::string_view(cell).substr(
                          kWavelength.size(), cell.size() - kWavelength.size() - nm.size()),
                      wavelength))
      p.fail("expected a wavelength heading");
    block.wavelength_nm = wavelength;
    p.next();
    block.u_scan = read_scan(p, "U", "X");
    p.skip_empty();
    block.v_scan = read_scan(p, "V", "Y");
    block.end_line = p.at();
    report.aberrations.push_back(std::move(block));
  }
}

void read_optimisation(Parser& p, Report& report, int distances) {
  Optimisation& opt = report.optimisation;
  opt.first_line = p.at();
  if (p.done()) p.fail("the column line is missing");
  std::vector<std::string> columns = p.line();
  // Every field is followed by a tab, so the line ends in an empty cell.
  if (!columns.empty() && columns.back().empty()) columns.pop_back();
  std::vector<std::string> fixed = {"No"};
  for (int d = 1; d <= distances; ++d) {
    std::string name(1, 'D');
    name += std::to_string(d);
    fixed.push_back(name);
  }
  for (const char* name : {"E", "Xa", "Xs", "Ya", "Ys"}) fixed.emplace_back(name);
  if (columns.size() < fixed.size() || !std::equal(fixed.begin(), fixed.end(), columns.begin()))
    p.fail("expected the column names of the optimisation rows");
  opt.distance_names.assign(fixed.begin() + 1, fixed.begin() + 1 + distances);
  opt.variable_names.assign(columns.begin() + static_cast<long>(fixed.size()), columns.end());
  p.next();
  while (!p.done()) {
    if (p.empty_line()) {
      p.next();
      continue;
    }
    const auto& l = p.line();
    if (starts_with(l[0], "error:")) {
      opt.error = l[0];
      p.next();
      continue;
    }
    std::size_t width = l.size();
    if (width > 0 && l.back().empty()) --width;
    if (width != columns.size())
      p.fail("a row has " + std::to_string(width) + " fields, the column line " +
             std::to_string(columns.size()));
    IterationRow row;
    row.n = p.integer(0);
    std::size_t k = 1;
    for (int d = 0; d < distances; ++d) row.distances.push_back(p.number(k++));
    row.e = p.number(k++);
    row.xa = p.number(k++);
    row.xs = p.number(k++);
    row.ya = p.number(k++);
    row.ys = p.number(k++);
    while (k < columns.size()) row.variables.push_back(p.number(k++));
    opt.rows.push_back(std::move(row));
    p.next();
  }
  opt.end_line = p.at();
}

}  // namespace

double Scan::t(std::size_t r) const {
  if (rows.size() < 2) return 0;
  double m = static_cast<double>(rows.size() - 1) / 2;
  return (static_cast<double>(r) - m) / m;
}

std::string mode_title(int mode) {
  switch (mode) {
    case 0: return "error report";
    case 1: return "mode 1: trajectory and spot diagram";
    case 2: return "mode 2: curvature optimisation";
    case 3: return "mode 3: axial-distance optimisation";
    case 4: return "mode 4: wavefront aberration";
    case 5: return "mode 5: curvatures and one distance";
    case 6: return "mode 6: curvatures and two distances";
    default: return "mode " + std::to_string(mode);
  }
}

Report read_report(std::string_view text, const std::string& name) {
  Report report;
  report.cells = split_report(text);
  if (report.cells.empty())
    throw ReportError(name + " is empty: a report without wavelengths has nothing to show");
  Parser p(report.cells, name);
  const std::string first = report.cells[0][0];
  report.heading = first;
  if (starts_with(first, "error:") && report.cells[0].size() == 1) {
    report.error = first;
    return report;
  }
  if (wavelength_number(first, kTrajectory) >= 0) {
    report.mode = 1;
    read_trajectories(p, report);
    return report;
  }
  if (starts_with(first, kWavelength) && ends_with(first, "(nm)")) {
    report.mode = 4;
    read_aberrations(p, report);
    return report;
  }
  if (starts_with(first, kGaussNewton) && report.cells[0].size() == 1) {
    std::string_view rest = std::string_view(first).substr(kGaussNewton.size());
    int distances = 0;
    if (rest == kCurvatureTitle)
      report.mode = 2;
    else if (rest == kDistanceTitle)
      report.mode = 3;
    else if (rest == kOneDistanceTitle)
      report.mode = 5;
    else if (rest == kTwoDistanceTitle)
      report.mode = 6;
    if (report.mode == 5) distances = 1;
    if (report.mode == 6) distances = 2;
    if (report.mode != 0) {
      p.next();
      read_optimisation(p, report, distances);
      return report;
    }
  }
  throw ReportError(name +
                    " is not a Lumaveil report: its first line is no heading of modes 1 to 6 "
                    "and no error line");
}

Report read_report_file(const std::string& path) {
  const cli::Result<std::string> bytes = cli::read_regular_file(path);
  if (!bytes.ok()) throw ReportError("cannot open " + path + " (" + bytes.reason() + ")");
  return read_report(bytes.value(), path);
}

}  // namespace lumaveil::report
