// The report file "OUT_M.xls": tab-separated text that a spreadsheet opens.
//
// A mode opens it (emptying an old report), writes its lines and closes it as
// its last act; the object closes the file when it goes out of scope. It is
// opened in text mode, so each "\n" is the platform's line end. Lines with
// values are formatted through the 256-byte line buffer s1; a line longer
// than the buffer is written whole, in pieces, never cut. When the file
// cannot be created every write does nothing.
#ifndef LUMAVEIL_REPORT_REPORT_H
#define LUMAVEIL_REPORT_REPORT_H

#include <cstdio>
#include <initializer_list>

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

  // Writes a fixed text unchanged.
  void put(const char* literal);
  // Formats a line (or a part of one) and writes it.
  void print(const char* format, std::initializer_list<FormatArg> args);

  void close();

 private:
  void append(const char* text, int length) override;
  void flush_line_buffer();

  std::FILE* file_;
  char s1_[256];
  int used_ = 0;
};

}  // namespace lumaveil

#endif
