#include "report/report.h"

namespace lumaveil {

Report::Report() : file_(std::fopen(kFileName, "w")) {}

Report::~Report() { close(); }

void Report::close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

void Report::put(const char* literal) {
  if (file_ != nullptr) std::fputs(literal, file_);
}

void Report::print(const char* format, std::initializer_list<FormatArg> args) {
  if (file_ == nullptr) return;
  used_ = 0;
  format_to(*this, format, args);
  flush_line_buffer();
}

void Report::append(const char* text, int length) {
  for (int j = 0; j < length; ++j) {
    // s1 holds at most 255 bytes and its terminator; a longer line goes out
    // in several pieces.
    if (used_ == static_cast<int>(sizeof s1_) - 1) flush_line_buffer();
    s1_[used_++] = text[j];
  }
}

void Report::flush_line_buffer() {
  s1_[used_] = '\0';
  std::fputs(s1_, file_);
  used_ = 0;
}

}  // namespace lumaveil
