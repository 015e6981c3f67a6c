#include "cli/report_input/report_blocks.h"

#include <algorithm>

#include "cli/report_input/large_pages.h"
#include "cli/report_input/line_parser.h"

namespace lumaveil::cli::report_input {

namespace {

TraceTable read_trace_table(Parser& p) {
  p.expect({"i", "1/R(i)", "Z(i)", "X(i)", "U(i)", "Y(i)", "V(i)"}, "a trace table heading");
  TraceTable table;
  while (p.row_ahead(7)) {
    if (p.line().size() != 7) p.fail("a trace row has 7 columns");
    TraceRow row;
    row.i = p.integer(0);
    p.numbers(1, {&row.c, &row.z, &row.x, &row.u, &row.y, &row.v});
    p.keep(sizeof row);
    table.push_back(row);
    p.next();
  }
  return table;
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
    p.numbers(0, {&row.start, &row.height, &row.angle, &row.ab});
    p.keep(sizeof row);
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

}  // namespace

int wavelength_number(std::string_view cell, std::string_view title) {
  if (!starts_with(cell, kWavelength) || !ends_with(cell, title)) return -1;
  std::string_view digits =
      cell.substr(kWavelength.size(), cell.size() - kWavelength.size() - title.size());
  int q = 0;
  return parse_int(digits, q) ? q : -1;
}

void read_trajectories(Parser& p, ReportContents& report) {
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
      p.fail("expected the spot diagram heading of wavelength " + std::to_string(block.wavelength));
    block.spot_count = p.integer(3);
    // Room at once for the rows the heading announces, counted as kept, if
    // it fits in what may be kept (a crafted count only gets no room).
    std::size_t reserved = static_cast<std::size_t>(std::max(block.spot_count, 0));
    if (reserved > p.room() / sizeof(SpotRow)) reserved = 0;
    p.keep(reserved * sizeof(SpotRow));
    reserve_in_large_pages(block.spots, reserved);
    p.next();
    p.expect({"No", "U(i)", "V(i)", "X(i)", "Y(i)"}, "the spot column names");
    while (p.row_ahead(5)) {
      if (p.line().size() != 5) p.fail("a spot row has 5 columns");
      SpotRow row;
      row.n = p.integer(0);
      p.numbers(1, {&row.u, &row.v, &row.x, &row.y});
      if (block.spots.size() >= reserved) p.keep(sizeof row);
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

void read_aberrations(Parser& p, ReportContents& report) {
  while (true) {
    p.skip_empty();
    if (p.done()) return;
    AberrationBlock block;
    block.first_line = p.at();
    const std::string_view cell = p.line()[0];
    constexpr std::string_view nm = "(nm)";
    double wavelength = 0;
    if (p.line().size() != 1 || !starts_with(cell, kWavelength) || !ends_with(cell, nm) ||
        !parse_number(cell.substr(kWavelength.size(), cell.size() - kWavelength.size() - nm.size()),
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

void read_optimisation(Parser& p, ReportContents& report, int distances) {
  Optimisation& opt = report.optimisation;
  opt.first_line = p.at();
  if (p.done()) p.fail("the column line is missing");
  std::vector<std::string> columns(p.line().begin(), p.line().end());
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
      opt.error = std::string(l[0]);
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
    p.keep(sizeof row + (row.distances.size() + row.variables.size()) * sizeof(double));
    opt.rows.push_back(std::move(row));
    p.next();
  }
  opt.end_line = p.at();
}

double Scan::t(std::size_t r) const {
  if (rows.size() < 2) return 0;
  double m = static_cast<double>(rows.size() - 1) / 2;
  return (static_cast<double>(r) - m) / m;
}

std::string mode_title(int mode) {
  switch (mode) {
    case 0:
      return "error report";
    case 1:
      return "mode 1: trajectory and spot diagram";
    case 2:
      return "mode 2: curvature optimisation";
    case 3:
      return "mode 3: axial-distance optimisation";
    case 4:
      return "mode 4: wavefront aberration";
    case 5:
      return "mode 5: curvatures and one distance";
    case 6:
      return "mode 6: curvatures and two distances";
    default:
      return "mode " + std::to_string(mode);
  }
}

}  // namespace lumaveil::cli::report_input
