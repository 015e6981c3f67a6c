// The degree-6 least-squares fit of a scan, against sampled polynomials, fed
// sample by sample as mode 4 feeds it.
#include "aberration/fit_polynomial.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "support/sampled_scan.h"

namespace lumaveil {
namespace {

// Fits the samples of Σ c[p]·t^p at t = l/M, l = −M..M, summed in the order
// of a scan: the fit must give back c in DX.
void expect_fit(int M, const double (&c)[7], double tol, unsigned seed = 0) {
  auto s = std::make_unique<State>();
  const PowerSums sums = testing::sampled_scan(M, c);
  solve_power_sums(*s, sums);
  for (int p = 0; p < 7; ++p)
    EXPECT_NEAR(s->DX[p], c[p], tol) << "M " << M << " seed " << seed << " order " << p;
}

TEST(FitPolynomial, SampledPolynomialsGiveTheirCoefficients) {
  expect_fit(5, {2, 0, -3, 0, 0, 0, 0}, 1e-9);
  for (int M : {3, 20}) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
      std::mt19937 gen(seed);
      std::uniform_real_distribution<double> u(-1, 1);
      double c[7];
      for (double& v : c) v = u(gen);
      expect_fit(M, c, 1e-8, seed);
    }
  }
}

TEST(FitPolynomial, ScanOfMoreThanAHundredAndOneRaysIsFittedWhole) {
  // 161 samples: every one enters the sums, none is cut.
  expect_fit(80, {0.5, -1, 2, 0.25, -3, 1, 0.75}, 1e-6);
}

}  // namespace
}  // namespace lumaveil
