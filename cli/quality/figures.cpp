#include "figures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "cli/svg.h"

namespace lumaveil::quality {
namespace {

using svg::Axis;
using svg::Chart;
using svg::Document;
using svg::Point;

struct Rgb {
  double r, g, b;
};

std::string hex(Rgb c) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", static_cast<int>(std::lround(c.r)),
                static_cast<int>(std::lround(c.g)), static_cast<int>(std::lround(c.b)));
  return buffer;
}

// Linear interpolation between evenly spaced colour stops, t in 0..1.
std::string ramp(const std::vector<Rgb>& stops, double t) {
  t = std::clamp(std::isfinite(t) ? t : 0.0, 0.0, 1.0) * (stops.size() - 1);
  const std::size_t k = std::min(static_cast<std::size_t>(t), stops.size() - 2);
  const double f = t - k;
  const Rgb& a = stops[k];
  const Rgb& b = stops[k + 1];
  return hex({a.r + f * (b.r - a.r), a.g + f * (b.g - a.g), a.b + f * (b.b - a.b)});
}

// A vertical colour bar from lo (bottom) to hi (top) with its labels.
void colour_bar(Document& doc, double left, double top, double height, double lo, double hi,
                const std::string& label, std::string (*colour)(double), bool diverging) {
  const int steps = 64;
  for (int k = 0; k < steps; ++k) {
    const double t = (k + 0.5) / steps;
    doc.rect(left, top + height * (1 - (k + 1.0) / steps), 24, height / steps + 0.5,
             {"none", colour(diverging ? 2 * t - 1 : t), 1, ""});
  }
  doc.rect(left, top, 24, height, {"#000000", "none", 1, ""});
  svg::TextStyle text;
  text.size = 14;
  const svg::Ticks ticks = svg::nice_ticks(lo, hi, 6);
  for (std::size_t k = 0; k < ticks.values.size(); ++k) {
    const double v = ticks.values[k];
    if (v < lo || v > hi) continue;
    const double y = top + height * (hi - v) / (hi - lo);
    doc.line(left + 24, y, left + 30, y, {"#000000", "none", 1, ""});
    doc.text(left + 34, y + 5, ticks.labels[k], text);
  }
  text.rotate = -90;
  text.anchor = "middle";
  doc.text(left + 100, top + height / 2, label, text);
}

// Rectangles for a map of n x n cells, drawn in blocks of `stride` x
// `stride` cells so that a figure holds at most about 128 x 128 of them;
// colour_of(i0, j0, stride) gives a block's colour, empty for none.
template <typename Colour>
void cell_map(Document& doc, const Chart& chart, const std::vector<double>& coord, double half,
              Colour colour_of) {
  const int n = static_cast<int>(coord.size());
  const int stride = (n + 127) / 128;
  for (int j = 0; j < n; j += stride)
    for (int i = 0; i < n; i += stride) {
      const std::string colour = colour_of(i, j, stride);
      if (colour.empty()) continue;
      const int i1 = std::min(i + stride, n) - 1, j1 = std::min(j + stride, n) - 1;
      const double x0 = chart.px(coord[i] - half), x1 = chart.px(coord[i1] + half);
      const double y0 = chart.py(coord[j1] + half), y1 = chart.py(coord[j] - half);
      doc.rect(x0, y0, x1 - x0 + 0.3, y1 - y0 + 0.3, {"none", colour, 1, ""});
    }
}

// The mean of value(i, j) over the valid cells of a block, NaN when none.
template <typename Value>
double block_mean(int i0, int j0, int stride, int n, Value value) {
  double sum = 0;
  int count = 0;
  for (int j = j0; j < std::min(j0 + stride, n); ++j)
    for (int i = i0; i < std::min(i0 + stride, n); ++i) {
      const double v = value(i, j);
      if (std::isnan(v)) continue;
      sum += v;
      ++count;
    }
  return count ? sum / count : NAN;
}

