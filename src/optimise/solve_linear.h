// Solving the square linear system AA·x = BB of the state block.
#ifndef LUMAVEIL_OPTIMISE_SOLVE_LINEAR_H
#define LUMAVEIL_OPTIMISE_SOLVE_LINEAR_H

#include "model/state.h"

namespace lumaveil {

// Gaussian elimination in division-free form, without pivoting, then back
// substitution. Rows and columns 1..NEQ of AA and entries 1..NEQ of BB hold
// the system; component j of the solution goes to DX[j-1]. Rows 2..NEQ of AA
// and BB are destroyed. Each row j below the pivot row i becomes
// row_j·p − f·row_i (p the pivot, f = AA[j][i]), over every column from 1.
// No pivot is tested: a zero pivot gives non-finite components.
void solve_linear(State& s);

}  // namespace lumaveil

#endif
