// Linear least squares by Householder QR: the solution x minimising
// |A·x - b| for a tall matrix A (rows >= columns) of full column rank.
#ifndef LUMAVEIL_CLI_QUALITY_LEAST_SQUARES_H
#define LUMAVEIL_CLI_QUALITY_LEAST_SQUARES_H

#include <vector>

namespace lumaveil::quality {

// A is rows x cols, row-major. Returns the cols coefficients; empty when
// there are fewer rows than columns or A is rank-deficient.
std::vector<double> least_squares(std::vector<double> A, int rows, int cols,
                                  std::vector<double> b);

}  // namespace lumaveil::quality

#endif
