// Reading and writing a whole file for the host's own tools (check, plot, export, the run
// summary) under the same rule as the library: only a regular file is read,
// and nothing waits on a FIFO or device standing under the name.
#ifndef LUMAVEIL_CLI_REPORT_INPUT_FILE_BYTES_H
#define LUMAVEIL_CLI_REPORT_INPUT_FILE_BYTES_H

#include <string>
#include <vector>

#include "cli/result.h"

namespace lumaveil::cli::report_input {

// The bytes of the regular file `path`; when it cannot be opened or read,
// the reason in words ("not a regular file", "No such file or directory",
// ...) and its error code.
Result<std::string> read_regular_file(const std::string& path);

// Writes `bytes` as the whole of the file `path`; the reason in words when
// it cannot be created or written in full.
Status write_whole_file(const std::string& path, const std::string& bytes);

// Writes `bytes` under a temporary name beside `path`, then renames it into
// place: a failed write never leaves half a file, and a symlink standing
// under the name is replaced, not written through.
Status replace_whole_file(const std::string& path, const std::string& bytes);

// A file to write: its name and its bytes.
struct NamedFile {
  std::string name, bytes;
};

// Creates `folder` when missing and replaces each file in it (see
// replace_whole_file), stopping at the first that fails; `shown` names the
// folder in the reason ("cannot write out/a.svg: Permission denied").
Status write_files_into(const std::string& folder, const std::string& shown,
                        const std::vector<NamedFile>& files);

}  // namespace lumaveil::cli::report_input

#endif
