#include "zernike.h"

#include <cmath>

#include "least_squares.h"

namespace lumaveil::quality {
namespace {

// The Fringe order, as (n, m) with m < 0 for the sine terms.
constexpr ZernikeIndex kFringe[kZernikeTerms] = {
    {0, 0},  {1, 1},  {1, -1}, {2, 0},  {2, 2},  {2, -2}, {3, 1},  {3, -1}, {4, 0},  {3, 3},
    {3, -3}, {4, 2},  {4, -2}, {5, 1},  {5, -1}, {6, 0},  {4, 4},  {4, -4}, {5, 3},  {5, -3},
    {6, 2},  {6, -2}, {7, 1},  {7, -1}, {8, 0},  {5, 5},  {5, -5}, {6, 4},  {6, -4}, {7, 3},
    {7, -3}, {8, 2},  {8, -2}, {9, 1},  {9, -1}, {10, 0}, {12, 0}};

double factorial(int k) {
  double f = 1;
  for (int i = 2; i <= k; ++i) f *= i;
  return f;
}

// The radial polynomial R_n^|m|(ρ).
double radial(int n, int m, double rho) {
  m = std::abs(m);
  double sum = 0;
  for (int k = 0; k <= (n - m) / 2; ++k) {
    const double c = factorial(n - k) /
                     (factorial(k) * factorial((n + m) / 2 - k) * factorial((n - m) / 2 - k));
    sum += (k % 2 ? -c : c) * std::pow(rho, n - 2 * k);
  }
  return sum;
}

}  // namespace

ZernikeIndex zernike_index(ZernikeSet set, int j) {
  if (set == ZernikeSet::kFringe) return kFringe[j - 1];
  // Noll: row n holds j = n(n+1)/2 + 1 .. (n+1)(n+2)/2.
  int n = 0;
  while ((n + 1) * (n + 2) / 2 < j) ++n;
  const int p = j - n * (n + 1) / 2 - 1;
  const int m = n % 2 == 0 ? 2 * ((p + 1) / 2) : 2 * (p / 2) + 1;
  return {n, m != 0 && j % 2 == 1 ? -m : m};
}

double zernike(ZernikeSet set, int j, double x, double y) {
  const ZernikeIndex t = zernike_index(set, j);
  const double rho = std::hypot(x, y), theta = std::atan2(y, x);
  const int m = std::abs(t.m);
  double value = radial(t.n, m, rho);
  if (m != 0) value *= t.m > 0 ? std::cos(m * theta) : std::sin(m * theta);
  if (set == ZernikeSet::kStandard) value *= std::sqrt((m == 0 ? 1.0 : 2.0) * (t.n + 1));
  return value;
}

std::string zernike_name(ZernikeSet set, int j) {
  const ZernikeIndex t = zernike_index(set, j);
  const char* xy = t.m > 0 ? " x" : " y";
  switch (t.n * 100 + std::abs(t.m)) {
    case 0: return "piston";
    case 101: return std::string("tilt") + xy;
    case 200: return "defocus";
    case 202: return t.m > 0 ? "astigmatism 0°" : "astigmatism 45°";
    case 301: return std::string("coma") + xy;
    case 400: return "spherical";
    case 303: return std::string("trefoil") + xy;
    default: return "";
  }
}

std::vector<double> fit_zernike(const Wavefront& wf, ZernikeSet set, int terms) {
  std::vector<double> A, b;
  int rows = 0;
  for (int j = 0; j < wf.n; ++j)
    for (int i = 0; i < wf.n; ++i) {
      const std::size_t c = static_cast<std::size_t>(j) * wf.n + i;
      const double x = wf.coord[i], y = wf.coord[j];
      if (wf.state[c] != Sample::kValid || x * x + y * y > 1) continue;
      for (int t = 1; t <= terms; ++t) A.push_back(zernike(set, t, x, y));
      b.push_back(wf.w[c]);
      ++rows;
    }
  std::vector<double> x = least_squares(std::move(A), rows, terms, std::move(b));
  if (x.empty()) return {};
  x.insert(x.begin(), 0.0);
  return x;
}

}  // namespace lumaveil::quality
