#include "entry/entry.h"

#include "aberration/aberration_analysis.h"
#include "model/lens_data.h"
#include "optimise/gauss_newton.h"
#include "optimise/distance_search.h"
#include "report/report.h"
#include "report/trace_and_spot.h"

namespace lumaveil {

void run_call(State& s, int mode) {
  const bool known_mode = mode >= 1 && mode <= 6;
  call_files() = CallFiles{};
  if (!read_lens_data(s)) {
    if (known_mode) put_unreadable_input("IN_FM.txt", call_files().lens_data);
    return;
  }
  switch (mode) {
    case 1: trace_and_spot(s); break;
    case 2: gn_curvature(s); break;
    case 3: gn_distance(s); break;
    case 4: aberration_analysis(s); break;
    case 5: gn_curvature_d1(s); break;
    case 6: gn_curvature_d2(s); break;
    default: break;
  }
}

State& library_state() {
  static State state{};
  return state;
}

}  // namespace lumaveil
