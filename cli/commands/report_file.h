// The report OUT_M.xls that plot and export read: read once, and when it
// holds nothing to show, the reason on standard error.
#ifndef LUMAVEIL_CLI_COMMANDS_REPORT_FILE_H
#define LUMAVEIL_CLI_COMMANDS_REPORT_FILE_H

#include <optional>

#include "cli/commands/command_table.h"
#include "cli/report_input/report_blocks.h"

namespace lumaveil::cli::commands {

// The report of the current directory, or nothing after a message that
// names `command`, the file and the reason. Without `keep_lines` the lines'
// text is not kept (ReportContents::cells stays empty): the figures need
// only the typed blocks.
std::optional<report_input::ReportContents> report_to_show(const Invocation& call,
                                                           const char* command,
                                                           bool keep_lines = true);

}  // namespace lumaveil::cli::commands

#endif
