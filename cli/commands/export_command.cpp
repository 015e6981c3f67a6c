// `lumaveil export`: the report as a workbook or as a UTF-8 CSV.
#include <cstdio>
#include <memory>

#include "cli/commands/command_line.h"
#include "cli/commands/output_paths.h"
#include "cli/commands/report_file.h"
#include "cli/inputs/lens_view.h"
#include "cli/report_input/file_bytes.h"
#include "cli/workbook/csv.h"
#include "cli/workbook/workbook.h"

namespace lumaveil::cli::commands {

int export_command(const Invocation& call) {
  const bool csv = call.options.has("--csv");
  const std::string target = call.options.value("-o", csv ? "OUT_M.csv" : "OUT_M.xlsx");
  const std::string shown = shown_path(call, target);
  const Status spared = outputs_spare_inputs(call, "-o", {target});
  if (!spared.ok()) return usage_failure(call, spared.reason());
  const Status place = report_input::writable_place(target);
  if (!place.ok()) return command_failure(call, "cannot write " + shown + ": " + place.reason(), 1);
  const std::optional<report_input::ReportContents> r = report_to_show(call, "export");
  if (!r) return 1;
  if (csv) {
    const Status written = report_input::replace_whole_file(target, workbook::csv_text(*r));
    if (!written.ok()) {
      std::fprintf(stderr, "lumaveil export: cannot write %s: %s\n", shown.c_str(),
                   written.reason().c_str());
      return 1;
    }
  } else {
    // The lens file, when there is one, names the wavelengths in nm.
    const std::unique_ptr<inputs::Inputs> in = inputs::read_inputs("", false);
    inputs::LensView lens;
    if (in->lens_file.read) lens = inputs::lens_view(*in);
    const Status written =
        workbook::write_workbook(*r, target, in->lens_file.read ? &lens : nullptr);
    if (!written.ok()) {
      std::fprintf(stderr, "lumaveil export: %s\n", written.reason().c_str());
      return 1;
    }
  }
  std::printf("%s: %s\n", shown.c_str(), report_input::mode_title(r->mode).c_str());
  return 0;
}

}  // namespace lumaveil::cli::commands
