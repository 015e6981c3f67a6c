// `lumaveil check`: reads the input files exactly as the library does and
// prints the lens as the library sees it, its first-order data, a real-ray
// check and the findings.
#ifndef LUMAVEIL_CLI_COMMANDS_CHECK_H
#define LUMAVEIL_CLI_COMMANDS_CHECK_H

#include <cstdio>

namespace lumaveil::cli::commands {

// Checks the files of the current directory and prints to `out`. Returns the
// exit status: 0 when nothing was found, 1 when there are findings (a
// missing "IN_FM.txt" is one).
int run_check(std::FILE* out);

}  // namespace lumaveil::cli::commands

#endif
