// The spot matrix (fields × wavelengths, one scale) and the ray fans.
#include <algorithm>
#include <cmath>

#include "cli/fields/figures.h"

namespace lumaveil::fields::drawing {
namespace {

// A nice length near `target`: 1, 2 or 5 times a power of ten.
double nice_length(double target) {
  const double power = std::pow(10.0, std::floor(std::log10(target)));
  const double f = target / power;
  return (f < 2 ? 1 : f < 5 ? 2 : 5) * power;
}

// The largest distance of a spot point from the reference wavelength's
// chief ray of its field: the one half-width of every cell.
double spot_half_width(const Analysis& a) {
  double half = 0;
  for (const FieldPoint& f : a.fields) {
    const Bundle& ref = f.reference_bundle();
    if (!ref.reaches_image) continue;
    for (const Bundle& b : f.bundles)
      for (const svg::Point& p : b.spot)
        if (std::isfinite(p.x) && std::isfinite(p.y))
          half = std::max(half, std::hypot(p.x - ref.x, p.y - ref.y));
  }
  return half > 0 ? half * 1.1 : 1e-3;
}

// A scale bar of a nice length near half of `half`, drawn from (x, y).
void scale_bar(svg::Document& doc, double x, double y, double half, double scale) {
  const double bar = nice_length(half / 2);
  const svg::Style bar_style{"#000000", "none", 3, ""};
  doc.line(x, y, x + bar * scale, y, bar_style);
  doc.line(x, y - 7, x, y + 7, bar_style);
  doc.line(x + bar * scale, y - 7, x + bar * scale, y + 7, bar_style);
  const LengthUnit lu = length_unit(bar);
  svg::TextStyle text;
  text.size = 15;
  doc.text(x + bar * scale + 12, y + 5, svg::label(bar * lu.factor, 3) + " " + lu.name, text);
}

std::string spot_matrix_svg(const Analysis& a, const FieldUnit& unit) {
  const double cell = 210, gap = 16, left = 150, top = 90;
  const std::size_t rows = a.fields.size(), columns = a.wavelengths.size();
  svg::Document doc(std::max(760.0, left + columns * (cell + gap) + 40), top + rows * (cell + 40) + 110);
  const double half = spot_half_width(a);
  const double scale = cell / (2 * half);
  svg::TextStyle heading;
  heading.size = 18;
  heading.bold = true;
  doc.text(20, 30, "spot diagrams on the image surface, one scale", heading);
  svg::TextStyle sub;
  sub.size = 14;
  doc.text(20, 52, "each field centred on its chief ray at " + wavelength_name(a, a.reference), sub);
  svg::TextStyle text;
  text.size = 16;
  text.anchor = "middle";
  for (std::size_t c = 0; c < columns; ++c)
    doc.text(left + c * (cell + gap) + cell / 2, top - 12, wavelength_name(a, static_cast<int>(c) + 1), text);
  const svg::Style frame{"#888888", "none", 1, ""};
  const svg::Style cross{"#bbbbbb", "none", 1, ""};
  for (std::size_t r = 0; r < rows; ++r) {
    const FieldPoint& f = a.fields[r];
    const double y0 = top + r * (cell + 40);
    svg::TextStyle label = text;
    label.anchor = "end";
    doc.text(left - 14, y0 + cell / 2, "field " + field_text(unit, f.field) + " " + unit.name, label);
    const Bundle& ref = f.reference_bundle();
    for (std::size_t c = 0; c < columns; ++c) {
      const Bundle& b = f.bundles[c];
      const double x0 = left + c * (cell + gap);
      doc.rect(x0, y0, cell, cell, frame);
      doc.line(x0 + cell / 2, y0, x0 + cell / 2, y0 + cell, cross);
      doc.line(x0, y0 + cell / 2, x0 + cell, y0 + cell / 2, cross);
      if (!b.reaches_image || !ref.reaches_image) {
        doc.text(x0 + cell / 2, y0 + cell / 2, "no chief ray", text);
        continue;
      }
      const svg::Style dot{svg::colour(c), svg::colour(c), 0.5, ""};
      for (const svg::Point& p : b.spot) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
        // Image x to the right, image y upward.
        doc.circle(x0 + cell / 2 + (p.x - ref.x) * scale, y0 + cell / 2 - (p.y - ref.y) * scale, 1.8, dot);
      }
      const LengthUnit lu = length_unit(b.spot_stats.rms);
      svg::TextStyle small = text;
      small.size = 14;
      doc.text(x0 + cell / 2, y0 + cell + 20,
               "RMS " + svg::label(b.spot_stats.rms * lu.factor, 3) + " " + lu.name, small);
    }
  }
  scale_bar(doc, left, top + rows * (cell + 40) + 40, half, scale);
  return doc.str();
}

std::vector<svg::Point> fan_curve(const std::vector<FanPoint>& fan, bool sagittal, double factor) {
  std::vector<svg::Point> curve;
  for (const FanPoint& p : fan) curve.push_back({p.pupil, (sagittal ? p.ey : p.ex) * factor});
  return curve;
}

std::string fans_svg(const Analysis& a, const FieldUnit& unit) {
  double largest = 0;
  for (const FieldPoint& f : a.fields)
    for (const Bundle& b : f.bundles) {
      for (const FanPoint& p : b.tangential_fan)
        if (std::isfinite(p.ex)) largest = std::max(largest, std::fabs(p.ex));
      for (const FanPoint& p : b.sagittal_fan)
        if (std::isfinite(p.ey)) largest = std::max(largest, std::fabs(p.ey));
    }
  const LengthUnit lu = length_unit(largest);
  const double limit = largest > 0 ? largest * lu.factor : 1;
  const double row_height = 300;
  svg::Document doc(1100, 40 + a.fields.size() * row_height);
  for (std::size_t r = 0; r < a.fields.size(); ++r) {
    const FieldPoint& f = a.fields[r];
    const double top = 50 + r * row_height;
    for (int side = 0; side < 2; ++side) {
      const bool sagittal = side == 1;
      svg::Axis x{-1, 1, sagittal ? "stop y / radius" : "stop x / radius", false, true};
      svg::Axis y{-limit, limit, std::string(sagittal ? "ΔY" : "ΔX") + " (" + lu.name + ")", false, false};
      svg::Chart chart(doc, 110 + side * 520, top, 420, 200, x, y);
      chart.draw_axes((sagittal ? "sagittal fan, field " : "tangential fan, field ") +
                      field_text(unit, f.field) + " " + unit.name);
      std::vector<std::pair<std::string, std::string>> legend;
      for (std::size_t i = 0; i < f.bundles.size(); ++i) {
        chart.curve(fan_curve(sagittal ? f.bundles[i].sagittal_fan : f.bundles[i].tangential_fan,
                              sagittal, lu.factor),
                    svg::colour(i), 2);
        legend.push_back({svg::colour(i), wavelength_name(a, static_cast<int>(i) + 1)});
      }
      if (r == 0 && sagittal) chart.legend(legend);
    }
  }
  return doc.str();
}

}  // namespace

std::vector<plot::Figure> spot_and_fan_figures(const Analysis& a, const FieldUnit& unit) {
  return {{"spots.svg",
           "Spot diagrams: the aperture grid around each aimed chief ray, fields × wavelengths, one "
           "scale",
           spot_matrix_svg(a, unit)},
          {"ray-fans.svg",
           "Ray fans: transverse error on the image surface against the ray's point on the stop "
           "(tangential: x, sagittal: y), each wavelength in its colour",
           fans_svg(a, unit)}};
}

}  // namespace lumaveil::fields::drawing
