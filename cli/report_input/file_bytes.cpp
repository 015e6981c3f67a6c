#include "cli/report_input/file_bytes.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "model/file_access.h"

namespace lumaveil::cli::report_input {

Result<std::string> read_regular_file(const std::string& path) {
  int error = 0;
  std::FILE* file = open_regular_file(path.c_str(), FileUse::kRead, error);
  if (file == nullptr) return Result<std::string>::failure(describe_file_error(error), error);
  std::string bytes;
  // Room for the whole file at once: a report of many megabytes is not
  // copied again each time the string grows.
  struct stat status;
  if (fstat(fileno(file), &status) == 0 && status.st_size > 0)
    bytes.reserve(static_cast<std::size_t>(status.st_size));
  char buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  const int read_error = errno;
  std::fclose(file);
  if (failed) return Result<std::string>::failure(describe_file_error(read_error), read_error);
  return bytes;
}

Status write_whole_file(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return Status::failure(describe_file_error(errno), errno);
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const int write_error = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written) return Status::failure(describe_file_error(write_error), write_error);
  if (!closed) return Status::failure(describe_file_error(errno), errno);
  return Done{};
}

Status replace_whole_file(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".tmp" + std::to_string(getpid());
  Status written = write_whole_file(temporary, bytes);
  if (written.ok() && std::rename(temporary.c_str(), path.c_str()) != 0)
    written = Status::failure(describe_file_error(errno), errno);
  if (!written.ok()) std::remove(temporary.c_str());
  return written;
}

Status write_files_into(const std::string& folder, const std::string& shown,
                        const std::vector<NamedFile>& files) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return Status::failure("cannot create " + shown + ": " + ec.message(), ec.value());
  for (const NamedFile& file : files) {
    const Status written = replace_whole_file(folder + "/" + file.name, file.bytes);
    if (!written.ok())
      return Status::failure("cannot write " + shown + "/" + file.name + ": " + written.reason(),
                             written.error());
  }
  return Done{};
}

}  // namespace lumaveil::cli::report_input
