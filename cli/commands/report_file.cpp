#include "cli/commands/report_file.h"

#include <cstdio>

#include "cli/commands/command_line.h"
#include "cli/report_input/report_reader.h"

namespace lumaveil::cli::commands {

std::optional<report_input::ReportContents> report_to_show(const Invocation& call,
                                                           const char* command, bool keep_lines) {
  const std::string shown = shown_path(call, "OUT_M.xls");
  report_input::ReadOptions options;
  options.keep_lines = keep_lines;
  Result<report_input::ReportContents> r =
      report_input::read_report_file("OUT_M.xls", shown, options);
  if (!r.ok()) {
    std::fprintf(stderr, "lumaveil %s: %s\n", command, r.reason().c_str());
    return std::nullopt;
  }
  if (r.value().mode == 0) {
    std::fprintf(stderr, "lumaveil %s: %s holds no results, only the line '%s'\n", command,
                 shown.c_str(), r.value().error.c_str());
    return std::nullopt;
  }
  return std::move(r.value());
}

}  // namespace lumaveil::cli::commands
