// The fast merit evaluation (derivatives retraced from their first changed
// surface, rays on several threads) against the plain serial one: every
// report of every mode and the state block each mode leaves behind must be
// the same bytes, on the examples, the reference cases and a long generated
// lens with ties, mirrors, ideal elements and tilted planes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "entry/entry.h"
#include "optimise/merit.h"
#include "parallel/pool.h"
#include "support/test_support.h"
#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil {
namespace {

namespace fs = std::filesystem;
using testing::LensFile;
using testing::Ray;
using testing::RaySetFile;
using testing::Surface;

// How an evaluation runs: retracing on or off, and the number of threads.
struct Path {
  int retrace;
  int threads;
};

constexpr Path kPlain{0, 1};
const std::vector<Path> kFastPaths{{1, 1}, {1, 2}, {1, 3}, {0, 2}};

std::string describe(const Path& path) {
  return "retrace " + std::to_string(path.retrace) + ", " + std::to_string(path.threads) +
         " thread(s)";
}

// Sets the path for the life of the object; the defaults come back after.
class UsePath {
 public:
  explicit UsePath(const Path& path) {
    set_merit_retrace(path.retrace);
    parallel::set_thread_count(path.threads);
  }
  ~UsePath() {
    set_merit_retrace(-1);
    parallel::set_thread_count(0);
  }
};

// The arrays of the state block that a later call or mode reads, by name.
struct Field {
  const char* name;
  std::size_t offset, size;
};

#define LUMAVEIL_FIELD(f) Field{#f, offsetof(State, f), sizeof(State::f)}
const Field kFields[] = {
    LUMAVEIL_FIELD(C),   LUMAVEIL_FIELD(D),   LUMAVEIL_FIELD(N),    LUMAVEIL_FIELD(X),
    LUMAVEIL_FIELD(Y),   LUMAVEIL_FIELD(Z),   LUMAVEIL_FIELD(U),    LUMAVEIL_FIELD(V),
    LUMAVEIL_FIELD(ZV),  LUMAVEIL_FIELD(FLAG), LUMAVEIL_FIELD(E),   LUMAVEIL_FIELD(Xa),
    LUMAVEIL_FIELD(Xs),  LUMAVEIL_FIELD(Ya),  LUMAVEIL_FIELD(Ys),   LUMAVEIL_FIELD(SDX),
    LUMAVEIL_FIELD(SDX2), LUMAVEIL_FIELD(SDY), LUMAVEIL_FIELD(SDY2), LUMAVEIL_FIELD(SW),
    LUMAVEIL_FIELD(NEQ), LUMAVEIL_FIELD(AA),  LUMAVEIL_FIELD(BB),   LUMAVEIL_FIELD(DX),
    LUMAVEIL_FIELD(OPL), LUMAVEIL_FIELD(AB)};
#undef LUMAVEIL_FIELD

// The names of the fields in which two state blocks differ, and then whether
// the whole blocks differ anywhere else.
std::string state_differences(const State& a, const State& b) {
  std::string out;
  const auto* pa = reinterpret_cast<const unsigned char*>(&a);
  const auto* pb = reinterpret_cast<const unsigned char*>(&b);
  for (const Field& f : kFields)
    if (std::memcmp(pa + f.offset, pb + f.offset, f.size) != 0) out += std::string(f.name) + " ";
  if (out.empty() && std::memcmp(&a, &b, sizeof a) != 0) out = "(another field)";
  return out;
}

// What one run of a mode sequence leaves: each report and the state after each mode.
struct ModeRun {
  std::vector<std::string> reports;
  std::vector<std::unique_ptr<State>> states;
};

// Runs the modes one after the other on one fresh state block, in the
// current directory (which holds the input files).
ModeRun run_modes(const std::vector<int>& modes, const Path& path) {
  UsePath use(path);
  ModeRun run;
  auto s = std::make_unique<State>();
  for (int mode : modes) {
    fs::remove("OUT_M.xls");
    run_call(*s, mode);
    run.reports.push_back(testing::file_exists("OUT_M.xls") ? testing::read_file("OUT_M.xls")
                                                            : "(no report)");
    run.states.push_back(std::make_unique<State>(*s));
  }
  return run;
}

// Every fast path against the plain path, mode by mode.
void expect_paths_agree(const std::vector<int>& modes, const std::string& what) {
  const ModeRun plain = run_modes(modes, kPlain);
  for (const Path& path : kFastPaths) {
    const ModeRun fast = run_modes(modes, path);
    for (std::size_t i = 0; i < modes.size(); ++i) {
      EXPECT_EQ(fast.reports[i], plain.reports[i])
          << what << ", mode " << modes[i] << ", " << describe(path);
      EXPECT_EQ(state_differences(*fast.states[i], *plain.states[i]), "")
          << what << ", state after mode " << modes[i] << ", " << describe(path);
    }
  }
}

// Copies the input files of a folder into the current directory.
void copy_inputs(const fs::path& folder) {
  for (const char* name : {"IN_FM.txt", "IN_FM2.txt"})
    if (fs::exists(folder / name)) fs::copy_file(folder / name, name);
}

std::vector<fs::path> folders_under(const fs::path& root) {
  std::vector<fs::path> out;
  for (const auto& entry : fs::directory_iterator(root))
    if (fs::exists(entry.path() / "IN_FM.txt")) out.push_back(entry.path());
  std::sort(out.begin(), out.end());
  return out;
}

// The optimising modes first and last, so that each also starts from what
// the others leave in the state block.
const std::vector<int> kSequence{2, 1, 3, 4, 5, 6, 2, 3, 1, 4};

TEST(MeritPaths, EveryExampleGivesTheSameReportsAndStateOnEveryPath) {
  const auto folders = folders_under(LUMAVEIL_EXAMPLES_DIR);
  ASSERT_FALSE(folders.empty());
  for (const fs::path& folder : folders) {
    testing::ScratchDir scratch;
    copy_inputs(folder);
    expect_paths_agree(kSequence, folder.filename().string());
  }
}

TEST(MeritPaths, EveryReferenceCaseGivesTheSameReportsAndStateOnEveryPath) {
  const auto folders = folders_under(fs::path(LUMAVEIL_TEST_DATA_DIR) / "reference");
  ASSERT_FALSE(folders.empty());
  for (const fs::path& folder : folders) {
    testing::ScratchDir scratch;
    copy_inputs(folder);
    expect_paths_agree(kSequence, folder.filename().string());
  }
}

// One letter of optimisation code (assigned as a character, which keeps
// g++ 12 from a spurious -Wrestrict warning on short literals).
void set_code(Surface& f, char code) { f.code.assign(1, code); }

// Forty surfaces of weak lenses, with a tilted plane at 10, an ideal element
// at 20 (focal length D[19]), a concave mirror at 30, six curvature (or
// distance) variables, one of them at -0, and ties to earlier and later
// surfaces, with and without a change of sign.
LensFile forty_surfaces() {
  LensFile lens;
  lens.wavelengths = {486.1, 587.6, 656.3};
  lens.weights = {0.5, 1.0, 0.75};
  lens.RH = 3;
  lens.nd1 = 2;
  lens.nd2 = 37;
  for (int k = 0; k <= 40; ++k) {
    Surface f;
    const bool glass = k % 2 == 1;
    f.D = k == 0 ? 20 : glass ? 2.5 : 3.5;
    f.C = k == 0 || k == 40 ? 0 : (glass ? 0.012 : -0.009) * (k % 4 == 1 ? 1 : -1) + 0.0003 * k;
    for (int q = 0; q < 3; ++q) f.n.push_back(glass ? 1.52 + 0.0005 * (2 - q) + 0.001 * k : 1.0);
    lens.surfaces.push_back(f);
  }
  // A tilted plane into glass.
  lens.surfaces[10].type = 2, lens.surfaces[10].Xd = 0.02, lens.surfaces[10].Yd = -0.015;
  lens.surfaces[10].n = {1.61, 1.6, 1.59};
  // An ideal element of focal length 45 behind surface 19.
  lens.surfaces[19].D = 45, lens.surfaces[20].type = 1;
  // A concave mirror: the index after it is negative.
  lens.surfaces[30].C = -0.004, lens.surfaces[30].n = {-1, -1, -1};
  lens.surfaces[39].D = 40;
  for (int k : {3, 7, 12, 25, 33, 36}) set_code(lens.surfaces[k], 'V');
  lens.surfaces[33].C = -0.0;
  const std::pair<int, int> ties[] = {{5, 3}, {9, 25}, {27, 12}, {15, 36}};
  for (auto [k, link] : ties) lens.surfaces[k].link = link;
  set_code(lens.surfaces[5], 'P');
  set_code(lens.surfaces[9], 'M');
  set_code(lens.surfaces[27], 'M');
  set_code(lens.surfaces[15], 'P');
  return lens;
}

// Rays whose targets lie near where the lens in IN_FM.txt sends them (at
// the middle wavelength), so that the optimisation converges instead of
// running off to not-a-number.
RaySetFile forty_surface_rays() {
  auto s = std::make_unique<State>();
  run_call(*s, 0);  // reads the lens only
  for (int k = 0; k <= s->NUMB; ++k) s->N[0][k] = s->N[2][k];
  vertex_positions(*s, s->D);
  RaySetFile rays;
  rays.NIT = 3, rays.NITC = 2, rays.NITD = 1, rays.HD = 0.1, rays.WUV = 0.5;
  for (int r = 0; r < 8; ++r) {
    Ray y;
    y.X = 0.4 * (r + 1) * (r % 2 ? -1 : 1);
    y.Y = 0.25 * (r % 3);
    y.U = 0.01 * (r % 4);
    y.V = -0.005 * (r % 3);
    s->X[0] = y.X, s->Y[0] = y.Y, s->U[0] = y.U, s->V[0] = y.V;
    trace_ray(*s);
    const int last = evaluated_surface(*s);
    y.XT = s->X[last] + 0.02, y.YT = s->Y[last], y.UT = s->U[last], y.VT = s->V[last] - 0.001;
    rays.rays.push_back(y);
  }
  rays.rays[4] = Ray{};  // an all-zero ray takes no part
  return rays;
}

TEST(MeritPaths, FortySurfacesWithTiesMirrorIdealElementAndTiltedPlane) {
  testing::ScratchDir scratch;
  forty_surfaces().write();
  forty_surface_rays().write();
  expect_paths_agree(kSequence, "forty surfaces");
  // The lens must be one whose figures mean something: the Gauss-Newton
  // modes end at finite merit values.
  for (int mode : {2, 3}) {
    const ModeRun plain = run_modes({mode}, kPlain);
    EXPECT_TRUE(std::isfinite(plain.states[0]->E)) << plain.reports[0];
  }
}

TEST(MeritPaths, DistanceTiesToEarlierAndLaterSurfaces) {
  // Mode 3 varies the distances of the 'V' surfaces; a tie on an ideal
  // element's distance changes its focal length as well as the surfaces
  // behind it.
  testing::ScratchDir scratch;
  LensFile lens = forty_surfaces();
  set_code(lens.surfaces[19], 'P');
  lens.surfaces[19].link = 36;
  set_code(lens.surfaces[9], 'P');  // a negative distance would fold the lens
  set_code(lens.surfaces[27], 'P');
  lens.write();
  forty_surface_rays().write();
  expect_paths_agree({3, 1, 3, 4}, "distance ties");
}

// A derivative trace that starts late takes the steps before its start from
// the trace at p, flags included: the flags the worker's arrays hold from an
// earlier lens (an ideal element where this lens has none) must not show.
TEST(MeritPaths, ALateStartTakesTheFlagsOfTheTraceAtP) {
  testing::ScratchDir scratch;
  const LensFile with_ideal_element = forty_surfaces();
  LensFile without = with_ideal_element;
  without.surfaces[20].type = 0;
  for (int k : {3, 5, 7, 9, 12, 15, 27}) without.surfaces[k].code.clear();
  std::unique_ptr<State> plain;
  for (const Path& path : {kPlain, Path{1, 1}}) {
    UsePath use(path);
    auto s = std::make_unique<State>();
    with_ideal_element.write();
    forty_surface_rays().write();
    run_call(*s, 2);
    without.write();  // the variables now lie behind surface 20 only
    run_call(*s, 2);
    if (!plain) {
      plain = std::move(s);
      continue;
    }
    EXPECT_EQ(state_differences(*s, *plain), "") << describe(path);
  }
}

// Direct evaluations of small lenses at the edges of the counts.
std::unique_ptr<State> small_lens() {
  auto s = std::make_unique<State>();
  s->NUMB = 4, s->NW = 2, s->WQ[1] = 1, s->WQ[2] = 0.5, s->WXY = 1, s->WUV = 1, s->H = 1e-5;
  const double D[] = {10, 5, 96.67, 0, 0};
  for (int k = 0; k <= 4; ++k) s->D[k] = D[k], s->N[1][k] = 1, s->N[2][k] = 1;
  s->C[1] = 0.02, s->N[1][1] = 1.5, s->N[2][1] = 1.51, s->C[2] = -0.01;
  s->N[0][4] = 7;  // the working row's entry behind the last surface stays
  s->CODE[1][0] = 'V', s->IV[1] = 0, s->CODE[2][0] = 'V', s->IV[2] = 1;
  vertex_positions(*s, s->D);
  s->XI[0] = 1, s->XI[1] = -2, s->YI[1] = 0.5, s->XI[2] = 0;  // ray 2 is all zero
  s->NRAY = 3;
  return s;
}

using Edit = void (*)(State&);

// The state after one evaluation of each kind, on the fast and the plain path.
void expect_evaluations_agree(Edit edit, int n, const std::string& what) {
  for (Varied v : {Varied::kCurvature, Varied::kDistance}) {
    std::unique_ptr<State> plain;
    for (const Path& path : {kPlain, Path{1, 1}, Path{1, 3}, Path{0, 2}}) {
      auto s = small_lens();
      edit(*s);
      const double p[kSurfaceSlots] = {9, v == Varied::kCurvature ? 0.021 : 9.5, -0.012, 96};
      {
        UsePath use(path);
        merit(*s, v, n, s->IV, p);
      }
      if (!plain) {
        plain = std::move(s);
        continue;
      }
      EXPECT_EQ(state_differences(*s, *plain), "") << what << ", " << describe(path);
    }
  }
}

TEST(MeritPaths, EdgesOfTheCountsLeaveTheSameState) {
  expect_evaluations_agree([](State&) {}, 2, "two variables");
  expect_evaluations_agree([](State&) {}, 0, "no variable");
  expect_evaluations_agree([](State& s) { s.NRAY = 0; }, 2, "no ray");
  expect_evaluations_agree([](State& s) { s.NRAY = -3; }, 2, "negative ray count");
  expect_evaluations_agree([](State& s) { s.NW = 0; }, 2, "no wavelength");
  expect_evaluations_agree([](State& s) { s.NUMB = 0; }, 2, "no surface");
  expect_evaluations_agree([](State& s) { s.NUMB = -2; }, 2, "negative surface count");
  expect_evaluations_agree([](State& s) { s.NUMB = 1; }, 1, "one surface");
  // Only the last ray of the last wavelength counts.
  expect_evaluations_agree([](State& s) { s.XI[0] = 0, s.XI[1] = 0, s.YI[1] = 0, s.XI[2] = 3; },
                           2, "one ray last");
}

TEST(MeritPaths, MinusZeroTurnedIntoPlusZeroIsAChange) {
  // Putting a variable back at p after its differences adds +0, which turns
  // a distance of -0 into +0. At an ideal element of that focal length the
  // sign reaches the traced height, so every later trace must see the +0:
  // the step may not be taken from the trace at p.
  std::unique_ptr<State> plain;
  for (const Path& path : {kPlain, Path{1, 1}, Path{1, 2}}) {
    auto s = small_lens();
    s->TYPE[2] = 1;
    s->U[0] = 0, s->UI[0] = 0.01, s->UI[1] = -0.02;
    const double p[kSurfaceSlots] = {9, -0.0, 50, 96};
    {
      UsePath use(path);
      merit_distance(*s, 2, s->IV, p);
    }
    if (!plain) {
      plain = std::move(s);
      continue;
    }
    EXPECT_EQ(state_differences(*s, *plain), "") << describe(path);
  }
}

TEST(MeritPaths, ValuesThatAreTheVariedArrayItself) {
  // Evaluating at p = C reads back what the evaluation writes into C; the
  // result does not depend on the path.
  std::unique_ptr<State> plain;
  for (const Path& path : {kPlain, Path{1, 1}, Path{1, 2}}) {
    auto s = small_lens();
    s->CODE[2][0] = 'M', s->LINK[2] = 1;
    {
      UsePath use(path);
      merit_curvature(*s, 1, s->IV, s->C);
    }
    if (!plain) {
      plain = std::move(s);
      continue;
    }
    EXPECT_EQ(state_differences(*s, *plain), "") << describe(path);
  }
}

}  // namespace
}  // namespace lumaveil
