// The steps of a `lumaveil fields` run that are neither the analysis nor
// printing: the fields asked for, in the lens's units, and the files of
// the analysis (fields.csv, the figures and index.html). Failures come back
// as a Result with the reason; the command prints them and writes the files.
#ifndef LUMAVEIL_CLI_FIELDS_FIELDS_RUN_H
#define LUMAVEIL_CLI_FIELDS_FIELDS_RUN_H

#include <string>
#include <vector>

#include "cli/fields/analysis.h"
#include "cli/fields/table.h"
#include "cli/report_input/file_bytes.h"
#include "cli/result.h"
#include "model/state.h"

namespace lumaveil::cli::fields {

enum class Unit { kDefault, kDegrees, kRadians, kLength };

struct FieldsOptions {
  int stop = 0;                // surface K of the stop; required
  std::vector<double> fields;  // in `unit`; empty: 0, 0.7 and 1 of the central ray's field
  Unit unit = Unit::kDefault;  // kind 1: degrees by default; kind 2: the lens unit
  std::string output;          // folder of the CSV, figures and page; empty: "fields"
  bool write_files = true;     // false: the table only
  int fan_points = 21;
  int reference = 1;  // the reference wavelength q
};

// The fields to analyse and the unit they are shown in.
struct FieldSet {
  FieldUnit unit;
  std::vector<double> values;  // radians (kind 1) or lens units (kind 2)
};

// The fields of the options for the lens `s`: the unit checked against the
// aperture kind, and the default fields taken from the central ray. The
// reason when they do not fit the lens (a usage error).
Result<FieldSet> field_set(const State& s, const FieldsOptions& options);

// One line per bundle that could not be traced:
// "field 60 deg, wavelength 1: chief ray: ...".
std::vector<std::string> bundle_problems(const Analysis& a, const FieldUnit& unit);

// The files of the analysis: fields.csv, the figures and index.html.
// `lens` must have its vertex positions (the layout draws the surfaces).
std::vector<report_input::NamedFile> field_files(const Analysis& a, const State& lens,
                                                 const FieldUnit& unit, const std::string& title);

}  // namespace lumaveil::cli::fields

#endif
