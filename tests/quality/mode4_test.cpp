// The on-axis wavefront against mode 4's scan of the same lens.
//
// Mode 4 measures each ray to the reference image point I itself: its path
// to surface NUMB-2 (point P) plus the straight line from P to I, minus the
// chief ray's path to I, in waves (AB, positive for a longer path). The
// quality analysis measures to the reference sphere of radius R about I and
// counts W positive for a shorter path. On the axis, with index 1 in the
// last space and Q the ray's point on the image surface, the two differ by
// the geometry of the ray alone:
//   W·λ = −AB·λ + D,  D = |P − I| − |Q − P| + t − R,
// t the distance from Q back along the ray to the sphere. D vanishes for a
// ray through I and grows as the square of its miss.
//
// Mode 4 scans along x and y through its central ray; where that ray is the
// aimed chief ray, its scans are sections of the quality analysis's pupil.
#include <cmath>
#include <fstream>
#include <sstream>

#include "cli/fields/aim.h"
#include "entry/entry.h"
#include "quality_fixtures.h"
#include "trace/trace.h"
#include "trace/vertex_positions.h"

namespace lumaveil::quality {
namespace {

using lumaveil::testing::ScratchDir;

// The AB column of one scan (the U scan or the V scan) of wavelength 1 in
// OUT_M.xls.
std::vector<double> scan_aberrations(const std::string& heading, int M) {
  std::ifstream report("OUT_M.xls");
  std::string line;
  std::vector<double> ab;
  bool in_scan = false;
  while (std::getline(report, line) && static_cast<int>(ab.size()) < 2 * M + 1) {
    if (line.rfind(heading, 0) == 0) {
      in_scan = true;
      continue;
    }
    if (!in_scan) continue;
    std::istringstream cells(line);
    double start, height, angle, value;
    cells >> start >> height >> angle >> value;
    ab.push_back(value);
  }
  return ab;
}

double distance(const double* a, const double* b) {
  return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

// D = |P − I| − |Q − P| + t − R for a ray from P (last surface) to Q (image).
double reference_difference(const double* P, const double* Q, const double* I, double R) {
  const double QP = distance(Q, P);
  // Back from Q along the ray (unit vector from Q toward P) to the sphere.
  const double d[3] = {(P[0] - Q[0]) / QP, (P[1] - Q[1]) / QP, (P[2] - Q[2]) / QP};
  const double w[3] = {Q[0] - I[0], Q[1] - I[1], Q[2] - I[2]};
  const double wd = w[0] * d[0] + w[1] * d[1] + w[2] * d[2];
  const double t = -wd + std::sqrt(wd * wd - (w[0] * w[0] + w[1] * w[1] + w[2] * w[2]) + R * R);
  return distance(P, I) - QP + t - R;
}

struct ScanCase {
  const char* example;
  int stop;
  double field;  // rad, along x
  bool u_scan;   // the U scan (along x) or the V scan (along y)
  double largest_d;  // at least, waves
};

// Off the axis the scan rays start on the start plane, which a tilted
// parallel beam crosses obliquely: mode 4 counts their paths from there, the
// quality analysis from the plane wavefront through the origin, n0·(P·d)
// further on for a start point P and the beam's unit direction d. The
// double Gauss of the examples is far out of focus: its rays miss I by up to
// a tenth of a millimetre and the references differ by several waves.
const ScanCase kScans[] = {{"double_gauss", 6, 0.0, false, 1.0},
                           {"off_axis_field", 1, 0.05, true, 0.0}};

TEST(Mode4Scan, WavefrontAgreesAfterTheReferenceDifference) {
  for (const ScanCase& c : kScans) {
    ScratchDir dir;
    std::ifstream lens_file(std::string(LUMAVEIL_EXAMPLES_DIR) + "/" + c.example + "/IN_FM.txt",
                            std::ios::binary);
    std::ostringstream bytes;
    bytes << lens_file.rdbuf();
    lumaveil::testing::write_file("IN_FM.txt", bytes.str());
    auto mode4 = std::make_unique<State>();
    run_call(*mode4, 4);
    const int M = mode4->NS;
    const std::vector<double> ab = scan_aberrations(c.u_scan ? "U[0]" : "V[0]", M);
    ASSERT_EQ(static_cast<int>(ab.size()), 2 * M + 1) << c.example;

    Lens lens;
    std::string why;
    ASSERT_TRUE(load_lens(".", lens, why)) << why;
    QualityResult r;
    ASSERT_TRUE(analyse(*lens.state, c.stop, c.field, 1, 16, r, why)) << why;
    fields::RayAimer aimer(*lens.state, c.stop, 1);
    const State& s = aimer.lens();
    const double lambda = s.WL[1] * 1e-6;
    // The example's central ray is the aimed chief ray.
    EXPECT_NEAR(r.reference.chief.x, s.XI[0], 1e-9) << c.example;
    const double tu = std::tan(c.field), L = std::sqrt(tu * tu + 1);
    const int a = s.NUMB - 2, b = s.NUMB - 1;
    double largest_d = 0;
    for (int l = -M; l <= M; ++l) {
      const double offset = l * s.RH / M;
      // The scan ray of mode 4, traced by the library on arrays of its own.
      RayArrays ray;
      ray.X[0] = s.XI[0] + (c.u_scan ? offset : 0);
      ray.Y[0] = s.YI[0] + (c.u_scan ? 0 : offset);
      ray.Z[0] = 0;
      ray.U[0] = s.UI[0];
      ray.V[0] = s.VI[0];
      trace_steps(surfaces_of(s), ray.ray(), 0);
      const double P[3] = {ray.X[a], ray.Y[a], ray.Z[a]}, Q[3] = {ray.X[b], ray.Y[b], ray.Z[b]};
      const double D = reference_difference(P, Q, r.reference.image, r.reference.radius);
      largest_d = std::max(largest_d, std::fabs(D / lambda));
      const double start_plane = c.u_scan ? -tu * offset / L : 0;  // (P − P_chief)·d, index 1
      const double t = static_cast<double>(l) / M;
      const PupilRay mine = trace_pupil_ray(s, r.reference, c.u_scan ? t : 0, c.u_scan ? 0 : t);
      ASSERT_TRUE(mine.ok);
      // AB is printed with 7 significant digits.
      const double want = -ab[l + M] + D / lambda - start_plane / lambda;
      EXPECT_NEAR(mine.w, want, 2e-6 * std::fabs(ab[l + M]) + 1e-6) << c.example << ", l = " << l;
    }
    EXPECT_GE(largest_d, c.largest_d) << c.example;
  }
}

}  // namespace
}  // namespace lumaveil::quality
