// The surface trace table: the ray last traced, surface by surface.
#ifndef LUMAVEIL_REPORT_TRACE_TABLE_H
#define LUMAVEIL_REPORT_TRACE_TABLE_H

#include "model/state.h"
#include "report/report.h"

namespace lumaveil {

// The column line, then one row per surface i = 0..NUMB-1: i, C[i], and the
// ray's Z, X, U, Y, V at that surface. Surface NUMB is not listed.
void put_trace_table(const State& s, Report& f1);

}  // namespace lumaveil

#endif
