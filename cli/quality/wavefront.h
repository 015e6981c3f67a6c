// The wavefront of one field at one wavelength over the whole pupil.
//
// Conventions (printed on the page and in the guide):
// - Pupil coordinates (px, py) are normalised entrance-pupil coordinates
//   around the aimed chief ray: for an object at infinity the start heights
//   are the chief ray's plus (px, py)·RH; for an object on the start plane
//   the tangents of the start angles are the chief ray's plus (px, py)·tan RU.
//   The rim of the aperture is px² + py² = 1; x is the field's direction
//   (cli/fields/aim.h), so x is tangential and y sagittal.
// - The wavefront aberration W, in waves, is the optical path of the chief
//   ray minus that of the ray, both measured to the reference sphere, which
//   is centred on the chief ray's point on the image surface (NUMB-1) and
//   passes through the chief ray's point in the exit-pupil plane. W is
//   positive where the wavefront leads the reference sphere; W = 0 on the
//   chief ray.
// - A ray that fails in the trace (misses a surface, is totally reflected)
//   is marked vignetted, counted, and left out of every result.
#ifndef LUMAVEIL_CLI_QUALITY_WAVEFRONT_H
#define LUMAVEIL_CLI_QUALITY_WAVEFRONT_H

#include <string>
#include <vector>

#include "exit_pupil.h"
#include "model/state.h"

namespace lumaveil::quality {

// The chief ray of a field and the reference sphere around its image point.
struct Reference {
  StartRay chief;
  double image[3] = {0, 0, 0};  // the chief ray on the image surface
  double exit_pupil_z = 0;      // the exit-pupil plane (may be infinite)
  double radius = 0;            // of the reference sphere, lens unit
  int sense = 1;                // +1: the sphere stands before the image point
  double n_image = 1;           // index of the last space
  double chief_path = 0;        // optical path of the chief ray to the sphere
  double wavelength = 0;        // lens unit
};

// A radius that stands in for the infinite one of a telecentric image space.
constexpr double kTelecentricRadius = 1e6;

// The reference sphere of the aimed chief ray of a field. `s` holds the lens
// with wavelength q as its working row. False, with the reason in words,
// when the chief ray fails.
bool make_reference(const State& s, int stop, const StartRay& chief, int q, Reference& ref,
                    std::string& reason);

// One pupil ray: its aberration and where it lands relative to the chief ray.
struct PupilRay {
  bool ok = false;
  double w = 0;                    // waves
  double spot_x = 0, spot_y = 0;   // on the image surface, from the chief ray's point
  double dir[3] = {0, 0, 1};       // unit direction in the last space
};
PupilRay trace_pupil_ray(const State& s, const Reference& ref, double px, double py);

enum class Sample : unsigned char { kOutside = 0, kValid = 1, kVignetted = 2 };

// The wavefront on an n x n grid of pupil cells; cell (i, j) (x index i,
// y index j) at index j·n + i has its centre at (coord[i], coord[j]). A cell
// belongs to the pupil when its centre lies inside the rim. (Weighting the
// cells the rim cuts by their area inside it smooths the rim and worsens the
// transfer function: the plain cells give the diffraction-limited MTF to
// about 2e-3 at n = 64 and 7e-4 at n = 128.)
struct Wavefront {
  int n = 0;
  std::vector<double> coord;        // cell centres, -1..1
  std::vector<Sample> state;        // outside, valid, vignetted
  std::vector<double> w;            // waves; NaN where not valid
  std::vector<double> spot_x, spot_y;
  int valid = 0, vignetted = 0;     // cells touching the pupil
  double na = 0;                    // image-space numerical aperture n'·sin θ
};

// Traces the centre of every cell of the pupil.
Wavefront sample_wavefront(const State& s, const Reference& ref, int n);

inline bool inside_rim(double x, double y) { return x * x + y * y <= 1; }

}  // namespace lumaveil::quality

#endif
