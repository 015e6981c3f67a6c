// Least-squares polynomial of degree 6 through the samples of an aperture
// scan, in the normalised aperture coordinate t = l/M, l = −M..M.
//
// The fit is gathered while the scan runs: clear_power_sums, then add_sample
// for each ray in the order of the scan, then solve_power_sums. No sample is
// stored, so a scan of any number of steps is fitted over all its samples.
#ifndef LUMAVEIL_ABERRATION_FIT_POLYNOMIAL_H
#define LUMAVEIL_ABERRATION_FIT_POLYNOMIAL_H

#include "model/state.h"

namespace lumaveil {

// The power sums of the normal equations, gathered sample by sample in the
// order of the scan, so that a scan of any length needs no sample store.
struct PowerSums {
  double SX[20];   // Σ t^p, p = 0..12
  double SYX[20];  // Σ y·t^p, p = 0..6
};

void clear_power_sums(PowerSums& sums);

// The abscissa of scan step l of M: (l × 1.0) / M.
double scan_abscissa(long long l, int M);

// The powers of one sample's abscissa t as the sums take them: 1, t, and
// pow(t, p) for p = 2..12. They depend on t alone, so they may be worked out
// on any thread ahead of the sums.
struct SamplePowers {
  double pow[13];
};

void sample_powers(double t, SamplePowers& powers);

// Adds the sample y at t; t⁰ and t¹ are summed directly, pow for p ≥ 2.
void add_sample(PowerSums& sums, double t, double y);
void add_sample(PowerSums& sums, const SamplePowers& powers, double y);

// Builds the 7 × 7 normal equations from the sums and solves them: the
// coefficient of t^p is then DX[p], p = 0..6.
void solve_power_sums(State& s, const PowerSums& sums);

}  // namespace lumaveil

#endif
