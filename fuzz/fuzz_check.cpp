// `lumaveil check` on arbitrary input files, its report to /dev/null.
//
// The input is "IN_FM.txt", then a NUL byte and "IN_FM2.txt"; without a NUL
// there is no ray-set file. Both are written into a scratch directory where
// the check runs. Its status is 0 (nothing found) or 1 (findings).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/commands/check.h"

namespace {

std::string scratch;
std::FILE* sink = nullptr;

void write_file(const char* name, const std::string& bytes) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  if (std::fclose(file) != 0) std::abort();
}

void remove_scratch() {
  for (const char* name : {"IN_FM.txt", "IN_FM2.txt"}) std::remove((scratch + "/" + name).c_str());
  rmdir(scratch.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char name[] = "/tmp/lumaveil-fuzz-XXXXXX";
  if (mkdtemp(name) == nullptr) std::abort();
  scratch = name;
  sink = std::fopen("/dev/null", "w");
  if (sink == nullptr) std::abort();
  std::atexit(remove_scratch);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  char previous[4096];
  if (getcwd(previous, sizeof previous) == nullptr || chdir(scratch.c_str()) != 0) std::abort();
  write_file("IN_FM.txt", input.substr(0, split));
  if (split != std::string::npos)
    write_file("IN_FM2.txt", input.substr(split + 1));
  else
    std::remove("IN_FM2.txt");
  const int status = lumaveil::cli::commands::run_check(sink);
  if (status != 0 && status != 1) std::abort();
  if (chdir(previous) != 0) std::abort();
  return 0;
}
