#include "plot.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace lumaveil::plot {

using cli::inputs::LensView;
using report::Report;
using svg::Axis;
using svg::Chart;
using svg::Document;
using svg::Point;

namespace {

bool finite(const Point& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

int count_finite(const std::vector<Point>& points) {
  return static_cast<int>(std::count_if(points.begin(), points.end(), finite));
}

std::string count_note(int left_out, int total, const char* what) {
  return std::to_string(left_out) + " of " + std::to_string(total) + " " + what;
}

// Wavelength q (from 1) as its value in nm when the lens file gives it.
std::string wavelength_name(const LensView* lens, int q) {
  if (lens != nullptr && q >= 1 && q <= static_cast<int>(lens->wavelengths.size()))
    return svg::label(lens->wavelengths[static_cast<std::size_t>(q - 1)], 6) + " nm";
  return "wavelength " + std::to_string(q);
}

// A nice length near `target`: 1, 2 or 5 times a power of ten.
double nice_length(double target) {
  double power = std::pow(10.0, std::floor(std::log10(target)));
  double f = target / power;
  return (f < 2 ? 1 : f < 5 ? 2 : 5) * power;
}

}  // namespace

SpotStats spot_stats(const std::vector<Point>& points) {
  SpotStats s;
  s.total = static_cast<int>(points.size());
  for (const Point& p : points) {
    if (!finite(p)) continue;
    s.cx += p.x;
    s.cy += p.y;
    ++s.used;
  }
  if (s.used == 0) return s;
  s.cx /= s.used;
  s.cy /= s.used;
  double sum = 0;
  for (const Point& p : points) {
    if (!finite(p)) continue;
    double r2 = (p.x - s.cx) * (p.x - s.cx) + (p.y - s.cy) * (p.y - s.cy);
    sum += r2;
    s.geometric = std::max(s.geometric, std::sqrt(r2));
  }
  s.rms = std::sqrt(sum / s.used);
  return s;
}

double polynomial(const std::array<double, 7>& c, double t) {
  double value = 0;
  for (int p = 6; p >= 0; --p) value = value * t + c[static_cast<std::size_t>(p)];
  return value;
}

std::vector<Point> fit_curve(const std::array<double, 7>& c, int samples) {
  std::vector<Point> curve;
  samples = std::max(samples, 2);
  for (int k = 0; k < samples; ++k) {
    double t = -1 + 2.0 * k / (samples - 1);
    curve.push_back({t, polynomial(c, t)});
  }
  return curve;
}

std::string length_text(double mm) {
  double magnitude = std::fabs(mm);
  if (magnitude != 0 && magnitude < 1) return svg::label(mm * 1000, 4) + " µm";
  return svg::label(mm, 4) + " mm";
}

namespace {

// ---- Mode 1: spot diagrams ------------------------------------------------

struct SpotSeries {
  std::string colour, name;
  std::vector<Point> points;
};

// Heights at surface NUMB-1; for an angle aperture whose heights do not
// vary, the angles instead.
bool use_angles(const Report& r) {
  bool heights_vary = false;
  bool angles_vary = false;
  for (const auto& block : r.trajectories) {
    std::vector<Point> xy, uv;
    for (const auto& s : block.spots) {
      xy.push_back({s.x, s.y});
      uv.push_back({s.u, s.v});
    }
    heights_vary = heights_vary || spot_stats(xy).geometric > 0;
    angles_vary = angles_vary || spot_stats(uv).geometric > 0;
  }
  return !heights_vary && angles_vary;
}

std::string angle_text(double rad) {
  double magnitude = std::fabs(rad);
  if (magnitude != 0 && magnitude < 1e-3) return svg::label(rad * 1e6, 4) + " µrad";
  if (magnitude != 0 && magnitude < 1) return svg::label(rad * 1e3, 4) + " mrad";
  return svg::label(rad, 4) + " rad";
}

std::string spot_svg(const std::string& title, const std::vector<SpotSeries>& series, bool angles) {
  Document doc(980, 700);
  // Equal scales: one half-width about the centre of all points.
  std::vector<Point> all;
  for (const auto& s : series) all.insert(all.end(), s.points.begin(), s.points.end());
  SpotStats whole = spot_stats(all);
  double half = whole.geometric * 1.15;
  if (!(half > 0)) half = std::max(std::fabs(whole.cx), std::fabs(whole.cy)) * 1e-3;
  if (!(half > 0)) half = 1e-3;
  const char* unit = angles ? "rad" : "mm";
  Axis x{whole.cx - half, whole.cx + half, std::string(angles ? "U" : "X") + " (" + unit + ")", false, true};
  Axis y{whole.cy - half, whole.cy + half, std::string(angles ? "V" : "Y") + " (" + unit + ")", false, true};
  Chart chart(doc, 120, 60, 540, 540, x, y);
  chart.draw_axes(title);

  svg::TextStyle text;
  text.size = 16;
  double line_y = 90;
  std::vector<std::pair<std::string, std::string>> legend;
  int missed_rows = 0;
  for (const auto& s : series) {
    SpotStats st = spot_stats(s.points);
    chart.markers(s.points, s.colour, series.size() > 1 ? 3 : 4);
    double scale = chart.px(1) - chart.px(0);
    const svg::Style rms{s.colour, "none", 2, "6 4"};
    const svg::Style geo{s.colour, "none", 1.5, ""};
    if (st.used > 0) {
      double cx = chart.px(st.cx);
      double cy = chart.py(st.cy);
      doc.circle(cx, cy, st.rms * scale, rms);
      doc.circle(cx, cy, st.geometric * scale, geo);
      // The centroid as a cross.
      const svg::Style mark{"#000000", "none", 2, ""};
      doc.line(cx - 9, cy, cx + 9, cy, mark);
      doc.line(cx, cy - 9, cx, cy + 9, mark);
    }
    legend.push_back({s.colour, s.name});
    auto fmt = angles ? angle_text : length_text;
    text.fill = s.colour;
    text.bold = true;
    doc.text(700, line_y, s.name, text);
    text.fill = "#000000";
    text.bold = false;
    doc.text(700, line_y + 22, "RMS radius " + fmt(st.rms), text);
    doc.text(700, line_y + 44, "geometric radius " + fmt(st.geometric), text);
    // Rounding noise far below the spot size reads as 0.
    double tiny = st.geometric * 1e-9;
    double cx = std::fabs(st.cx) < tiny ? 0 : st.cx;
    double cy = std::fabs(st.cy) < tiny ? 0 : st.cy;
    doc.text(700, line_y + 66, "centroid " + fmt(cx) + ",", text);
    doc.text(716, line_y + 88, fmt(cy), text);
    doc.text(700, line_y + 110, std::to_string(st.used) + " rays", text);
    line_y += 146;
    if (st.used < st.total) {
      chart.note(count_note(st.total - st.used, st.total, "rays missed") + " (" + s.name + ")",
                 missed_rows++);
    }
  }
  chart.legend(legend);
  text.size = 14;
  doc.text(700, 620, "+ centroid", text);
  doc.text(700, 640, "dashed circle: RMS radius", text);
  doc.text(700, 660, "solid circle: geometric radius", text);

  // Scale bar under the plot.
  double bar = nice_length(2 * half / 4);
  double bar_px = chart.px(bar) - chart.px(0);
  const svg::Style bar_style{"#000000", "none", 3, ""};
  double bx = 120;
  double by = 672;
  doc.line(bx, by, bx + bar_px, by, bar_style);
  doc.line(bx, by - 7, bx, by + 7, bar_style);
  doc.line(bx + bar_px, by - 7, bx + bar_px, by + 7, bar_style);
  text.size = 15;
  doc.text(bx + bar_px + 12, by + 5, angles ? angle_text(bar) : length_text(bar), text);
  return doc.str();
}

void spot_figures(const Report& r, const LensView* lens, std::vector<Figure>& out) {
  bool angles = use_angles(r);
  std::vector<SpotSeries> all;
  for (std::size_t b = 0; b < r.trajectories.size(); ++b) {
    const auto& block = r.trajectories[b];
    SpotSeries s{svg::colour(b), wavelength_name(lens, block.wavelength), {}};
    for (const auto& row : block.spots) s.points.push_back(angles ? Point{row.u, row.v} : Point{row.x, row.y});
    std::string q = std::to_string(block.wavelength);
    std::string what = angles ? "angle spot diagram" : "spot diagram";
    out.push_back({"spot-wavelength-" + q + ".svg", "The " + what + " at surface NUMB-1, " + s.name,
                   spot_svg(what + ", " + s.name, {s}, angles)});
    all.push_back(std::move(s));
  }
  if (all.size() > 1)
    out.push_back({"spot-all-wavelengths.svg", "The spot diagrams of all wavelengths overlaid",
                   spot_svg(std::string(angles ? "angle spot diagram" : "spot diagram") + ", all wavelengths",
                            all, angles)});
}

// ---- Mode 1: lens layout ---------------------------------------------------

// The unfolded frame of the trace turned back into the room: behind each
// mirror z runs the other way. Physical z = a + s * z_unfolded.
struct Fold {
  double a = 0, s = 1;
  double operator()(double z) const { return a + s * z; }
};

std::vector<Fold> folds(const LensView* lens, int surfaces) {
  std::vector<Fold> f(static_cast<std::size_t>(std::max(surfaces, 1)));
  for (int k = 1; k < surfaces; ++k) {
    Fold fold = f[static_cast<std::size_t>(k - 1)];
    if (lens != nullptr && lens->mirror(k)) {
      fold.a += 2 * fold.s * lens->vertex(k);
      fold.s = -fold.s;
    }
    f[static_cast<std::size_t>(k)] = fold;
  }
  return f;
}

double sag(double c, double h) {
  double q = 1 - c * c * h * h;
  if (q < 0) return NAN;
  return c * h * h / (1 + std::sqrt(q));
}

std::string layout_svg(const Report& r, const LensView* lens, std::vector<std::string>& notes) {
  int numb = r.trajectories.empty() ? 0 : static_cast<int>(r.trajectories[0].tables[0].size());
  // The y-z section unless the rays lie in the x-z plane.
  double xs = 0, ys = 0;
  for (const auto& block : r.trajectories)
    for (const auto& table : block.tables)
      for (const auto& row : table) {
        if (std::isfinite(row.x) && std::isfinite(table[0].x)) xs = std::max(xs, std::fabs(row.x - table[0].x));
        if (std::isfinite(row.y) && std::isfinite(table[0].y)) ys = std::max(ys, std::fabs(row.y - table[0].y));
      }
  bool xz = ys == 0 && xs > 0;
  const char* h_name = xz ? "x" : "y";

  bool with_lens = lens != nullptr && static_cast<int>(lens->surfaces.size()) > numb - 1;
  if (lens != nullptr && !with_lens) notes.push_back("IN_FM.txt has fewer surfaces than the report: surfaces not drawn");
  std::vector<Fold> fold = folds(with_lens ? lens : nullptr, numb);

  // Ray paths and the heights each surface needs.
  struct Path {
    std::string colour;
    std::vector<Point> points;
  };
  std::vector<Path> paths;
  std::vector<double> reach(static_cast<std::size_t>(std::max(numb, 1)), 0);
  double overall = 0;
  std::vector<double> zs, hs;
  int missed = 0, rays = 0;
  for (std::size_t b = 0; b < r.trajectories.size(); ++b) {
    for (const auto& table : r.trajectories[b].tables) {
      Path path{svg::colour(b), {}};
      bool lost = false;
      for (const auto& row : table) {
        double h = xz ? row.x : row.y;
        std::size_t k = static_cast<std::size_t>(row.i);
        Point p{k < fold.size() ? fold[k](row.z) : row.z, h};
        path.points.push_back(p);
        if (!finite(p)) {
          lost = true;
          continue;
        }
        zs.push_back(p.x);
        hs.push_back(p.y);
        if (k < reach.size()) reach[k] = std::max(reach[k], std::fabs(h));
        overall = std::max(overall, std::fabs(h));
      }
      ++rays;
      if (lost) ++missed;
      paths.push_back(std::move(path));
    }
  }
  if (!(overall > 0)) overall = 1;

  // Surface outlines in the section.
  struct Outline {
    std::vector<Point> points;
    int type = 0;
    bool mirror = false;
  };
  std::vector<Outline> outlines;
  if (with_lens) {
    for (int k = 1; k < numb; ++k) {
      const auto& s = lens->surfaces[static_cast<std::size_t>(k)];
      double half = std::max(reach[static_cast<std::size_t>(k)] * 1.15, overall * 0.08);
      double zv = lens->vertex(k);
      Outline o;
      o.type = s.type;
      // The image plane folds like any surface with a negative index after
      // it, but is drawn as the image plane, not as a mirror.
      o.mirror = lens->mirror(k) && k != numb - 1;
      double shift = xz ? s.sx : s.sy;
      for (int j = 0; j <= 60; ++j) {
        double h = -half + 2 * half * j / 60;
        double z = zv;
        if (s.type == 2) {
          z = zv + shift * h;
        } else if (s.type != 1) {
          double d = sag(s.c, h - shift);
          z = lens->mirror(k) ? zv - d : zv + d;
        }
        if (!std::isfinite(z)) continue;
        Point p{fold[static_cast<std::size_t>(k)](z), h};
        o.points.push_back(p);
        zs.push_back(p.x);
        hs.push_back(p.y);
      }
      outlines.push_back(std::move(o));
    }
  }

  Axis za = svg::range_of(zs);
  Axis ha = svg::range_of(hs);
  double zpad = std::max((za.hi - za.lo) * 0.04, 1e-3);
  double hpad = std::max((ha.hi - ha.lo) * 0.08, 1e-3);
  za.lo -= zpad;
  za.hi += zpad;
  ha.lo -= hpad;
  ha.hi += hpad;
  // Equal scales where the drawing's shape allows; heights stretched when
  // the lens is long and thin.
  double width = 1000;
  double height = width * (ha.hi - ha.lo) / (za.hi - za.lo);
  double stretch = 1;
  if (height < 220) {
    stretch = 220 / height;
    height = 220;
  }
  if (height > 620) {
    double extra = height / 620;
    width /= extra;
    height = 620;
  }
  za.exact = true;
  ha.exact = true;
  za.label = "z (mm)";
  ha.label = std::string(h_name) + " (mm)";
  Document doc(width + 160, height + 170);
  Chart chart(doc, 110, 60, width, height, za, ha);
  std::string title = std::string("lens layout, ") + h_name + "-z section";
  if (stretch > 1.01) title += ", heights ×" + svg::label(stretch, 2);
  chart.draw_axes(title);
  // The axis.
  doc.line(chart.px(za.lo), chart.py(0), chart.px(za.hi), chart.py(0), svg::Style{"#888888", "none", 1, "8 4 2 4"});
  for (const auto& o : outlines) {
    if (o.points.empty()) continue;
    std::vector<Point> px;
    for (const Point& p : o.points) px.push_back({chart.px(p.x), chart.py(p.y)});
    if (o.type == 1) {
      // An ideal element: a line with arrowheads at both ends.
      const svg::Style style{"#303030", "none", 2.5, ""};
      Point top = px.front();
      Point bottom = px.back();
      doc.line(top.x, top.y, bottom.x, bottom.y, style);
      double dir = top.y < bottom.y ? 1 : -1;
      doc.polyline({{top.x - 8, top.y + 12 * dir}, top, {top.x + 8, top.y + 12 * dir}}, style);
      doc.polyline({{bottom.x - 8, bottom.y - 12 * dir}, bottom, {bottom.x + 8, bottom.y - 12 * dir}}, style);
      continue;
    }
    doc.polyline(px, svg::Style{o.mirror ? "#6a3d9a" : "#202020", "none", o.mirror ? 4 : 2.5, ""});
  }
  for (const auto& path : paths) chart.curve(path.points, path.colour, 1.5);
  // The wavelengths in a row under the drawing, clear of the rays.
  svg::TextStyle key;
  key.size = 15;
  double kx = 110;
  for (std::size_t b = 0; b < r.trajectories.size(); ++b) {
    std::string name = wavelength_name(lens, r.trajectories[b].wavelength);
    doc.rect(kx, height + 142, 22, 12, svg::Style{"none", svg::colour(b), 1, ""});
    doc.text(kx + 28, height + 153, name, key);
    kx += 60 + 8.5 * static_cast<double>(name.size());
  }
  if (missed > 0) chart.note(count_note(missed, rays, "rays missed a surface (drawn up to it)"));
  if (!with_lens) chart.note("surfaces not drawn: no IN_FM.txt", missed > 0 ? 1 : 0);
  return doc.str();
}

// ---- Mode 4: aberration and ray intercept ----------------------------------

std::vector<Point> scan_points(const report::Scan& scan, bool heights) {
  std::vector<Point> points;
  for (std::size_t r = 0; r < scan.rows.size(); ++r)
    points.push_back({scan.t(r), heights ? scan.rows[r].height : scan.rows[r].ab});
  return points;
}

std::string scan_svg(const std::string& title, const report::AberrationBlock& block, bool heights) {
  Document doc(900, 650);
  std::vector<Point> u = scan_points(block.u_scan, heights);
  std::vector<Point> v = scan_points(block.v_scan, heights);
  std::vector<double> values;
  for (const auto* set : {&u, &v})
    for (const Point& p : *set) values.push_back(p.y);
  std::vector<Point> fu, fv;
  bool fitted = !heights;
  if (fitted) {
    fu = fit_curve(block.u_scan.fit, 201);
    fv = fit_curve(block.v_scan.fit, 201);
    // The fits count in the range only where they are meaningful.
    for (const auto* set : {&fu, &fv})
      if (count_finite(*set) == static_cast<int>(set->size()))
        for (const Point& p : *set) values.push_back(p.y);
  }
  Axis x{-1, 1, "normalised pupil coordinate t = l / M", false, false};
  Axis y = svg::range_of(values);
  y.label = heights ? "height at surface NUMB-1 (mm)" : "AB (wavelengths)";
  Chart chart(doc, 130, 60, 720, 460, x, y);
  chart.draw_axes(title);
  std::vector<std::pair<std::string, std::string>> legend;
  if (fitted) {
    chart.curve(fu, svg::colour(0), 2);
    chart.curve(fv, svg::colour(1), 2, "8 5");
  } else {
    chart.curve(u, svg::colour(0), 2);
    chart.curve(v, svg::colour(1), 2, "8 5");
  }
  // V first and larger, so that on the axis of a centred lens, where both
  // scans agree, the U markers still show inside the V ones.
  chart.markers(v, svg::colour(1), 6);
  chart.markers(u, svg::colour(0), 3.5);
  legend.push_back({svg::colour(0), heights ? "X, U scan" : "U scan (x section)"});
  legend.push_back({svg::colour(1), heights ? "Y, V scan" : "V scan (y section)"});
  // The key under the plot, clear of the data.
  svg::TextStyle key;
  key.size = 15;
  double kx = 130;
  for (const auto& [colour, name] : legend) {
    doc.rect(kx, 613, 22, 12, svg::Style{"none", colour, 1, ""});
    doc.text(kx + 28, 624, name, key);
    kx += 60 + 8.5 * static_cast<double>(name.size());
  }
  int row = 0;
  int total = static_cast<int>(u.size() + v.size());
  int left_out = total - count_finite(u) - count_finite(v);
  if (left_out > 0) chart.note(count_note(left_out, total, "scan rays not finite, left out"), row++);
  if (fitted && (count_finite(fu) < static_cast<int>(fu.size()) || count_finite(fv) < static_cast<int>(fv.size())))
    chart.note("a fit is not finite (fewer than 7 scan points?): not drawn", row++);
  if (fitted) {
    svg::TextStyle t;
    t.size = 14;
    doc.text(130, 592, "markers: scan rays; lines: fitted degree-6 polynomials (solid U, dashed V)", t);
  }
  return doc.str();
}

void aberration_figures(const Report& r, std::vector<Figure>& out) {
  for (std::size_t b = 0; b < r.aberrations.size(); ++b) {
    const auto& block = r.aberrations[b];
    std::string q = std::to_string(b + 1);
    std::string nm = svg::label(block.wavelength_nm, 6) + " nm";
    out.push_back({"aberration-wavelength-" + q + ".svg",
                   "Wavefront aberration AB against the pupil coordinate, with the fitted polynomials, " + nm,
                   scan_svg("wavefront aberration, " + nm, block, false)});
    out.push_back({"ray-intercept-wavelength-" + q + ".svg",
                   "Ray intercept at surface NUMB-1 against the pupil coordinate, " + nm,
                   scan_svg("ray intercept, " + nm, block, true)});
  }
}

// ---- Modes 2, 3, 5, 6: iteration histories ---------------------------------

struct Series {
  std::string name;
  std::vector<double> values;
};

std::string history_svg(const std::string& title, const std::string& y_label, const Report& r,
                        const std::vector<Series>& series, bool log) {
  const auto& rows = r.optimisation.rows;
  Document doc(900, 600);
  std::vector<double> ns, all;
  for (const auto& row : rows) ns.push_back(row.n);
  for (const auto& s : series) all.insert(all.end(), s.values.begin(), s.values.end());
  Axis x = svg::range_of(ns);
  x.label = r.mode == 5 || r.mode == 6 ? "outer pass" : "iteration";
  x.whole = true;
  Axis y = svg::range_of(all, log);
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
    chart.curve(points, svg::colour(k), 2);
    chart.markers(points, svg::colour(k), 4);
    legend.push_back({svg::colour(k), series[k].name});
  }
  if (series.size() > 1 || !series.empty()) chart.legend(legend);
  int row = 0;
  if (shown < total)
    chart.note(count_note(total - shown, total, log ? "values not finite or not positive, left out" : "values not finite, left out"), row++);
  if (rows.empty()) chart.note("no rows in the report", row++);
  if (!r.optimisation.error.empty()) chart.note(r.optimisation.error, row++);
  return doc.str();
}

void history_figures(const Report& r, const Options& options, std::vector<Figure>& out) {
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
      Series s{opt.distance_names[d] + " after the pass", {}};
      for (const auto& row : opt.rows) s.values.push_back(row.distances[d]);
      distances.push_back(std::move(s));
    }
    out.push_back({"distances.svg", "The searched distance(s) after each outer pass",
                   history_svg("searched distances", "distance (mm)", r, distances, false)});
  }
  for (std::size_t v = 0; v < opt.variable_names.size(); ++v) {
    Series s{opt.variable_names[v], {}};
    for (const auto& row : opt.rows) s.values.push_back(row.variables[v]);
    bool curvature = r.mode != 3;
    std::string name = opt.variable_names[v];
    std::string file = std::string(curvature ? "curvature-" : "distance-") + std::to_string(v) + ".svg";
    out.push_back({file, "Variable " + name + " per " + step,
                   history_svg("variable " + name, curvature ? name + " (1/mm)" : name + " (mm)", r, {s}, false)});
  }
}

