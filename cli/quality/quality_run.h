// The steps of a `lumaveil quality` run around the analysis: the options
// checked against the lens, every field and wavelength analysed, and the
// files made (CSV, SVG figures, index.html). Failures come back as results
// with their reason; the command prints them and writes the files.
#ifndef LUMAVEIL_CLI_QUALITY_QUALITY_RUN_H
#define LUMAVEIL_CLI_QUALITY_QUALITY_RUN_H

#include <string>
#include <vector>

#include "cli/fields/fields_run.h"
#include "cli/quality/report.h"
#include "cli/report_input/file_bytes.h"
#include "cli/result.h"
#include "model/state.h"

namespace lumaveil::cli::quality {

struct QualityOptions {
  int stop = 0;                                // surface K of the aperture stop; required
  std::vector<double> fields{0};               // in `unit`
  fields::Unit unit = fields::Unit::kDefault;  // kind 1: degrees; kind 2: the lens unit
  int wavelength = 0;                          // q = 1..NW; 0: every wavelength
  int grid = 64;                               // pupil samples across the diameter
  double frequency = 50;                       // the table's MTF column, cycles per lens unit
  std::string output;                          // folder of the files; empty: "quality"
  bool write_files = true;                     // false: the table only
};

// Whether the stop, the wavelength and the unit fit the lens `s`; the
// reason when not (a usage error).
Status check_options(const State& s, const QualityOptions& options);

// Every field at every wavelength asked for: the entries analysed, the
// fields that could not be analysed and the warnings (an undersampled
// pupil), each as a line of text.
struct QualityRun {
  std::vector<Entry> entries;
  std::vector<std::string> failures;
  std::vector<std::string> warnings;
};
QualityRun analyse_all(const State& s, const QualityOptions& options);

// The heading of the table: the lens, the stop, the grid, the sign of W.
std::string table_heading(const std::string& title, const QualityOptions& options);

// The files of the run: quality.csv, per entry its CSV files and figures,
// and index.html.
std::vector<report_input::NamedFile> quality_files(const std::string& title,
                                                   const QualityOptions& options,
                                                   const QualityRun& run);

}  // namespace lumaveil::cli::quality

#endif
