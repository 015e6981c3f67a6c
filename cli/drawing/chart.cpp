#include "cli/drawing/chart.h"

#include <algorithm>
#include <cmath>

namespace lumaveil::cli::drawing {

using analysis::label;
using analysis::log_ticks;
using analysis::nice_ticks;
using analysis::Ticks;

namespace {

Ticks axis_ticks(const Axis& axis) {
  if (axis.log) return log_ticks(axis.lo, axis.hi);
  Ticks ticks = nice_ticks(axis.lo, axis.hi, axis.ticks);
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
  if (x_.log)
    return left_ + (std::log10(x) - std::log10(xt_.lo)) /
                       (std::log10(xt_.hi) - std::log10(xt_.lo)) * width_;
  return left_ + (x - xt_.lo) / (xt_.hi - xt_.lo) * width_;
}

double Chart::py(double y) const {
  double f = y_.log
                 ? (std::log10(y) - std::log10(yt_.lo)) / (std::log10(yt_.hi) - std::log10(yt_.lo))
                 : (y - yt_.lo) / (yt_.hi - yt_.lo);
  return top_ + height_ - f * height_;
}

bool Chart::inside(double x, double y) const {
  if (!std::isfinite(x) || !std::isfinite(y)) return false;
  if ((x_.log && !(x > 0)) || (y_.log && !(y > 0))) return false;
  double a = px(x);
  double b = py(y);
  return a >= left_ - 0.5 && a <= left_ + width_ + 0.5 && b >= top_ - 0.5 &&
         b <= top_ + height_ + 0.5;
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
  TextStyle text;
  text.size = 15;
  double x = left_;
  double y = legend_y();
  for (const auto& [colour, name] : colour_and_text) {
    const double entry = 60 + 8.5 * static_cast<double>(name.size());
    // An entry that would pass the plot's right edge starts a new row.
    if (x > left_ && x + entry - 30 > left_ + width_) {
      x = left_;
      y += kLegendRow;
      ++legend_rows_;
    }
    doc_.rect(x, y - 11, 22, 12, Style{"none", colour, 1, ""});
    doc_.text(x + 28, y, name, text);
    x += entry;
  }
  doc_.ensure_height(y + 12);
}

void Chart::note(const std::string& text, int row) {
  TextStyle style;
  style.size = 15;
  style.fill = "#a00000";
  doc_.text(left_, note_y(row), text, style);
  doc_.ensure_height(note_y(row) + 12);
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

}  // namespace lumaveil::cli::drawing
