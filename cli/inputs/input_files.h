// The two input files of a directory, read once per command through the
// library's own readers: each file's bytes under the regular-file rule, its
// grid as the library fills it, and the state block its store makes of it.
//
// The lens data and the ray set each go into a State of their own. The
// library reads both into one state when an optimising mode runs, and the
// ray set's ray 0 then overwrites the central ray of the lens data (XI[0],
// YI[0], UI[0], VI[0]); kept apart, each shows what its own file says.
#ifndef LUMAVEIL_CLI_INPUTS_INPUT_FILES_H
#define LUMAVEIL_CLI_INPUTS_INPUT_FILES_H

#include <memory>
#include <string>

#include "model/input_grid.h"
#include "model/state.h"

namespace lumaveil::cli::inputs {

constexpr const char* kLensFile = "IN_FM.txt";
constexpr const char* kRaySetFile = "IN_FM2.txt";

// A file is kept whole up to this many bytes (a lens file has a few KB);
// of a longer one, only what the findings on its shape look for.
constexpr std::size_t kKeptBytes = 1 << 20;

// One input file: its bytes and its grid when it could be read, else why not.
struct InputFile {
  bool read = false;
  int error = 0;       // errno value or kNotRegularFile when not read
  std::string reason;  // the same in words: "No such file or directory", "not a regular file:
                       // a FIFO (named pipe)", "Is a directory", "Permission denied"
  // The file's first kKeptBytes bytes; when it is longer, followed by one
  // byte of each kind the rest holds of NUL, tab, CR, LF and a byte that is
  // not blank (what the findings on the file's shape look at), so that a
  // huge file costs no more memory than a small one.
  std::string bytes;
  std::unique_ptr<InputGrid> grid = std::make_unique<InputGrid>();
};

struct Inputs {
  InputFile lens_file, ray_set_file;
  State lens{};     // IN_FM.txt alone, stored into a zeroed state
  State ray_set{};  // IN_FM2.txt alone, stored into a zeroed state
};

// Reads `path` as the library reads an input of this shape, its grid
// straight from the file; false, with the reason, when it cannot be opened
// or read.
bool read_input_file(const std::string& path, GridShape shape, InputFile& file);

// Reads IN_FM.txt of `directory` and, when `with_ray_set`, IN_FM2.txt.
std::unique_ptr<Inputs> read_inputs(const std::string& directory, bool with_ray_set);

// The state an optimising mode works on: the lens data, then the ray set
// stored over it, as the library reads them for modes 2, 3, 5 and 6.
std::unique_ptr<State> optimising_state(const Inputs& inputs);

}  // namespace lumaveil::cli::inputs

#endif
