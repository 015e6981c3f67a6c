// Lenses and wavefronts whose image quality is known without the code.
#ifndef LUMAVEIL_TESTS_QUALITY_FIXTURES_H
#define LUMAVEIL_TESTS_QUALITY_FIXTURES_H

#include <functional>
#include <string>

#include "cli/quality/analysis.h"
#include "cli/quality/lens.h"
#include "support/test_support.h"

namespace lumaveil::quality::testing {

// A perfect lens: an ideal element of focal length f, its front focal plane
// the stop (surface 1, on the start plane), and the image plane `defocus`
// behind its back focal plane; a parallel beam of half-width rh at 500 nm.
inline void write_ideal_lens(double f, double rh, double defocus) {
  lumaveil::testing::LensFile lens;
  lens.RH = rh;
  lens.steps = 4;
  lens.wavelengths = {500.0};
  lens.surfaces = {{.n = {1.0}},
                   {.D = f, .n = {1.0}},
                   {.D = defocus, .type = 1, .n = {1.0}},
                   {.n = {1.0}},
                   {.n = {1.0}}};
  lens.write();
}

// Loads IN_FM.txt of the current directory and analyses one field.
inline QualityResult analyse_here(int stop, double field = 0, int n = 64) {
  Lens lens;
  std::string why;
  EXPECT_TRUE(load_lens(".", lens, why)) << why;
  QualityResult r;
  EXPECT_TRUE(analyse(*lens.state, stop, field, 1, n, r, why)) << why;
  return r;
}

// A wavefront made up on an n x n grid: w(x, y) in waves inside the rim.
inline Wavefront synthetic_wavefront(int n, double na,
                                     const std::function<double(double, double)>& w) {
  Wavefront wf;
  wf.n = n;
  wf.na = na;
  for (int k = 0; k < n; ++k) wf.coord.push_back((2.0 * k + 1 - n) / n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const double x = wf.coord[i], y = wf.coord[j];
      const bool inside = x * x + y * y <= 1;
      wf.state.push_back(inside ? Sample::kValid : Sample::kOutside);
      wf.w.push_back(inside ? w(x, y) : 0.0);
      wf.spot_x.push_back(0);
      wf.spot_y.push_back(0);
      if (inside) ++wf.valid;
    }
  return wf;
}

}  // namespace lumaveil::quality::testing

#endif
