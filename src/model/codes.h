// The optimisation code of a surface: the first byte of CODE[k]. 'V' makes
// the surface a variable; 'P' and 'M' tie it to its companion LINK[k] (the
// same value, or its negative); anything else leaves it fixed.
#ifndef LUMAVEIL_MODEL_CODES_H
#define LUMAVEIL_MODEL_CODES_H

#include "model/state.h"

namespace lumaveil {

inline bool is_variable(const State& s, int k) { return s.CODE[k][0] == 'V'; }

}  // namespace lumaveil

#endif
