// The linear solver: worked elimination numbers, degenerate sizes, a zero
// pivot, and random systems built backwards from a chosen solution.
#include "optimise/solve_linear.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace lumaveil {
namespace {

using Values = std::vector<double>;

// Solves A·x = b (A row by row, n × n) with every entry of DX marked 42.
std::unique_ptr<State> solved(int n, const Values& A, const Values& b) {
  auto s = std::make_unique<State>();
  s->NEQ = n;
  for (int i = 1; i <= n; ++i) {
    s->BB[i] = b[i - 1];
    for (int j = 1; j <= n; ++j) s->AA[i][j] = A[(i - 1) * n + j - 1];
  }
  for (double& x : s->DX) x = 42;
  solve_linear(*s);
  return s;
}

TEST(SolveLinear, WorkedSystemsAndDegenerateSizes) {
  // Row 2 becomes 2·(4, 3 | 11) − 4·(2, 1 | 5) = (0, 2 | 2); row 1 stands.
  auto s = solved(2, {2, 1, 4, 3}, {5, 11});
  EXPECT_EQ((Values{s->AA[2][1], s->AA[2][2], s->BB[2], s->AA[1][2], s->BB[1]}),
            (Values{0, 2, 2, 1, 5}));
  EXPECT_EQ((Values{s->DX[0], s->DX[1], s->DX[2]}), (Values{2, 1, 42}));
  EXPECT_EQ(solved(0, {}, {})->DX[0], 42);
  s = solved(1, {4}, {3});
  EXPECT_EQ((Values{s->DX[0], s->DX[1], s->AA[1][1], s->BB[1]}), (Values{0.75, 42, 4, 3}));
  // (0 1; 1 0)·x = (2, 3) is regular, but no row is exchanged.
  EXPECT_FALSE(std::isfinite(solved(2, {0, 1, 1, 0}, {2, 3})->DX[0]));
}

TEST(SolveLinear, RecoversTheChosenSolutionOfRandomDominantSystems) {
  for (unsigned seed = 1; seed <= 48; ++seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-1, 1);
    const int n = 1 + seed % 8;
    Values A(n * n), x(n), b(n, 0.0);
    for (double& v : x) v = 10 * u(gen);
    for (int i = 0; i < n * n; ++i) A[i] = i % (n + 1) == 0 ? n + 1 : u(gen);
    for (int i = 0; i < n * n; ++i) b[i / n] += A[i] * x[i % n];
    auto s = solved(n, A, b);
    for (int j = 0; j < n; ++j) EXPECT_NEAR(s->DX[j], x[j], 1e-9) << "seed " << seed;
    EXPECT_EQ(s->DX[n], 42) << "seed " << seed;
  }
}

}  // namespace
}  // namespace lumaveil
