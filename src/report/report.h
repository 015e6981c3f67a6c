// The report file "OUT_M.xls": tab-separated text that a spreadsheet opens.
//
// A mode creates it (an old report goes at that moment), writes its lines
// and closes it as its last act; the object closes the file when it goes out
// of scope. It is opened in text mode, so each "\n" is the platform's line
// end. Lines with values are formatted through the 256-byte line buffer s1;
// a line longer than the buffer is written whole, in pieces, never cut.
//
// A report is whole or absent: it is written under a temporary name beside
// OUT_M.xls and renamed to OUT_M.xls when the mode closes it (see
// Replacement), so a symbolic link of that name is replaced, never written
// through. A directory, FIFO or device of that name is left alone and the
// report is not written. Its creation, every write and the close are
// checked: when the file cannot be created, or once a write has failed,
// every further write does nothing, the close leaves no OUT_M.xls, and the
// first failure is kept in call_files().report for the host. So does a
// mode left by an exception: its report is dropped.
#ifndef LUMAVEIL_REPORT_REPORT_H
#define LUMAVEIL_REPORT_REPORT_H

#include <cstddef>
#include <cstdio>
#include <exception>
#include <initializer_list>

#include "model/file_access.h"
#include "report/format.h"

namespace lumaveil {

class Report final : private FormatSink {
 public:
  static constexpr const char* kFileName = "OUT_M.xls";

  Report();
  ~Report();
  Report(const Report&) = delete;
  Report& operator=(const Report&) = delete;

  bool is_open() const { return file_ != nullptr; }
  // Whether the report has been written in full so far.
  bool ok() const { return outcome_.failure == nullptr; }

  // Writes a fixed text unchanged.
  void put(const char* literal);
  // Writes `length` bytes of text unchanged.
  void put(const char* text, int length);
  // Formats a line (or a part of one) and writes it.
  void print(const char* format, std::initializer_list<FormatArg> args);

  // Closes the file, puts it in place when it is whole, and records the
  // report's outcome in call_files().
  void close();

 private:
  void append(const char* text, int length) override;
  void flush_line_buffer();
  void write(const char* text, std::size_t length);
  void flush_large_buffer();
  void write_to_file(const char* text, std::size_t length);
  void fail(const char* step, int error);

  FileOutcome outcome_{};
  Replacement replacement_;
  std::FILE* file_;
  int exceptions_ = std::uncaught_exceptions();  // those in flight when the report began
  char s1_[256];
  int used_ = 0;
  bool large_buffer_ = false;  // the report gathers its text in the shared large buffer
  std::size_t pending_ = 0;    // bytes gathered there and not yet handed to the file
};

// Writes the one-line report of a call whose input file `name` could not be
// opened or read: "error: cannot open NAME", followed by the reason in
// parentheses when a file stood there that is not a regular file or could
// not be read.
void put_unreadable_input(const char* name, const FileOutcome& input);

}  // namespace lumaveil

#endif
