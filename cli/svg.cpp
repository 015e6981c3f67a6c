#include "svg.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>
#include <utility>

namespace lumaveil::svg {

std::string escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
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
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
  if (ec != std::errc()) return "0";
  std::string text(buffer, end);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  return text;
}

namespace {

std::string to_text(double value, std::chars_format format, int precision) {
  char buffer[128];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
  return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}

// Fixed notation for everyday magnitudes, exponent form otherwise.
bool wants_fixed(double magnitude) { return magnitude == 0 || (magnitude >= 1e-4 && magnitude < 1e6); }

// Labels of the tick values with the least precision that tells them apart.
std::vector<std::string> tick_labels(const std::vector<double>& values, double step) {
  double magnitude = 0;
  for (double v : values) magnitude = std::max(magnitude, std::fabs(v));
  int step_exponent = static_cast<int>(std::floor(std::log10(step)));
  std::vector<std::string> labels;
  for (int extra = 0; extra < 17; ++extra) {
    labels.clear();
    for (double v : values) {
      if (v == 0) {
        labels.emplace_back("0");
      } else if (wants_fixed(magnitude)) {
        labels.push_back(to_text(v, std::chars_format::fixed, std::max(0, -step_exponent) + extra));
      } else {
        int digits = static_cast<int>(std::floor(std::log10(std::fabs(v)))) - step_exponent;
        labels.push_back(to_text(v, std::chars_format::scientific, std::max(0, digits) + extra));
      }
    }
    if (std::set<std::string>(labels.begin(), labels.end()).size() == labels.size()) break;
  }
  return labels;
}

}  // namespace

std::string label(double value, int digits) {
  if (value == 0) return "0";
  if (!std::isfinite(value)) return std::isnan(value) ? "NaN" : (value > 0 ? "inf" : "-inf");
  double magnitude = std::fabs(value);
  if (wants_fixed(magnitude)) {
    int exponent = static_cast<int>(std::floor(std::log10(magnitude)));
    std::string text = to_text(value, std::chars_format::fixed, std::max(0, digits - 1 - exponent));
    if (text.find('.') != std::string::npos) {
      while (text.back() == '0') text.pop_back();
      if (text.back() == '.') text.pop_back();
    }
    return text;
  }
  return to_text(value, std::chars_format::scientific, std::max(0, digits - 1));
}

Ticks nice_ticks(double lo, double hi, int target) {
  if (!std::isfinite(lo) || !std::isfinite(hi)) {
    lo = 0;
    hi = 1;
  }
  if (lo > hi) std::swap(lo, hi);
  // A single value, or a range too narrow for double steps, is widened
  // around its middle.
  double middle = lo / 2 + hi / 2;
  double least = std::fabs(middle) * 1e-12;
  if (hi - lo <= least) {
    double pad = middle == 0 ? 1 : std::max(std::fabs(middle) * 0.05, least);
    lo = middle - pad;
    hi = middle + pad;
  }
  target = std::max(target, 2);
  double raw = (hi - lo) / target;
  double power = std::pow(10.0, std::floor(std::log10(raw)));
  double fraction = raw / power;
  double factor = fraction < 1.5 ? 1 : fraction < 3.5 ? 2 : fraction < 7.5 ? 5 : 10;
  Ticks ticks;
  ticks.step = factor * power;
  double first = std::floor(lo / ticks.step);
  double last = std::ceil(hi / ticks.step);
  for (double k = first; k <= last; k += 1) ticks.values.push_back(k * ticks.step);
  ticks.lo = ticks.values.front();
  ticks.hi = ticks.values.back();
  ticks.labels = tick_labels(ticks.values, ticks.step);
  return ticks;
}

Ticks log_ticks(double lo, double hi) {
  if (!(lo > 0) || !(hi > 0) || !std::isfinite(lo) || !std::isfinite(hi)) {
    lo = 1;
    hi = 10;
  }
  if (lo > hi) std::swap(lo, hi);
  int d0 = static_cast<int>(std::floor(std::log10(lo)));
  int d1 = static_cast<int>(std::ceil(std::log10(hi)));
  if (d1 <= d0) d1 = d0 + 1;
  // Within less than two decades the powers of ten alone are too few.
  bool halves = std::log10(hi / lo) < 2;
  Ticks ticks;
  for (int d = d0; d <= d1; ++d) {
    double decade = std::pow(10.0, d);
    ticks.values.push_back(decade);
    if (halves && d < d1) {
      ticks.values.push_back(2 * decade);
      ticks.values.push_back(5 * decade);
    }
  }
  ticks.lo = ticks.values.front();
  ticks.hi = ticks.values.back();
  ticks.step = 10;
  for (double v : ticks.values) ticks.labels.push_back(label(v, 1));
  return ticks;
}

