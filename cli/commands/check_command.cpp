// `lumaveil check`: prints the lens as the library reads it and the findings.
#include <cstdio>

#include "cli/check.h"
#include "cli/commands/command_table.h"

namespace lumaveil::cli::commands {

int check_command(const Invocation&) { return run_check(stdout); }

}  // namespace lumaveil::cli::commands
