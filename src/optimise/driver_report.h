// What the optimising drivers (modes 2, 3, 5, 6) share in their reports.
#ifndef LUMAVEIL_OPTIMISE_DRIVER_REPORT_H
#define LUMAVEIL_OPTIMISE_DRIVER_REPORT_H

#include "model/state.h"
#include "report/report.h"

namespace lumaveil {

// Reads the ray set "IN_FM2.txt". When it cannot be read, writes the
// report of the error line (which says why) and returns false: the mode then
// runs nothing.
bool read_ray_set_or_report(State& s);

// Prints `values[k]` with `format` for each variable ('V') surface
// k = 0..NUMB-2, in the order of the surfaces: the variables' cells of a row.
void print_variable_values(Report& f1, const State& s, const char* format, const double* values);

}  // namespace lumaveil

#endif
