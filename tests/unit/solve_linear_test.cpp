// The linear solver: worked elimination numbers, degenerate sizes, a zero
// pivot, and random systems built backwards from a chosen solution; the row
// rescale that keeps large systems in range, checked bit for bit against the
// plain elimination where that stays in range; and the optimisers and the
// aberration fit at sizes where the plain elimination overflows.
#include "optimise/solve_linear.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include "aberration/fit_polynomial.h"
#include "entry/entry.h"
#include "model/lens_data.h"
#include "support/sampled_scan.h"
#include "support/test_support.h"
#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil {
namespace {

using Values = std::vector<double>;

// Sets up A·x = b (A row by row, n × n) with every entry of DX marked 42.
void set_system(State& s, int n, const Values& A, const Values& b) {
  s.NEQ = n;
  for (int i = 1; i <= n; ++i) {
    s.BB[i] = b[i - 1];
    for (int j = 1; j <= n; ++j) s.AA[i][j] = A[(i - 1) * n + j - 1];
  }
  for (double& x : s.DX) x = 42;
}

// Solves A·x = b with every entry of DX marked 42.
std::unique_ptr<State> solved(int n, const Values& A, const Values& b) {
  auto s = std::make_unique<State>();
  set_system(*s, n, A, b);
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

// The elimination as it stood before rows were rescaled, kept unchanged as
// the oracle: where it stays in range the solver must agree with it bit for
// bit, and where it overflows it shows that the larger tests below mean it.
void plain_elimination(State& s) {
  const int n = s.NEQ;
  if (n <= 0) return;
  for (int i = 1; i <= n; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      const double p = s.AA[i][i];
      const double f = s.AA[j][i];
      s.BB[j] = s.BB[j] * p - f * s.BB[i];
      for (int k = 1; k <= n; ++k) s.AA[j][k] = s.AA[j][k] * p - f * s.AA[i][k];
    }
  }
  s.DX[n - 1] = s.BB[n] / s.AA[n][n];
  for (int i = n - 1; i >= 1; --i) {
    double sum = 0;
    for (int k = i + 1; k <= n; ++k) sum = sum + s.AA[i][k] * s.DX[k - 1];
    s.DX[i - 1] = (s.BB[i] - sum) / s.AA[i][i];
  }
}

// A system loaded into two state blocks, one solved by the solver and one by
// the plain elimination.
struct SolvedBothWays {
  std::unique_ptr<State> mended = std::make_unique<State>();
  std::unique_ptr<State> plain = std::make_unique<State>();
  SolvedBothWays(int n, const Values& A, const Values& b) {
    for (State* s : {mended.get(), plain.get()}) set_system(*s, n, A, b);
    solve_linear(*mended);
    plain_elimination(*plain);
  }
  bool bit_identical() const {
    return std::memcmp(mended->DX, plain->DX, sizeof mended->DX) == 0;
  }
  bool plain_finite() const {
    for (int j = 0; j < plain->NEQ; ++j)
      if (!std::isfinite(plain->DX[j])) return false;
    return true;
  }
};

Values diagonal(const Values& d) {
  const std::size_t n = d.size();
  Values A(n * n, 0.0);
  for (std::size_t i = 0; i < n; ++i) A[i * n + i] = d[i];
  return A;
}

TEST(SolveLinear, EveryBitAsThePlainEliminationWhereThatStaysInRange) {
  EXPECT_TRUE(SolvedBothWays(2, {2, 1, 4, 3}, {5, 11}).bit_identical());
  EXPECT_TRUE(SolvedBothWays(1, {4}, {3}).bit_identical());
  EXPECT_TRUE(SolvedBothWays(2, {0, 1, 1, 0}, {2, 3}).bit_identical());  // NaN as before
  EXPECT_TRUE(SolvedBothWays(3, diagonal({3, 0.1, 7}), {1, 2, 3}).bit_identical());
  for (unsigned seed = 1; seed <= 200; ++seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-1, 1);
    const int n = 1 + seed % 6;
    const double scale = std::pow(10.0, 4 * u(gen));
    Values A(n * n), b(n);
    for (double& v : A) v = scale * u(gen);
    for (double& v : b) v = u(gen);
    const SolvedBothWays both(n, A, b);
    ASSERT_TRUE(both.plain_finite()) << "seed " << seed;
    EXPECT_TRUE(both.bit_identical()) << "seed " << seed;
  }
}

