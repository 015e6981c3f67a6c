// Reading and writing a whole file for the host's own tools (check, plot, export, the run
// summary) under the same rule as the library: only a regular file is read,
// and nothing waits on a FIFO or device standing under the name. Every file
// the host writes is written under a temporary name and renamed into place.
#ifndef LUMAVEIL_CLI_REPORT_INPUT_FILE_BYTES_H
#define LUMAVEIL_CLI_REPORT_INPUT_FILE_BYTES_H

#include <string>
#include <string_view>
#include <vector>

#include "cli/result.h"

namespace lumaveil::cli::report_input {

// The bytes of the regular file `path`; when it cannot be opened or read,
// the reason in words ("not a regular file", "No such file or directory",
// ...) and its error code.
Result<std::string> read_regular_file(const std::string& path);

// What stands under `path` when it is not a regular file: "a directory",
// "a FIFO (named pipe)", "a device", "a socket"; "" for a regular file or
// nothing at all. A symbolic link is looked through.
std::string odd_file_kind(const std::string& path);

// Whether a file may be written at `path`: nothing there, a regular file or
// a symbolic link (which is replaced, never followed). A directory, FIFO,
// device or socket is refused without being opened, the reason naming it.
Status writable_place(const std::string& path);

// Writes `bytes` under a new temporary name beside `path`, then renames it
// into place: a failed write never leaves half a file, and a symlink
// standing under the name is replaced, not written through. Refuses, before
// writing anything, what writable_place refuses.
Status replace_whole_file(const std::string& path, const std::string& bytes);
// The same for a file whose bytes are `pieces` one after another.
Status replace_whole_file(const std::string& path, const std::vector<std::string_view>& pieces);

// A file to write: its name and its bytes.
struct NamedFile {
  std::string name, bytes;
};

// Creates `folder` when missing and replaces each file in it (see
// replace_whole_file), stopping at the first that fails; `shown` names the
// folder in the reason ("cannot write out/a.svg: Permission denied"). Every
// place is looked at before the first file is written.
Status write_files_into(const std::string& folder, const std::string& shown,
                        const std::vector<NamedFile>& files);

}  // namespace lumaveil::cli::report_input

#endif
