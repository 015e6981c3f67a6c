// What the host says after a run whose report holds nothing useful: a mode
// that writes nothing, a lens with no surfaces or no wavelengths, and key
// figures that are not finite (a ray that missed, an optimisation that
// diverged). The notes go to standard error; the exit status stays that of
// the files (see mode_command.cpp).
#ifndef LUMAVEIL_CLI_COMMANDS_RUN_NOTES_H
#define LUMAVEIL_CLI_COMMANDS_RUN_NOTES_H

#include <string>
#include <string_view>
#include <vector>

#include "model/state.h"

namespace lumaveil::cli::commands {

// The notes for `mode` run on the state `s` left, with the report text it
// wrote ("" when it wrote none); `lens_read` tells whether IN_FM.txt was read.
std::vector<std::string> run_notes(const State& s, int mode, bool lens_read,
                                   const std::string& report);

// How many cells of a report hold a number that is not finite (NAN, INF).
long long non_finite_count(std::string_view report);

// The same for the report file at `path`, read in pieces: a report of many
// megabytes is never held whole. 0 when it cannot be read.
long long non_finite_count_in_file(const char* path);

}  // namespace lumaveil::cli::commands

#endif
