// A point of a plane: a spot on the image surface, a sample of a curve, a
// value against its iteration.
#ifndef LUMAVEIL_CLI_ANALYSIS_POINT_H
#define LUMAVEIL_CLI_ANALYSIS_POINT_H

#include <cmath>

namespace lumaveil::cli::analysis {

struct Point {
  double x = 0, y = 0;
};

inline bool finite(const Point& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

}  // namespace lumaveil::cli::analysis

#endif
