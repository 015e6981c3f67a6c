#include "cli/analysis/polynomial.h"

#include <algorithm>

namespace lumaveil::cli::analysis {

double polynomial(const std::array<double, 7>& c, double t) {
  double value = 0;
  for (int p = 6; p >= 0; --p) value = value * t + c[static_cast<std::size_t>(p)];
  return value;
}

std::vector<Point> fit_curve(const std::array<double, 7>& c, int samples) {
  std::vector<Point> curve;
  samples = std::max(samples, 2);
  for (int k = 0; k < samples; ++k) {
    double t = -1 + 2.0 * k / (samples - 1);
    curve.push_back({t, polynomial(c, t)});
  }
  return curve;
}

}  // namespace lumaveil::cli::analysis
