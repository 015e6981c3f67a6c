#include "cli/report_input/report_reader.h"

#include <charconv>

#include "cli/report_input/file_bytes.h"
#include "cli/report_input/line_parser.h"

namespace lumaveil::cli::report_input {

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

ReportContents parse_report(std::string_view text, const std::string& name) {
  ReportContents report;
  report.cells = split_report(text);
  if (report.cells.empty())
    throw ParseFailure{name + " is empty: a report without wavelengths has nothing to show"};
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
  throw ParseFailure{name +
                     " is not a Lumaveil report: its first line is no heading of modes 1 to 6 "
                     "and no error line"};
}

}  // namespace

Result<ReportContents> read_report(std::string_view text, const std::string& name) {
  try {
    return parse_report(text, name);
  } catch (const ParseFailure& failure) {
    return Result<ReportContents>::failure(failure.reason);
  }
}

Result<ReportContents> read_report_file(const std::string& path, const std::string& name) {
  const std::string shown = name.empty() ? path : name;
  const Result<std::string> bytes = read_regular_file(path);
  if (!bytes.ok())
    return Result<ReportContents>::failure("cannot open " + shown + " (" + bytes.reason() + ")",
                                           bytes.error());
  return read_report(bytes.value(), shown);
}

}  // namespace lumaveil::cli::report_input
