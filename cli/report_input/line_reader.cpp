#include "cli/report_input/line_reader.h"

#include <cerrno>
#include <cstring>

namespace lumaveil::cli::report_input {

namespace {

std::string_view without_cr(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace

LineReader::LineReader(std::FILE* file, std::size_t longest, std::size_t chunk)
    : file_(file), buffer_(chunk, '\0'), longest_(longest), chunk_(chunk) {}

bool LineReader::next_in_memory(std::string_view& line) {
  if (rest_.empty()) return false;
  const std::size_t lf = rest_.find('\n');
  line = without_cr(rest_.substr(0, lf));
  rest_.remove_prefix(lf == std::string_view::npos ? rest_.size() : lf + 1);
  return true;
}

bool LineReader::refill() {
  if (at_end_ || error_ != 0) return false;
  // Move the started line to the front, then make room for one more chunk.
  const std::size_t kept = end_ - begin_;
  if (begin_ > 0) std::memmove(buffer_.data(), buffer_.data() + begin_, kept);
  begin_ = 0;
  end_ = kept;
  if (buffer_.size() - end_ < chunk_) buffer_.resize(end_ + chunk_);
  const std::size_t got = std::fread(buffer_.data() + end_, 1, chunk_, file_);
  end_ += got;
  if (got < chunk_) {
    if (std::ferror(file_)) error_ = errno != 0 ? errno : EIO;
    at_end_ = true;
  }
  return got > 0;
}

bool LineReader::next(std::string_view& line) {
  if (from_memory_) return next_in_memory(line);
  std::size_t searched = begin_;
  while (true) {
    const void* lf = std::memchr(buffer_.data() + searched, '\n', end_ - searched);
    if (lf != nullptr) {
      const std::size_t at =
          static_cast<std::size_t>(static_cast<const char*>(lf) - buffer_.data());
      line = without_cr(std::string_view(buffer_.data() + begin_, at - begin_));
      begin_ = at + 1;
      return true;
    }
    if (end_ - begin_ > longest_) {
      too_long_ = true;
      return false;
    }
    searched = end_ - begin_;  // where the search goes on after the move
    if (!refill()) break;
  }
  if (error_ != 0 || begin_ == end_) return false;
  if (end_ - begin_ > longest_) {
    too_long_ = true;
    return false;
  }
  // The last line, without LF.
  line = without_cr(std::string_view(buffer_.data() + begin_, end_ - begin_));
  begin_ = end_;
  return true;
}

}  // namespace lumaveil::cli::report_input
