#include "cli/file_bytes.h"

#include <cerrno>
#include <cstdio>

#include "model/file_access.h"

namespace lumaveil::cli {

Result<std::string> read_regular_file(const std::string& path) {
  int error = 0;
  std::FILE* file = open_regular_file(path.c_str(), FileUse::kRead, error);
  if (file == nullptr) return Result<std::string>::failure(describe_file_error(error), error);
  std::string bytes;
  char buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  const int read_error = errno;
  std::fclose(file);
  if (failed) return Result<std::string>::failure(describe_file_error(read_error), read_error);
  return bytes;
}

}  // namespace lumaveil::cli
