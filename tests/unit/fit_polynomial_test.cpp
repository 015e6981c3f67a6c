// The degree-6 least-squares fit of a scan, against sampled polynomials.
#include "aberration/fit_polynomial.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace lumaveil {
namespace {

// Fits the samples y(l/M), l = −M..M; the coefficients are then in DX.
template <class F>
std::unique_ptr<State> fit(int M, F y) {
  auto s = std::make_unique<State>();
  s->NS = M;
  for (int l = -M; l <= M; ++l) s->ABL[l + M] = y(static_cast<double>(l) / M);
  fit_polynomial(*s);
  return s;
}

TEST(FitPolynomial, SampledPolynomialsGiveTheirCoefficients) {
  auto s = fit(5, [](double t) { return 2 - 3 * t * t; });
  const double want[7] = {2, 0, -3, 0, 0, 0, 0};
  for (int p = 0; p < 7; ++p) EXPECT_NEAR(s->DX[p], want[p], 1e-9) << "order " << p;
  for (int M : {3, 20}) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
      std::mt19937 gen(seed);
      std::uniform_real_distribution<double> u(-1, 1);
      double c[7];
      for (double& v : c) v = u(gen);
      s = fit(M, [&](double t) {
        return (((((c[6] * t + c[5]) * t + c[4]) * t + c[3]) * t + c[2]) * t + c[1]) * t + c[0];
      });
      for (int p = 0; p < 7; ++p)
        EXPECT_NEAR(s->DX[p], c[p], 1e-8) << "M " << M << " seed " << seed;
    }
  }
}

}  // namespace
}  // namespace lumaveil
