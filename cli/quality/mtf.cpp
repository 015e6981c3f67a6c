#include "mtf.h"

#include <cmath>
#include <complex>
#include <limits>

namespace lumaveil::quality {
namespace {

constexpr double kPi = 3.14159265358979323846;

// |Σ exp(−2πi·ν·t)| / count over the valid cells, t their spot coordinate:
// the geometric MTF along that coordinate.
double geometric_mtf(const Wavefront& wf, const std::vector<double>& spot, double nu) {
  std::complex<double> sum = 0;
  double total = 0;
  for (std::size_t c = 0; c < spot.size(); ++c) {
    if (wf.state[c] != Sample::kValid) continue;
    sum += std::polar(1.0, -2 * kPi * nu * spot[c]);
    total += 1;
  }
  return total > 0 ? std::abs(sum) / total : 0.0;
}

}  // namespace

double diffraction_limited_mtf(double s) {
  if (s <= 0) return 1;
  if (s >= 1) return 0;
  const double phi = std::acos(s);
  return 2 / kPi * (phi - std::cos(phi) * std::sin(phi));
}

MtfCurves compute_mtf(const Psf& psf, const Wavefront& wf, double wavelength) {
  MtfCurves mtf;
  const int m = psf.m, n = m / 2;
  mtf.cutoff = 2 * wf.na / wavelength;
  const double step = 1 / (m * psf.spacing);
  for (int k = 0; k <= n; ++k) {
    const double nu = k * step;
    mtf.frequency.push_back(nu);
    // The row k = n holds the Nyquist frequency of the grid: the cut-off.
    mtf.tangential.push_back(std::abs(psf.otf[static_cast<std::size_t>(k % m)]));
    mtf.sagittal.push_back(std::abs(psf.otf[static_cast<std::size_t>(k % m) * m]));
    mtf.limit.push_back(diffraction_limited_mtf(nu / mtf.cutoff));
    mtf.geometric_tangential.push_back(geometric_mtf(wf, wf.spot_x, nu));
    mtf.geometric_sagittal.push_back(geometric_mtf(wf, wf.spot_y, nu));
  }
  return mtf;
}

double interpolate(const std::vector<double>& x, const std::vector<double>& y, double at) {
  for (std::size_t k = 1; k < x.size(); ++k) {
    if (at < x[k - 1] || at > x[k]) continue;
    const double t = (at - x[k - 1]) / (x[k] - x[k - 1]);
    return y[k - 1] + t * (y[k] - y[k - 1]);
  }
  return std::numeric_limits<double>::quiet_NaN();
}

}  // namespace lumaveil::quality
