#include "cli/commands/report_file.h"

#include <cstdio>

#include "cli/commands/command_line.h"
#include "cli/file_bytes.h"

namespace lumaveil::cli::commands {

std::optional<report::Report> report_to_show(const Invocation& call, const char* command) {
  const std::string shown = shown_path(call, "OUT_M.xls");
  const Result<std::string> bytes = read_regular_file("OUT_M.xls");
  if (!bytes.ok()) {
    std::fprintf(stderr, "lumaveil %s: cannot open %s (%s)\n", command, shown.c_str(), bytes.reason().c_str());
    return std::nullopt;
  }
  report::Report r;
  try {
    r = report::read_report(bytes.value(), shown);
  } catch (const report::ReportError& e) {
    std::fprintf(stderr, "lumaveil %s: %s\n", command, e.what());
    return std::nullopt;
  }
  if (r.mode == 0) {
    std::fprintf(stderr, "lumaveil %s: %s holds no results, only the line '%s'\n", command, shown.c_str(),
                 r.error.c_str());
    return std::nullopt;
  }
  return r;
}

}  // namespace lumaveil::cli::commands
