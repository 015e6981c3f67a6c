#include "model/file_access.h"

#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <windows.h>
#else
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

#if defined(_WIN32)

// 0 when nothing, or a regular file, stands under `path`, else why it is
// not to be replaced.
int replaceable(const char* path) {
  struct stat st;
  if (stat(path, &st) != 0) return errno == ENOENT ? 0 : errno;
  return kind_error(st);
}

std::FILE* create_new(const char* name, int& error) {
  const int fd = _open(name, _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT | _O_NOINHERIT,
                       _S_IREAD | _S_IWRITE);
  std::FILE* file = fd < 0 ? nullptr : _fdopen(fd, "w");
  if (file == nullptr) {
    error = errno;
    if (fd >= 0) {
      _close(fd);
      _unlink(name);
    }
  }
  return file;
}

int process_id() { return _getpid(); }

// The old file goes in the same step as the new one takes its name.
int move_into_place(const char* from, const char* to) {
  if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING)) return 0;
  switch (GetLastError()) {
    case ERROR_DISK_FULL: return ENOSPC;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return EACCES;
    default: return EIO;
  }
}

#else

// 0 when nothing, a regular file or a symbolic link stands under `path`
// (the link itself, whatever it points at), else why it is not to be
// replaced.
int replaceable(const char* path) {
  struct stat st;
  if (lstat(path, &st) != 0) return errno == ENOENT ? 0 : errno;
  return S_ISLNK(st.st_mode) ? 0 : kind_error(st);
}

// O_EXCL: a new file, never an existing one nor the target of a link.
std::FILE* create_new(const char* name, int& error) {
  const int fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
  std::FILE* file = fd < 0 ? nullptr : fdopen(fd, "w");
  if (file == nullptr) {
    error = errno;
    if (fd >= 0) {
      close(fd);
      unlink(name);
    }
  }
  return file;
}

int process_id() { return static_cast<int>(getpid()); }

// rename replaces a file, or a link, under the name in one step.
int move_into_place(const char* from, const char* to) {
  return std::rename(from, to) == 0 ? 0 : errno;
}

#endif

std::atomic<unsigned> temporaries_made{0};

}  // namespace

std::FILE* Replacement::open(const char* path, int& error) {
  discard();
  error = 0;
  if (std::strlen(path) > 4000) {
    error = ENAMETOOLONG;
    return nullptr;
  }
  if ((error = replaceable(path)) != 0) return nullptr;
  if (std::remove(path) != 0 && errno != ENOENT) {
    error = errno;
    return nullptr;
  }
  // A name left by a killed run of a process with the same number is
  // passed over.
  for (int attempt = 0; attempt < 100 && file_ == nullptr; ++attempt) {
    std::snprintf(temporary_, sizeof temporary_, "%s.%d-%u.tmp", path, process_id(),
                  temporaries_made.fetch_add(1));
    error = 0;
    file_ = create_new(temporary_, error);
    if (error != EEXIST) break;
  }
  if (file_ == nullptr) {
    temporary_[0] = '\0';
    return nullptr;
  }
  std::strcpy(path_, path);
  return file_;
}

int Replacement::commit() {
  if (file_ == nullptr) return EBADF;
  // Not synced to disk: the file is whole or absent for whatever ends the
  // process; after a power cut the file system has the last word.
  errno = 0;
  int error = std::fclose(file_) != 0 ? (errno != 0 ? errno : EIO) : 0;
  file_ = nullptr;
  if (error == 0) error = move_into_place(temporary_, path_);
  if (error == 0) temporary_[0] = '\0';
  discard();
  return error;
}

void Replacement::discard() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (temporary_[0] != '\0') std::remove(temporary_);
  temporary_[0] = '\0';
}

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
