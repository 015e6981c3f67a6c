#include <string>
#include <vector>

#include "cli/diagnosis/findings.h"

namespace lumaveil::cli::diagnosis {

namespace {

const char* failure_text(RayFailure failure) {
  switch (failure) {
    case RayFailure::kMisses:
      return "miss";
    case RayFailure::kTotallyReflected:
      return "are totally reflected at";
    default:
      return "fall beyond the reach (|height| > f) of";
  }
}

}  // namespace

std::vector<Finding> ray_findings(const std::vector<RayCheck>& failures) {
  std::vector<Finding> found;
  for (std::size_t i = 0; i < failures.size(); ++i) {
    const RayCheck& first = failures[i];
    bool seen = false;
    for (std::size_t j = 0; j < i; ++j)
      seen = seen || (failures[j].q == first.q && failures[j].surface == first.surface &&
                      failures[j].failure == first.failure);
    if (seen) continue;
    std::string rays;
    for (std::size_t j = i; j < failures.size(); ++j) {
      const RayCheck& r = failures[j];
      if (r.q != first.q || r.surface != first.surface || r.failure != first.failure) continue;
      rays += (rays.empty() ? "" : ", ") + r.ray;
    }
    found.push_back({kLensFile, 17 + first.surface, 2,
                     "wavelength " + std::to_string(first.q) + ": real rays (" + rays + ") " +
                         failure_text(first.failure) + " surface " + std::to_string(first.surface) +
                         "; from there on their values are not numbers"});
  }
  return found;
}

}  // namespace lumaveil::cli::diagnosis
