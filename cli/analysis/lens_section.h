// The lens layout of a mode-1 report as numbers: the traced rays and the
// surface outlines in one section (y-z, or x-z when the rays lie in that
// plane), in the room's frame. The trace unfolds the light behind a mirror;
// here each mirror turns z back, so that the light returns as it does.
#ifndef LUMAVEIL_CLI_ANALYSIS_LENS_SECTION_H
#define LUMAVEIL_CLI_ANALYSIS_LENS_SECTION_H

#include <cstddef>
#include <vector>

#include "cli/analysis/point.h"
#include "cli/inputs/lens_view.h"
#include "cli/report_input/report_blocks.h"

namespace lumaveil::cli::analysis {

// The unfolded frame of the trace turned back into the room: behind each
// mirror z runs the other way. Physical z = a + s * z_unfolded.
struct Fold {
  double a = 0, s = 1;
  double operator()(double z) const { return a + s * z; }
};

// The fold of each surface 0 .. surfaces-1 (no mirrors without a lens).
std::vector<Fold> folds(const inputs::LensView* lens, int surfaces);

// The sag of a sphere of curvature c at height h; NaN beyond its reach.
double sag(double c, double h);

struct RayPath {
  std::size_t block;          // the wavelength block it belongs to
  std::vector<Point> points;  // (z, height) per surface; not finite after a miss
};

struct SurfaceOutline {
  std::vector<Point> points;  // (z, height) across the surface
  int type = 0;               // 1 ideal element, 2 tilted plane, else sphere or plane
  bool mirror = false;
  // A mirror's back, the side the light does not reach: +1 toward larger
  // z of the room, -1 toward smaller. The light meets the mirror moving as
  // the fold before it runs.
  int back = 1;
};

struct LensSection {
  bool xz = false;         // the x-z section (else y-z)
  bool with_lens = false;  // surfaces drawn: the lens has the report's surfaces
  std::vector<RayPath> paths;
  std::vector<SurfaceOutline> outlines;
  // Each lens element (glass between two refracting spheres or planes) as a
  // closed outline: its front surface up, its rear surface down, joined by
  // edges at the larger semi-diameter the rays use on either surface.
  std::vector<std::vector<Point>> elements;
  std::vector<double> zs, hs;  // every finite z and height, for the ranges
  int rays = 0, missed = 0;
};

// The section of the report's rays and, when `lens` has as many surfaces as
// the report traced, of its surfaces.
LensSection lens_section(const report_input::ReportContents& report, const inputs::LensView* lens);

}  // namespace lumaveil::cli::analysis

#endif
