// Reading the lens data file "IN_FM.txt" into the state block.
#ifndef LUMAVEIL_MODEL_LENS_DATA_H
#define LUMAVEIL_MODEL_LENS_DATA_H

#include "model/input_grid.h"
#include "model/state.h"

namespace lumaveil {

// Stores the cells of the lens data grid into the state block, in the order
// the file defines them: aperture and central ray (lines 2..9, column 2),
// NUMB (cut to 100), NW (cut to 20), ND[1], ND[2], one row per surface
// k = 0..NUMB (line 17+k), the wavelengths and weights (lines 15 and 16),
// then NV and the variable numbers IV of the 'V' surfaces among 0..NUMB-1.
// Nothing else in the state changes.
void store_lens_data(State& s, const InputGrid& grid);

// Reads "IN_FM.txt" from the current directory and stores it. When the file
// cannot be opened or read (see InputGrid::read) the state is left as it
// was, false is returned, and call_files() says why.
bool read_lens_data(State& s);

}  // namespace lumaveil

#endif
