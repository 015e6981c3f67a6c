// Modes 2, 3, 5 and 6: the merit, the residuals, the searched distances and
// each variable per iteration or outer pass.
#include <string>
#include <vector>

#include "cli/drawing/chart.h"
#include "cli/drawing/figure_kinds.h"
#include "cli/drawing/figure_text.h"
#include "cli/drawing/palette.h"

namespace lumaveil::cli::drawing {

using analysis::Point;
using report_input::ReportContents;

namespace {

struct Series {
  std::string name;
  std::vector<double> values;
};

std::string history_svg(const std::string& title, const std::string& y_label,
                        const ReportContents& r, const std::vector<Series>& series, bool log) {
  const auto& rows = r.optimisation.rows;
  Document doc(900, 620);
  std::vector<double> ns, all;
  for (const auto& row : rows) ns.push_back(row.n);
  for (const auto& s : series) all.insert(all.end(), s.values.begin(), s.values.end());
  Axis x = range_of(ns);
  x.label = r.mode == 5 || r.mode == 6 ? "outer pass" : "iteration";
  x.whole = true;
  Axis y = range_of(all, log);
  y.label = y_label;
  Chart chart(doc, 140, 60, 700, 450, x, y);
  chart.draw_axes(title);
  std::vector<std::pair<std::string, std::string>> legend;
  int total = 0, shown = 0;
  for (std::size_t k = 0; k < series.size(); ++k) {
    std::vector<Point> points;
    for (std::size_t j = 0; j < rows.size() && j < series[k].values.size(); ++j) {
      points.push_back({static_cast<double>(rows[j].n), series[k].values[j]});
      ++total;
      if (chart.inside(points.back().x, points.back().y)) ++shown;
    }
    chart.curve(points, colour(k), 2);
    chart.markers(points, colour(k), 4);
    legend.push_back({colour(k), series[k].name});
  }
  if (series.size() > 1 || !series.empty()) chart.legend(legend);
  int row = 0;
  if (shown < total)
    chart.note(count_note(total - shown, total,
                          log ? "values not finite or not positive, left out"
                              : "values not finite, left out"),
               row++);
  if (rows.empty()) chart.note("no rows in the report", row++);
  if (!r.optimisation.error.empty()) chart.note(r.optimisation.error, row++);
  return doc.str();
}

// Variable v by its surface: "1/R of surface 2", "D after surface 4"
// (mode 3); the report's own name without the lens file.
std::string variable_name(const ReportContents& r, const inputs::LensView* lens, std::size_t v) {
  const std::string& reported = r.optimisation.variable_names[v];
  if (lens == nullptr || v >= lens->variable_surfaces.size()) return reported;
  const std::string k = std::to_string(lens->variable_surfaces[v]);
  return r.mode == 3 ? "D after surface " + k : "1/R of surface " + k;
}

// D1 and D2 of modes 5 and 6 with the surface they follow: "D1 (after surface 2)".
std::string searched_name(const ReportContents& r, const inputs::LensView* lens, std::size_t d) {
  const std::string& reported = r.optimisation.distance_names[d];
  if (lens == nullptr || d > 1) return reported;
  return reported + " (after surface " + std::to_string(lens->searched[d]) + ")";
}

}  // namespace

void history_figures(const ReportContents& r, const inputs::LensView* lens,
                     const FigureOptions& options, std::vector<Figure>& out) {
  const auto& opt = r.optimisation;
  Series e{"E", {}};
  for (const auto& row : opt.rows) e.values.push_back(row.e);
  const char* step = r.mode == 5 || r.mode == 6 ? "outer pass" : "iteration";
  out.push_back({"merit.svg", std::string("Merit E per ") + step + " (logarithmic axis)",
                 history_svg("merit E", "E", r, {e}, true)});
  if (options.residuals) {
    std::vector<Series> residuals = {{"Xa", {}}, {"Xs", {}}, {"Ya", {}}, {"Ys", {}}};
    for (const auto& row : opt.rows) {
      residuals[0].values.push_back(row.xa);
      residuals[1].values.push_back(row.xs);
      residuals[2].values.push_back(row.ya);
      residuals[3].values.push_back(row.ys);
    }
    out.push_back({"residuals.svg", std::string("Residual statistics Xa, Xs, Ya, Ys per ") + step,
                   history_svg("residual statistics", "Xa, Xs, Ya, Ys", r, residuals, false)});
  }
  if (!opt.distance_names.empty()) {
    std::vector<Series> distances;
    for (std::size_t d = 0; d < opt.distance_names.size(); ++d) {
      Series s{searched_name(r, lens, d), {}};
      for (const auto& row : opt.rows) s.values.push_back(row.distances[d]);
      distances.push_back(std::move(s));
    }
    out.push_back({"distances.svg", "The searched distance(s) at the end of each outer pass",
                   history_svg("searched distances", "distance (mm)", r, distances, false)});
  }
  for (std::size_t v = 0; v < opt.variable_names.size(); ++v) {
    std::string name = variable_name(r, lens, v);
    Series s{name, {}};
    for (const auto& row : opt.rows) s.values.push_back(row.variables[v]);
    bool curvature = r.mode != 3;
    std::string file =
        std::string(curvature ? "curvature-" : "distance-") + std::to_string(v) + ".svg";
    out.push_back({file, "Variable " + name + " per " + step,
                   history_svg("variable " + name, curvature ? name + " (1/mm)" : name + " (mm)", r,
                               {s}, false)});
  }
}

}  // namespace lumaveil::cli::drawing
