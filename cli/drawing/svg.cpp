#include "cli/drawing/svg.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>
#include <utility>

namespace lumaveil::cli::drawing {

std::string escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    switch (ch) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        // Control characters other than tab and line feed are not XML.
        if (static_cast<unsigned char>(ch) < 0x20 && ch != '\t' && ch != '\n')
          out += ' ';
        else
          out += ch;
    }
  }
  return out;
}

std::string number(double value) {
  if (!std::isfinite(value)) return "0";
  if (std::fabs(value) < 0.0005) value = 0;
  char buffer[64];
  auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
  if (ec != std::errc()) return "0";
  std::string text(buffer, end);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  return text;
}

namespace {

std::string style_attributes(const Style& style) {
  std::string a = " stroke=\"" + escape(style.stroke) + "\" fill=\"" + escape(style.fill) + "\"";
  if (style.stroke != "none") a += " stroke-width=\"" + number(style.width) + "\"";
  if (!style.dash.empty()) a += " stroke-dasharray=\"" + escape(style.dash) + "\"";
  if (style.opacity < 1) {
    a += " opacity=\"";
    a += number(style.opacity);
    a += '"';
  }
  if (style.fill_opacity < 1) {
    a += " fill-opacity=\"";
    a += number(style.fill_opacity);
    a += '"';
  }
  return a;
}

}  // namespace

Document::Document(double width, double height) : width_(width), height_(height) {}

void Document::ensure_height(double height) {
  if (height > height_) height_ = height;
}

void Document::line(double x1, double y1, double x2, double y2, const Style& style) {
  body_ += "<line x1=\"" + number(x1) + "\" y1=\"" + number(y1) + "\" x2=\"" + number(x2) +
           "\" y2=\"" + number(y2) + "\"" + style_attributes(style) + "/>\n";
}

void Document::polyline(const std::vector<Point>& points, const Style& style) {
  if (points.empty()) return;
  body_ += "<polyline points=\"";
  for (std::size_t k = 0; k < points.size(); ++k) {
    if (k > 0) body_ += ' ';
    body_ += number(points[k].x) + "," + number(points[k].y);
  }
  // Appended piece by piece: g++ 12 warns (-Wrestrict) about a literal
  // joined to a temporary string here, wrongly.
  body_ += '"';
  body_ += style_attributes(style);
  body_ += " stroke-linejoin=\"round\"/>\n";
}

void Document::circle(double cx, double cy, double r, const Style& style) {
  body_ += "<circle cx=\"" + number(cx) + "\" cy=\"" + number(cy) + "\" r=\"" + number(r) + "\"" +
           style_attributes(style) + "/>\n";
}

void Document::rect(double x, double y, double w, double h, const Style& style) {
  body_ += "<rect x=\"" + number(x) + "\" y=\"" + number(y) + "\" width=\"" + number(w) +
           "\" height=\"" + number(h) + "\"" + style_attributes(style) + "/>\n";
}

void Document::path(std::string_view d, const Style& style) {
  body_ += "<path d=\"";
  body_ += escape(d);
  body_ += '"';
  body_ += style_attributes(style);
  body_ += "/>\n";
}

void Document::text(double x, double y, std::string_view content, const TextStyle& style) {
  body_ += "<text x=\"" + number(x) + "\" y=\"" + number(y) + "\" font-size=\"" +
           number(style.size) + "\" text-anchor=\"" + escape(style.anchor) + "\" fill=\"" +
           escape(style.fill) + "\"";
  if (style.bold) body_ += " font-weight=\"bold\"";
  if (style.rotate != 0)
    body_ +=
        " transform=\"rotate(" + number(style.rotate) + " " + number(x) + " " + number(y) + ")\"";
  body_ += '>';
  body_ += escape(content);
  body_ += "</text>\n";
}

std::string Document::str() const {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
         number(width_) + "\" height=\"" + number(height_) + "\" viewBox=\"0 0 " + number(width_) +
         " " + number(height_) +
         "\" font-family=\"DejaVu Sans, Liberation Sans, Arial, sans-serif\">\n"
         "<rect x=\"0\" y=\"0\" width=\"" +
         number(width_) + "\" height=\"" + number(height_) + "\" fill=\"#ffffff\"/>\n" + body_ +
         "</svg>\n";
}

}  // namespace lumaveil::cli::drawing
