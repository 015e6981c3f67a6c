#include "cli/inputs/input_files.h"

#include <cerrno>
#include <cstdio>
#include <utility>

#include "cli/report_input/file_bytes.h"
#include "model/lens_data.h"
#include "model/ray_set.h"

namespace lumaveil::cli::inputs {

bool read_input_file(const std::string& path, GridShape shape, InputFile& file) {
  file = InputFile{};
  Result<std::string> got = report_input::read_regular_file(path);
  if (!got.ok()) {
    file.error = got.error();
    file.reason = got.reason();
    return false;
  }
  file.bytes = std::move(got.value());
  // The grid is filled from the bytes already read, so the file is opened
  // once; fmemopen gives the library's reader the same stream of bytes.
  std::FILE* stream = fmemopen(file.bytes.data(), file.bytes.size(), "rb");
  if (stream == nullptr) {
    file.error = errno;
    file.reason = describe_file_error(errno);
    return false;
  }
  file.read = file.grid->fill(stream, shape);
  std::fclose(stream);
  if (!file.read) {
    file.error = EIO;
    file.reason = describe_file_error(EIO);
  }
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
