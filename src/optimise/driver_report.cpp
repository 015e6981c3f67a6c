#include "optimise/driver_report.h"

#include "model/codes.h"
#include "model/file_access.h"
#include "model/ray_set.h"

namespace lumaveil {

bool read_ray_set_or_report(State& s) {
  if (read_ray_set(s)) return true;
  put_unreadable_input("IN_FM2.txt", call_files().ray_set);
  return false;
}

void print_variable_values(Report& f1, const State& s, const char* format, const double* values) {
  for (int k = 0; k <= wide(s.NUMB) - 2; ++k)
    if (is_variable(s, k)) f1.print(format, {values[k]});
}

}  // namespace lumaveil