TEST(SolveLinear, RescaledRowsStillGiveThePlainBitsWhileThoseStayFinite) {
  // The diagonal 1e70 grows to 1e210 in row 3 of the plain elimination,
  // beyond the rescale threshold but still finite: the rescaled rows must
  // carry the factor exactly, so DX keeps every bit. Rescaled twice by
  // factors that bring the row to [0.5, 1), the last diagonal lies in [0.25, 1).
  const SolvedBothWays big(3, diagonal({1e70, 3e70, 7e69}), {1, 2, 3});
  EXPECT_GT(std::fabs(big.plain->AA[3][3]), std::ldexp(1.0, 200));
  EXPECT_LT(std::fabs(big.mended->AA[3][3]), 1.0);
  EXPECT_GE(std::fabs(big.mended->AA[3][3]), 0.25);
  EXPECT_TRUE(big.bit_identical());
  const SolvedBothWays small(3, diagonal({1e-50, 3e-50, 7e-49}), {1e-50, 2e-50, 3e-50});
  EXPECT_LT(std::fabs(small.plain->AA[3][3]), std::ldexp(1.0, -200));
  EXPECT_LT(std::fabs(small.mended->AA[3][3]), 1.0);
  EXPECT_GE(std::fabs(small.mended->AA[3][3]), 0.25);
  EXPECT_TRUE(small.bit_identical());
  // A full 6 × 6 system whose entries near 1e5 take the plain rows past 2^200
  // without overflow.
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> u(-1, 1);
  Values A(36), b(6);
  for (int i = 0; i < 36; ++i) A[i] = 1e5 * (i % 7 == 0 ? 7 + u(gen) : u(gen));
  for (double& v : b) v = u(gen);
  const SolvedBothWays full(6, A, b);
  ASSERT_TRUE(full.plain_finite());
  EXPECT_GT(std::fabs(full.plain->AA[6][6]), std::ldexp(1.0, 200));
  EXPECT_TRUE(full.bit_identical());
}

// A normal-equation-like system D·M·D x = b of size n: M symmetric and
// diagonally dominant, D diagonal with entries 10^(-3..3), so the entries
// span 1e-6 .. 1e6 as when variables of different units meet.
struct ScaledSystem {
  Values A, x, b;
  ScaledSystem(int n, unsigned seed) : A(n * n), x(n), b(n, 0.0) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-1, 1);
    Values d(n), M(n * n);
    for (double& v : d) v = std::pow(10.0, 3 * u(gen));
    for (int i = 0; i < n; ++i) {
      M[i * n + i] = n + 1;
      for (int j = 0; j < i; ++j) M[i * n + j] = M[j * n + i] = u(gen);
    }
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) A[i * n + j] = d[i] * M[i * n + j] * d[j];
    for (int i = 0; i < n; ++i) x[i] = u(gen) / d[i];
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) b[i] += A[i * n + j] * x[j];
  }
};

TEST(SolveLinear, LargeSystemsWithEntriesFarFromOneComeBackFinite) {
  for (int n : {8, 20, 50, 100}) {
    int plain_failures = 0;
    for (unsigned seed = 1; seed <= 3; ++seed) {
      const ScaledSystem sys(n, seed);
      const SolvedBothWays both(n, sys.A, sys.b);
      if (!both.plain_finite()) ++plain_failures;
      for (int j = 0; j < n; ++j)
        EXPECT_TRUE(testing::relatively_near(both.mended->DX[j], sys.x[j], 1e-9))
            << "n " << n << " seed " << seed << " component " << j;
    }
    // The plain elimination fails on some of the 8-unknown systems, on all larger ones.
    EXPECT_GE(plain_failures, n == 8 ? 1 : 3) << "n " << n;
  }
}

// The fit of a mode-4 scan of 2M+1 = 10^7 + 1 steps, its power sums
// gathered as mode 4 gathers them, against the same normal equations solved
// in long double with partial pivoting.
TEST(SolveLinear, FitOfATenMillionStepScanMatchesALongDoubleFit) {
  const int M = 5000000;
  const double c[7] = {0.25, -1.5, 2.0, 0.75, -3.0, 0.5, 1.25};
  const PowerSums sums = testing::sampled_scan(M, c);
  long double A[7][8];
  for (int a = 0; a < 7; ++a) {
    for (int b = 0; b < 7; ++b) A[a][b] = sums.SX[a + b];
    A[a][7] = sums.SYX[a];
  }
  for (int i = 0; i < 7; ++i) {
    int best = i;
    for (int r = i + 1; r < 7; ++r)
      if (std::fabs(A[r][i]) > std::fabs(A[best][i])) best = r;
    for (int k = 0; k < 8; ++k) std::swap(A[i][k], A[best][k]);
    for (int r = i + 1; r < 7; ++r) {
      const long double f = A[r][i] / A[i][i];
      for (int k = i; k < 8; ++k) A[r][k] -= f * A[i][k];
    }
  }
  long double want[7];
  for (int i = 6; i >= 0; --i) {
    long double sum = A[i][7];
    for (int k = i + 1; k < 7; ++k) sum -= A[i][k] * want[k];
    want[i] = sum / A[i][i];
  }

  auto s = std::make_unique<State>();
  solve_power_sums(*s, sums);
  auto plain = std::make_unique<State>();
  plain->NEQ = 7;
  for (int a = 1; a <= 7; ++a) {
    plain->BB[a] = sums.SYX[a - 1];
    for (int b = 1; b <= 7; ++b) plain->AA[a][b] = sums.SX[a + b - 2];
  }
  plain_elimination(*plain);
  EXPECT_FALSE(std::isfinite(plain->DX[0]));
  for (int p = 0; p < 7; ++p) {
    EXPECT_NEAR(s->DX[p], static_cast<double>(want[p]), 1e-9) << "order " << p;
    EXPECT_NEAR(s->DX[p], c[p], 1e-6) << "order " << p;
  }
}

