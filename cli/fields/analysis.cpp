#include "cli/fields/analysis.h"

#include <cmath>
#include <limits>
#include <memory>

namespace lumaveil::fields {
namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

// The wavelengths q with the shortest and the longest WL.
void extreme_wavelengths(const State& s, Analysis& a) {
  for (int q = 1; q <= s.NW; ++q) {
    if (s.WL[q] < s.WL[a.shortest]) a.shortest = q;
    if (s.WL[q] > s.WL[a.longest]) a.longest = q;
  }
}

double percent_from(double real, double paraxial) {
  if (paraxial == 0) return kNone;
  return (real - paraxial) / paraxial * 100;
}

}  // namespace

Analysis analyse_fields(const State& lens, int stop, const std::vector<double>& fields,
                        int fan_points, int reference) {
  Analysis a;
  a.kind = lens.IAP;
  std::vector<std::unique_ptr<RayAimer>> aimers;
  for (int q = 1; q <= lens.NW; ++q) aimers.push_back(std::make_unique<RayAimer>(lens, stop, q));
  if (aimers.empty()) {
    a.error = "the lens has no wavelength (NW = " + std::to_string(lens.NW) + ")";
    return a;
  }
  if (!aimers[0]->setup().ok()) {
    a.error = aimers[0]->setup().message;
    return a;
  }
  if (reference < 1 || reference > lens.NW) {
    a.error = "the reference wavelength must be one of 1.." + std::to_string(lens.NW) + ", not " +
              std::to_string(reference);
    return a;
  }
  a.reference = reference;
  const State& s = aimers[0]->lens();
  a.stop = aimers[0]->stop();
  extreme_wavelengths(s, a);
  for (int q = 1; q <= s.NW; ++q) {
    a.wavelengths.push_back(s.WL[q]);
    a.first_order.push_back(cli::first_order(s, q));
  }
  a.pupils = pupils(s, reference, stop, a.stop.radius);
  a.first_vertex_z = s.ZV[0];
  a.image_vertex_z = s.ZV[s.NUMB - 2];
  a.longitudinal_colour = a.first_order[a.shortest - 1].image - a.first_order[a.longest - 1].image;

  for (double field : fields) {
    FieldPoint f;
    f.field = field;
    f.reference = static_cast<std::size_t>(reference - 1);
    for (auto& aimer : aimers) {
      f.bundles.push_back(trace_bundle(*aimer, field, fan_points));
      const Bundle& b = f.bundles.back();
      f.paraxial_height.push_back(paraxial_image_height(s, b.q, stop, field));
      f.distortion.push_back(b.reaches_image ? percent_from(b.x, f.paraxial_height.back()) : kNone);
    }
    const Bundle& blue = f.bundles[a.shortest - 1];
    const Bundle& red = f.bundles[a.longest - 1];
    f.lateral_colour = blue.reaches_image && red.reaches_image ? blue.x - red.x : kNone;
    a.fields.push_back(std::move(f));
  }
  return a;
}

}  // namespace lumaveil::fields
