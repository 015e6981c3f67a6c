// One field point at one wavelength: the aimed chief ray and what the
// bundle around it does at the image surface (surface NUMB-1).
//
// - The spot: the lens data's aperture grid (the rule of mode 1: steps j, l
//   from −NS to NS inside the disc j² + l² ≤ NS², offsets j·RH/NS in the
//   start heights for kind 1, j·RU/NS in the start angles for kind 2) spread
//   around the aimed chief ray's start values.
// - The ray fans: rays aimed at evenly spaced points of the stop's x
//   diameter (tangential) and y diameter (sagittal); the transverse error
//   is the ray's image point minus the chief ray's.
// - The foci of the thin pencil about the chief ray: pairs of rays beside
//   the chief ray (start heights for kind 1, start angles for kind 2, ±1 %
//   and ±2 % of the aperture) in x (tangential) and in y (sagittal); the z
//   where a pair crosses, extrapolated to a pair of no width, minus the z
//   of the chief ray on the image surface.
#ifndef LUMAVEIL_CLI_FIELDS_BUNDLE_H
#define LUMAVEIL_CLI_FIELDS_BUNDLE_H

#include <string>
#include <vector>

#include "cli/fields/aim.h"
#include "plot.h"

namespace lumaveil::fields {

struct FanPoint {
  double pupil;   // normalised stop coordinate, −1 to 1
  double ex, ey;  // image point minus the chief ray's; not finite when the ray is lost
};

struct Bundle {
  int q = 0;
  double field = 0;         // radians (kind 1) or object height (kind 2)
  Aimed chief;              // the aimed chief ray; !chief.ok() when it could not be aimed
  bool reaches_image = false;
  std::string problem;      // why there are no results, when there are none
  double x = 0, y = 0, z = 0;  // the chief ray on the image surface
  double tangential_focus = 0, sagittal_focus = 0;  // z of the focus minus z above
  std::vector<svg::Point> spot;   // image points of the grid; lost rays not finite
  plot::SpotStats spot_stats;     // centroid, RMS and largest radius about the centroid
  std::vector<FanPoint> tangential_fan, sagittal_fan;
  // The chief ray and the rim rays aimed at the stop's rim in x (upper,
  // lower), as (z, x) on surfaces 0..NUMB-1, for the layout.
  std::vector<std::vector<svg::Point>> paths;
};

// Traces the bundle of one field point with an aimer of the lens at the
// wavelength wanted; `fan_points` rays per fan (at least 2, ends included).
Bundle trace_bundle(RayAimer& aimer, double field, int fan_points);

}  // namespace lumaveil::fields

#endif
