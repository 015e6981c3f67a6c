// The state block shared by every routine of the library.
//
// One instance lives as long as the library (see entry/entry.cpp); it starts
// zero and is never reset: each call overwrites what its input files define
// and everything else keeps the value an earlier call left. Sizes are fixed:
// up to 100 surfaces (per-surface arrays have 101 entries, surfaces
// 0..NUMB), up to 20 wavelengths (rows 1..20 of N; row 0 is the working row
// that the tracer reads) and up to 100 rays in the ray set.
//
// Units: lengths in the one unit of the lens data (the unit of D, normally
// millimetres), angles in radians, wavelengths in nanometres.
#ifndef LUMAVEIL_MODEL_STATE_H
#define LUMAVEIL_MODEL_STATE_H

namespace lumaveil {

constexpr int kMaxSurfaces = 100;     // NUMB is cut to this
constexpr int kMaxWavelengths = 20;   // NW is cut to this
constexpr int kMaxRays = 100;         // NRAY is cut to this
constexpr int kSurfaceSlots = kMaxSurfaces + 1;
constexpr int kWavelengthSlots = kMaxWavelengths + 1;
constexpr int kCodeBytes = 125;

// A count read from a file, widened for arithmetic. NUMB, NRAY and the other
// counts may hold anything an int can, and a bound such as NUMB - 1 or
// NUMB - 2 computed in int would wrap round at INT_MIN to a huge positive
// value that lets a loop or a check run past the arrays. Loop bounds are
// therefore written wide(s.NUMB) - 1: the same bound for every ordinary count,
// and one below every index for the extreme ones.
constexpr long long wide(int count) { return count; }

struct State {
  // Lens data, one entry per surface k = 0..NUMB.
  int NUMB;                          // number of surfaces
  double C[kSurfaceSlots];           // curvature 1/R; 0 is a plane
  double D[kSurfaceSlots];           // axial distance from surface k to k+1
  double Xd[kSurfaceSlots];          // axis shift in x (type 2: slope dz/dx)
  double Yd[kSurfaceSlots];          // axis shift in y (type 2: slope dz/dy)
  int TYPE[kSurfaceSlots];           // 1 ideal element, 2 tilted plane, else sphere
  char CODE[kSurfaceSlots][kCodeBytes];  // optimisation code; first byte V, P or M
  int LINK[kSurfaceSlots];           // companion surface of a P or M surface
  int NV;                            // number of V surfaces among 0..NUMB-1
  int IV[kSurfaceSlots];             // variable number of each V surface
  int ND[3];                         // [1], [2]: distances searched by modes 5, 6

  // Wavelengths q = 1..NW; N[q][k] is the index after surface k, N[0] the
  // working row the tracer reads. A negative index makes surface k a mirror.
  int NW;
  double N[kWavelengthSlots][kSurfaceSlots];
  double WL[kWavelengthSlots];       // wavelength in nm
  double WQ[kWavelengthSlots];       // weight in the merit

  // Aperture over which ray grids are spread.
  int IAP;                           // 1 spread heights, 2 spread angles
  int NS;                            // grid steps from centre to rim
  double RH;                         // half-width in height
  double RU;                         // half-width in angle

  // Ray set with targets; entry 0 of the start arrays is also the central
  // ray of the lens data.
  double XI[kMaxRays + 1], YI[kMaxRays + 1], UI[kMaxRays + 1], VI[kMaxRays + 1];
  double XT[kMaxRays + 1], YT[kMaxRays + 1], UT[kMaxRays + 1], VT[kMaxRays + 1];
  int NRAY;
  int NIT;                           // Gauss-Newton iterations of modes 2, 3
  double H;                          // finite-difference step of the merit
  double WXY;                        // factor on the X and Y residuals
  double WUV;                        // factor on the U and V residuals
  int NITC;                          // inner curvature iterations (modes 5, 6)
  int NITD;                          // last outer pass of modes 5, 6
  double HD;                         // distance step of modes 5, 6

  // The traced ray: point on surface k and its angles after it. U and V are
  // projected angles: the direction is proportional to (-tan U, -tan V, 1).
  double X[kSurfaceSlots], Y[kSurfaceSlots], Z[kSurfaceSlots];
  double U[kSurfaceSlots], V[kSurfaceSlots];
  double ZV[kSurfaceSlots];          // ZV[k]: z of the vertex of surface k+1
  int FLAG[kSurfaceSlots];           // 2 when step i ends on an ideal element

  // Optimisation.
  double E, Xa, Xs, Ya, Ys;          // merit value and residual statistics
  double SDX, SDX2, SDY, SDY2, SW;   // sums of one merit evaluation
  int NEQ;                           // unknowns of the linear system
  double AA[kSurfaceSlots][kSurfaceSlots];  // rows, columns 1..NEQ
  double BB[kSurfaceSlots];          // right-hand side 1..NEQ
  double DX[kSurfaceSlots - 1];      // solution, 0-based

  // Aberration analysis (mode 4).
  double OPR;                        // optical path of the reference ray
  double OPL[kSurfaceSlots];         // optical path of each trace step
  double Xr, Yr;                     // reference image point
  double AB;                         // wavefront aberration in wavelengths
};

}  // namespace lumaveil

#endif
