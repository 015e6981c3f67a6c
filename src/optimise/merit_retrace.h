// Whether the merit retraces each derivative from its first changed surface
// (set_merit_retrace in merit.h, else the environment variable
// LUMAVEIL_RETRACE: "0" turns it off; on by default).
#ifndef LUMAVEIL_OPTIMISE_MERIT_RETRACE_H
#define LUMAVEIL_OPTIMISE_MERIT_RETRACE_H

namespace lumaveil {

bool retrace_enabled();

}  // namespace lumaveil

#endif
