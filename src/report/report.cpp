#include "report/report.h"

#include <cerrno>
#include <cstring>
#include <exception>

namespace lumaveil {

Report::Report() {
  outcome_.used = true;
  file_ = replacement_.open(kFileName, outcome_.error);
  if (file_ == nullptr) outcome_.failure = "create";
}

Report::~Report() {
  // A mode that an exception ends leaves its report unfinished.
  if (file_ != nullptr && ok() && std::uncaught_exceptions() > exceptions_) fail("write", ECANCELED);
  close();
}

void Report::close() {
  if (file_ != nullptr) {
    if (!ok()) {
      replacement_.discard();
    } else if (const int error = replacement_.commit(); error != 0) {
      fail("close", error);
    }
  }
  file_ = nullptr;
  // One report per call; should there be more, the first failure stands.
  if (outcome_.used && call_files().report.failure == nullptr) call_files().report = outcome_;
  outcome_.used = false;
}

void Report::fail(const char* step, int error) {
  outcome_.failure = step;
  outcome_.error = error != 0 ? error : EIO;
}

void Report::write(const char* text) {
  if (file_ == nullptr || !ok()) return;
  errno = 0;
  if (std::fputs(text, file_) == EOF) fail("write", errno);
}

void Report::put(const char* literal) { write(literal); }

void Report::print(const char* format, std::initializer_list<FormatArg> args) {
  if (file_ == nullptr || !ok()) return;
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
  write(s1_);
  used_ = 0;
}

void put_unreadable_input(const char* name, const FileOutcome& input) {
  Report f1;
  f1.put("error: cannot open ");
  f1.put(name);
  if (input.failure != nullptr && std::strcmp(input.failure, "read") == 0)
    f1.put(" (read error)");
  else if (input.error == kNotRegularFile || input.error == EISDIR)
    f1.put(" (not a regular file)");
  f1.put("\n");
}

}  // namespace lumaveil
