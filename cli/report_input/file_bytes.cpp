#include "cli/report_input/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "model/file_access.h"

namespace lumaveil::cli::report_input {

namespace {

const char* kind_name(mode_t mode) {
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return S_ISREG(mode) ? "" : "not a regular file";
}

// Writes all of `bytes` to the file `fd`; 0 or the errno.
int write_all(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0)
      done += static_cast<std::size_t>(n);
    else if (n < 0 && errno != EINTR)
      return errno;
    else if (n == 0)
      return EIO;
  }
  return 0;
}

// Writes all of `pieces`, one after another, to the new file `fd` and
// closes it; 0 or the errno.
int write_and_close(int fd, const std::vector<std::string_view>& pieces) {
  int error = 0;
  for (std::size_t k = 0; k < pieces.size() && error == 0; ++k) error = write_all(fd, pieces[k]);
  if (close(fd) != 0 && error == 0) error = errno;
  return error;
}

std::atomic<unsigned> temporaries_made{0};

// A file of a new name beside `path`, created here and now: O_EXCL and
// O_NOFOLLOW never open what already stands under the name, nor a link.
int create_temporary(const std::string& path, std::string& temporary) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = path + "." + std::to_string(getpid()) + "-" +
                std::to_string(temporaries_made.fetch_add(1)) + ".tmp";
    const int fd =
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

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

std::string odd_file_kind(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return "";
  return kind_name(st.st_mode);
}

Status writable_place(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0)
    return errno == ENOENT ? Status(Done{}) : Status::failure(describe_file_error(errno), errno);
  if (S_ISLNK(st.st_mode) || S_ISREG(st.st_mode)) return Done{};
  return Status::failure(std::string(kind_name(st.st_mode)) + " stands there",
                         S_ISDIR(st.st_mode) ? EISDIR : kNotRegularFile);
}

Status replace_whole_file(const std::string& path, const std::string& bytes) {
  return replace_whole_file(path, std::vector<std::string_view>{bytes});
}

Status replace_whole_file(const std::string& path, const std::vector<std::string_view>& pieces) {
  const Status place = writable_place(path);
  if (!place.ok()) return place;
  std::string temporary;
  const int fd = create_temporary(path, temporary);
  if (fd < 0) return Status::failure(describe_file_error(errno), errno);
  int error = write_and_close(fd, pieces);
  if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error == 0) return Done{};
  std::remove(temporary.c_str());
  return Status::failure(describe_file_error(error), error);
}

Status write_files_into(const std::string& folder, const std::string& shown,
                        const std::vector<NamedFile>& files) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return Status::failure("cannot create " + shown + ": " + ec.message(), ec.value());
  for (bool writing : {false, true}) {
    for (const NamedFile& file : files) {
      const std::string path = folder + "/" + file.name;
      const Status done = writing ? replace_whole_file(path, file.bytes) : writable_place(path);
      if (!done.ok())
        return Status::failure("cannot write " + shown + "/" + file.name + ": " + done.reason(),
                               done.error());
    }
  }
  return Done{};
}

}  // namespace lumaveil::cli::report_input
