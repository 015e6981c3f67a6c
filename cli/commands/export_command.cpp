// `lumaveil export`: the report as a workbook or as a UTF-8 CSV.
#include <cstdio>
#include <fstream>

#include "cli/commands/command_line.h"
#include "cli/commands/report_file.h"
#include "cli/export.h"

namespace lumaveil::cli::commands {

namespace {

bool write_csv(const std::string& path, const report::Report& r) {
  std::ofstream out(path, std::ios::binary);
  out << exporting::csv_text(r);
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

int export_command(const Invocation& call) {
  const std::optional<report::Report> r = report_to_show(call, "export");
  if (!r) return 1;
  const bool csv = call.options.has("--csv");
  const std::string target = call.options.value("-o", csv ? "OUT_M.csv" : "OUT_M.xlsx");
  const std::string shown = shown_path(call, target);
  if (csv) {
    if (!write_csv(target, *r)) {
      std::fprintf(stderr, "lumaveil export: cannot write %s\n", shown.c_str());
      return 1;
    }
  } else {
    std::string error;
    if (!exporting::write_workbook(*r, target, error)) {
      std::fprintf(stderr, "lumaveil export: %s\n", error.c_str());
      return 1;
    }
  }
  std::printf("%s: %s\n", shown.c_str(), report::mode_title(r->mode).c_str());
  return 0;
}

}  // namespace lumaveil::cli::commands
