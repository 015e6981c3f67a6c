#include "cli/fields/figures.h"

#include <algorithm>
#include <cmath>

#include "lens_file.h"

namespace lumaveil::fields {
namespace drawing {

LengthUnit length_unit(double largest) {
  if (std::fabs(largest) < 0.1) return {1000, "µm"};
  return {1, "mm"};
}

std::string wavelength_name(const Analysis& a, int q) {
  return svg::label(a.wavelengths[static_cast<std::size_t>(q - 1)], 6) + " nm";
}

std::vector<svg::Point> over_field(const Analysis& a, int q, const FieldUnit& unit,
                                   double (*value)(const FieldPoint&, std::size_t)) {
  std::vector<svg::Point> points;
  for (const FieldPoint& f : a.fields)
    points.push_back({value(f, static_cast<std::size_t>(q - 1)), f.field / unit.per_value});
  return points;
}

}  // namespace drawing

namespace {

using drawing::over_field;
using drawing::wavelength_name;

double tangential(const FieldPoint& f, std::size_t i) {
  return f.bundles[i].reaches_image ? f.bundles[i].tangential_focus : NAN;
}
double sagittal(const FieldPoint& f, std::size_t i) {
  return f.bundles[i].reaches_image ? f.bundles[i].sagittal_focus : NAN;
}
double distortion(const FieldPoint& f, std::size_t i) { return f.distortion[i]; }
// Each wavelength's chief-ray image X minus that of the reference wavelength.
double lateral_colour(const FieldPoint& f, std::size_t i) {
  const Bundle& b = f.bundles[i];
  const Bundle& ref = f.reference_bundle();
  return b.reaches_image && ref.reaches_image ? b.x - ref.x : NAN;
}

// Largest magnitude of the finite values of the series.
double largest(const std::vector<std::vector<svg::Point>>& series) {
  double m = 0;
  for (const auto& s : series)
    for (const svg::Point& p : s)
      if (std::isfinite(p.x)) m = std::max(m, std::fabs(p.x));
  return m;
}

// A chart of values (horizontal) over the field (vertical), one or two
// series per wavelength; a second, dashed series when `dashed` is given.
std::string over_field_svg(const Analysis& a, const FieldUnit& unit, const std::string& title,
                           const std::string& value_name, bool length, double (*solid)(const FieldPoint&, std::size_t),
                           double (*dashed)(const FieldPoint&, std::size_t), const std::string& note) {
  std::vector<std::vector<svg::Point>> solid_series, dashed_series;
  for (int q = 1; q <= static_cast<int>(a.wavelengths.size()); ++q) {
    solid_series.push_back(over_field(a, q, unit, solid));
    if (dashed != nullptr) dashed_series.push_back(over_field(a, q, unit, dashed));
  }
  const drawing::LengthUnit lu =
      length ? drawing::length_unit(std::max(largest(solid_series), largest(dashed_series)))
             : drawing::LengthUnit{1, "%"};
  std::vector<double> xs{0}, ys{0};
  for (auto* all : {&solid_series, &dashed_series})
    for (auto& s : *all)
      for (svg::Point& p : s) {
        p.x *= lu.factor;
        xs.push_back(p.x);
        ys.push_back(p.y);
      }
  svg::Document doc(900, 640);
  svg::Axis x = svg::range_of(xs);
  x.label = value_name + " (" + lu.name + ")";
  svg::Axis y = svg::range_of(ys);
  y.label = "field (" + unit.name + ")";
  svg::Chart chart(doc, 110, 60, 740, 480, x, y);
  chart.draw_axes(title);
  std::vector<std::pair<std::string, std::string>> legend;
  for (std::size_t i = 0; i < solid_series.size(); ++i) {
    const std::string& colour = svg::colour(i);
    chart.curve(solid_series[i], colour, 2.5);
    chart.markers(solid_series[i], colour, 4);
    if (dashed != nullptr) {
      chart.curve(dashed_series[i], colour, 2.5, "8 5");
      chart.markers(dashed_series[i], colour, 3);
    }
    legend.push_back({colour, wavelength_name(a, static_cast<int>(i) + 1)});
  }
  chart.legend(legend);
  svg::TextStyle text;
  text.size = 15;
  if (!note.empty()) doc.text(110, 610, note, text);
  return doc.str();
}

}  // namespace

std::vector<plot::Figure> field_figures(const Analysis& a, const State& lens, const FieldUnit& unit) {
  std::vector<plot::Figure> figures;
  figures.push_back(
      {"field-curves.svg",
       "Field curvature: the tangential (solid) and sagittal (dashed) focus of the thin pencil "
       "about the chief ray, along z from the image surface",
       over_field_svg(a, unit, "field curvature", "focus from the image surface", true,
                      tangential, sagittal, "solid: tangential   dashed: sagittal")});
  figures.push_back({"distortion.svg",
                     "Distortion: the chief ray's image height against the paraxial one",
                     over_field_svg(a, unit, "distortion", "distortion", false, distortion,
                                    nullptr, "(real − paraxial) / paraxial image height")});
  if (a.wavelengths.size() > 1)
    figures.push_back({"lateral-colour.svg",
                       "Lateral colour: the chief ray's image height per wavelength against the "
                       "reference wavelength",
                       over_field_svg(a, unit, "lateral colour",
                                      "chief ray's image X minus at " + wavelength_name(a, a.reference), true,
                                      lateral_colour, nullptr, "")});
  for (plot::Figure& f : drawing::spot_and_fan_figures(a, unit)) figures.push_back(std::move(f));
  figures.push_back(drawing::layout_figure(a, lens, unit));
  return figures;
}

std::string fields_page(const Analysis& a, const std::vector<plot::Figure>& figures,
                        const std::string& title) {
  const std::string heading = title.empty() ? "Fields" : "Fields: " + title;
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n<title>" +
      svg::escape(heading) +
      "</title>\n<style>\n"
      "body { font-family: DejaVu Sans, Liberation Sans, Arial, sans-serif; margin: 24px; color: #111; }\n"
      "h1 { font-size: 26px; margin-bottom: 4px; }\n"
      "p.meta { font-size: 16px; color: #333; margin-top: 0; }\n"
      "figure { display: inline-block; margin: 12px; vertical-align: top; }\n"
      "figure img { border: 1px solid #ccc; max-width: 100%; }\n"
      "figcaption { font-size: 15px; max-width: 900px; }\n"
      "</style>\n</head>\n<body>\n<h1>" +
      svg::escape(heading) + "</h1>\n<p class=\"meta\">stop at surface " +
      std::to_string(a.stop.surface) + ", radius " + svg::label(a.stop.radius, 6) + " mm";
  const cli::FirstOrder& f = a.first_order[static_cast<std::size_t>(a.reference - 1)];
  if (!f.afocal) html += " &#8212; EFL " + svg::label(f.efl, 6) + " mm";
  if (f.has_f_number) html += ", F/" + svg::label(f.f_number, 4);
  html += " (at " + svg::escape(wavelength_name(a, a.reference)) + ")</p>\n";
  for (const auto& fig : figures)
    html += "<figure><img src=\"" + svg::escape(fig.file) + "\" alt=\"" + svg::escape(fig.caption) +
            "\"/><figcaption>" + svg::escape(fig.caption) + "</figcaption></figure>\n";
  html += "</body>\n</html>\n";
  return html;
}

std::string lens_title(const std::filesystem::path& lens_file) {
  report::LensFile lens;
  if (!report::read_lens_file(lens_file.string(), lens)) return "";
  return lens.title;
}

}  // namespace lumaveil::fields
