#include "cli/analysis/lens_section.h"

#include <algorithm>
#include <cmath>

namespace lumaveil::cli::analysis {

using inputs::LensView;
using report_input::ReportContents;

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

namespace {

// The y-z section unless the rays lie in the x-z plane.
bool rays_in_xz(const ReportContents& r) {
  double xs = 0, ys = 0;
  for (const auto& block : r.trajectories)
    for (const auto& table : block.tables)
      for (const auto& row : table) {
        if (std::isfinite(row.x) && std::isfinite(table[0].x))
          xs = std::max(xs, std::fabs(row.x - table[0].x));
        if (std::isfinite(row.y) && std::isfinite(table[0].y))
          ys = std::max(ys, std::fabs(row.y - table[0].y));
      }
  return ys == 0 && xs > 0;
}

// The rays folded into the room, and the height each surface must reach.
void trace_paths(const ReportContents& r, const std::vector<Fold>& fold, LensSection& section,
                 std::vector<double>& reach, double& overall) {
  for (std::size_t b = 0; b < r.trajectories.size(); ++b) {
    for (const auto& table : r.trajectories[b].tables) {
      RayPath path{b, {}};
      bool lost = false;
      for (const auto& row : table) {
        double h = section.xz ? row.x : row.y;
        std::size_t k = static_cast<std::size_t>(row.i);
        Point p{k < fold.size() ? fold[k](row.z) : row.z, h};
        path.points.push_back(p);
        if (!finite(p)) {
          lost = true;
          continue;
        }
        section.zs.push_back(p.x);
        section.hs.push_back(p.y);
        if (k < reach.size()) reach[k] = std::max(reach[k], std::fabs(h));
        overall = std::max(overall, std::fabs(h));
      }
      ++section.rays;
      if (lost) ++section.missed;
      section.paths.push_back(std::move(path));
    }
  }
}

// Surface k across the heights it must reach, in the room's frame.
SurfaceOutline outline(const LensView& lens, int k, int numb, double half, bool xz,
                       const Fold& fold, const Fold& before) {
  const auto& s = lens.surfaces[static_cast<std::size_t>(k)];
  const double zv = lens.vertex(k);
  SurfaceOutline o;
  o.type = s.type;
  // The image plane folds like any surface with a negative index after it,
  // but is drawn as the image plane, not as a mirror.
  o.mirror = lens.mirror(k) && k != numb - 1;
  o.back = before.s < 0 ? -1 : 1;
  const double shift = xz ? s.sx : s.sy;
  for (int j = 0; j <= 60; ++j) {
    double h = -half + 2 * half * j / 60;
    double z = zv;
    if (s.type == 2) {
      z = zv + shift * h;
    } else if (s.type != 1) {
      double d = sag(s.c, h - shift);
      z = lens.mirror(k) ? zv - d : zv + d;
    }
    if (!std::isfinite(z)) continue;
    o.points.push_back({fold(z), h});
  }
  return o;
}

// Glass follows surface k up to surface k+1: both refract (neither an ideal
// element, a tilted plane nor a mirror) and the index between them is above 1.
// The image surface ends no element.
bool glass_after(const LensView& lens, int k, int numb) {
  if (k < 1 || k + 1 >= numb - 1) return false;
  const auto& front = lens.surfaces[static_cast<std::size_t>(k)];
  const auto& rear = lens.surfaces[static_cast<std::size_t>(k + 1)];
  auto refracts = [&](int j, const inputs::SurfaceView& s) {
    return s.type != 1 && s.type != 2 && !lens.mirror(j);
  };
  return refracts(k, front) && refracts(k + 1, rear) && front.index_after > 1;
}

// The semi-diameter of each surface: what the rays use, with a margin; the
// surfaces of one element (or of cemented elements) share the largest, so
// that the edge of an element joins its surfaces at one height.
std::vector<double> semi_diameters(const LensView& lens, int numb, const std::vector<double>& reach,
                                   double overall) {
  std::vector<double> half(reach.size(), 0);
  for (int k = 1; k < numb; ++k)
    half[static_cast<std::size_t>(k)] =
        std::max(reach[static_cast<std::size_t>(k)] * 1.15, overall * 0.08);
  for (int k = 1; k < numb; ++k) {
    if (!glass_after(lens, k, numb) || glass_after(lens, k - 1, numb)) continue;
    int last = k + 1;
    while (glass_after(lens, last, numb)) ++last;
    double widest = 0;
    for (int j = k; j <= last; ++j) widest = std::max(widest, half[static_cast<std::size_t>(j)]);
    for (int j = k; j <= last; ++j) half[static_cast<std::size_t>(j)] = widest;
  }
  return half;
}

// The closed outline of the glass from surface k to k+1.
std::vector<Point> element_outline(const SurfaceOutline& front, const SurfaceOutline& rear) {
  std::vector<Point> closed(front.points.begin(), front.points.end());
  closed.insert(closed.end(), rear.points.rbegin(), rear.points.rend());
  if (!closed.empty()) closed.push_back(closed.front());
  return closed;
}

}  // namespace

LensSection lens_section(const ReportContents& r, const LensView* lens) {
  LensSection section;
  const int numb =
      r.trajectories.empty() ? 0 : static_cast<int>(r.trajectories[0].tables[0].size());
  section.xz = rays_in_xz(r);
  section.with_lens = lens != nullptr && static_cast<int>(lens->surfaces.size()) > numb - 1;
  const std::vector<Fold> fold = folds(section.with_lens ? lens : nullptr, numb);
  std::vector<double> reach(static_cast<std::size_t>(std::max(numb, 1)), 0);
  double overall = 0;
  trace_paths(r, fold, section, reach, overall);
  if (!(overall > 0)) overall = 1;
  if (!section.with_lens) return section;
  const std::vector<double> half = semi_diameters(*lens, numb, reach, overall);
  for (int k = 1; k < numb; ++k) {
    SurfaceOutline o =
        outline(*lens, k, numb, half[static_cast<std::size_t>(k)], section.xz,
                fold[static_cast<std::size_t>(k)], fold[static_cast<std::size_t>(k - 1)]);
    for (const Point& p : o.points) {
      section.zs.push_back(p.x);
      section.hs.push_back(p.y);
    }
    section.outlines.push_back(std::move(o));
  }
  // outlines[j] is surface j + 1.
  for (int k = 1; k + 1 < numb; ++k)
    if (glass_after(*lens, k, numb))
      section.elements.push_back(element_outline(section.outlines[static_cast<std::size_t>(k - 1)],
                                                 section.outlines[static_cast<std::size_t>(k)]));
  return section;
}

}  // namespace lumaveil::cli::analysis
