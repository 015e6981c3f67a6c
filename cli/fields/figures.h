// The figures of the field analysis, drawn with the SVG writer of `lumaveil
// plot`, and the page that shows them. Drawing only: every number comes
// from the analysis.
#ifndef LUMAVEIL_CLI_FIELDS_FIGURES_H
#define LUMAVEIL_CLI_FIELDS_FIGURES_H

#include <filesystem>
#include <string>
#include <vector>

#include "cli/fields/analysis.h"
#include "cli/fields/table.h"
#include "plot.h"

namespace lumaveil::fields {

// Field curves, distortion, lateral colour, the spot matrix, the ray fans
// and the layout with every field's bundle. `lens` gives the surfaces of the
// layout.
std::vector<plot::Figure> field_figures(const Analysis& a, const State& lens, const FieldUnit& unit);

// The page: title, the first-order summary and every figure.
std::string fields_page(const Analysis& a, const std::vector<plot::Figure>& figures,
                        const std::string& title);

// The title of the lens file (line 0, column 0) as UTF-8; empty when none.
std::string lens_title(const std::filesystem::path& lens_file);

// Drawing helpers shared by the figure files.
namespace drawing {

// A length unit that suits values up to `largest` in magnitude: µm below
// 0.1 mm, else mm. Drawn value = value · factor.
struct LengthUnit {
  double factor;
  std::string name;
};
LengthUnit length_unit(double largest);

std::string wavelength_name(const Analysis& a, int q);

// The bundles' values over the field at wavelength q, as (value, field)
// points for a chart whose vertical axis is the field.
std::vector<svg::Point> over_field(const Analysis& a, int q, const FieldUnit& unit,
                                   double (*value)(const FieldPoint&, std::size_t));

std::vector<plot::Figure> spot_and_fan_figures(const Analysis& a, const FieldUnit& unit);
plot::Figure layout_figure(const Analysis& a, const State& lens, const FieldUnit& unit);

}  // namespace drawing

}  // namespace lumaveil::fields

#endif
