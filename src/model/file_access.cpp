#include "model/file_access.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace lumaveil {
namespace {

// The error code of a file that is not a regular file, 0 for one that is.
int kind_error(const struct stat& st) {
  if (S_ISREG(st.st_mode)) return 0;
  return S_ISDIR(st.st_mode) ? EISDIR : kNotRegularFile;
}

#if defined(_WIN32)

// Windows has no FIFOs to block on; a directory or device name fails to
// open or is refused once open.
std::FILE* open_checked(const char* path, FileUse use, int& error) {
  struct stat st;
  if (use == FileUse::kWrite && stat(path, &st) == 0 && (error = kind_error(st)) != 0)
    return nullptr;
  std::FILE* file = std::fopen(path, use == FileUse::kRead ? "r" : "w");
  if (file == nullptr) {
    error = errno;
    return nullptr;
  }
  if (fstat(_fileno(file), &st) != 0 || (error = kind_error(st)) != 0) {
    if (error == 0) error = errno;
    std::fclose(file);
    return nullptr;
  }
  return file;
}

#else

// Opens without blocking (a FIFO would otherwise wait for its other end),
// looks at what was opened, and only then empties a report.
std::FILE* open_checked(const char* path, FileUse use, int& error) {
  struct stat st;
  const bool write = use == FileUse::kWrite;
  if (write && stat(path, &st) == 0 && (error = kind_error(st)) != 0) return nullptr;
  const int flags = (write ? O_WRONLY | O_CREAT : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  const int fd = open(path, flags, 0666);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  error = fstat(fd, &st) != 0 ? errno : kind_error(st);
  if (error == 0 && write && ftruncate(fd, 0) != 0) error = errno;
  if (error == 0 && fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) error = errno;
  std::FILE* file = error == 0 ? fdopen(fd, write ? "w" : "r") : nullptr;
  if (file == nullptr) {
    if (error == 0) error = errno;
    close(fd);
  }
  return file;
}

#endif

}  // namespace

std::FILE* open_regular_file(const char* path, FileUse use, int& error) {
  error = 0;
  return open_checked(path, use, error);
}

CallFiles& call_files() {
  static CallFiles files{};
  return files;
}

const char* describe_file_error(int error) {
  return error == kNotRegularFile ? "not a regular file" : std::strerror(error);
}

}  // namespace lumaveil
