// `lumaveil quality`: the wavefront, Zernike terms, PSF, MTF and encircled
// energy of each field and wavelength, as a table and as files. The
// transforms need FFTW; a host built without it says so.
#include <cstdio>

#include "cli/commands/command_line.h"
#include "cli/commands/output_paths.h"

#ifdef LUMAVEIL_HAVE_QUALITY
#include <climits>
#include <iostream>
#include <memory>
#include <optional>

#include "cli/commands/option_values.h"
#include "cli/inputs/input_files.h"
#include "cli/inputs/lens_view.h"
#include "cli/quality/quality_run.h"
#endif

namespace lumaveil::cli::commands {

#ifdef LUMAVEIL_HAVE_QUALITY
namespace {

using quality::QualityOptions;

// A whole number within [lo, hi] for an option, or nothing.
std::optional<int> number_within(const std::string& text, int lo, int hi) {
  const std::optional<int> n = whole_number(text);
  return n && *n >= lo && *n <= hi ? n : std::nullopt;
}

// The wavelength, grid and frequency asked for, or the usage error.
Status take_numbers(const ParsedOptions& given, QualityOptions& o) {
  if (given.has("--wavelength")) {
    const std::optional<int> q = number_within(given.value("--wavelength"), 1, INT_MAX);
    if (!q)
      return Status::failure("--wavelength needs a number from 1, not " +
                             given.value("--wavelength"));
    o.wavelength = *q;
  }
  if (given.has("--grid")) {
    const std::optional<int> n = number_within(given.value("--grid"), 8, 1024);
    if (!n)
      return Status::failure("--grid needs a number of samples from 8 to 1024, not " +
                             given.value("--grid"));
    o.grid = *n;
  }
  if (given.has("--frequency")) {
    const std::optional<double> nu = finite_number(given.value("--frequency"));
    if (!nu || *nu < 0)
      return Status::failure("--frequency needs a frequency >= 0, not " +
                             given.value("--frequency"));
    o.frequency = *nu;
  }
  return Done{};
}

// The options of the command line as the analysis takes them, or the usage
// error.
Result<QualityOptions> quality_options(const ParsedOptions& given) {
  const Result<FieldChoice> choice = field_choice(given);
  if (!choice.ok()) return Result<QualityOptions>::failure(choice.reason());
  QualityOptions o;
  o.stop = choice.value().stop;
  o.fields = choice.value().fields.value_or(o.fields);
  o.unit = choice.value().unit;
  const Status numbers = take_numbers(given, o);
  if (!numbers.ok()) return Result<QualityOptions>::failure(numbers.reason());
  o.output = given.value("-o");
  o.write_files = !given.has("--no-files");
  return o;
}

}  // namespace

int quality_command(const Invocation& call) {
  const Result<QualityOptions> parsed = quality_options(call.options);
  if (!parsed.ok()) return usage_failure(call, parsed.reason());
  const std::string folder = parsed.value().output.empty() ? "quality" : parsed.value().output;
  const Status spared = outputs_spare_inputs(call, "-o", {folder});
  if (!spared.ok()) return usage_failure(call, spared.reason());
  const QualityOptions& o = parsed.value();
  const std::unique_ptr<inputs::Inputs> in = inputs::read_inputs("", false);
  if (!in->lens_file.read)
    return command_failure(
        call, "cannot read " + shown_path(call, inputs::kLensFile) + ": " + in->lens_file.reason,
        1);
  const State& s = in->lens;
  const Status fits = quality::check_options(s, o);
  if (!fits.ok()) return command_failure(call, fits.reason(), 2);
  const quality::QualityRun run = quality::analyse_all(s, o);
  int status = 0;
  for (const std::string& failure : run.failures) status = command_failure(call, failure, 1);
  const std::string title = inputs::lens_view(*in).title;
  std::cout << quality::table_heading(title, o);
  quality::write_table(std::cout, run.entries, o.frequency);
  std::cout.flush();
  for (const std::string& w : run.warnings)
    std::fprintf(stderr, "lumaveil quality: warning: %s\n", w.c_str());
  if (!o.write_files || run.entries.empty()) return status;
  const std::string shown = shown_path(call, folder);
  const std::vector<report_input::NamedFile> files = quality::quality_files(title, o, run);
  const Status written = report_input::write_files_into(folder, shown, files);
  if (!written.ok()) return command_failure(call, written.reason(), 1);
  std::cout << shown << ": " << files.size() << " files, index.html shows them\n";
  return status;
}

#else

int quality_command(const Invocation&) {
  std::fputs(
      "lumaveil quality: this lumaveil was built without FFTW, which the PSF and MTF need; "
      "install libfftw3-dev (sh scripts/install-deps.sh quality) and build it again\n",
      stderr);
  return 1;
}

#endif

}  // namespace lumaveil::cli::commands
