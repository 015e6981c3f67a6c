#include "wavefront_stats.h"

#include <algorithm>
#include <cmath>

#include "least_squares.h"

namespace lumaveil::quality {
namespace {

struct Points {
  std::vector<double> x, y, w;
};

Points inside_points(const Wavefront& wf) {
  Points p;
  for (int j = 0; j < wf.n; ++j)
    for (int i = 0; i < wf.n; ++i) {
      const std::size_t c = static_cast<std::size_t>(j) * wf.n + i;
      const double x = wf.coord[i], y = wf.coord[j];
      if (wf.state[c] != Sample::kValid || x * x + y * y > 1) continue;
      p.x.push_back(x);
      p.y.push_back(y);
      p.w.push_back(wf.w[c]);
    }
  return p;
}

// The first `terms` of 1, x, y, 2ρ²−1 at a point.
double basis(int term, double x, double y) {
  switch (term) {
    case 0: return 1;
    case 1: return x;
    case 2: return y;
    default: return 2 * (x * x + y * y) - 1;
  }
}

// The spread of what the least-squares fit of the first `terms` leaves.
Spread residual_spread(const Points& p, int terms, std::vector<double>* fit) {
  const int rows = static_cast<int>(p.w.size());
  std::vector<double> A;
  for (int r = 0; r < rows; ++r)
    for (int t = 0; t < terms; ++t) A.push_back(basis(t, p.x[r], p.y[r]));
  std::vector<double> c = least_squares(A, rows, terms, p.w);
  if (c.empty()) return {};
  double sum2 = 0, lo = INFINITY, hi = -INFINITY;
  for (int r = 0; r < rows; ++r) {
    double e = p.w[r];
    for (int t = 0; t < terms; ++t) e -= c[t] * basis(t, p.x[r], p.y[r]);
    sum2 += e * e;
    lo = std::min(lo, e);
    hi = std::max(hi, e);
  }
  if (fit) *fit = c;
  return {std::sqrt(sum2 / rows), hi - lo};
}

}  // namespace

WavefrontStats wavefront_stats(const Wavefront& wf) {
  WavefrontStats st;
  const Points p = inside_points(wf);
  st.samples = static_cast<int>(p.w.size());
  if (st.samples < 4) return st;
  std::vector<double> tilt;
  st.raw = residual_spread(p, 1, nullptr);
  st.no_tilt = residual_spread(p, 3, &tilt);
  st.no_focus = residual_spread(p, 4, nullptr);
  if (tilt.size() == 3) {
    st.tilt_x = tilt[1];
    st.tilt_y = tilt[2];
  }
  return st;
}

}  // namespace lumaveil::quality
