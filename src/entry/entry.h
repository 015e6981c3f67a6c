// One call of the library: read the lens data, run the mode, write the report.
#ifndef LUMAVEIL_ENTRY_ENTRY_H
#define LUMAVEIL_ENTRY_ENTRY_H

#include "model/state.h"

namespace lumaveil {

// Reads "IN_FM.txt" into `s` and runs mode 1..6 on it; any other mode does
// nothing more and leaves "OUT_M.xls" untouched. When "IN_FM.txt" cannot be
// opened or read, `s` keeps its values, no mode runs, and modes 1..6 write a
// report holding the one line "error: cannot open IN_FM.txt" (with the
// reason in parentheses when a file stood there). call_files() tells the
// host afterwards what became of each file.
void run_call(State& s, int mode);

// The library's own state block: zero at load, never reset.
State& library_state();

}  // namespace lumaveil

#endif
