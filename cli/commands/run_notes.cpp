#include "cli/commands/run_notes.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

#include "cli/report_input/report_reader.h"
#include "model/file_access.h"

namespace lumaveil::cli::commands {

namespace {

using report_input::ReportContents;

const char kSeeCheck[] = "; `lumaveil check` shows why";

std::string nanometres(double wavelength) {
  char text[40];
  std::snprintf(text, sizeof text, "%g nm", wavelength);
  return text;
}

bool finite(std::initializer_list<double> values) {
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

// Mode 1: the first spot row of each wavelength that is not finite.
void spot_notes(const ReportContents& r, std::vector<std::string>& notes) {
  for (const auto& block : r.trajectories)
    for (const auto& row : block.spots)
      if (!finite({row.u, row.v, row.x, row.y})) {
        notes.push_back("the spot rows of wavelength " + std::to_string(block.wavelength) +
                        " are not finite from row " + std::to_string(row.n) + " on" + kSeeCheck);
        break;
      }
}

// Mode 4: the first scan row of each scan that is not finite, and its fit.
void scan_notes(const ReportContents& r, std::vector<std::string>& notes) {
  for (const auto& block : r.aberrations)
    for (const auto* scan : {&block.u_scan, &block.v_scan}) {
      const std::string which = std::string(scan == &block.u_scan ? "x" : "y") + " scan at " +
                                nanometres(block.wavelength_nm);
      for (std::size_t i = 0; i < scan->rows.size(); ++i) {
        const auto& row = scan->rows[i];
        if (finite({row.start, row.height, row.angle, row.ab})) continue;
        notes.push_back("the " + which + " is not finite from row " + std::to_string(i + 1) +
                        " on" + kSeeCheck);
        break;
      }
      bool fit_finite = true;
      for (double c : scan->fit) fit_finite = fit_finite && std::isfinite(c);
      if (!fit_finite) notes.push_back("the fit of the " + which + " is not finite" + kSeeCheck);
    }
}

// Modes 2, 3, 5, 6: the first iteration whose merit E is not finite.
void merit_notes(const ReportContents& r, std::vector<std::string>& notes) {
  for (const auto& row : r.optimisation.rows)
    if (!std::isfinite(row.e)) {
      notes.push_back("E is not finite from " +
                      std::string(r.mode == 5 || r.mode == 6 ? "pass " : "iteration ") +
                      std::to_string(row.n) + " on: the optimisation diverged or its rays failed" +
                      kSeeCheck);
      return;
    }
}

}  // namespace

namespace {

// The next byte c at or after from, found again only once the last one
// found lies behind from: each search runs over the report once.
class NextByte {
 public:
  NextByte(char c, const char* end) : c_(c), end_(end), at_(nullptr) {}
  const char* from(const char* from) {
    if (at_ == nullptr || (at_ < from && at_ != end_)) {
      const void* found = std::memchr(from, c_, static_cast<std::size_t>(end_ - from));
      at_ = found != nullptr ? static_cast<const char*>(found) : end_;
    }
    return at_;
  }

 private:
  char c_;
  const char* end_;
  const char* at_;
};

bool ends_cell(char c) { return c == '\t' || c == '\n'; }

}  // namespace

long long non_finite_count(std::string_view report) {
  // Every spelling of a value that is not finite (inf, infinity, nan, in
  // either case) has an n: only the cells (runs between tabs and line ends)
  // with one are read as numbers.
  long long count = 0;
  const char* const end = report.data() + report.size();
  NextByte lower('n', end), upper('N', end);
  const char* from = report.data();  // the start of a cell
  while (from < end) {
    const char* a = lower.from(from);
    const char* b = upper.from(from);
    const char* n = a < b ? a : b;
    if (n == end) break;
    const char* cell = n;
    while (cell > from && !ends_cell(cell[-1])) --cell;
    const char* after = n;
    while (after < end && !ends_cell(*after)) ++after;
    double value = 0;
    if (report_input::parse_number(std::string_view(cell, after - cell), value) &&
        !std::isfinite(value))
      ++count;
    from = after + 1;
  }
  return count;
}

long long non_finite_count_in_file(const char* path) {
  int error = 0;
  std::FILE* file = open_regular_file(path, FileUse::kRead, error);
  if (file == nullptr) return 0;
  // Whole cells are counted piece by piece; the cell cut by the end of a
  // piece waits for the next. The buffer is not cleared before each read (a
  // report of many megabytes would be cleared megabyte by megabyte for
  // nothing); it grows only for a cell longer than a piece.
  constexpr std::size_t kPiece = 1 << 20;
  std::size_t room = 2 * kPiece;
  auto text = std::make_unique_for_overwrite<char[]>(room);
  std::size_t kept = 0;  // the bytes of the cut cell at the front
  long long count = 0;
  for (bool more = true; more;) {
    if (room - kept < kPiece) {
      auto larger = std::make_unique_for_overwrite<char[]>(2 * room);
      std::memcpy(larger.get(), text.get(), kept);
      text = std::move(larger);
      room *= 2;
    }
    const std::size_t got = std::fread(text.get() + kept, 1, kPiece, file);
    const std::string_view read(text.get(), kept + got);
    more = got == kPiece;
    const std::size_t cut = more ? read.find_last_of("\t\n") : read.size() - 1;
    kept = read.size();
    if (cut == std::string_view::npos) continue;
    count += non_finite_count(read.substr(0, cut + 1));
    kept = read.size() - (cut + 1);
    std::memmove(text.get(), text.get() + cut + 1, kept);
  }
  std::fclose(file);
  return count;
}

std::vector<std::string> run_notes(const State& s, int mode, bool lens_read,
                                   const std::string& report) {
  std::vector<std::string> notes;
  if (mode < 1 || mode > 6) {
    notes.push_back("mode " + std::to_string(mode) +
                    " reads the lens and writes nothing (the modes are 1 to 6)");
    return notes;
  }
  if (!lens_read) return notes;
  if (s.NUMB <= 0 || s.NW <= 0)
    notes.push_back("IN_FM.txt gave " + std::string(s.NUMB <= 0 ? "no surfaces" : "") +
                    (s.NUMB <= 0 && s.NW <= 0 ? " and " : "") +
                    (s.NW <= 0 ? "no wavelengths" : "") + " (NUMB = " + std::to_string(s.NUMB) +
                    ", NW = " + std::to_string(s.NW) + "): the report holds no results" +
                    kSeeCheck);
  if (non_finite_count(report) == 0) return notes;
  const auto contents = report_input::read_report(report);
  if (!contents.ok()) return notes;
  spot_notes(contents.value(), notes);
  scan_notes(contents.value(), notes);
  merit_notes(contents.value(), notes);
  return notes;
}

}  // namespace lumaveil::cli::commands
