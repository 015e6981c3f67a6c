#include "energy.h"

#include <cmath>

namespace lumaveil::quality {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Term {
  double re;    // Re[OTF·e^{2πi ν·c}]
  double nu;    // |ν|
  int kx, ky;   // signed frequency indices
};

// The transfer function's samples inside the cut-off, shifted to the centroid.
std::vector<Term> centred_terms(const Psf& psf, double step) {
  std::vector<Term> terms;
  const int m = psf.m;
  for (int j = 0; j < m; ++j)
    for (int i = 0; i < m; ++i) {
      const int kx = i < m / 2 ? i : i - m, ky = j < m / 2 ? j : j - m;
      const std::complex<double> o = psf.otf[static_cast<std::size_t>(j) * m + i];
      if (std::abs(o) < 1e-14) continue;
      const double fx = kx * step, fy = ky * step;
      const double phase = 2 * kPi * (fx * psf.centroid_x + fy * psf.centroid_y);
      terms.push_back({(o * std::polar(1.0, phase)).real(), std::hypot(fx, fy), kx, ky});
    }
  return terms;
}

double encircled(const std::vector<Term>& terms, double r, double step) {
  double sum = 0;
  for (const Term& t : terms)
    sum += t.re * (t.nu == 0 ? kPi * r * r : r * bessel_j1(2 * kPi * r * t.nu) / t.nu);
  return sum * step * step;
}

// ∫_{-a}^{a} e^{2πiνx} dx.
double box(double a, double nu) { return nu == 0 ? 2 * a : std::sin(2 * kPi * a * nu) / (kPi * nu); }

double ensquared(const std::vector<Term>& terms, double a, double step, int m) {
  std::vector<double> k(m);
  for (int i = 0; i < m; ++i) k[i] = box(a, (i - m / 2) * step);
  double sum = 0;
  for (const Term& t : terms) sum += t.re * k[t.kx + m / 2] * k[t.ky + m / 2];
  return sum * step * step;
}

}  // namespace

double bessel_j1(double x) {
  const double ax = std::fabs(x);
  double value;
  if (ax <= 3) {
    const double y = (x / 3) * (x / 3);
    value = x * (0.5 + y * (-0.56249985 + y * (0.21093573 + y * (-0.03954289 + y * (0.00443319 +
                                                y * (-0.00031761 + y * 0.00001109))))));
  } else {
    const double y = 3 / ax;
    const double f = 0.79788456 + y * (0.00000156 + y * (0.01659667 + y * (0.00017105 +
                     y * (-0.00249511 + y * (0.00113653 - y * 0.00020033)))));
    const double theta = ax - 2.35619449 + y * (0.12499612 + y * (0.00005650 + y * (-0.00637879 +
                         y * (0.00074348 + y * (0.00079824 - y * 0.00029166)))));
    value = f * std::cos(theta) / std::sqrt(ax);
    if (x < 0) value = -value;
  }
  return value;
}

EnergyCurves compute_energy(const Psf& psf, double r_max, int points) {
  EnergyCurves e;
  const double step = 1 / (psf.m * psf.spacing);
  const std::vector<Term> terms = centred_terms(psf, step);
  for (int p = 0; p < points; ++p) {
    const double r = r_max * p / (points - 1);
    e.radius.push_back(r);
    e.encircled.push_back(encircled(terms, r, step));
    e.ensquared.push_back(ensquared(terms, r, step, psf.m));
  }
  return e;
}

}  // namespace lumaveil::quality
