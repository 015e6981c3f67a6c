#include "cli/analysis/ticks.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <set>
#include <utility>

namespace lumaveil::cli::analysis {

double step_125(double target, Rounding rounding) {
  const double power = std::pow(10.0, std::floor(std::log10(target)));
  const double f = target / power;
  const double at_most = (f < 2 ? 1 : f < 5 ? 2 : 5) * power;
  if (rounding == Rounding::kAtMost) return at_most;
  const double nearest = (f < 1.5 ? 1 : f < 3.5 ? 2 : f < 7.5 ? 5 : 10) * power;
  // Near the largest double the nearest step (2e308) is no double.
  return std::isfinite(nearest) ? nearest : at_most;
}

namespace {

std::string to_text(double value, std::chars_format format, int precision) {
  char buffer[128];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
  return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}

// Fixed notation for everyday magnitudes, exponent form otherwise.
bool wants_fixed(double magnitude) {
  return magnitude == 0 || (magnitude >= 1e-4 && magnitude < 1e6);
}

// The power of ten of a finite, non-zero magnitude: -324 to 308.
int decimal_exponent(double magnitude) {
  const double e = std::floor(std::log10(std::fabs(magnitude)));
  return std::isfinite(e) ? static_cast<int>(e) : 0;
}

// Labels of the tick values with the least precision that tells them apart.
std::vector<std::string> tick_labels(const std::vector<double>& values, double step) {
  double magnitude = 0;
  for (double v : values) magnitude = std::max(magnitude, std::fabs(v));
  int step_exponent = decimal_exponent(step);
  std::vector<std::string> labels;
  for (int extra = 0; extra < 17; ++extra) {
    labels.clear();
    for (double v : values) {
      if (v == 0) {
        labels.emplace_back("0");
      } else if (wants_fixed(magnitude)) {
        labels.push_back(to_text(v, std::chars_format::fixed, std::max(0, -step_exponent) + extra));
      } else {
        int digits = decimal_exponent(v) - step_exponent;
        labels.push_back(to_text(v, std::chars_format::scientific, std::max(0, digits) + extra));
      }
    }
    if (std::set<std::string>(labels.begin(), labels.end()).size() == labels.size()) break;
  }
  return labels;
}

// k steps from zero, kept within the finite doubles: the outermost tick of
// a range reaching beyond +-1.7e308 stands at the largest double.
double tick_value(double k, double step) {
  return std::clamp(k * step, -std::numeric_limits<double>::max(),
                    std::numeric_limits<double>::max());
}

}  // namespace

std::string label(double value, int digits) {
  if (value == 0) return "0";
  if (!std::isfinite(value)) return std::isnan(value) ? "NaN" : (value > 0 ? "inf" : "-inf");
  double magnitude = std::fabs(value);
  if (wants_fixed(magnitude)) {
    int exponent = static_cast<int>(std::floor(std::log10(magnitude)));
    std::string text = to_text(value, std::chars_format::fixed, std::max(0, digits - 1 - exponent));
    if (text.find('.') != std::string::npos) {
      while (text.back() == '0') text.pop_back();
      if (text.back() == '.') text.pop_back();
    }
    return text;
  }
  return to_text(value, std::chars_format::scientific, std::max(0, digits - 1));
}

Ticks nice_ticks(double lo, double hi, int target) {
  if (!std::isfinite(lo) || !std::isfinite(hi)) {
    lo = 0;
    hi = 1;
  }
  if (lo > hi) std::swap(lo, hi);
  // A single value, or a range too narrow for double steps (relative to its
  // middle, or among the smallest doubles), is widened around its middle;
  // the widened range stays within the finite doubles.
  const double largest = std::numeric_limits<double>::max();
  double middle = lo / 2 + hi / 2;
  double least = std::max(std::fabs(middle) * 1e-12, 1e-300);
  if (hi / 2 - lo / 2 <= least / 2) {
    double pad = middle == 0 ? 1 : std::max(std::fabs(middle) * 0.05, least);
    lo = std::max(middle - pad, -largest);
    hi = std::min(middle + pad, largest);
  }
  target = std::max(target, 2);
  Ticks ticks;
  // Halves first: the span of +-1e308 is no double.
  ticks.step = step_125((hi / 2 - lo / 2) / target * 2, Rounding::kNearest);
  double first = std::floor(lo / ticks.step);
  double last = std::ceil(hi / ticks.step);
  for (double k = first; k <= last; k += 1) ticks.values.push_back(tick_value(k, ticks.step));
  if (ticks.values.size() < 2) ticks.values = {lo, hi};  // never reached for finite steps
  ticks.lo = ticks.values.front();
  ticks.hi = ticks.values.back();
  ticks.labels = tick_labels(ticks.values, ticks.step);
  return ticks;
}

Ticks log_ticks(double lo, double hi) {
  if (!(lo > 0) || !(hi > 0) || !std::isfinite(lo) || !std::isfinite(hi)) {
    lo = 1;
    hi = 10;
  }
  if (lo > hi) std::swap(lo, hi);
  int d0 = static_cast<int>(std::floor(std::log10(lo)));
  int d1 = static_cast<int>(std::ceil(std::log10(hi)));
  if (d1 <= d0) d1 = d0 + 1;
  // Within less than two decades the powers of ten alone are too few.
  bool halves = std::log10(hi / lo) < 2;
  Ticks ticks;
  // 1e309 and 1e-324 are no doubles: the outermost ticks stop at the
  // largest and the smallest positive double.
  auto add = [&ticks](double v) {
    v = std::clamp(v, std::numeric_limits<double>::denorm_min(),
                   std::numeric_limits<double>::max());
    if (ticks.values.empty() || v > ticks.values.back()) ticks.values.push_back(v);
  };
  for (int d = d0; d <= d1; ++d) {
    double decade = std::pow(10.0, d);
    add(decade);
    if (halves && d < d1) {
      add(2 * decade);
      add(5 * decade);
    }
  }
  ticks.lo = ticks.values.front();
  ticks.hi = ticks.values.back();
  ticks.step = 10;
  for (double v : ticks.values) ticks.labels.push_back(label(v, 1));
  return ticks;
}

}  // namespace lumaveil::cli::analysis
