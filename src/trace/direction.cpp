#include "trace/direction.h"

#include <cmath>

namespace lumaveil {

Vec3 unit_direction(double tu, double tv) {
  double s = 1 / std::sqrt(tu * tu + 1 + tv * tv);
  return {-tu * s, -tv * s, s};
}

Turn refraction_turn(const Vec3& n, const Vec3& d, double I, double r, double sI, double cI) {
  double sR = std::sin(r);
  double cR = std::cos(r);
  if (I > r) {
    // Into the denser medium: the chord runs from d toward kappa·n.
    double h = std::sqrt((cR - cI) * (cR - cI) + (sI - sR) * (sI - sR));
    double kappa = std::tan((I + r) / 2) * sR + cR;
    return {h, {kappa * n.x - d.x, kappa * n.y - d.y, kappa * n.z - d.z}};
  }
  // Into the rarer medium (or no change): the chord runs away from kappa·n.
  double h = std::sqrt((cI - cR) * (cI - cR) + (sR - sI) * (sR - sI));
  double kappa = std::tan((I + r) / 2) * sI + cI;
  return {h, {d.x - kappa * n.x, d.y - kappa * n.y, d.z - kappa * n.z}};
}

Turn reflection_turn(const Vec3& n, const Vec3& d, double sI, double cI) {
  double h = 2 * sI;
  double kappa = cI;
  return {h, {kappa * n.x - d.x, kappa * n.y - d.y, kappa * n.z - d.z}};
}

Vec3 turned_direction(const Vec3& d, const Turn& turn) {
  const Vec3& w = turn.w;
  double length = std::sqrt(w.x * w.x + w.y * w.y + w.z * w.z);
  if (length == 0) return d;
  return {d.x + (turn.h * w.x) / length, d.y + (turn.h * w.y) / length,
          d.z + (turn.h * w.z) / length};
}

}  // namespace lumaveil
