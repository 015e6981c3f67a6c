#include "cli/diagnosis/first_order.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "model/lens_data.h"
#include "support/test_support.h"
#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil::testing {
namespace {

using cli::diagnosis::first_order;
using cli::diagnosis::FirstOrder;

// Reads the text of a lens file the way the library does, into a fresh state.
std::unique_ptr<State> read_lens_text(const std::string& text) {
  ScratchDir dir;
  write_file("IN_FM.txt", text);
  auto s = std::make_unique<State>();
  EXPECT_TRUE(read_lens_data(*s));
  return s;
}

std::unique_ptr<State> read_lens(const LensFile& lens) { return read_lens_text(lens.text()); }

std::unique_ptr<State> read_example(const std::string& name) {
  return read_lens_text(read_file(std::string(LUMAVEIL_EXAMPLES_DIR) + "/" + name + "/IN_FM.txt"));
}

// A biconvex singlet R1 = 50, R2 = −100, 6 thick, n = 1.5, in air; the image
// plane `image` behind it.
LensFile thick_singlet(double image, int kind = 1, double start = 10) {
  return {.aperture_kind = kind,
          .RH = 5,
          .surfaces = {{.D = start, .n = {1}},
                       {.C = 1.0 / 50, .D = 6, .n = {1.5}},
                       {.C = -1.0 / 100, .D = image, .n = {1}},
                       {.n = {1}},
                       {.n = {1}}}};
}

// A spherical mirror of curvature c, 20 behind the start plane, with the
// image plane 100 in front of it; index −1 behind it: the unfolded frame.
LensFile mirror(double c) {
  return {
      .RH = 10,
      .surfaces = {{.D = 20, .n = {1}}, {.C = c, .D = 100, .n = {-1}}, {.n = {-1}}, {.n = {-1}}}};
}

// An ideal element of focal length f as surface 1, f behind the start plane
// (which is then its front focal plane); the image plane `image` behind it.
LensFile ideal_element(double f, double image) {
  return {
      .surfaces = {{.D = f, .n = {1}}, {.D = image, .type = 1, .n = {1}}, {.n = {1}}, {.n = {1}}}};
}

// A plate of index 1.5, `thickness` thick and 10 behind the start plane, its
// rear face of curvature `rear` (0: a parallel plate); the image plane 10
// behind it.
LensFile flat_fronted_lens(double thickness, double rear) {
  return {.surfaces = {{.D = 10, .n = {1}},
                       {.D = thickness, .n = {1.5}},
                       {.C = rear, .D = 10, .n = {1}},
                       {.n = {1}},
                       {.n = {1}}}};
}

constexpr double n = 1.5, c1 = 1.0 / 50, c2 = -1.0 / 100, d = 6;

TEST(FirstOrder, ThickSingletMatchesTheLensmakerFormulas) {
  const auto s = read_lens(thick_singlet(90));
  const double power = (n - 1) * (c1 - c2 + (n - 1) * d * c1 * c2 / n);
  const double f = 1 / power;
  const FirstOrder r = first_order(*s, 1);
  EXPECT_FALSE(r.afocal);
  EXPECT_NEAR(r.efl, f, 1e-12 * f);
  EXPECT_NEAR(r.bfd, f * (1 - (n - 1) * d * c1 / n), 1e-12 * f);
  EXPECT_NEAR(r.ffd, f * (1 + (n - 1) * d * c2 / n), 1e-12 * f);
  // Object at infinity: the image is the back focus; the image plane 90
  // behind the lens stands that far from it.
  EXPECT_EQ(r.object, cli::diagnosis::ObjectKind::kInfinity);
  EXPECT_DOUBLE_EQ(r.image, r.bfd);
  EXPECT_NEAR(r.defocus, 90 - r.bfd, 1e-12 * f);
  EXPECT_TRUE(r.has_f_number);
  EXPECT_NEAR(r.f_number, f / 10, 1e-12 * f);
}

TEST(FirstOrder, SphericalMirrorFocusesAtHalfItsRadius) {
  // Concave toward the light (C < 0), index −1 behind it: the unfolded frame.
  const auto s = read_lens(mirror(-1.0 / 200));
  const FirstOrder r = first_order(*s, 1);
  EXPECT_DOUBLE_EQ(r.efl, 100);
  EXPECT_DOUBLE_EQ(r.bfd, 100);
  EXPECT_DOUBLE_EQ(r.defocus, 0);
  // A convex mirror diverges: a virtual focus 100 behind it.
  const auto convex = read_lens(mirror(1.0 / 200));
  EXPECT_DOUBLE_EQ(first_order(*convex, 1).efl, -100);
}

TEST(FirstOrder, IdealElementHasItsFocalLength) {
  // Surface 1 is an ideal element of f = D[0] = 40: the start plane is its
  // front focal plane, surface 1 its back focal plane.
  LensFile lens = ideal_element(40, 0);
  lens.RH = 2;
  const auto s = read_lens(lens);
  const FirstOrder r = first_order(*s, 1);
  EXPECT_DOUBLE_EQ(r.efl, 40);
  EXPECT_DOUBLE_EQ(r.bfd, 0);
  EXPECT_DOUBLE_EQ(r.ffd, 40);
  // From a point on its front focal plane the image is at infinity.
  LensFile fan_lens = ideal_element(40, 0);
  fan_lens.aperture_kind = 2;
  fan_lens.RU = 0.01;
  const auto fan = read_lens(fan_lens);
  EXPECT_TRUE(first_order(*fan, 1).image_at_infinity);
}

// Where a real ray traced by the library crosses the axis behind surface
// `last`, measured from that surface's vertex.
double real_crossing(State& s, int q, double X, double U, int last) {
  vertex_positions(s, s.D);
  for (int k = 0; k <= s.NUMB; ++k) s.N[0][k] = s.N[q][k];
  s.Z[0] = 0;
  s.X[0] = X;
  s.Y[0] = 0;
  s.U[0] = U;
  s.V[0] = 0;
  trace_ray(s);
  // x(z) = X − tan U · (z − Z): zero at z = Z + X / tan U.
  return s.Z[last] + s.X[last] / std::tan(s.U[last]) - s.ZV[last - 1];
}

// The crossing of a real ray at vanishing height (or angle), from rays at
// t and 2t: the aberration grows with t², so (4·B(t) − B(2t))/3 leaves the
// t⁴ term alone. Much smaller rays cannot be used: the tracer's angles of
// incidence come from acos and lose their digits near zero.
double paraxial_limit(State& s, int q, double X, double U, int last) {
  return (4 * real_crossing(s, q, X, U, last) - real_crossing(s, q, 2 * X, 2 * U, last)) / 3;
}

TEST(FirstOrder, AgreesWithRealRaysNearTheAxis) {
  // Parallel rays 0.1 and 0.2 from the axis: the back focus, for a singlet,
  // a mirror and every wavelength of the triplet and the doublet.
  auto singlet = read_lens(thick_singlet(90));
  const double singlet_bfd = first_order(*singlet, 1).bfd;
  EXPECT_NEAR(paraxial_limit(*singlet, 1, 0.1, 0, 2), singlet_bfd, 1e-6 * singlet_bfd);
  auto concave = read_lens(mirror(-1.0 / 200));
  EXPECT_NEAR(paraxial_limit(*concave, 1, 0.1, 0, 1), 100, 1e-6 * 100);
  for (const char* example : {"cooke_triplet", "achromatic_doublet"}) {
    auto lens = read_example(example);
    for (int q = 1; q <= lens->NW; ++q) {
      const double bfd = first_order(*lens, q).bfd;
      EXPECT_NEAR(paraxial_limit(*lens, q, 0.1, 0, lens->NUMB - 2), bfd, 1e-6 * bfd)
          << example << " wavelength " << q;
    }
  }
  // A finite object: a fan from the axis point of the start plane, 120 in
  // front of the singlet (U > 0 heads down: −1e-3 rises).
  auto fan = read_lens(thick_singlet(90, 2, 120));
  const FirstOrder r = first_order(*fan, 1);
  EXPECT_EQ(r.object, cli::diagnosis::ObjectKind::kStartPlane);
  EXPECT_NEAR(paraxial_limit(*fan, 1, 0, -1e-3, 2), r.image, 1e-6 * r.image);
  EXPECT_FALSE(r.has_f_number);  // an angle aperture has no f-number here
}

TEST(FirstOrder, DoubleGaussDesignHasAFocalLengthOf100) {
  if (!std::filesystem::exists(std::string(LUMAVEIL_EXAMPLES_DIR) +
                               "/double_gauss_spacing/IN_FM.txt"))
    GTEST_SKIP() << "no Double Gauss example";
  // The spacing example holds the design's curvatures and its distances 1 %
  // off; with the design distances back (its README) the lens is f = 100 with
  // the image plane at the paraxial focus, 61.48755 behind surface 11.
  const auto lens = read_example("double_gauss_spacing");
  const double design[] = {8.75, 0.5, 12.5, 3.8, 16.369445, 13.747957, 3.8, 11.0, 0.5, 7.0};
  for (int k = 1; k <= 10; ++k) lens->D[k] = design[k - 1];
  ASSERT_EQ(lens->NUMB, 13);
  ASSERT_EQ(lens->WL[1], 587.6);
  const FirstOrder r = first_order(*lens, 1);
  EXPECT_NEAR(r.efl, 100.0, 0.01);
  EXPECT_NEAR(r.bfd, 61.48755, 1e-4);
  EXPECT_NEAR(r.defocus, 0, 1e-4);
  EXPECT_NEAR(r.f_number, 2.0, 1e-3);
}

TEST(FirstOrder, ParallelPlateHasNoPower) {
  const auto s = read_lens(flat_fronted_lens(5, 0));
  const FirstOrder r = first_order(*s, 1);
  EXPECT_TRUE(r.afocal);
  EXPECT_TRUE(r.image_at_infinity);
  EXPECT_FALSE(r.has_f_number);
}

TEST(RealRayCheck, NamesTheSurfaceARayMissesOrIsTotallyReflectedAt) {
  // Surface 2 (R = 5) is missed by rays higher than 5.
  LensFile misses_lens = flat_fronted_lens(2, 0.2);
  misses_lens.RH = 6;
  auto misses = read_lens(misses_lens);
  auto failures = cli::diagnosis::real_ray_check(*misses);
  ASSERT_EQ(failures.size(), 6u);  // all but the central ray
  EXPECT_EQ(failures[0].ray, "upper rim ray");
  EXPECT_EQ(failures[0].failure, cli::diagnosis::RayFailure::kMisses);
  EXPECT_EQ(failures[0].surface, 2);

  // Inside glass of index 1.5 a ray 4 from the axis meets the R = −5 rear
  // face at sin I = 0.8 > 1/1.5: totally reflected there; the central ray at
  // height 1 passes.
  LensFile reflected_lens = flat_fronted_lens(1, -0.2);
  reflected_lens.RH = 3;
  reflected_lens.X = 1;
  auto reflected = read_lens(reflected_lens);
  failures = cli::diagnosis::real_ray_check(*reflected);
  ASSERT_FALSE(failures.empty());
  EXPECT_EQ(failures[0].ray, "upper rim ray");
  EXPECT_EQ(failures[0].failure, cli::diagnosis::RayFailure::kTotallyReflected);
  EXPECT_EQ(failures[0].surface, 2);

  // An ideal element of f = 5 cannot take a ray 6 from the axis.
  LensFile ideal_lens = ideal_element(5, 5);
  ideal_lens.steps = 0;
  ideal_lens.RH = 6;
  auto ideal = read_lens(ideal_lens);
  failures = cli::diagnosis::real_ray_check(*ideal);
  ASSERT_FALSE(failures.empty());
  EXPECT_EQ(failures[0].failure, cli::diagnosis::RayFailure::kBeyondIdealElement);
  EXPECT_EQ(failures[0].surface, 1);

  // The examples pass at every wavelength.
  for (const char* example : {"cooke_triplet", "achromatic_doublet", "concave_mirror",
                              "planoconvex_lens", "cooke_triplet_refocus"})
    EXPECT_TRUE(cli::diagnosis::real_ray_check(*read_example(example)).empty()) << example;
}

}  // namespace
}  // namespace lumaveil::testing
