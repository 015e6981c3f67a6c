#include "trace/trace.h"

namespace lumaveil {

void trace_ray(State& s) {
  for (int i = 0; i <= wide(s.NUMB) - 1; ++i) {
    s.FLAG[i] = 0;
    switch (s.TYPE[i + 1]) {
      case 1: trace_ideal(s, i); break;
      case 2: trace_tilted_plane(s, i); break;
      default: trace_sphere(s, i); break;
    }
  }
}

}  // namespace lumaveil
