// Zernike terms: a wavefront made of one term is fitted back to that term
// alone, in both orderings; the terms are the polynomials written out here.
#include <cmath>
#include <functional>

#include "quality_fixtures.h"

namespace lumaveil::quality {
namespace {

using testing::synthetic_wavefront;

struct OneTerm {
  ZernikeSet set;
  int j;
  std::function<double(double, double)> term;  // written out, not taken from the code
};

double r2(double x, double y) { return x * x + y * y; }

const OneTerm kTerms[] = {
    {ZernikeSet::kFringe, 2, [](double x, double) { return x; }},
    {ZernikeSet::kFringe, 4, [](double x, double y) { return 2 * r2(x, y) - 1; }},
    {ZernikeSet::kFringe, 5, [](double x, double y) { return x * x - y * y; }},
    {ZernikeSet::kFringe, 8, [](double x, double y) { return (3 * r2(x, y) - 2) * y; }},
    {ZernikeSet::kFringe, 9, [](double x, double y) { return 6 * r2(x, y) * r2(x, y) - 6 * r2(x, y) + 1; }},
    {ZernikeSet::kFringe, 11, [](double x, double y) { return 3 * x * x * y - y * y * y; }},
    {ZernikeSet::kFringe, 16,
     [](double x, double y) { const double p = r2(x, y); return 20 * p * p * p - 30 * p * p + 12 * p - 1; }},
    {ZernikeSet::kFringe, 37,
     [](double x, double y) {
       const double p = r2(x, y);
       return 924 * std::pow(p, 6) - 2772 * std::pow(p, 5) + 3150 * std::pow(p, 4) -
              1680 * p * p * p + 420 * p * p - 42 * p + 1;
     }},
    {ZernikeSet::kStandard, 2, [](double x, double) { return 2 * x; }},
    {ZernikeSet::kStandard, 3, [](double, double y) { return 2 * y; }},
    {ZernikeSet::kStandard, 4, [](double x, double y) { return std::sqrt(3.0) * (2 * r2(x, y) - 1); }},
    {ZernikeSet::kStandard, 5, [](double x, double y) { return std::sqrt(6.0) * 2 * x * y; }},
    {ZernikeSet::kStandard, 6, [](double x, double y) { return std::sqrt(6.0) * (x * x - y * y); }},
    {ZernikeSet::kStandard, 7, [](double x, double y) { return std::sqrt(8.0) * (3 * r2(x, y) - 2) * y; }},
    {ZernikeSet::kStandard, 8, [](double x, double y) { return std::sqrt(8.0) * (3 * r2(x, y) - 2) * x; }},
    {ZernikeSet::kStandard, 11,
     [](double x, double y) { return std::sqrt(5.0) * (6 * r2(x, y) * r2(x, y) - 6 * r2(x, y) + 1); }},
    {ZernikeSet::kStandard, 22,
     [](double x, double y) { const double p = r2(x, y); return std::sqrt(7.0) * (20 * p * p * p - 30 * p * p + 12 * p - 1); }},
};

TEST(Zernike, AWavefrontOfOneTermFitsBackToThatTermAlone) {
  for (const OneTerm& t : kTerms) {
    const double c = 0.37;
    const Wavefront wf = synthetic_wavefront(64, 0.1, [&](double x, double y) { return c * t.term(x, y); });
    const std::vector<double> fit = fit_zernike(wf, t.set);
    ASSERT_EQ(fit.size(), 38u);
    const char* set = t.set == ZernikeSet::kFringe ? "Fringe" : "Standard";
    for (int j = 1; j <= 37; ++j)
      EXPECT_NEAR(fit[j], j == t.j ? c : 0.0, 1e-9) << set << " term " << t.j << ", coefficient " << j;
  }
}

// Over the continuous unit circle the Standard terms have an RMS of 1: on a
// fine grid their mean square comes close to it.
TEST(Zernike, StandardTermsHaveUnitRmsOverTheCircle) {
  const int n = 200;
  for (int j = 2; j <= 37; ++j) {
    double sum = 0;
    int count = 0;
    for (int b = 0; b < n; ++b)
      for (int a = 0; a < n; ++a) {
        const double x = (2.0 * a + 1 - n) / n, y = (2.0 * b + 1 - n) / n;
        if (x * x + y * y > 1) continue;
        const double z = zernike(ZernikeSet::kStandard, j, x, y);
        sum += z * z;
        ++count;
      }
    EXPECT_NEAR(std::sqrt(sum / count), 1.0, 0.01) << "Standard term " << j;
  }
}

}  // namespace
}  // namespace lumaveil::quality
