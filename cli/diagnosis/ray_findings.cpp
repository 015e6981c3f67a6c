#include <string>
#include <vector>

#include "cli/diagnosis/findings.h"
#include "model/state.h"

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

// The first index cell of wavelength q among surfaces 0..last that reads as 0
// for want of a number (empty, or text alone); -1 when there is none.
int unreadable_index_surface(const State& s, const InputGrid& grid, int q, int last) {
  for (int k = 0; k <= last && k <= s.NUMB; ++k) {
    const CellText text = classify_cell(grid.cell(17 + k, 7 + q), false);
    if (text == CellText::kEmpty || text == CellText::kNoNumber) return k;
  }
  return -1;
}

}  // namespace

std::vector<RayCheck> unexplained_failures(const State& s, const InputGrid& grid,
                                           const std::vector<RayCheck>& failures,
                                           std::vector<Finding>& found) {
  std::vector<RayCheck> left;
  for (const RayCheck& failure : failures) {
    const int k = unreadable_index_surface(s, grid, failure.q, failure.surface);
    Finding* cause = nullptr;
    for (Finding& f : found)
      if (k >= 0 && f.file == kLensFile && f.line == 17 + k && f.column == 7 + failure.q)
        cause = &f;
    if (cause == nullptr) {
      left.push_back(failure);
      continue;
    }
    const std::string consequence = "; so at wavelength " + std::to_string(failure.q) +
                                    " the real rays " + failure_text(failure.failure) +
                                    " surface " + std::to_string(failure.surface);
    if (cause->message.find(consequence) == std::string::npos) cause->message += consequence;
  }
  return left;
}

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
