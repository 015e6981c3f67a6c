// The field analysis of a lens: every field point at every wavelength (see
// bundle.h), and what varies over the field and with the wavelength.
//
// Reference wavelength: one of the lens data's wavelengths (1 unless
// chosen), for the pupils, the lateral colour per wavelength, and the
// centres of the spot matrix. The extreme wavelengths are the shortest and
// the longest in nm.
// - Distortion: (chief ray's image height − paraxial image height) /
//   paraxial image height, in %, per wavelength; heights along x on the
//   image surface, the paraxial one from the paraxial chief ray through the
//   stop's axis point (paraxial.h).
// - Lateral colour: the chief ray's image height at the shortest wavelength
//   minus that at the longest.
// - Longitudinal colour: the paraxial image distance (from the last surface
//   of the lens) at the shortest wavelength minus that at the longest.
#ifndef LUMAVEIL_CLI_FIELDS_ANALYSIS_H
#define LUMAVEIL_CLI_FIELDS_ANALYSIS_H

#include <string>
#include <vector>

#include "cli/fields/aim.h"
#include "cli/fields/bundle.h"
#include "cli/fields/paraxial.h"
#include "cli/first_order.h"

namespace lumaveil::fields {

struct FieldPoint {
  double field = 0;               // radians (kind 1) or object height (kind 2)
  std::vector<Bundle> bundles;    // one per wavelength, q = 1..NW
  std::vector<double> paraxial_height;  // per wavelength
  std::vector<double> distortion;       // % per wavelength; not finite on the axis
  double lateral_colour = 0;      // not finite when a chief ray is missing
  std::size_t reference = 0;      // index of the reference wavelength's bundle
  const Bundle& reference_bundle() const { return bundles[reference]; }
};

struct Analysis {
  int kind = 1;                   // aperture kind: 1 angles, 2 object heights
  Stop stop;
  int reference = 1;              // the reference wavelength (q)
  int shortest = 1, longest = 1;  // the extreme wavelengths (q)
  std::vector<double> wavelengths;          // nm, per q - 1
  std::vector<cli::FirstOrder> first_order; // per q - 1
  Pupils pupils;                  // at the reference wavelength
  double first_vertex_z = 0;      // z of surface 1's vertex
  double image_vertex_z = 0;      // z of the image surface's vertex (NUMB-1)
  double longitudinal_colour = 0;
  std::vector<FieldPoint> fields;
  std::string error;              // set when nothing could be analysed (bad stop, aperture)
};

// Analyses the lens (as the library's reader stored it) with the stop at
// surface `stop` at the given fields.
Analysis analyse_fields(const State& lens, int stop, const std::vector<double>& fields,
                        int fan_points = 21, int reference = 1);

}  // namespace lumaveil::fields

#endif
