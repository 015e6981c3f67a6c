#include "least_squares.h"

#include <cmath>

namespace lumaveil::quality {

std::vector<double> least_squares(std::vector<double> A, int rows, int cols,
                                  std::vector<double> b) {
  if (rows < cols || cols <= 0) return {};
  auto at = [&](int r, int c) -> double& { return A[static_cast<std::size_t>(r) * cols + c]; };
  std::vector<double> diagonal(cols);
  for (int k = 0; k < cols; ++k) {
    // The reflection that zeroes column k below the diagonal.
    double norm = 0;
    for (int r = k; r < rows; ++r) norm += at(r, k) * at(r, k);
    norm = std::sqrt(norm);
    if (norm == 0) return {};
    const double alpha = at(k, k) > 0 ? -norm : norm;
    at(k, k) -= alpha;
    double vv = 0;
    for (int r = k; r < rows; ++r) vv += at(r, k) * at(r, k);
    // Apply it to the later columns and to b.
    for (int c = k + 1; c < cols; ++c) {
      double dot = 0;
      for (int r = k; r < rows; ++r) dot += at(r, k) * at(r, c);
      const double f = 2 * dot / vv;
      for (int r = k; r < rows; ++r) at(r, c) -= f * at(r, k);
    }
    double dot = 0;
    for (int r = k; r < rows; ++r) dot += at(r, k) * b[r];
    const double f = 2 * dot / vv;
    for (int r = k; r < rows; ++r) b[r] -= f * at(r, k);
    diagonal[k] = alpha;
  }
  // Back substitution on R, whose diagonal is `diagonal`.
  std::vector<double> x(cols);
  for (int k = cols - 1; k >= 0; --k) {
    double sum = b[k];
    for (int c = k + 1; c < cols; ++c) sum -= at(k, c) * x[c];
    if (std::fabs(diagonal[k]) < 1e-300) return {};
    x[k] = sum / diagonal[k];
  }
  return x;
}

}  // namespace lumaveil::quality
