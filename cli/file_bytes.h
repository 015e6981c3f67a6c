// Reading a whole file for the host's own tools (check, plot, export, the run
// summary) under the same rule as the library: only a regular file is read,
// and nothing waits on a FIFO or device standing under the name.
#ifndef LUMAVEIL_CLI_FILE_BYTES_H
#define LUMAVEIL_CLI_FILE_BYTES_H

#include <string>

namespace lumaveil::cli {

// The bytes of the regular file `path`. Returns false, with `reason` in
// words ("not a regular file", "No such file or directory", ...), when it
// cannot be opened or read.
bool read_regular_file(const std::string& path, std::string& bytes, std::string& reason);

}  // namespace lumaveil::cli

#endif
