#include "analysis.h"

#include <algorithm>
#include <cmath>

namespace lumaveil::quality {
namespace {

constexpr double kTwoPi = 6.28318530717958647692;

// Centroid and RMS radius of the spot, one ray per cell.
void spot_spread(const Wavefront& wf, QualityResult& out) {
  double sum = 0, sx = 0, sy = 0;
  for (std::size_t c = 0; c < wf.w.size(); ++c) {
    if (wf.state[c] != Sample::kValid) continue;
    sum += 1;
    sx += wf.spot_x[c];
    sy += wf.spot_y[c];
  }
  if (sum <= 0) return;
  out.spot_centroid[0] = sx / sum;
  out.spot_centroid[1] = sy / sum;
  double r2 = 0;
  for (std::size_t c = 0; c < wf.w.size(); ++c) {
    if (wf.state[c] != Sample::kValid) continue;
    const double dx = wf.spot_x[c] - out.spot_centroid[0], dy = wf.spot_y[c] - out.spot_centroid[1];
    r2 += dx * dx + dy * dy;
  }
  out.spot_rms = std::sqrt(r2 / sum);
}

// The radius the energy curves run to: a few Airy radii, or twice the
// spot when it is larger, within the PSF's window.
double energy_radius(const QualityResult& r) {
  const double airy = 0.61 * r.wavelength / r.wavefront.na;
  const double window = 0.5 * r.psf.m * r.psf.spacing;
  return std::min(window, std::max(4 * airy, 3 * r.spot_rms));
}

// The largest change of W between cells side by side in x or in y.
double largest_step(const Wavefront& wf) {
  double step = 0;
  for (int j = 0; j < wf.n; ++j)
    for (int i = 0; i < wf.n; ++i) {
      const std::size_t c = static_cast<std::size_t>(j) * wf.n + i;
      if (wf.state[c] != Sample::kValid) continue;
      if (i + 1 < wf.n && wf.state[c + 1] == Sample::kValid)
        step = std::max(step, std::fabs(wf.w[c + 1] - wf.w[c]));
      if (j + 1 < wf.n && wf.state[c + wf.n] == Sample::kValid)
        step = std::max(step, std::fabs(wf.w[c + wf.n] - wf.w[c]));
    }
  return step;
}

}  // namespace

int suggested_grid(const QualityResult& r) {
  int n = r.wavefront.n;
  double step = r.largest_step;
  while (step > 0.5 && n < 4096) {
    n *= 2;
    step /= 2;
  }
  return n;
}

double encircled_radius(const EnergyCurves& e, double fraction) {
  return interpolate(e.encircled, e.radius, fraction);
}

bool analyse(const State& lens, int stop, double field, int q, int n, QualityResult& out,
             std::string& reason) {
  out.field = field;
  out.wavelength_number = q;
  fields::RayAimer aimer(lens, stop, q);
  const fields::Aimed chief = aimer.aim_chief(field);
  if (!chief.ok()) {
    reason = "the chief ray: " + chief.message;
    return false;
  }
  // The aimer's lens has the vertex positions and the working row of q.
  const State& s = aimer.lens();
  if (!make_reference(s, stop, chief.start, q, out.reference, reason)) return false;
  out.wavelength = out.reference.wavelength;
  out.wavefront = sample_wavefront(s, out.reference, n);
  if (out.wavefront.valid == 0) {
    reason = "no ray of the pupil gets through the lens";
    return false;
  }
  if (!(out.wavefront.na > 0)) {
    reason = "the rim rays leave parallel (an afocal lens): there is no image to judge";
    return false;
  }
  out.stats = wavefront_stats(out.wavefront);
  out.largest_step = largest_step(out.wavefront);
  out.fringe = fit_zernike(out.wavefront, ZernikeSet::kFringe);
  out.standard = fit_zernike(out.wavefront, ZernikeSet::kStandard);
  out.psf = compute_psf(out.wavefront, out.wavelength, out.stats.tilt_x, out.stats.tilt_y);
  const double sigma = out.stats.no_tilt.rms;
  out.marechal = std::exp(-(kTwoPi * sigma) * (kTwoPi * sigma));
  out.mtf = compute_mtf(out.psf, out.wavefront, out.wavelength);
  spot_spread(out.wavefront, out);
  out.energy = compute_energy(out.psf, energy_radius(out));
  return true;
}

}  // namespace lumaveil::quality
