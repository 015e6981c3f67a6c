#include "psf.h"

#include <fftw3.h>

#include <cmath>

namespace lumaveil::quality {
namespace {

constexpr double kTwoPi = 6.28318530717958647692;

// An m x m complex array in FFTW's memory and an in-place transform on it.
class Transform {
 public:
  Transform(int m, int sign) : m_(m) {
    data_ = static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * m * m));
    for (int k = 0; k < m * m; ++k) data_[k][0] = data_[k][1] = 0;
    plan_ = fftw_plan_dft_2d(m, m, data_, data_, sign, FFTW_ESTIMATE);
  }
  ~Transform() {
    fftw_destroy_plan(plan_);
    fftw_free(data_);
  }
  Transform(const Transform&) = delete;
  Transform& operator=(const Transform&) = delete;
  fftw_complex& at(int i, int j) { return data_[static_cast<std::size_t>(j) * m_ + i]; }
  void run() { fftw_execute(plan_); }

 private:
  int m_;
  fftw_complex* data_;
  fftw_plan plan_;
};

// |Σ exp(2πi(W − tilt))|² / (count)²: the intensity at one image point
// relative to the unaberrated peak.
double point_intensity(const Wavefront& wf, double tilt_x, double tilt_y) {
  std::complex<double> sum = 0;
  double total = 0;
  for (int j = 0; j < wf.n; ++j)
    for (int i = 0; i < wf.n; ++i) {
      const std::size_t c = static_cast<std::size_t>(j) * wf.n + i;
      if (wf.state[c] != Sample::kValid) continue;
      const double phase = kTwoPi * (wf.w[c] - tilt_x * wf.coord[i] - tilt_y * wf.coord[j]);
      sum += std::polar(1.0, phase);
      total += 1;
    }
  return total > 0 ? std::norm(sum) / (total * total) : 0.0;
}

}  // namespace

Psf compute_psf(const Wavefront& wf, double wavelength, double tilt_x, double tilt_y) {
  Psf psf;
  const int n = wf.n, m = 2 * n;
  psf.m = m;
  psf.spacing = wavelength / (4 * wf.na);
  Transform field(m, FFTW_BACKWARD);
  double amplitude = 0;
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const std::size_t c = static_cast<std::size_t>(j) * n + i;
      if (wf.state[c] != Sample::kValid) continue;
      const double a = 1, phase = kTwoPi * wf.w[c];
      field.at(i, j)[0] = a * std::cos(phase);
      field.at(i, j)[1] = a * std::sin(phase);
      amplitude += a;
      psf.pupil_energy += a * a;
    }
  field.run();
  // Intensity, centred; and the transfer function from the raw intensity.
  Transform otf(m, FFTW_FORWARD);
  psf.intensity.assign(static_cast<std::size_t>(m) * m, 0.0);
  double mx = 0, my = 0;
  for (int j = 0; j < m; ++j)
    for (int i = 0; i < m; ++i) {
      const double I = field.at(i, j)[0] * field.at(i, j)[0] + field.at(i, j)[1] * field.at(i, j)[1];
      otf.at(i, j)[0] = I;
      psf.energy += I;
      const int ci = (i + m / 2) % m, cj = (j + m / 2) % m;
      psf.intensity[static_cast<std::size_t>(cj) * m + ci] = amplitude > 0 ? I / (amplitude * amplitude) : 0;
      mx += (ci - m / 2) * I;
      my += (cj - m / 2) * I;
    }
  psf.centroid_x = psf.energy > 0 ? mx / psf.energy * psf.spacing : 0;
  psf.centroid_y = psf.energy > 0 ? my / psf.energy * psf.spacing : 0;
  otf.run();
  psf.otf.resize(static_cast<std::size_t>(m) * m);
  for (int j = 0; j < m; ++j)
    for (int i = 0; i < m; ++i)
      psf.otf[static_cast<std::size_t>(j) * m + i] =
          psf.energy > 0 ? std::complex<double>(otf.at(i, j)[0], otf.at(i, j)[1]) / psf.energy : 0.0;
  psf.strehl = point_intensity(wf, tilt_x, tilt_y);
  psf.strehl_at_reference = point_intensity(wf, 0, 0);
  return psf;
}

}  // namespace lumaveil::quality
