#include "optimise/merit.h"

#include <cmath>

#include "optimise/solve_linear.h"
#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil {
namespace {

bool is_variable(const State& s, int k) { return s.CODE[k][0] == 'V'; }

// The surface whose entry of p gives surface k its value: k itself for a
// 'V' surface, the companion for a 'P' or 'M' surface, -1 for a surface that
// is not varied.
int value_source(const State& s, int k) {
  const char code = s.CODE[k][0];
  if (code == 'V') return k;
  if (code == 'P' || code == 'M') {
    const int g = s.LINK[k];
    if (g >= 0 && g <= kMaxSurfaces) return g;
  }
  return -1;
}

// The value surface k takes when its variable stands at `value`.
double tied_value(const State& s, int k, double value) {
  return s.CODE[k][0] == 'M' ? -value : value;
}

// Gives every variable and tied surface its value from p.
void set_variables(const State& s, double* T, const double* p) {
  for (int k = 0; k <= wide(s.NUMB) - 2; ++k) {
    const int g = value_source(s, k);
    if (g >= 0) T[k] = tied_value(s, k, p[g]);
  }
}

// Moves variable m to its value from p plus delta; the surfaces tied to it
// follow. Every other surface keeps what T holds.
void offset_variable(const State& s, double* T, const int* iv, const double* p, int m,
                     double delta) {
  for (int k = 0; k <= wide(s.NUMB) - 2; ++k) {
    const int g = value_source(s, k);
    if (g >= 0 && iv[g] == m) T[k] = tied_value(s, k, p[g] + delta);
  }
}

struct RayValues {
  double x, y, u, v;
};

RayValues traced_values(State& s, Varied what) {
  if (what == Varied::kDistance) vertex_positions(s, s.D);
  trace_ray(s);
  const int last = evaluated_surface(s);
  return {s.X[last], s.Y[last], s.U[last], s.V[last]};
}

}  // namespace

void merit(State& s, Varied what, int n, const int* iv, const double* p) {
  double* T = what == Varied::kCurvature ? s.C : s.D;
  const double h = s.H;
  double S = 0;
  s.SW = 0;
  s.SDX = 0;
  s.SDX2 = 0;
  s.SDY = 0;
  s.SDY2 = 0;
  s.NEQ = n;
  for (int i = 0; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) s.AA[i][j] = 0;
    s.BB[i] = 0;
  }

  double SPX[kSurfaceSlots], SPY[kSurfaceSlots], SPU[kSurfaceSlots], SPV[kSurfaceSlots];
  for (int q = 1; q <= s.NW; ++q) {
    for (int k = 0; k <= wide(s.NUMB) - 1; ++k) s.N[0][k] = s.N[q][k];
    const double w = s.WQ[q];
    for (int r = 0; r <= wide(s.NRAY) - 1; ++r) {
      if (s.XI[r] == 0 && s.YI[r] == 0 && s.UI[r] == 0 && s.VI[r] == 0) continue;
      s.X[0] = s.XI[r];
      s.Y[0] = s.YI[r];
      s.U[0] = s.UI[r];
      s.V[0] = s.VI[r];

      // Residuals at the values of p.
      set_variables(s, T, p);
      RayValues at = traced_values(s, what);
      double rX = (at.x - s.XT[r]) * s.WXY;
      double rY = (at.y - s.YT[r]) * s.WXY;
      double rU = (at.u - s.UT[r]) * s.WUV;
      double rV = (at.v - s.VT[r]) * s.WUV;

      // Central differences of the raw values, one variable at a time.
      for (int m = 0; m <= n - 1; ++m) {
        offset_variable(s, T, iv, p, m, -h);
        RayValues minus = traced_values(s, what);
        offset_variable(s, T, iv, p, m, +h);
        RayValues plus = traced_values(s, what);
        SPX[m] = (plus.x - minus.x) / (2 * h);
        SPY[m] = (plus.y - minus.y) / (2 * h);
        SPU[m] = (plus.u - minus.u) / (2 * h);
        SPV[m] = (plus.v - minus.v) / (2 * h);
        offset_variable(s, T, iv, p, m, 0);
      }

      // Normal equations.
      for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j)
          s.AA[i][j] = s.AA[i][j] + (SPX[j - 1] * SPX[i - 1] + SPY[j - 1] * SPY[i - 1] +
                                     SPU[j - 1] * SPU[i - 1] + SPV[j - 1] * SPV[i - 1]) * w;
        s.BB[i] = s.BB[i] - (rX * SPX[i - 1] + rY * SPY[i - 1] + rU * SPU[i - 1] +
                             rV * SPV[i - 1]) * w;
      }

      // Statistics: weighted merit and count, unweighted residual sums.
      s.SW = s.SW + w;
      S = S + (rX * rX + rY * rY + rU * rU + rV * rV) * w;
      s.SDX = s.SDX + rX;
      s.SDX2 = s.SDX2 + rX * rX;
      s.SDY = s.SDY + rY;
      s.SDY2 = s.SDY2 + rY * rY;
    }
  }

  solve_linear(s);

  s.E = std::sqrt(S / s.SW);
  s.Xa = s.SDX / s.SW;
  s.Xs = std::sqrt((s.SDX2 - s.SDX * s.SDX / s.SW) / (s.SW - 1));
  s.Ya = s.SDY / s.SW;
  s.Ys = std::sqrt((s.SDY2 - s.SDY * s.SDY / s.SW) / (s.SW - 1));
}

void add_correction(const State& s, double* ar) {
  int v = 0;
  for (int k = 0; k <= wide(s.NUMB) - 2; ++k) {
    if (is_variable(s, k)) {
      ar[k] = ar[k] + 1.0 * s.DX[v];
      ++v;
    }
  }
}

}  // namespace lumaveil
