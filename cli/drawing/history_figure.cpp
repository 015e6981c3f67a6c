// Modes 2, 3, 5 and 6: the merit, the residuals, the searched distances and
// each variable per iteration or outer pass.
#include <algorithm>
#include <cmath>
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

// The most series one figure draws: one per colour of the palette.
constexpr std::size_t kMostSeries = 8;

struct Series {
  std::string name;
  std::vector<double> values;
};

// One series against the iteration or outer pass, as a line with markers;
// counts its values and those that could be drawn.
void draw_series(Chart& chart, const std::vector<report_input::IterationRow>& rows,
                 const std::vector<double>& values, const std::string& colour, int& total,
                 int& shown) {
  std::vector<Point> points;
  for (std::size_t j = 0; j < rows.size() && j < values.size(); ++j) {
    points.push_back({static_cast<double>(rows[j].n), values[j]});
    ++total;
    if (chart.inside(points.back().x, points.back().y)) ++shown;
  }
  chart.curve(points, colour, 2);
  chart.markers(points, colour, 4);
}

// One figure of several series against the iteration or outer pass.
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
    draw_series(chart, rows, series[k].values, colour(k), total, shown);
    legend.push_back({colour(k), series[k].name});
  }
  chart.legend(legend);
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

// The variables of one kind in one figure: a panel each, one above the
// other on a common iteration axis, each with its own range so that every
// variable's convergence shows however far apart their values lie.
// `left_out` more variables are counted in a note.
std::string variables_svg(const std::string& title, const std::string& unit,
                          const ReportContents& r, const std::vector<Series>& series,
                          std::size_t left_out) {
  const auto& rows = r.optimisation.rows;
  const double top = 90, panel = 140, pitch = 235;
  Document doc(900, top + pitch * static_cast<double>(series.size()) + 40);
  TextStyle heading;
  heading.size = 20;
  heading.bold = true;
  heading.anchor = "middle";
  doc.text(450, 34, title, heading);
  std::vector<double> ns;
  for (const auto& row : rows) ns.push_back(row.n);
  Axis x = range_of(ns);
  x.label = r.mode == 5 || r.mode == 6 ? "outer pass" : "iteration";
  x.whole = true;
  int total = 0, shown = 0;
  for (std::size_t k = 0; k < series.size(); ++k) {
    Axis y = range_of(series[k].values);
    y.label = unit;
    y.ticks = 3;
    Chart chart(doc, 140, top + pitch * static_cast<double>(k), 700, panel, x, y);
    chart.draw_axes(series[k].name);
    draw_series(chart, rows, series[k].values, colour(k), total, shown);
  }
  // The notes under the last panel's axis label.
  TextStyle note;
  note.size = 15;
  note.fill = "#a00000";
  double y = top + pitch * static_cast<double>(series.size()) - 8;
  std::vector<std::string> notes;
  if (left_out > 0)
    notes.push_back("and " + std::to_string(left_out) +
                    " more variables not drawn (see the report)");
  if (shown < total)
    notes.push_back(count_note(total - shown, total, "values not finite, left out"));
  if (rows.empty()) notes.push_back("no rows in the report");
  for (const auto& text : notes) {
    doc.text(140, y, text, note);
    doc.ensure_height(y + 12);
    y += 20;
  }
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
  // The variables are all of one kind in a report: the curvatures (modes
  // 2, 5, 6) or the distances (mode 3), drawn together in one figure.
  if (!opt.variable_names.empty()) {
    const bool curvature = r.mode != 3;
    std::vector<Series> variables;
    const std::size_t drawn = std::min(opt.variable_names.size(), kMostSeries);
    for (std::size_t v = 0; v < drawn; ++v) {
      Series s{variable_name(r, lens, v), {}};
      for (const auto& row : opt.rows)
        s.values.push_back(v < row.variables.size() ? row.variables[v] : NAN);
      variables.push_back(std::move(s));
    }
    const std::size_t left_out = opt.variable_names.size() - drawn;
    out.push_back(
        {curvature ? "curvatures.svg" : "distances.svg",
         std::string(curvature ? "The variable curvatures 1/R" : "The variable distances D") +
             " per " + step + ", a panel each",
         variables_svg(
             std::string(curvature ? "variable curvatures" : "variable distances") + " per " + step,
             curvature ? "1/R (1/mm)" : "D (mm)", r, variables, left_out)});
  }
}

}  // namespace lumaveil::cli::drawing