std::string html_escape(const std::string& s) { return svg::escape(s); }

}  // namespace

std::vector<Figure> figures(const Report& r, const LensView* lens, const Options& options,
                            std::vector<std::string>* notes) {
  std::vector<Figure> out;
  std::vector<std::string> ignored;
  switch (r.mode) {
    case 1:
      spot_figures(r, lens, out);
      out.push_back({"layout.svg", "Lens layout with the central and rim rays of every wavelength",
                     layout_svg(r, lens, notes != nullptr ? *notes : ignored)});
      break;
    case 4:
      aberration_figures(r, out);
      break;
    case 2:
    case 3:
    case 5:
    case 6:
      history_figures(r, options, out);
      break;
    default:
      break;
  }
  return out;
}

std::string index_html(const Report& r, const LensView* lens, const std::vector<Figure>& figures,
                       const std::string& date, const std::vector<std::string>& notes) {
  std::string title = lens != nullptr && !lens->title.empty() ? lens->title : "Lumaveil report";
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n<title>" +
      html_escape(title) +
      "</title>\n<style>\n"
      "body { font-family: DejaVu Sans, Liberation Sans, Arial, sans-serif; margin: 24px; color: #111; }\n"
      "h1 { font-size: 26px; margin-bottom: 4px; }\n"
      "p.meta { font-size: 16px; color: #333; margin-top: 0; }\n"
      "p.note { color: #a00000; }\n"
      "figure { display: inline-block; margin: 12px; vertical-align: top; }\n"
      "figure img { border: 1px solid #ccc; max-width: 100%; }\n"
      "figcaption { font-size: 15px; max-width: 900px; }\n"
      "</style>\n</head>\n<body>\n<h1>" +
      html_escape(title) + "</h1>\n<p class=\"meta\">" + html_escape(report::mode_title(r.mode)) +
      " &#8212; report of " + html_escape(date) + " &#8212; first line: <span lang=\"ja\">" +
      html_escape(r.heading) + "</span></p>\n";
  for (const auto& note : notes) html += "<p class=\"note\">" + html_escape(note) + "</p>\n";
  for (const auto& f : figures)
    html += "<figure><img src=\"" + html_escape(f.file) + "\" alt=\"" + html_escape(f.caption) +
            "\"/><figcaption>" + html_escape(f.caption) + "</figcaption></figure>\n";
  html += "</body>\n</html>\n";
  return html;
}

}  // namespace lumaveil::plot