// The E column of the report of a run of mode 2 or 3, every other figure of
// each row checked finite.
Values merit_column(const std::string& report) {
  Values E;
  const auto lines = testing::split_lines(report);
  for (std::size_t r = 2; r < lines.size(); ++r) {
    const auto cells = testing::split_cells(lines[r]);
    for (std::size_t c = 1; c + 1 < cells.size(); ++c)
      EXPECT_TRUE(std::isfinite(std::stod(cells[c]))) << "row " << r << ": " << lines[r];
    E.push_back(std::stod(cells.at(1)));
  }
  return E;
}

std::string example_file(const std::string& example, const std::string& name) {
  std::ifstream in(std::string(LUMAVEIL_EXAMPLES_DIR) + "/" + example + "/" + name,
                   std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

TEST(SolveLinear, DoubleGaussRecoversItsEightCurvatures) {
  testing::ScratchDir dir;
  for (const char* name : {"IN_FM.txt", "IN_FM2.txt"})
    testing::write_file(name, example_file("double_gauss", name));
  auto s = std::make_unique<State>();
  run_call(*s, 2);
  const Values E = merit_column(testing::read_file("OUT_M.xls"));
  ASSERT_GE(E.size(), 4u);
  EXPECT_LE(E.back(), 1e-6 * E.front());
  EXPECT_EQ(s->NEQ, 8);
}

// Ten thin-ish singlets in a row, all 20 curvatures variable: the targets
// are where the unperturbed lens sends 24 rays (heights and angles), the
// start has every curvature 1 % off.
TEST(SolveLinear, TwentyVariableLensConverges) {
  using testing::Surface;
  const auto lens = [](double factor) {
    testing::LensFile file;
    file.surfaces.push_back({.D = 5, .n = {1}});
    for (int e = 0; e < 10; ++e) {
      const double sign = e % 2 == 0 ? 1 : -1;
      file.surfaces.push_back({.C = sign * 0.02 * (1 + 0.1 * e) * factor, .D = 8, .code = "V",
                               .n = {1.5 + 0.03 * e}});
      file.surfaces.push_back({.C = -sign * 0.01 * (1 + 0.05 * e) / factor, .D = 6, .code = "V",
                               .n = {1}});
    }
    file.surfaces.back().D = 60;
    file.surfaces.push_back({.n = {1}});
    file.surfaces.push_back({.n = {1}});
    return file;
  };
  testing::ScratchDir dir;
  lens(1).write();
  auto design = std::make_unique<State>();
  ASSERT_TRUE(read_lens_data(*design));
  vertex_positions(*design, design->D);
  for (int k = 0; k <= design->NUMB; ++k) design->N[0][k] = design->N[1][k];
  testing::RaySetFile rays{.NIT = 8, .WUV = 1.0, .rays = {}};
  const int image = design->NUMB - 1;
  for (int r = 0; r < 40; ++r) {
    design->X[0] = 0.5 + 0.5 * (r % 8);
    design->Y[0] = r % 3 == 0 ? 1.0 : 0;
    design->U[0] = 0.03 * (r / 8);
    design->V[0] = 0;
    trace_ray(*design);
    rays.rays.push_back({.X = design->X[0], .Y = design->Y[0], .U = design->U[0],
                         .XT = design->X[image], .YT = design->Y[image],
                         .UT = design->U[image], .VT = design->V[image]});
  }
  rays.write();
  lens(1.01).write();
  auto s = std::make_unique<State>();
  run_call(*s, 2);
  EXPECT_EQ(s->NEQ, 20);
  const Values E = merit_column(testing::read_file("OUT_M.xls"));
  ASSERT_EQ(E.size(), 8u);
  EXPECT_LE(E.back(), 1e-6 * E.front());
}

}  // namespace
}  // namespace lumaveil
