// `lumaveil fields`: the chief ray of every field point aimed through the
// stop, the field analysis as a table, and its CSV, figures and page.
#include <iostream>
#include <memory>

#include "cli/commands/command_line.h"
#include "cli/commands/option_values.h"
#include "cli/commands/output_paths.h"
#include "cli/fields/fields_run.h"
#include "cli/inputs/input_files.h"
#include "cli/inputs/lens_view.h"
#include "trace/vertex_positions.h"

namespace lumaveil::cli::commands {

namespace {

// The options of the command line as the analysis takes them, or the usage
// error.
Result<fields::FieldsOptions> fields_options(const ParsedOptions& given) {
  const Result<FieldChoice> choice = field_choice(given);
  if (!choice.ok()) return Result<fields::FieldsOptions>::failure(choice.reason());
  fields::FieldsOptions o;
  o.stop = choice.value().stop;
  o.fields = choice.value().fields.value_or(o.fields);
  o.unit = choice.value().unit;
  if (given.has("--reference")) {
    const std::optional<int> q = whole_number(given.value("--reference"));
    if (!q)
      return Result<fields::FieldsOptions>::failure("--reference needs a wavelength number, not " +
                                                    given.value("--reference"));
    o.reference = *q;
  }
  o.output = given.value("-o");
  o.write_files = !given.has("--no-files");
  return o;
}

}  // namespace

int fields_command(const Invocation& call) {
  const Result<fields::FieldsOptions> parsed = fields_options(call.options);
  if (!parsed.ok()) return usage_failure(call, parsed.reason());
  const std::string folder = parsed.value().output.empty() ? "fields" : parsed.value().output;
  const Status spared = outputs_spare_inputs(call, "-o", {folder});
  if (!spared.ok()) return usage_failure(call, spared.reason());
  const fields::FieldsOptions& o = parsed.value();
  const std::unique_ptr<inputs::Inputs> in = inputs::read_inputs("", false);
  const std::string lens_path = shown_path(call, inputs::kLensFile);
  if (!in->lens_file.read)
    return command_failure(call, "cannot read " + lens_path + ": " + in->lens_file.reason, 1);
  State& lens = in->lens;
  const Result<fields::FieldSet> set = fields::field_set(lens, o);
  if (!set.ok()) return command_failure(call, set.reason(), 2);
  const fields::FieldUnit& unit = set.value().unit;
  const fields::Analysis a =
      fields::analyse_fields(lens, o.stop, set.value().values, o.fan_points, o.reference);
  if (!a.error.empty()) return command_failure(call, a.error, 2);
  const std::string title = inputs::lens_view(*in).title;
  std::cout << "Fields of " << (title.empty() ? lens_path : title) << "\n";
  fields::write_table(std::cout, a, unit);
  std::cout.flush();
  int status = 0;
  for (const std::string& problem : fields::bundle_problems(a, unit))
    status = command_failure(call, problem, 1);
  if (!o.write_files) return status;
  vertex_positions(lens, lens.D);  // where the layout draws the surfaces
  const std::string shown = shown_path(call, folder);
  const std::vector<report_input::NamedFile> files = fields::field_files(a, lens, unit, title);
  const Status written = report_input::write_files_into(folder, shown, files);
  if (!written.ok()) return command_failure(call, written.reason(), 1);
  std::cout << "\n" << shown << ": fields.csv, " << files.size() - 2 << " figures and index.html\n";
  return status;
}

}  // namespace lumaveil::cli::commands
