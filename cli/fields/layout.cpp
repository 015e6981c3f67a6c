// The layout: the lens's surfaces in the x–z section and, for every field,
// the chief ray and the two rim rays aimed at the stop's rim, at the
// reference wavelength. Behind a mirror, the unfolded frame.
#include <algorithm>
#include <cmath>

#include "cli/fields/figures.h"

namespace lumaveil::fields::drawing {
namespace {

// The largest height a drawn ray reaches on surface k.
double ray_height(const Analysis& a, int k) {
  double h = 0;
  for (const FieldPoint& f : a.fields)
    for (const auto& path : f.reference_bundle().paths)
      if (k < static_cast<int>(path.size())) h = std::max(h, std::fabs(path[k].y));
  return h;
}

// The section of surface k between heights −h and h: (z, x) points.
std::vector<svg::Point> surface_section(const State& s, int k, double h) {
  std::vector<svg::Point> points;
  const double zv = s.ZV[k - 1];
  for (int i = 0; i <= 40; ++i) {
    const double x = -h + 2 * h * i / 40;
    double z = zv;
    if (s.TYPE[k] == 2) {
      z = zv + s.Xd[k] * x;
    } else if (s.TYPE[k] != 1 && s.C[k] != 0) {
      const double r = x - s.Xd[k], c = s.C[k];
      const double root = 1 - c * c * r * r;
      if (root < 0) continue;
      z = zv + c * r * r / (1 + std::sqrt(root));
    }
    points.push_back({z, x});
  }
  return points;
}

}  // namespace

plot::Figure layout_figure(const Analysis& a, const State& lens, const FieldUnit& unit) {
  const int image = lens.NUMB - 1;
  double z_end = lens.ZV[image - 1], height = 0;
  for (int k = 1; k <= image; ++k) height = std::max(height, ray_height(a, k));
  for (const FieldPoint& f : a.fields)
    for (const auto& path : f.reference_bundle().paths)
      for (const svg::Point& p : path) z_end = std::max(z_end, p.x);
  height = height > 0 ? height * 1.15 : 1;
  const double width_px = 1100;
  const double height_px = std::clamp(width_px * 2 * height / std::max(z_end, 1e-9), 200.0, 700.0);
  svg::Document doc(width_px + 200, height_px + 150);
  svg::Axis z{0, z_end, "z (mm)", false, true};
  svg::Axis x{-height, height, "x (mm)", false, true};
  svg::Chart chart(doc, 110, 60, width_px, height_px, z, x);
  chart.draw_axes("layout: chief and rim rays of every field at " + wavelength_name(a, a.reference));

  for (int k = 1; k <= image; ++k) {
    const double h = std::max(ray_height(a, k) * 1.1, height * 0.05);
    const bool stop = k == a.stop.surface, last = k == image;
    const std::string colour = stop ? "#c00000" : last ? "#555555" : "#000000";
    chart.curve(surface_section(lens, k, stop ? a.stop.radius * 1.3 : h), colour, stop ? 3 : 1.8,
                lens.TYPE[k] == 1 ? "6 4" : "");
  }
  std::vector<std::pair<std::string, std::string>> legend;
  for (std::size_t i = 0; i < a.fields.size(); ++i) {
    const FieldPoint& f = a.fields[i];
    for (const auto& path : f.reference_bundle().paths) chart.curve(path, svg::colour(i), 1.4);
    legend.push_back({svg::colour(i), "field " + field_text(unit, f.field) + " " + unit.name});
  }
  chart.legend(legend);
  chart.note("red: the stop (surface " + std::to_string(a.stop.surface) + ")");
  return {"layout.svg",
          "Layout: the chief ray and the rim rays aimed at the stop's rim, for every field",
          doc.str()};
}

}  // namespace lumaveil::fields::drawing
