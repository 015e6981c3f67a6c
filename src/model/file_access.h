// How the library opens its three files, and what became of them in a call.
//
// The inputs are read, and the report written, only when a regular file
// stands under the name: a directory, FIFO or device in its place is not
// opened for use, and nothing waits on it (a FIFO is opened without
// blocking, looked at and closed). What happened to each file during the
// current call is kept in one record that run_call clears first: a host that
// links the core statically reads it to say which file failed and why (the
// shared library exports main5 alone, so this record stays internal there).
#ifndef LUMAVEIL_MODEL_FILE_ACCESS_H
#define LUMAVEIL_MODEL_FILE_ACCESS_H

#include <cstdio>

namespace lumaveil {

// The error code of a name under which a FIFO, device or other file that is
// neither a regular file nor a directory stands. Every other code is an
// errno value (EISDIR for a directory).
constexpr int kNotRegularFile = -1;

enum class FileUse { kRead, kWrite };

// Opens `path` for reading, or for writing emptied (created when missing),
// in text mode, when it is a regular file (writing follows a symbolic link:
// the report is written through a Replacement). Otherwise returns nullptr with
// `error` set and leaves whatever stands under the name as it was.
std::FILE* open_regular_file(const char* path, FileUse use, int& error);

// A file written under a temporary name in the folder of its final name,
// and renamed over that name only once it is whole: a reader never finds it
// half written, and a run that is killed, or fails to write, leaves no file
// under the final name.
//
// open() first removes what stands under the final name when that is a
// regular file or a symbolic link (a link is replaced, never followed), so
// that an old file is never taken for the new one; a directory, FIFO or
// device there is left as it is and open() fails. The temporary file is
// "NAME.<process>-<n>.tmp", created anew (never through a link).
class Replacement {
 public:
  Replacement() = default;
  ~Replacement() { discard(); }
  Replacement(const Replacement&) = delete;
  Replacement& operator=(const Replacement&) = delete;

  // Opens the temporary file for writing in text mode; nullptr with
  // `error` set when it cannot (ENAMETOOLONG for a path above 4000 bytes).
  std::FILE* open(const char* path, int& error);
  // Writes out, closes and renames the file into place; 0, or the errno of
  // the step that failed, the temporary file then removed.
  int commit();
  // Closes and removes the temporary file, leaving no file under the name.
  void discard();

 private:
  std::FILE* file_ = nullptr;
  char path_[4096] = {};
  char temporary_[4096 + 32] = {};
};

// What became of one file in the current call.
struct FileOutcome {
  bool used = false;              // the call opened the file, or tried to
  const char* failure = nullptr;  // nullptr, or the step that failed: "open", "read",
                                  // "create", "write" or "close"
  int error = 0;                  // the reason of a failure: errno value or kNotRegularFile
  long long nul_bytes = 0;        // inputs: the NUL bytes read (UTF-16 text is full of them)
  bool utf16_mark = false;        // inputs: the file began with a UTF-16 byte-order mark
};

struct CallFiles {
  FileOutcome lens_data;  // "IN_FM.txt"
  FileOutcome ray_set;    // "IN_FM2.txt"
  FileOutcome report;     // "OUT_M.xls"
};

// The record of the current (or last) call.
CallFiles& call_files();

// A failure's reason in words: "not a regular file", or the C library's
// text for an errno value.
const char* describe_file_error(int error);

}  // namespace lumaveil

#endif
