#include "cli/report_input/report_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <new>

#include "cli/report_input/line_parser.h"
#include "cli/report_input/line_reader.h"
#include "model/file_access.h"

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

// The reason a report too large to keep is refused, with its size when known.
std::string too_large(const std::string& name, std::uintmax_t bytes, std::size_t limit) {
  const auto size = [](std::uintmax_t n) {
    return n < (1u << 20) ? std::to_string(n) + " bytes"
                          : std::to_string((n + (1u << 19)) >> 20) + " MiB";
  };
  return name + (bytes > 0 ? " (" + size(bytes) + ")" : std::string()) +
         " is too large to read: lumaveil keeps at most " + size(limit) + " of a report in memory";
}

ReportContents parse_report(LineReader& reader, const std::string& name, std::uintmax_t bytes,
                            const ReadOptions& options) {
  ReportContents report;
  // Line starts are 4-byte offsets: what is kept stays below 4 GiB.
  const std::size_t limit = std::min<std::size_t>(options.memory_limit, UINT32_MAX);
  // A report larger than the limit is refused while it is read: no room for it.
  if (options.keep_lines && bytes <= limit) report.cells.reserve_for(bytes);
  Parser p(reader, name, options.keep_lines ? &report.cells : nullptr, limit,
           too_large(name, bytes, limit));
  if (p.done())
    throw ParseFailure{name + " is empty: a report without wavelengths has nothing to show"};
  const std::string first(p.line()[0]);
  const bool alone = p.line().size() == 1;
  report.heading = first;
  if (starts_with(first, "error:") && alone) {
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
  if (starts_with(first, kGaussNewton) && alone) {
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

// The report, or why there is none; never an exception.
Result<ReportContents> parse_guarded(LineReader& reader, const std::string& name,
                                     std::uintmax_t bytes, const ReadOptions& options) {
  try {
    return parse_report(reader, name, bytes, options);
  } catch (const ParseFailure& failure) {
    return Result<ReportContents>::failure(failure.reason);
  } catch (const std::bad_alloc&) {
    return Result<ReportContents>::failure(name + " is too large to read: out of memory");
  }
}

}  // namespace

Result<ReportContents> read_report(std::string_view text, const std::string& name,
                                   const ReadOptions& options) {
  LineReader reader(text);
  return parse_guarded(reader, name, text.size(), options);
}

Result<ReportContents> read_report_file(const std::string& path, const std::string& name,
                                        const ReadOptions& options) {
  const std::string shown = name.empty() ? path : name;
  int error = 0;
  std::FILE* file = open_regular_file(path.c_str(), FileUse::kRead, error);
  if (file == nullptr)
    return Result<ReportContents>::failure(
        "cannot open " + shown + " (" + describe_file_error(error) + ")", error);
  struct stat status {};
  const std::uintmax_t bytes =
      fstat(fileno(file), &status) == 0 ? static_cast<std::uintmax_t>(status.st_size) : 0;
  LineReader reader(file, options.memory_limit);
  Result<ReportContents> read = parse_guarded(reader, shown, bytes, options);
  std::fclose(file);
  return read;
}

}  // namespace lumaveil::cli::report_input
