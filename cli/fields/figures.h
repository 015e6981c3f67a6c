// The figures of the field analysis, drawn with the SVG writer of `lumaveil
// plot`, and the page that shows them. Drawing only: every number comes
// from the analysis.
#ifndef LUMAVEIL_CLI_FIELDS_FIGURES_H
#define LUMAVEIL_CLI_FIELDS_FIGURES_H

#include <string>
#include <vector>

#include "cli/analysis/point.h"
#include "cli/drawing/figures.h"
#include "cli/fields/analysis.h"
#include "cli/fields/table.h"

namespace lumaveil::cli::fields {

// Field curves, distortion, lateral colour, the spot matrix, the ray fans
// and the layout with every field's bundle. `lens` gives the surfaces of the
// layout.
std::vector<drawing::Figure> field_figures(const Analysis& a, const State& lens,
                                           const FieldUnit& unit);

// The page: title, the first-order summary and every figure.
std::string fields_page(const Analysis& a, const std::vector<drawing::Figure>& figures,
                        const std::string& title);

// Drawing helpers shared by the figure files.
namespace figure_parts {

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
std::vector<analysis::Point> over_field(const Analysis& a, int q, const FieldUnit& unit,
                                        double (*value)(const FieldPoint&, std::size_t));

std::vector<drawing::Figure> spot_and_fan_figures(const Analysis& a, const FieldUnit& unit);
drawing::Figure layout_figure(const Analysis& a, const State& lens, const FieldUnit& unit);

}  // namespace figure_parts

}  // namespace lumaveil::cli::fields

#endif