plot::Figure wavefront_figure(const Entry& e) {
  const Wavefront& wf = e.result.wavefront;
  double big = 0;
  for (std::size_t c = 0; c < wf.w.size(); ++c)
    if (wf.state[c] == Sample::kValid) big = std::max(big, std::fabs(wf.w[c]));
  if (big == 0) big = 1e-3;
  Document doc(760, 640);
  Chart chart(doc, 90, 50, 520, 520, {-1, 1, "px (tangential)", false, true},
              {-1, 1, "py (sagittal)", false, true});
  chart.draw_axes("Wavefront W (waves), field " + e.field_text + ", " +
                  format_number(e.wavelength_nm) + " nm");
  cell_map(doc, chart, wf.coord, 1.0 / wf.n, [&](int i0, int j0, int stride) -> std::string {
    bool vignetted = false;
    const double w = block_mean(i0, j0, stride, wf.n, [&](int i, int j) {
      const std::size_t c = static_cast<std::size_t>(j) * wf.n + i;
      vignetted = vignetted || wf.state[c] == Sample::kVignetted;
      return wf.state[c] == Sample::kValid ? wf.w[c] : NAN;
    });
    if (!std::isnan(w)) return diverging_colour(w / big);
    return vignetted ? "#999999" : "";
  });
  colour_bar(doc, 640, 50, 520, -big, big, "W (waves, + leads)", diverging_colour, true);
  return {"wavefront-" + e.tag + ".svg", "Wavefront over the pupil, field " + e.field_text, doc.str()};
}

plot::Figure zernike_figure(const Entry& e) {
  const std::vector<double>& c = e.result.fringe;
  std::vector<double> values(c.begin() + (c.empty() ? 0 : 1), c.end());
  values.push_back(0);
  Axis y = svg::range_of(values);
  y.label = "coefficient (waves)";
  Document doc(960, 480);
  Chart chart(doc, 90, 50, 840, 360, {0, 38, "Fringe term", false, true}, y);
  chart.draw_axes("Zernike Fringe terms, field " + e.field_text + ", " +
                  format_number(e.wavelength_nm) + " nm");
  for (std::size_t j = 1; j < c.size(); ++j) {
    const double x0 = chart.px(j - 0.35), x1 = chart.px(j + 0.35);
    const double y0 = chart.py(std::max(c[j], 0.0)), y1 = chart.py(std::min(c[j], 0.0));
    doc.rect(x0, y0, x1 - x0, std::max(y1 - y0, 0.5), {"none", c[j] >= 0 ? "#b2182b" : "#2166ac", 1, ""});
  }
  return {"zernike-" + e.tag + ".svg", "Zernike Fringe coefficients, field " + e.field_text, doc.str()};
}

// The half-width of the PSF window that holds the light: a few Airy radii
// or the spot, within the computed window.
int psf_half_samples(const QualityResult& r) {
  const double airy = 0.61 * r.wavelength / r.wavefront.na;
  const double reach = std::max(4 * airy, 3 * r.spot_rms + std::hypot(r.psf.centroid_x, r.psf.centroid_y));
  return std::clamp(static_cast<int>(std::ceil(reach / r.psf.spacing)), 8, r.psf.m / 2 - 1);
}

plot::Figure psf_image_figure(const Entry& e) {
  const Psf& p = e.result.psf;
  const int h = psf_half_samples(e.result);
  double peak = 0;
  for (double v : p.intensity) peak = std::max(peak, v);
  std::vector<double> coord;
  for (int k = -h; k <= h; ++k) coord.push_back(k * p.spacing * 1000);
  const double half = 0.5 * p.spacing * 1000, edge = coord.back() + half;
  Document doc(760, 640);
  Chart chart(doc, 90, 50, 520, 520, {-edge, edge, "x (µm, tangential)", false, true},
              {-edge, edge, "y (µm, sagittal)", false, true});
  chart.draw_axes("PSF, field " + e.field_text + ", " + format_number(e.wavelength_nm) + " nm");
  const int size = static_cast<int>(coord.size());
  cell_map(doc, chart, coord, half, [&](int i0, int j0, int stride) {
    const double v = block_mean(i0, j0, stride, size, [&](int i, int j) {
      return p.intensity[static_cast<std::size_t>(j - h + p.m / 2) * p.m + (i - h + p.m / 2)];
    });
    return sequential_colour(peak > 0 ? v / peak : 0);
  });
  colour_bar(doc, 640, 50, 520, 0, peak, "intensity (Strehl units)", sequential_colour, false);
  return {"psf-" + e.tag + ".svg", "Point-spread function, field " + e.field_text, doc.str()};
}

}  // namespace

std::string diverging_colour(double t) {
  return ramp({{33, 102, 172}, {146, 197, 222}, {247, 247, 247}, {244, 165, 130}, {178, 24, 43}},
              0.5 * (t + 1));
}

std::string sequential_colour(double t) {
  return ramp({{0, 0, 4}, {81, 18, 124}, {183, 55, 121}, {252, 137, 97}, {252, 253, 191}}, t);
}

std::vector<plot::Figure> entry_figures(const Entry& e) {
  std::vector<plot::Figure> figures{wavefront_figure(e), zernike_figure(e), psf_image_figure(e)};
  for (plot::Figure& f : curve_figures(e)) figures.push_back(std::move(f));
  return figures;
}

}  // namespace lumaveil::quality
