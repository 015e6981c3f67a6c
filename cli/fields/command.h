// `lumaveil fields`: reads IN_FM.txt with the library's reader, aims the
// chief ray of every field point through the stop, and prints the field
// analysis; writes its CSV, figures and page into an output folder.
#ifndef LUMAVEIL_CLI_FIELDS_COMMAND_H
#define LUMAVEIL_CLI_FIELDS_COMMAND_H

#include <ostream>
#include <string>
#include <vector>

namespace lumaveil::fields {

enum class Unit { kDefault, kDegrees, kRadians, kLength };

struct FieldsOptions {
  std::string directory = ".";   // where IN_FM.txt is
  int stop = 0;                  // surface K of the stop; required
  std::vector<double> fields;    // in `unit`; empty: 0, 0.7 and 1 of the central ray's field
  Unit unit = Unit::kDefault;    // kind 1: degrees by default; kind 2: the lens unit
  std::string output;            // folder of the CSV, figures and page; empty: DIR/fields
  bool write_files = true;       // false: the table only
  int fan_points = 21;
  int reference = 1;             // the reference wavelength q
};

// Runs the command; the table goes to `out`, messages to `err`. Returns the
// exit status: 0 done, 1 an input could not be read, a field could not be
// aimed or an output not written, 2 a usage error (a stop that is no
// surface of the lens, a unit that does not fit the aperture kind).
int run_fields_command(const FieldsOptions& options, std::ostream& out, std::ostream& err);

// Parses the arguments after "fields" into `options`; returns -1 when the
// command should run, else the exit status (0 after --help, 2 for a usage
// error, with the message on `err`).
int parse_fields_options(int argc, const char* const* argv, FieldsOptions& options,
                         std::ostream& out, std::ostream& err);

// The subcommand: the arguments after "fields".
int fields_command(int argc, char** argv);

}  // namespace lumaveil::fields

#endif
