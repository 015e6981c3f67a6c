#include "report/trace_table.h"

#include "report/literals.h"

namespace lumaveil {

void put_trace_table(const State& s, Report& f1) {
  f1.put(literals::kTraceTableColumns);
  for (int i = 0; i <= wide(s.NUMB) - 1; ++i)
    f1.print(literals::kTraceTableRow, {i, s.C[i], s.Z[i], s.X[i], s.U[i], s.Y[i], s.V[i]});
}

}  // namespace lumaveil
