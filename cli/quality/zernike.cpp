#include "zernike.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

// The coefficients of the radial polynomial R_n^|m|(ρ), by power of ρ.
std::vector<double> radial_coefficients(int n, int m) {
  m = std::abs(m);
  std::vector<double> c(n + 1, 0.0);
  for (int k = 0; k <= (n - m) / 2; ++k) {
    const double v = factorial(n - k) /
                     (factorial(k) * factorial((n + m) / 2 - k) * factorial((n - m) / 2 - k));
    c[n - 2 * k] = k % 2 ? -v : v;
  }
  return c;
}

// Everything the terms of one set need, made once: the index, the radial
// coefficients and the normalisation of each term.
struct Basis {
  ZernikeIndex index[kZernikeTerms + 1];
  std::vector<double> radial[kZernikeTerms + 1];
  double norm[kZernikeTerms + 1];
  explicit Basis(ZernikeSet set) {
    for (int j = 1; j <= kZernikeTerms; ++j) {
      index[j] = zernike_index(set, j);
      radial[j] = radial_coefficients(index[j].n, index[j].m);
      const double weight = index[j].m == 0 ? 1.0 : 2.0;
      norm[j] = set == ZernikeSet::kStandard ? std::sqrt(weight * (index[j].n + 1)) : 1.0;
    }
  }
};

const Basis& basis(ZernikeSet set) {
  static const Basis fringe(ZernikeSet::kFringe), standard(ZernikeSet::kStandard);
  return set == ZernikeSet::kFringe ? fringe : standard;
}

// Terms 1..terms at (x, y) into z[1..terms].
void evaluate(const Basis& b, int terms, double x, double y, double* z) {
  constexpr int kPowers = 13, kAngles = 10;
  double rho[kPowers];
  rho[0] = 1;
  const double r = std::hypot(x, y);
  for (int p = 1; p < kPowers; ++p) rho[p] = rho[p - 1] * r;
  // cos kθ and sin kθ from the powers of (x + iy)/ρ.
  double ck[kAngles] = {1}, sk[kAngles] = {0};
  const double c1 = r > 0 ? x / r : 1, s1 = r > 0 ? y / r : 0;
  for (int k = 1; k < kAngles; ++k) {
    ck[k] = ck[k - 1] * c1 - sk[k - 1] * s1;
    sk[k] = sk[k - 1] * c1 + ck[k - 1] * s1;
  }
  for (int j = 1; j <= terms; ++j) {
    double value = 0;
    const std::vector<double>& c = b.radial[j];
    for (std::size_t p = 0; p < c.size(); ++p) value += c[p] * rho[p];
    const int m = b.index[j].m;
    if (m > 0) value *= ck[m];
    if (m < 0) value *= sk[-m];
    z[j] = b.norm[j] * value;
  }
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
  double z[kZernikeTerms + 1];
  evaluate(basis(set), j, x, y, z);
  return z[j];
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
  const Basis& b = basis(set);
  terms = std::clamp(terms, 1, kZernikeTerms);
  std::vector<double> A, w;
  int rows = 0;
  for (int j = 0; j < wf.n; ++j)
    for (int i = 0; i < wf.n; ++i) {
      const std::size_t c = static_cast<std::size_t>(j) * wf.n + i;
      const double x = wf.coord[i], y = wf.coord[j];
      if (wf.state[c] != Sample::kValid || x * x + y * y > 1) continue;
      double z[kZernikeTerms + 1];
      evaluate(b, terms, x, y, z);
      A.insert(A.end(), z + 1, z + 1 + terms);
      w.push_back(wf.w[c]);
      ++rows;
    }
  std::vector<double> x = least_squares(std::move(A), rows, terms, std::move(w));
  if (x.empty()) return {};
  x.insert(x.begin(), 0.0);
  return x;
}

}  // namespace lumaveil::quality
