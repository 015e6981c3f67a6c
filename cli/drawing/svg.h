// A small SVG writer shared by the figures: a document of elements, with
// escaping and locale-independent numbers.
#ifndef LUMAVEIL_CLI_DRAWING_SVG_H
#define LUMAVEIL_CLI_DRAWING_SVG_H

#include <string>
#include <string_view>
#include <vector>

#include "cli/analysis/point.h"

namespace lumaveil::cli::drawing {

// Text for XML character data and attribute values.
std::string escape(std::string_view text);

// A coordinate or length for an attribute: locale-independent, at most
// three decimals, no trailing zeros.
std::string number(double value);

struct Style {
  std::string stroke = "none";
  std::string fill = "none";
  double width = 1;
  std::string dash;    // stroke-dasharray, empty for solid
  double opacity = 1;  // of the whole element
  // Of the fill alone: for one shape of many disjoint parts it gives the
  // look of `opacity` without the browser compositing a layer for it.
  double fill_opacity = 1;
};

struct TextStyle {
  double size = 16;
  std::string anchor = "start";  // start, middle, end
  std::string fill = "#000000";
  bool bold = false;
  double rotate = 0;  // degrees, about the anchor point
};

using analysis::Point;

class Document {
 public:
  Document(double width, double height);
  void line(double x1, double y1, double x2, double y2, const Style& style);
  void polyline(const std::vector<Point>& points, const Style& style);
  void circle(double cx, double cy, double r, const Style& style);
  void rect(double x, double y, double w, double h, const Style& style);
  // A path of the outline `d` (SVG path data).
  void path(std::string_view d, const Style& style);
  void text(double x, double y, std::string_view content, const TextStyle& style);
  double width() const { return width_; }
  double height() const { return height_; }
  // Makes the document at least `height` tall (for notes added below).
  void ensure_height(double height);
  // The whole document, XML declaration included.
  std::string str() const;

 private:
  double width_, height_;
  std::string body_;
};

}  // namespace lumaveil::cli::drawing

#endif
