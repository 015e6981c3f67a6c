// The curve figures of one field and wavelength: PSF cross-sections, MTF,
// encircled and ensquared energy.
#include <algorithm>
#include <cmath>

#include "cli/svg.h"
#include "figures.h"

namespace lumaveil::quality {
namespace {

using svg::Chart;
using svg::Document;
using svg::Point;

std::string title_of(const std::string& what, const Entry& e) {
  return what + ", field " + e.field_text + ", " + format_number(e.wavelength_nm) + " nm";
}

plot::Figure psf_sections_figure(const Entry& e) {
  const Psf& p = e.result.psf;
  // Sections through the sample nearest the PSF's centroid.
  const int ci = std::clamp(p.m / 2 + static_cast<int>(std::lround(p.centroid_x / p.spacing)), 0, p.m - 1);
  const int cj = std::clamp(p.m / 2 + static_cast<int>(std::lround(p.centroid_y / p.spacing)), 0, p.m - 1);
  std::vector<Point> along_x, along_y;
  double top = 0;
  for (int k = 0; k < p.m; ++k) {
    const double at = (k - p.m / 2) * p.spacing * 1000;
    along_x.push_back({at, p.intensity[static_cast<std::size_t>(cj) * p.m + k]});
    along_y.push_back({at, p.intensity[static_cast<std::size_t>(k) * p.m + ci]});
    top = std::max({top, along_x.back().y, along_y.back().y});
  }
  const double reach = std::min(0.5 * p.m, 6 * 0.61 * e.result.wavelength / e.result.wavefront.na / p.spacing + std::hypot(ci - p.m / 2, cj - p.m / 2)) * p.spacing * 1000;
  Document doc(900, 520);
  Chart chart(doc, 90, 50, 780, 400, {-reach, reach, "position (µm)", false, true},
              {0, std::max(top, 1e-6), "intensity (Strehl units)"});
  chart.draw_axes(title_of("PSF cross-sections", e));
  chart.curve(along_x, svg::colour(0));
  chart.curve(along_y, svg::colour(1), 2, "6 4");
  chart.legend({{svg::colour(0), "along x (tangential)"}, {svg::colour(1), "along y (sagittal)"}});
  chart.note("sample spacing " + format_number(p.spacing * 1000, 4) + " µm (Nyquist)");
  return {"psf-sections-" + e.tag + ".svg", "PSF cross-sections, field " + e.field_text, doc.str()};
}

plot::Figure mtf_figure(const Entry& e) {
  const MtfCurves& m = e.result.mtf;
  auto points = [&](const std::vector<double>& y) {
    std::vector<Point> out;
    for (std::size_t k = 0; k < m.frequency.size(); ++k) out.push_back({m.frequency[k], y[k]});
    return out;
  };
  Document doc(900, 520);
  Chart chart(doc, 90, 50, 780, 400, {0, m.cutoff, "spatial frequency (cycles/mm)", false, true},
              {0, 1, "modulation"});
  chart.draw_axes(title_of("MTF", e));
  chart.curve(points(m.limit), "#000000", 1.5, "2 4");
  chart.curve(points(m.tangential), svg::colour(0));
  chart.curve(points(m.sagittal), svg::colour(1), 2, "6 4");
  chart.curve(points(m.geometric_tangential), svg::colour(2), 1.5);
  chart.curve(points(m.geometric_sagittal), svg::colour(3), 1.5, "6 4");
  chart.legend({{"#000000", "diffraction limit"},
                {svg::colour(0), "tangential"},
                {svg::colour(1), "sagittal"},
                {svg::colour(2), "geometric, tangential"},
                {svg::colour(3), "geometric, sagittal"}});
  chart.note("cut-off " + format_number(m.cutoff, 5) + " cycles/mm, working NA " +
             format_number(e.result.wavefront.na, 4));
  return {"mtf-" + e.tag + ".svg", "MTF, field " + e.field_text, doc.str()};
}

plot::Figure energy_figure(const Entry& e) {
  const EnergyCurves& en = e.result.energy;
  std::vector<Point> circle, square;
  for (std::size_t k = 0; k < en.radius.size(); ++k) {
    circle.push_back({en.radius[k] * 1000, en.encircled[k]});
    square.push_back({en.radius[k] * 1000, en.ensquared[k]});
  }
  Document doc(900, 520);
  Chart chart(doc, 90, 50, 780, 400,
              {0, en.radius.empty() ? 1 : en.radius.back() * 1000, "radius or half-width (µm)", false, true},
              {0, 1, "fraction of the energy"});
  chart.draw_axes(title_of("Encircled and ensquared energy", e));
  chart.curve(circle, svg::colour(0));
  chart.curve(square, svg::colour(1), 2, "6 4");
  chart.legend({{svg::colour(0), "encircled (radius)"}, {svg::colour(1), "ensquared (half-width)"}});
  chart.note("about the PSF's centroid");
  return {"energy-" + e.tag + ".svg", "Encircled energy, field " + e.field_text, doc.str()};
}

}  // namespace

std::vector<plot::Figure> curve_figures(const Entry& e) {
  return {psf_sections_figure(e), mtf_figure(e), energy_figure(e)};
}

}  // namespace lumaveil::quality
