// The field aberrations against answers that do not come from the code's
// formulas: third-order theory of a thin lens at its stop, the exact
// geometry of a mirror with its stop at the centre of curvature, symmetry,
// and the definitions of a plane mirror and an ideal element.
#include <gtest/gtest.h>

#include <cmath>

#include "cli/fields/analysis.h"
#include "fields/lenses.h"

namespace lumaveil::testing {
namespace {

using fields::Analysis;
using fields::analyse_fields;
using fields::Bundle;

const Bundle& chief(const Analysis& a, std::size_t field, std::size_t q = 0) {
  return a.fields.at(field).bundles.at(q);
}

// A biconvex lens R = ±100, 0.05 thick, n = 1.5, stop at its front face,
// the image plane at its paraxial back focus (thick-lens formulas).
constexpr double kN = 1.5, kR = 100, kT = 0.05;
double thin_lens_efl() {
  return 1 / ((kN - 1) * (1 / kR + 1 / kR - (kN - 1) * kT / (kN * kR * kR)));
}
LensFile thin_lens() {
  const double f = thin_lens_efl();
  const double bfd = f * (1 - (kN - 1) * kT / (kN * kR));
  return {.aperture_kind = 1, .steps = 4, .RH = 5,
          .surfaces = {{.D = 20, .n = {1}}, {.C = 1 / kR, .D = kT, .n = {kN}},
                       {.C = -1 / kR, .D = bfd, .n = {1}}, {.n = {1}}, {.n = {1}}}};
}

TEST(FieldAberrations, ThinLensAtItsStopFollowsPetzvalAndAstigmatism) {
  // Third order, stop at a thin lens of power 1/f: the Petzval surface sags
  // by −y²/(2nf), the sagittal focus by −y²(1 + 1/n)/(2f) and the tangential
  // by −y²(3 + 1/n)/(2f) at image height y; distortion vanishes.
  const auto lens = read_lens_text(thin_lens().text());
  const double f = thin_lens_efl();
  const Analysis a = analyse_fields(*lens, 1, {1 * kDegree, 2 * kDegree, 3 * kDegree});
  ASSERT_TRUE(a.error.empty()) << a.error;
  for (std::size_t i = 0; i < a.fields.size(); ++i) {
    const Bundle& b = chief(a, i);
    ASSERT_TRUE(b.reaches_image) << b.problem;
    const double y = f * std::tan(a.fields[i].field);
    EXPECT_TRUE(relatively_near(b.sagittal_focus, -y * y * (1 + 1 / kN) / (2 * f), 0.01));
    EXPECT_TRUE(relatively_near(b.tangential_focus, -y * y * (3 + 1 / kN) / (2 * f), 0.01));
    EXPECT_NEAR(a.fields[i].distortion[0], 0, 1e-3);  // percent
    EXPECT_TRUE(relatively_near(b.x, -y, 1e-4));
  }
}

TEST(FieldAberrations, OnTheAxisBothFociAreTheParaxialImage) {
  // The thin pencil along the axis focuses where the paraxial trace puts
  // the image: the two come from different code (real differential rays,
  // the y-nu trace) and must agree at every wavelength.
  for (const char* example : {"cooke_triplet", "achromatic_doublet", "double_gauss", "concave_mirror"}) {
    const auto lens = read_example_lens(example);
    const Analysis a = analyse_fields(*lens, 1, {0});
    for (std::size_t q = 0; q < a.wavelengths.size(); ++q) {
      const Bundle& b = chief(a, 0, q);
      const double beyond_image = a.first_order[q].image - lens->D[lens->NUMB - 2];
      EXPECT_NEAR(b.tangential_focus, beyond_image, 1e-6) << example << " wavelength " << q + 1;
      EXPECT_NEAR(b.sagittal_focus, beyond_image, 1e-6) << example << " wavelength " << q + 1;
    }
  }
}

TEST(FieldAberrations, StopAwayFromTheThinLensDistorts) {
  // The same lens with the stop 20 in front of it: third-order distortion
  // appears, so the check above can fail.
  LensFile moved = thin_lens();
  moved.surfaces.insert(moved.surfaces.begin() + 1, {.D = 20, .n = {1}});
  moved.surfaces[0].D = 10;
  const auto lens = read_lens_text(moved.text());
  const Analysis a = analyse_fields(*lens, 1, {3 * kDegree});
  ASSERT_TRUE(chief(a, 0).reaches_image);
  EXPECT_GT(std::fabs(a.fields[0].distortion[0]), 5e-3);
}

TEST(FieldAberrations, MirrorWithStopAtItsCentreHasAConcentricImageSphere) {
  // Stop at the centre of curvature of a concave mirror R = 200: every chief
  // ray meets the mirror along its normal, so each field sees the mirror as
  // the axis does. Its foci lie f = 100 from the mirror along the chief
  // ray, on the sphere of radius 100 about the centre: 100·(1 − cos θ)
  // beyond the focal plane (in the unfolded frame), with no distortion.
  // (The stop stands 0.01 in front of the centre: at exactly normal
  // incidence the tracer's arccosine may see a cosine rounded above 1. The
  // chief ray then meets the mirror 1e-5 rad off its normal, which moves
  // its point on the flat image plane by about 1e-5.)
  const LensFile mirror{.aperture_kind = 1, .steps = 3, .RH = 10,
                        .surfaces = {{.D = 10, .n = {1}}, {.D = 199.99, .n = {1}},
                                     {.C = -1.0 / 200, .D = 100, .n = {-1}}, {.n = {-1}},
                                     {.n = {-1}}}};
  const auto lens = read_lens_text(mirror.text());
  const Analysis a = analyse_fields(*lens, 1, {2 * kDegree, 5 * kDegree, 10 * kDegree});
  for (std::size_t i = 0; i < a.fields.size(); ++i) {
    const double theta = a.fields[i].field;
    const Bundle& b = chief(a, i);
    ASSERT_TRUE(b.reaches_image) << b.problem;
    EXPECT_NEAR(b.tangential_focus, 100 * (1 - std::cos(theta)), 1e-6);
    EXPECT_NEAR(b.sagittal_focus, 100 * (1 - std::cos(theta)), 1e-6);
    EXPECT_NEAR(std::fabs(b.x), 100 * std::tan(theta), 1e-4);
    EXPECT_NEAR(a.fields[i].distortion[0], 0, 1e-3);
  }
}

TEST(FieldAberrations, SymmetricLensAtUnitMagnificationHasNoDistortionOrLateralColour) {
  // Two mirror-image elements about the stop, object and image planes 100
  // from them: the chief ray leaves as it came, mirrored, at every
  // wavelength, and the image of height h stands at −h.
  const std::vector<double> glass{1.5224, 1.5168, 1.5143};
  const LensFile symmetric{
      .aperture_kind = 2, .steps = 3, .RU = 0.03,
      .wavelengths = {486.1, 587.6, 656.3}, .weights = {1, 1, 1},
      .surfaces = {{.D = 100, .n = {1, 1, 1}}, {.C = 1.0 / 50, .D = 5, .n = glass},
                   {.C = -1.0 / 80, .D = 5, .n = {1, 1, 1}}, {.D = 5, .n = {1, 1, 1}},
                   {.C = 1.0 / 80, .D = 5, .n = glass}, {.C = -1.0 / 50, .D = 100, .n = {1, 1, 1}},
                   {.n = {1, 1, 1}}, {.n = {1, 1, 1}}}};
  const auto lens = read_lens_text(symmetric.text());
  const Analysis a = analyse_fields(*lens, 3, {5, 15});
  ASSERT_TRUE(a.error.empty()) << a.error;
  EXPECT_EQ(a.shortest, 1);
  EXPECT_EQ(a.longest, 3);
  for (std::size_t i = 0; i < a.fields.size(); ++i) {
    for (std::size_t q = 0; q < 3; ++q) {
      const Bundle& b = chief(a, i, q);
      ASSERT_TRUE(b.reaches_image) << b.problem;
      EXPECT_NEAR(b.x, -a.fields[i].field, 1e-7);
      EXPECT_NEAR(a.fields[i].distortion[q], 0, 1e-6);
    }
    EXPECT_NEAR(a.fields[i].lateral_colour, 0, 1e-7);
  }
  // The glass disperses: the paraxial focus does move with the wavelength.
  EXPECT_GT(std::fabs(a.longitudinal_colour), 0.1);
}

TEST(FieldAberrations, PlaneMirrorImagesAlongStraightLinesInTheUnfoldedFrame) {
  // Object point at height h on the start plane, stop 10 behind it, a plane
  // mirror 20 further and the image plane 30 beyond: the chief ray runs
  // straight through the stop's centre (slope −h/10) to −5h, and its pencil
  // diverges from the object point, 60 before the image plane.
  const LensFile mirror{.aperture_kind = 2, .steps = 2, .RU = 0.02,
                        .surfaces = {{.D = 10, .n = {1}}, {.D = 20, .n = {1}}, {.D = 30, .n = {-1}},
                                     {.n = {-1}}, {.n = {-1}}}};
  const auto lens = read_lens_text(mirror.text());
  const Analysis a = analyse_fields(*lens, 1, {2});
  const Bundle& b = chief(a, 0);
  ASSERT_TRUE(b.reaches_image) << b.problem;
  EXPECT_NEAR(b.chief.start.u, std::atan(0.2), 1e-12);
  EXPECT_NEAR(b.x, -10, 1e-9);
  EXPECT_NEAR(a.fields[0].paraxial_height[0], -10, 1e-12);
  EXPECT_NEAR(b.tangential_focus, -60, 1e-6);
  EXPECT_NEAR(b.sagittal_focus, -60, 1e-6);
}

TEST(FieldAberrations, IdealElementImagesBySineNotTangent) {
  // Stop in the front focal plane of an ideal element f = 50: a parallel
  // bundle at angle θ focuses in the back focal plane at −f·sin θ, while
  // the paraxial height is −f·tan θ: distortion cos θ − 1, no field
  // curvature.
  const LensFile ideal{.aperture_kind = 1, .steps = 2, .RH = 5,
                       .surfaces = {{.D = 10, .n = {1}}, {.D = 50, .n = {1}},
                                    {.type = 1, .n = {1}}, {.n = {1}}, {.n = {1}}}};
  const auto lens = read_lens_text(ideal.text());
  const Analysis a = analyse_fields(*lens, 1, {10 * kDegree, 20 * kDegree});
  for (std::size_t i = 0; i < a.fields.size(); ++i) {
    const double theta = a.fields[i].field;
    const Bundle& b = chief(a, i);
    ASSERT_TRUE(b.reaches_image) << b.problem;
    EXPECT_NEAR(b.x, -50 * std::sin(theta), 1e-12);
    EXPECT_NEAR(a.fields[i].paraxial_height[0], -50 * std::tan(theta), 1e-12);
    EXPECT_NEAR(a.fields[i].distortion[0], (std::cos(theta) - 1) * 100, 1e-9);
    EXPECT_NEAR(b.tangential_focus, 0, 1e-9);
    EXPECT_NEAR(b.sagittal_focus, 0, 1e-9);
  }
}

}  // namespace
}  // namespace lumaveil::testing
