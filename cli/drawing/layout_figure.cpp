// Mode 1: the lens layout, its surfaces and the central and rim rays of every
// wavelength in one section (the numbers in analysis/lens_section).
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "cli/analysis/lens_section.h"
#include "cli/analysis/ticks.h"
#include "cli/drawing/chart.h"
#include "cli/drawing/figure_kinds.h"
#include "cli/drawing/figure_text.h"
#include "cli/drawing/palette.h"

namespace lumaveil::cli::drawing {

using analysis::LensSection;
using analysis::Point;
using report_input::ReportContents;

namespace {

// The drawing's size. Equal scales in z and height (1:1): a flat lens gets a
// short drawing, its height range widened to a readable band around the
// rays. Only a lens so long and thin that its rays would lie within a few
// pixels is drawn with heights stretched, and the figure says by how much.
struct Frame {
  Axis z, h;
  double width = 1000, height = 0, stretch = 1;
};

constexpr double kLeastHeight = 200;    // px of the plot area
constexpr double kLeastRayHeight = 48;  // px the rays' heights span at 1:1, else stretched
constexpr double kMostHeight = 620;

Frame frame_of(const LensSection& section) {
  Frame f;
  f.z = range_of(section.zs);
  f.h = range_of(section.hs);
  double zpad = std::max((f.z.hi - f.z.lo) * 0.04, 1e-3);
  double hpad = std::max((f.h.hi - f.h.lo) * 0.08, 1e-3);
  f.z.lo -= zpad;
  f.z.hi += zpad;
  f.h.lo -= hpad;
  f.h.hi += hpad;
  const double per_mm = f.width / (f.z.hi - f.z.lo);
  f.height = per_mm * (f.h.hi - f.h.lo);
  if (f.height < kLeastRayHeight) f.stretch = kLeastRayHeight / f.height;
  f.height *= f.stretch;
  if (f.height < kLeastHeight) {
    // Room above and below at the same scale.
    const double mid = (f.h.lo + f.h.hi) / 2;
    const double half = kLeastHeight / (per_mm * f.stretch) / 2;
    f.h.lo = mid - half;
    f.h.hi = mid + half;
    f.height = kLeastHeight;
  }
  if (f.height > kMostHeight) {
    f.width *= kMostHeight / f.height;
    f.height = kMostHeight;
  }
  f.z.exact = true;
  f.h.exact = true;
  f.z.label = "z (mm)";
  f.h.label = std::string(section.xz ? "x" : "y") + " (mm)";
  return f;
}

// A mirror: its surface as a heavy line and short strokes on its back, the
// side the light does not reach.
void draw_mirror(Document& doc, const std::vector<Point>& px, int back) {
  const Style surface{"#202020", "none", 3, ""};
  const Style hatch{"#202020", "none", 1.25, ""};
  doc.polyline(px, surface);
  const double spacing = 9, length = 9;
  double travelled = spacing / 2;
  for (std::size_t j = 1; j < px.size(); ++j) {
    const double dx = px[j].x - px[j - 1].x, dy = px[j].y - px[j - 1].y;
    const double step = std::hypot(dx, dy);
    for (; travelled <= step; travelled += spacing) {
      const double x = px[j - 1].x + dx * travelled / step;
      const double y = px[j - 1].y + dy * travelled / step;
      doc.line(x, y, x + back * length, y + length, hatch);
    }
    travelled -= step;
  }
}

void draw_outline(Document& doc, const Chart& chart, const analysis::SurfaceOutline& o) {
  if (o.points.empty()) return;
  std::vector<Point> px;
  for (const Point& p : o.points) px.push_back({chart.px(p.x), chart.py(p.y)});
  if (o.type == 1) {
    // An ideal element: a line with arrowheads at both ends.
    const Style style{"#303030", "none", 2.5, ""};
    Point top = px.front();
    Point bottom = px.back();
    doc.line(top.x, top.y, bottom.x, bottom.y, style);
    double dir = top.y < bottom.y ? 1 : -1;
    doc.polyline({{top.x - 8, top.y + 12 * dir}, top, {top.x + 8, top.y + 12 * dir}}, style);
    doc.polyline({{bottom.x - 8, bottom.y - 12 * dir}, bottom, {bottom.x + 8, bottom.y - 12 * dir}},
                 style);
    return;
  }
  if (o.mirror)
    draw_mirror(doc, px, o.back);
  else
    doc.polyline(px, Style{"#202020", "none", 2.5, ""});
}

}  // namespace

Figure layout_figure(const ReportContents& r, const inputs::LensView* lens,
                     std::vector<std::string>& notes) {
  const LensSection section = analysis::lens_section(r, lens);
  if (lens != nullptr && !section.with_lens)
    notes.push_back("IN_FM.txt has fewer surfaces than the report: surfaces not drawn");
  const Frame f = frame_of(section);
  Document doc(f.width + 160, f.height + 170);
  Chart chart(doc, 110, 60, f.width, f.height, f.z, f.h);
  std::string title = std::string("lens layout, ") + (section.xz ? "x" : "y") + "-z section";
  title += f.stretch > 1.01 ? ", heights ×" + analysis::label(f.stretch, 2) : ", 1:1";
  chart.draw_axes(title);
  // The axis.
  doc.line(chart.px(f.z.lo), chart.py(0), chart.px(f.z.hi), chart.py(0),
           Style{"#888888", "none", 1, "8 4 2 4"});
  // The glass of each element, lightly filled, under its surfaces and rays.
  for (const auto& element : section.elements) {
    std::vector<Point> px;
    for (const Point& p : element) px.push_back({chart.px(p.x), chart.py(p.y)});
    doc.polyline(px, Style{"#202020", "#dbe8f4", 1.5, ""});
  }
  for (const auto& o : section.outlines) draw_outline(doc, chart, o);
  // The wavelengths' rays nearly coincide: each earlier wavelength is drawn
  // wider, under the later ones, so that every colour shows as a band.
  const double blocks = static_cast<double>(r.trajectories.size());
  for (const auto& path : section.paths)
    chart.curve(path.points, colour(path.block),
                1.5 + 2 * (blocks - 1 - static_cast<double>(path.block)));
  // The wavelengths in a row under the drawing, clear of the rays.
  std::vector<std::pair<std::string, std::string>> key;
  for (std::size_t b = 0; b < r.trajectories.size(); ++b)
    key.push_back({colour(b), wavelength_name(lens, r.trajectories[b].wavelength)});
  chart.legend(key);
  int row = 0;
  if (f.stretch > 1.01)
    chart.note("heights drawn " + analysis::label(f.stretch, 2) +
                   " times the scale of z: the lens is long and thin",
               row++);
  if (section.missed > 0)
    chart.note(count_note(section.missed, section.rays, "rays missed a surface (drawn up to it)"),
               row++);
  if (!section.with_lens) chart.note("surfaces not drawn: no IN_FM.txt", row++);
  return {"layout.svg", "Lens layout with the central and rim rays of every wavelength", doc.str(),
          true};
}

}  // namespace lumaveil::cli::drawing
