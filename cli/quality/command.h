// `lumaveil quality`: the image quality of each field and wavelength — the
// wavefront over the whole pupil, its Zernike terms, the PSF, the MTF and the
// encircled energy — as a table on standard output and CSV files, SVG
// figures and a page in an output folder.
#ifndef LUMAVEIL_CLI_QUALITY_COMMAND_H
#define LUMAVEIL_CLI_QUALITY_COMMAND_H

#include <ostream>
#include <string>
#include <vector>

namespace lumaveil::quality {

enum class FieldUnit { kDefault, kDegrees, kRadians, kLength };

struct QualityOptions {
  std::string directory = ".";   // where IN_FM.txt is
  int stop = 0;                  // surface K of the aperture stop; required
  std::vector<double> fields{0}; // in `unit`
  FieldUnit unit = FieldUnit::kDefault;  // kind 1: degrees; kind 2: the lens unit
  int wavelength = 0;            // q = 1..NW; 0: every wavelength
  int grid = 64;                 // pupil samples across the diameter
  double frequency = 50;         // the table's MTF column, cycles per lens unit
  std::string output;            // folder of the files; empty: DIR/quality
  bool write_files = true;       // false: the table only
};

// Runs the command: the table to `out`, messages to `err`. Exit status 0
// done, 1 the lens could not be read, a field could not be analysed or an
// output could not be written, 2 a usage error (stop, wavelength or unit
// that does not fit the lens).
int run_quality_command(const QualityOptions& options, std::ostream& out, std::ostream& err);

// Parses the arguments after "quality"; returns -1 when the command should
// run, else the exit status (0 after --help, 2 for a usage error).
int parse_quality_options(int argc, const char* const* argv, QualityOptions& options,
                          std::ostream& out, std::ostream& err);

// The subcommand: the arguments after "quality".
int quality_command(int argc, char** argv);

}  // namespace lumaveil::quality

#endif
