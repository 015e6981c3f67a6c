// The variables of an optimisation and the surfaces tied to them.
//
// The variables are the surfaces k = 0..NUMB-2 coded 'V' (number iv[k]);
// a surface coded 'P' takes the value of its companion LINK[k], one coded
// 'M' the negative of it, and follows its offsets. A tie whose companion
// lies outside the surfaces 0..100 is ignored. T is the varied array (C or
// D), p the values of the variables indexed by surface.
#ifndef LUMAVEIL_OPTIMISE_MERIT_VARIABLES_H
#define LUMAVEIL_OPTIMISE_MERIT_VARIABLES_H

#include "model/state.h"

namespace lumaveil {

// Gives every variable and tied surface its value from p.
void set_variables(const State& s, double* T, const double* p);

// Moves variable m to its value from p plus delta; the surfaces tied to it
// follow. Every other surface keeps what T holds.
void offset_variable(const State& s, double* T, const int* iv, const double* p, int m,
                     double delta);

// Adds the full correction DX[v] to the entry of each 'V' surface of ar,
// walking k = 0..NUMB-2 with v counting the 'V' surfaces from 0.
void add_correction(const State& s, double* ar);

}  // namespace lumaveil

#endif
