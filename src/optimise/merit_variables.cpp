#include "optimise/merit_variables.h"

#include "model/codes.h"

namespace lumaveil {
namespace {

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

}  // namespace

void set_variables(const State& s, double* T, const double* p) {
  for (int k = 0; k <= wide(s.NUMB) - 2; ++k) {
    const int g = value_source(s, k);
    if (g >= 0) T[k] = tied_value(s, k, p[g]);
  }
}

void offset_variable(const State& s, double* T, const int* iv, const double* p, int m,
                     double delta) {
  for (int k = 0; k <= wide(s.NUMB) - 2; ++k) {
    const int g = value_source(s, k);
    if (g >= 0 && iv[g] == m) T[k] = tied_value(s, k, p[g] + delta);
  }
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