namespace {

std::string style_attributes(const Style& style) {
  std::string a = " stroke=\"" + escape(style.stroke) + "\" fill=\"" + escape(style.fill) + "\"";
  if (style.stroke != "none") a += " stroke-width=\"" + number(style.width) + "\"";
  if (!style.dash.empty()) a += " stroke-dasharray=\"" + escape(style.dash) + "\"";
  return a;
}

}  // namespace

Document::Document(double width, double height) : width_(width), height_(height) {}

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
  body_ += "\"" + style_attributes(style) + " stroke-linejoin=\"round\"/>\n";
}

void Document::circle(double cx, double cy, double r, const Style& style) {
  body_ += "<circle cx=\"" + number(cx) + "\" cy=\"" + number(cy) + "\" r=\"" + number(r) + "\"" +
           style_attributes(style) + "/>\n";
}

void Document::rect(double x, double y, double w, double h, const Style& style) {
  body_ += "<rect x=\"" + number(x) + "\" y=\"" + number(y) + "\" width=\"" + number(w) +
           "\" height=\"" + number(h) + "\"" + style_attributes(style) + "/>\n";
}

void Document::text(double x, double y, std::string_view content, const TextStyle& style) {
  body_ += "<text x=\"" + number(x) + "\" y=\"" + number(y) + "\" font-size=\"" +
           number(style.size) + "\" text-anchor=\"" + escape(style.anchor) + "\" fill=\"" +
           escape(style.fill) + "\"";
  if (style.bold) body_ += " font-weight=\"bold\"";
  if (style.rotate != 0)
    body_ += " transform=\"rotate(" + number(style.rotate) + " " + number(x) + " " + number(y) + ")\"";
  body_ += ">" + escape(content) + "</text>\n";
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

namespace {

Ticks axis_ticks(const Axis& axis) {
  if (axis.log) return log_ticks(axis.lo, axis.hi);
  Ticks ticks = nice_ticks(axis.lo, axis.hi);
  if (axis.whole && ticks.step < 1) {
    Ticks counts;
    counts.step = 1;
    for (double k = std::floor(ticks.lo); k <= std::ceil(ticks.hi); k += 1) {
      counts.values.push_back(k);
      counts.labels.push_back(label(k, 17));
    }
    counts.lo = counts.values.front();
    counts.hi = counts.values.back();
    ticks = counts;
  }
  if (!axis.exact || !(axis.lo < axis.hi)) return ticks;
  Ticks inside;
  inside.lo = axis.lo;
  inside.hi = axis.hi;
  inside.step = ticks.step;
  double slack = ticks.step * 1e-9;
  for (std::size_t k = 0; k < ticks.values.size(); ++k) {
    if (ticks.values[k] < axis.lo - slack || ticks.values[k] > axis.hi + slack) continue;
    inside.values.push_back(ticks.values[k]);
    inside.labels.push_back(ticks.labels[k]);
  }
  return inside;
}

}  // namespace

Chart::Chart(Document& doc, double left, double top, double width, double height, const Axis& x,
             const Axis& y)
    : doc_(doc), left_(left), top_(top), width_(width), height_(height), x_(x), y_(y) {
  xt_ = axis_ticks(x);
  yt_ = axis_ticks(y);
}

double Chart::px(double x) const {
  if (x_.log) return left_ + (std::log10(x) - std::log10(xt_.lo)) / (std::log10(xt_.hi) - std::log10(xt_.lo)) * width_;
  return left_ + (x - xt_.lo) / (xt_.hi - xt_.lo) * width_;
}

double Chart::py(double y) const {
  double f = y_.log ? (std::log10(y) - std::log10(yt_.lo)) / (std::log10(yt_.hi) - std::log10(yt_.lo))
                    : (y - yt_.lo) / (yt_.hi - yt_.lo);
  return top_ + height_ - f * height_;
}

bool Chart::inside(double x, double y) const {
  if (!std::isfinite(x) || !std::isfinite(y)) return false;
  if ((x_.log && !(x > 0)) || (y_.log && !(y > 0))) return false;
  double a = px(x);
  double b = py(y);
  return a >= left_ - 0.5 && a <= left_ + width_ + 0.5 && b >= top_ - 0.5 && b <= top_ + height_ + 0.5;
}

void Chart::draw_axes(const std::string& title) {
  const Style grid{"#dddddd", "none", 1, ""};
  const Style frame{"#000000", "none", 1.5, ""};
  TextStyle tick_text;
  tick_text.size = 14;
  for (std::size_t k = 0; k < xt_.values.size(); ++k) {
    double x = px(xt_.values[k]);
    doc_.line(x, top_, x, top_ + height_, grid);
    doc_.line(x, top_ + height_, x, top_ + height_ + 6, frame);
    tick_text.anchor = "middle";
    doc_.text(x, top_ + height_ + 24, xt_.labels[k], tick_text);
  }
  for (std::size_t k = 0; k < yt_.values.size(); ++k) {
    double y = py(yt_.values[k]);
    doc_.line(left_, y, left_ + width_, y, grid);
    doc_.line(left_ - 6, y, left_, y, frame);
    tick_text.anchor = "end";
    doc_.text(left_ - 10, y + 5, yt_.labels[k], tick_text);
  }
  doc_.rect(left_, top_, width_, height_, frame);
  TextStyle axis_text;
  axis_text.size = 16;
  axis_text.anchor = "middle";
  doc_.text(left_ + width_ / 2, top_ + height_ + 50, x_.label, axis_text);
  axis_text.rotate = -90;
  doc_.text(left_ - 78, top_ + height_ / 2, y_.label, axis_text);
  TextStyle title_text;
  title_text.size = 20;
  title_text.bold = true;
  title_text.anchor = "middle";
  doc_.text(left_ + width_ / 2, top_ - 16, title, title_text);
}

void Chart::curve(const std::vector<Point>& data, const std::string& colour, double width,
                  const std::string& dash) {
  std::vector<Point> run;
  const Style style{colour, "none", width, dash};
  for (const Point& p : data) {
    if (inside(p.x, p.y)) {
      run.push_back({px(p.x), py(p.y)});
      continue;
    }
    if (run.size() > 1) doc_.polyline(run, style);
    run.clear();
  }
  if (run.size() > 1) doc_.polyline(run, style);
}

void Chart::markers(const std::vector<Point>& data, const std::string& colour, double radius) {
  const Style style{"#000000", colour, 0.5, ""};
  for (const Point& p : data)
    if (inside(p.x, p.y)) doc_.circle(px(p.x), py(p.y), radius, style);
}

void Chart::legend(const std::vector<std::pair<std::string, std::string>>& colour_and_text) {
  if (colour_and_text.empty()) return;
  double row = 24;
  double box_w = 0;
  for (const auto& entry : colour_and_text)
    box_w = std::max(box_w, 40 + 8.5 * static_cast<double>(entry.second.size()));
  double x = left_ + width_ - box_w - 8;
  double y = top_ + 8;
  doc_.rect(x, y, box_w, row * static_cast<double>(colour_and_text.size()) + 8,
            Style{"#888888", "#ffffff", 1, ""});
  TextStyle text;
  text.size = 15;
  for (std::size_t k = 0; k < colour_and_text.size(); ++k) {
    double cy = y + 4 + row * (static_cast<double>(k) + 0.5);
    doc_.rect(x + 8, cy - 6, 22, 12, Style{"none", colour_and_text[k].first, 1, ""});
    doc_.text(x + 36, cy + 5, colour_and_text[k].second, text);
  }
}

void Chart::note(const std::string& text, int row) {
  TextStyle style;
  style.size = 15;
  style.fill = "#a00000";
  doc_.text(left_ + 8, top_ + height_ - 10 - 20 * row, text, style);
}

Axis range_of(const std::vector<double>& values, bool log) {
  Axis axis;
  axis.log = log;
  bool any = false;
  for (double v : values) {
    if (!std::isfinite(v) || (log && !(v > 0))) continue;
    if (!any) {
      axis.lo = v;
      axis.hi = v;
      any = true;
    }
    axis.lo = std::min(axis.lo, v);
    axis.hi = std::max(axis.hi, v);
  }
  if (!any) {
    axis.lo = log ? 1 : 0;
    axis.hi = log ? 1 : 0;
  }
  return axis;
}

const std::string& colour(std::size_t index) {
  static const std::vector<std::string> palette = {
      "#0060c0", "#d04000", "#00a060", "#c000a0", "#e0a000", "#40b0f0", "#804000", "#606060"};
  return palette[index % palette.size()];
}

}  // namespace lumaveil::svg
