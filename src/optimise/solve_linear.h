// Solving the square linear system AA·x = BB of the state block.
#ifndef LUMAVEIL_OPTIMISE_SOLVE_LINEAR_H
#define LUMAVEIL_OPTIMISE_SOLVE_LINEAR_H

#include "model/state.h"

namespace lumaveil {

// Gaussian elimination in division-free form, without pivoting, then back
// substitution. Rows and columns 1..NEQ of AA and entries 1..NEQ of BB hold
// the system (NEQ up to 100); component j of the solution goes to DX[j-1].
// Rows 2..NEQ of AA and BB are destroyed. Each row j below the pivot row i
// becomes row_j·p − f·row_i (p the pivot, f = AA[j][i]), over every column
// from 1. No pivot is tested and no row is exchanged: a zero pivot gives
// non-finite components.
//
// Keeping the rows in range. Cross-multiplication multiplies row j by every
// earlier pivot, so after k steps its entries grow (or shrink) roughly like
// a^(2^k): from about 8 unknowns on, with entries far from 1, the plain
// elimination overflows and every component comes back not-a-number. So after
// each update the row (its AA entries and its BB entry together) is multiplied
// by 2^-e, e the binary exponent of its largest magnitude, whenever that
// magnitude leaves [2^-200, 2^200]; the row's largest entry then lies in
// [0.5, 1).
//
// Why this changes no bit where the plain elimination stays in range.
// Multiplying by a power of two is exact for normal numbers and commutes with
// rounding: fl(2^s·a·b) = 2^s·fl(a·b). A scaled row j enters its later
// updates through row_j and f = AA[j][i] alike, so the update carries the
// factor 2^s exactly; a scaled pivot row carries its factor through both p and
// row_i, so the updated row carries it too. In the back substitution
// component i is (BB[i] − Σ AA[i][k]·x_k) / AA[i][i], in which the factor of
// row i cancels exactly. Hence, as long as neither the plain nor the scaled
// elimination leaves the normal range (no overflow, no subnormal), DX is bit
// for bit the same; where the plain one would overflow or underflow, this one
// returns the finite solution that ordinary Gaussian elimination gives (rows
// scaled by any nonzero factor keep their solution). Only a power of two is
// ever applied (frexp/ldexp): no division by anything else, no reordering.
void solve_linear(State& s);

}  // namespace lumaveil

#endif
