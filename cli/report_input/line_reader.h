// The lines of a text, read in fixed chunks: a file of any size is walked
// with one buffer of `chunk` bytes (more only for a line longer than that),
// never held whole.
#ifndef LUMAVEIL_CLI_REPORT_INPUT_LINE_READER_H
#define LUMAVEIL_CLI_REPORT_INPUT_LINE_READER_H

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace lumaveil::cli::report_input {

class LineReader {
 public:
  // The lines of text in memory (no copy: the views point into `text`).
  explicit LineReader(std::string_view text) : rest_(text), from_memory_(true) {}
  // The lines of an open file, read from where it stands; the file stays
  // the caller's. A line may not grow past `longest` bytes.
  LineReader(std::FILE* file, std::size_t longest, std::size_t chunk = 65536);

  // The next line without its LF, and without the CR of a CR LF. A last
  // line without LF counts; an empty text has no line. False at the end,
  // after a read error (error() != 0) or at a line longer than allowed
  // (too_long()). The view lasts until the next call.
  bool next(std::string_view& line);

  int error() const { return error_; }
  bool too_long() const { return too_long_; }

 private:
  bool next_in_memory(std::string_view& line);
  // Reads more of the file behind the bytes not yet handed out; false at
  // the end of the file or on an error.
  bool refill();

  std::string_view rest_;
  bool from_memory_ = false;
  std::FILE* file_ = nullptr;
  std::string buffer_;
  std::size_t begin_ = 0, end_ = 0;  // the bytes of buffer_ not yet handed out
  std::size_t longest_ = 0, chunk_ = 0;
  bool at_end_ = false, too_long_ = false;
  int error_ = 0;
};

}  // namespace lumaveil::cli::report_input

#endif
