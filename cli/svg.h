// A small SVG writer shared by the plots: elements, escaping, charts with
// real axes and nice tick values.
#ifndef LUMAVEIL_CLI_SVG_H
#define LUMAVEIL_CLI_SVG_H

#include <string>
#include <string_view>
#include <vector>

namespace lumaveil::svg {

// Text for XML character data and attribute values.
std::string escape(std::string_view text);

// A coordinate or length for an attribute: locale-independent, at most
// three decimals, no trailing zeros.
std::string number(double value);

// A value for a label: `digits` significant digits, exponent form only for
// very large or very small magnitudes.
std::string label(double value, int digits);

struct Ticks {
  double lo = 0, hi = 1;  // the axis range: the data range widened to whole steps
  double step = 1;
  std::vector<double> values;
  std::vector<std::string> labels;
};

// About `target` ticks at 1, 2 or 5 times a power of ten covering [lo, hi].
// A range of one value is widened around it. Labels differ from tick to tick.
Ticks nice_ticks(double lo, double hi, int target = 6);
// Ticks at the powers of ten covering [lo, hi] (both positive), with 2 and 5
// added when the range spans less than two decades.
Ticks log_ticks(double lo, double hi);

struct Style {
  std::string stroke = "none";
  std::string fill = "none";
  double width = 1;
  std::string dash;  // stroke-dasharray, empty for solid
};

struct TextStyle {
  double size = 16;
  std::string anchor = "start";  // start, middle, end
  std::string fill = "#000000";
  bool bold = false;
  double rotate = 0;  // degrees, about the anchor point
};

struct Point {
  double x = 0, y = 0;
};

class Document {
 public:
  Document(double width, double height);
  void line(double x1, double y1, double x2, double y2, const Style& style);
  void polyline(const std::vector<Point>& points, const Style& style);
  void circle(double cx, double cy, double r, const Style& style);
  void rect(double x, double y, double w, double h, const Style& style);
  void text(double x, double y, std::string_view content, const TextStyle& style);
  double width() const { return width_; }
  double height() const { return height_; }
  // The whole document, XML declaration included.
  std::string str() const;

 private:
  double width_, height_;
  std::string body_;
};

struct Axis {
  double lo = 0, hi = 1;  // data range (finite values)
  std::string label;
  bool log = false;
  // Keep exactly [lo, hi] (ticks only inside) instead of widening to whole
  // steps: for drawings with equal scales on both axes.
  bool exact = false;
  // Ticks at whole numbers only (iteration counts).
  bool whole = false;
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
  const Ticks& x_ticks() const { return xt_; }
  const Ticks& y_ticks() const { return yt_; }
  // Frame, grid, ticks, tick labels, axis labels and the title above.
  void draw_axes(const std::string& title);
  // A line through the points; a non-finite point breaks it.
  void curve(const std::vector<Point>& data, const std::string& colour, double width = 2,
             const std::string& dash = "");
  // A marker at each finite point.
  void markers(const std::vector<Point>& data, const std::string& colour, double radius = 4);
  // Coloured entries in the top right corner of the area.
  void legend(const std::vector<std::pair<std::string, std::string>>& colour_and_text);
  // A note in the bottom left corner of the area.
  void note(const std::string& text, int row = 0);
  bool inside(double x, double y) const;

 private:
  Document& doc_;
  double left_, top_, width_, height_;
  Axis x_, y_;
  Ticks xt_, yt_;
};

// The range of the finite values (log: the positive ones); {0, 0} when none.
Axis range_of(const std::vector<double>& values, bool log = false);

// Distinct colours for series: one per wavelength or variable.
const std::string& colour(std::size_t index);

}  // namespace lumaveil::svg

#endif
