// Reading the optimisation settings and the ray set, "IN_FM2.txt".
#ifndef LUMAVEIL_MODEL_RAY_SET_H
#define LUMAVEIL_MODEL_RAY_SET_H

#include "model/input_grid.h"
#include "model/state.h"

namespace lumaveil {

// Stores the eight settings of lines 2..9 (column 2) and the rays of lines
// 15..15+NRAY-1 (columns 1..8: start X, Y, U, V, then the targets X, Y, U,
// V at the last surface). NRAY is cut to 100; entries past it are untouched.
void store_ray_set(State& s, const InputGrid& grid);

// Reads "IN_FM2.txt" from the current directory and stores it. When the file
// cannot be opened or read (see InputGrid::read) the state is left as it
// was, false is returned, and call_files() says why.
bool read_ray_set(State& s);

}  // namespace lumaveil

#endif
