// A plot area in an SVG document: axes with round ticks, curves, markers,
// a legend and notes, in data coordinates.
#ifndef LUMAVEIL_CLI_DRAWING_CHART_H
#define LUMAVEIL_CLI_DRAWING_CHART_H

#include <string>
#include <utility>
#include <vector>

#include "cli/analysis/ticks.h"
#include "cli/drawing/svg.h"

namespace lumaveil::cli::drawing {

struct Axis {
  double lo = 0, hi = 1;  // data range (finite values)
  std::string label;
  bool log = false;
  // Keep exactly [lo, hi] (ticks only inside) instead of widening to whole
  // steps: for drawings with equal scales on both axes.
  bool exact = false;
  // Ticks at whole numbers only (iteration counts).
  bool whole = false;
  int ticks = 6;  // about how many ticks a linear axis gets
};

// A plot area in a document, with the axes drawn around it. Data
// coordinates map to pixels through px and py.
class Chart {
 public:
  // The area's left, top, width and height in pixels.
  Chart(Document& doc, double left, double top, double width, double height, const Axis& x,
        const Axis& y);
  double px(double x) const;
  double py(double y) const;
  const analysis::Ticks& x_ticks() const { return xt_; }
  const analysis::Ticks& y_ticks() const { return yt_; }
  // Frame, grid, ticks, tick labels, axis labels and the title above.
  void draw_axes(const std::string& title);
  // A line through the points; a non-finite point breaks it.
  void curve(const std::vector<Point>& data, const std::string& colour, double width = 2,
             const std::string& dash = "");
  // A marker at each finite point.
  void markers(const std::vector<Point>& data, const std::string& colour, double radius = 4);
  // Coloured entries in rows under the x axis label, clear of the data;
  // a row holds what fits in the plot's width. Call before note().
  void legend(const std::vector<std::pair<std::string, std::string>>& colour_and_text);
  // A note in row `row` under the legend's rows; the document grows to hold it.
  void note(const std::string& text, int row = 0);
  // The baselines of the legend's first row and of the first note.
  double legend_y() const { return top_ + height_ + 82; }
  double note_y(int row) const {
    return top_ + height_ + 108 + kLegendRow * (legend_rows_ - 1) + 20 * row;
  }
  bool inside(double x, double y) const;

 private:
  Document& doc_;
  double left_, top_, width_, height_;
  static constexpr double kLegendRow = 22;
  Axis x_, y_;
  analysis::Ticks xt_, yt_;
  int legend_rows_ = 1;
};

// The range of the finite values (log: the positive ones); {0, 0} when none.
Axis range_of(const std::vector<double>& values, bool log = false);

}  // namespace lumaveil::cli::drawing

#endif
