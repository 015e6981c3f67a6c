#include "cli/diagnosis/findings.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/diagnosis/finding_text.h"
#include "model/codes.h"
#include "model/numbers.h"
#include "report/trace_and_spot.h"

namespace lumaveil::cli::diagnosis {

long double mode_work(const State& s, int mode, bool ray_set) {
  const long double surfaces = s.NUMB > 0 ? s.NUMB : 0;
  const long double wavelengths = s.NW > 0 ? s.NW : 0;
  auto at_least_0 = [](long double v) { return v > 0 ? v : 0.0L; };
  const long double ns = s.NS;
  if (mode == 1) {
    // A huge NS is counted by the area of its disc rather than point by point.
    const long double points = s.NS < 0       ? 0
                               : s.NS <= 2000 ? spot_count(s.NS)
                                              : 3.14159265358979L * ns * ns;
    return wavelengths * (4 + points) * surfaces;
  }
  if (mode == 4) return s.NUMB < 2 ? 0 : wavelengths * at_least_0(1 + 2 * (2 * ns + 1)) * surfaces;
  if (!ray_set || mode < 2 || mode > 6) return 0;
  long double rays = 0;
  for (int r = 0; r <= wide(s.NRAY) - 1; ++r)
    if (!(s.XI[r] == 0 && s.YI[r] == 0 && s.UI[r] == 0 && s.VI[r] == 0)) ++rays;
  // One merit evaluation: each ray at each wavelength, plus two traces per variable.
  const long double evaluation = rays * wavelengths * (1 + 2.0L * s.NV) * surfaces;
  if (mode == 2 || mode == 3) return at_least_0(s.NIT) * evaluation;
  const long double samples = mode == 5 ? 5 : 25;
  return at_least_0(s.NITD + 1.0L) * samples * at_least_0(s.NITC) * evaluation;
}

long double spot_rays_per_wavelength(const State& s) {
  if (s.NS < 0) return 0;
  return s.NS <= 2000 ? spot_count(s.NS) : 3.14159265358979L * s.NS * s.NS;
}

long double report_bytes(const State& s, int mode) {
  const long double wavelengths = s.NW > 0 ? s.NW : 0;
  const long double rows = s.NUMB >= 0 ? s.NUMB + 1.0L : 0;
  // Bytes of a line as the report prints it: a trace-table row (seven
  // numbers), a spot row (a count and four %10.6f), a scan row (four %E).
  constexpr long double kTraceRow = 56, kSpotRow = 50, kScanRow = 52, kHeadings = 120;
  if (mode == 1)
    return wavelengths *
           (kHeadings + 4 * rows * kTraceRow + spot_rays_per_wavelength(s) * kSpotRow);
  if (mode == 4 && s.NUMB >= 2) {
    const long double scan = s.NS >= 0 ? 2.0L * s.NS + 1 : 0;
    return wavelengths * 2 * (kHeadings + scan * kScanRow);
  }
  return 0;
}

long double expected_seconds(const State& s, int mode, bool ray_set) {
  return mode_work(s, mode, ray_set) / kStepsPerSecond +
         report_bytes(s, mode) / kReportBytesPerSecond;
}

std::string plain_duration(long double seconds) {
  struct Unit {
    const char* name;
    long double seconds;
  };
  // Each unit serves from twice its length: "90 seconds", then "2 minutes".
  static const Unit kUnits[] = {
      {"year", 365.25L * 86400}, {"day", 86400}, {"hour", 3600}, {"minute", 60}, {"second", 1}};
  if (!(seconds >= 0)) return "an unknown time";
  const Unit* unit = &kUnits[4];
  for (const Unit& u : kUnits)
    if (seconds >= 2 * u.seconds) {
      unit = &u;
      break;
    }
  const double count = static_cast<double>(seconds / unit->seconds);
  if (count < 1) return "less than a second";
  std::string amount = printed(count < 1e4 ? "%.0f" : "%.0e", count);
  // "2e+15" reads as 2e15.
  const std::size_t e = amount.find('e');
  if (e != std::string::npos) {
    std::size_t digits = e + 1;
    if (amount[digits] == '+') amount.erase(digits, 1);
    while (amount.size() > digits + 1 && amount[digits] == '0') amount.erase(digits, 1);
  }
  return "about " + amount + " " + unit->name + (amount == "1" ? "" : "s");
}

std::vector<Finding> work_findings(const State& s, bool ray_set) {
  std::vector<Finding> found;
  const long double spots = spot_rays_per_wavelength(s);
  const long double mb = report_bytes(s, 1) / 1e6L;
  if (spots > kManySpotRays || mb > kLargeReportMB)
    found.push_back({kLensFile, 3, 2,
                     "NS = " + printed(s.NS) + ": mode 1 traces " +
                         printed("%.0f", static_cast<double>(spots)) +
                         " spot rays per wavelength and writes a report of about " +
                         printed("%.0f", static_cast<double>(mb)) + " MB in " +
                         plain_duration(expected_seconds(s, 1, ray_set)) +
                         "; a spreadsheet or plot of it is slow, and NS = 50 (7845 rays) "
                         "shows the spot as well"});
  for (int mode = 1; mode <= 6; ++mode) {
    const long double work = mode_work(s, mode, ray_set);
    if (work <= kLargeWork) continue;
    const bool lens = mode == 1 || mode == 4;
    const int line = lens ? 3 : (mode <= 3 ? 2 : 8);  // NS, NIT or NITD
    found.push_back({lens ? kLensFile : kRaySetFile, line, 2,
                     "mode " + printed(mode) + " would trace about " +
                         printed("%.2g", static_cast<double>(work)) +
                         " ray-surface steps: expect " + plain_duration(work / kStepsPerSecond)});
  }
  return found;
}

}  // namespace lumaveil::cli::diagnosis
