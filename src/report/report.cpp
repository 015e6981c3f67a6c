#include "report/report.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>

namespace lumaveil {
namespace {

// The buffer in front of the report being written: large, so that a report
// of many megabytes reaches the file in a few hundred writes rather than
// tens of thousands. The report fills it and hands it to fwrite whole (the
// C library then writes a block that large straight to the file). One
// report holds it at a time; another one open meanwhile writes straight
// through the C library's own buffer.
constexpr std::size_t kLargeBufferBytes = std::size_t{1} << 20;
char large_buffer[kLargeBufferBytes];
std::atomic<bool> large_buffer_taken{false};

}  // namespace

Report::Report() {
  outcome_.used = true;
  file_ = replacement_.open(kFileName, outcome_.error);
  if (file_ == nullptr) {
    outcome_.failure = "create";
    return;
  }
  large_buffer_ = !large_buffer_taken.exchange(true);
}

Report::~Report() {
  // A mode that an exception ends leaves its report unfinished.
  if (file_ != nullptr && ok() && std::uncaught_exceptions() > exceptions_) fail("write", ECANCELED);
  close();
}

void Report::close() {
  if (file_ != nullptr) {
    if (ok()) flush_large_buffer();
    if (!ok()) {
      replacement_.discard();
    } else if (const int error = replacement_.commit(); error != 0) {
      fail("close", error);
    }
  }
  file_ = nullptr;
  // The file is closed: its buffer is free for the next report.
  if (large_buffer_) large_buffer_taken.store(false);
  large_buffer_ = false;
  pending_ = 0;
  // One report per call; should there be more, the first failure stands.
  if (outcome_.used && call_files().report.failure == nullptr) call_files().report = outcome_;
  outcome_.used = false;
}

void Report::fail(const char* step, int error) {
  outcome_.failure = step;
  outcome_.error = error != 0 ? error : EIO;
}

void Report::write(const char* text, std::size_t length) {
  if (file_ == nullptr || !ok()) return;
  if (large_buffer_) {
    if (length > kLargeBufferBytes - pending_) flush_large_buffer();
    if (length <= kLargeBufferBytes - pending_) {
      std::memcpy(large_buffer + pending_, text, length);
      pending_ += length;
      return;
    }
  }
  write_to_file(text, length);
}

void Report::flush_large_buffer() {
  if (pending_ == 0) return;
  write_to_file(large_buffer, pending_);
  pending_ = 0;
}

void Report::write_to_file(const char* text, std::size_t length) {
  if (!ok()) return;
  errno = 0;
  if (std::fwrite(text, 1, length, file_) != length) fail("write", errno);
}

void Report::put(const char* literal) { write(literal, std::strlen(literal)); }

void Report::put(const char* text, int length) {
  if (length > 0) write(text, static_cast<std::size_t>(length));
}

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
  write(s1_, static_cast<std::size_t>(used_));
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
