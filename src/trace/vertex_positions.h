// Where the surfaces stand on the axis.
#ifndef LUMAVEIL_TRACE_VERTEX_POSITIONS_H
#define LUMAVEIL_TRACE_VERTEX_POSITIONS_H

#include "model/state.h"

namespace lumaveil {

// ZV[k] is the z of the vertex of surface k+1: the running sum of the axial
// distances, ZV[0] = dist[0], ZV[k] = ZV[k-1] + dist[k] for k = 1..NUMB-1.
// Every routine that traces calls this after changing the distances in use.
void vertex_positions(State& s, const double* dist);

// The same running sum into zv for a lens of numb surfaces.
void vertex_positions(double* zv, int numb, const double* dist);

}  // namespace lumaveil

#endif
