#include "cli/inputs/input_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <utility>

#include "cli/report_input/file_bytes.h"
#include "model/file_access.h"
#include "model/lens_data.h"
#include "model/ray_set.h"

namespace lumaveil::cli::inputs {

namespace {

// The kinds of byte past kKeptBytes that the findings on a file's shape
// look at: one of each that the rest of the file holds is kept.
struct Marks {
  bool nul = false, tab = false, cr = false, lf = false, not_blank = false;
  void see(const char* bytes, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      const char c = bytes[i];
      nul |= c == '\0';
      tab |= c == '\t';
      cr |= c == '\r';
      lf |= c == '\n';
      not_blank |= c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\v' && c != '\f';
    }
  }
  std::string bytes() const {
    std::string kept;
    for (auto [seen, c] : {std::pair{nul, '\0'}, {tab, '\t'}, {cr, '\r'}, {lf, '\n'}})
      if (seen) kept += c;
    if (not_blank) kept += 'x';
    return kept;
  }
};

// The bytes the findings need (see InputFile::bytes), read from the start
// of `file`; false when reading fails.
bool keep_bytes(std::FILE* file, std::string& kept) {
  std::rewind(file);
  kept.clear();
  Marks rest;
  char buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    const std::size_t take = std::min(got, kKeptBytes - kept.size());
    kept.append(buffer, take);
    rest.see(buffer + take, got - take);
  }
  kept += rest.bytes();
  return std::ferror(file) == 0;
}

// The reason in words, naming what stands under the name when it is not a
// regular file ("not a regular file: a FIFO (named pipe)").
std::string reason_of(const std::string& path, int error) {
  std::string reason = describe_file_error(error);
  const std::string kind = report_input::odd_file_kind(path);
  if (error == kNotRegularFile && !kind.empty()) reason += ": " + kind;
  return reason;
}

}  // namespace

bool read_input_file(const std::string& path, GridShape shape, InputFile& file) {
  file = InputFile{};
  std::FILE* stream = open_regular_file(path.c_str(), FileUse::kRead, file.error);
  if (stream == nullptr) {
    file.reason = reason_of(path, file.error);
    return false;
  }
  // The grid is filled as the library fills it, from the file itself; then
  // the bytes the findings need are read in a second pass.
  errno = 0;
  file.read = file.grid->fill(stream, shape) && keep_bytes(stream, file.bytes);
  if (!file.read) {
    file.error = errno != 0 ? errno : EIO;
    file.reason = describe_file_error(file.error);
    file.bytes.clear();
  }
  std::fclose(stream);
  return file.read;
}

std::unique_ptr<Inputs> read_inputs(const std::string& directory, bool with_ray_set) {
  auto in = std::make_unique<Inputs>();
  const std::string prefix = directory.empty() ? "" : directory + "/";
  if (read_input_file(prefix + kLensFile, kLensDataGrid, in->lens_file))
    store_lens_data(in->lens, *in->lens_file.grid);
  if (with_ray_set && read_input_file(prefix + kRaySetFile, kRaySetGrid, in->ray_set_file))
    store_ray_set(in->ray_set, *in->ray_set_file.grid);
  return in;
}

std::unique_ptr<State> optimising_state(const Inputs& inputs) {
  auto s = std::make_unique<State>(inputs.lens);
  if (inputs.ray_set_file.read) store_ray_set(*s, *inputs.ray_set_file.grid);
  return s;
}

}  // namespace lumaveil::cli::inputs
