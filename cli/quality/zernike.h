// Zernike polynomials over the unit circle and the least-squares fit of a
// wavefront to them.
//
// Angles: x = ρ cos θ, y = ρ sin θ in pupil coordinates. Two orderings:
// - Fringe: 37 terms, not normalised (each term is 1 at the rim where its
//   angular factor is 1): Z1 piston, Z2 ρ cos θ, Z3 ρ sin θ, Z4 2ρ²−1, ...,
//   Z9 6ρ⁴−6ρ²+1, ..., Z36 and Z37 the fifth- and sixth-order spherical terms.
// - Standard (Noll): normalised to an RMS of 1 over the circle, numbered by
//   n then |m|; for m ≠ 0 an even index carries cos mθ, an odd one sin mθ.
#ifndef LUMAVEIL_CLI_QUALITY_ZERNIKE_H
#define LUMAVEIL_CLI_QUALITY_ZERNIKE_H

#include <string>
#include <vector>

#include "wavefront.h"

namespace lumaveil::quality {

enum class ZernikeSet { kFringe, kStandard };

constexpr int kZernikeTerms = 37;

// Radial order n, angular frequency m (negative: sin mθ) of term j = 1..37.
struct ZernikeIndex {
  int n = 0, m = 0;
};
ZernikeIndex zernike_index(ZernikeSet set, int j);

// The value of term j at pupil point (x, y).
double zernike(ZernikeSet set, int j, double x, double y);

// A short name for the term ("defocus", "coma x", ...), empty past the
// common ones.
std::string zernike_name(ZernikeSet set, int j);

// Coefficients 1..terms (index 0 unused, so c[j] is term j), in waves, by
// least squares over the valid cells whose centres lie inside the rim.
// Empty when there are too few cells.
std::vector<double> fit_zernike(const Wavefront& wf, ZernikeSet set, int terms = kZernikeTerms);

}  // namespace lumaveil::quality

#endif
