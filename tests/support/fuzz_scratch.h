// The scratch folder of the fuzz harnesses that run on input files, and the
// two files a fuzz input stands for.
//
// The folder is made once under /tmp when the harness starts, is the current
// directory while one input runs, and goes, with the files it may hold, when
// the harness ends. An input is "IN_FM.txt", then a NUL byte and
// "IN_FM2.txt"; without a NUL there is no ray-set file.
#ifndef LUMAVEIL_TESTS_SUPPORT_FUZZ_SCRATCH_H
#define LUMAVEIL_TESTS_SUPPORT_FUZZ_SCRATCH_H

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lumaveil::fuzzing {

struct ScratchFolder {
  std::string path;
  std::vector<std::string> leftovers;  // the files the runs may leave in it
};
inline ScratchFolder scratch;

inline void remove_scratch() {
  for (const std::string& name : scratch.leftovers)
    std::remove((scratch.path + "/" + name).c_str());
  rmdir(scratch.path.c_str());
}

// Makes the scratch folder and has it removed, with the files `leftovers`,
// when the program ends. Aborts when it cannot.
inline void make_scratch(std::vector<std::string> leftovers) {
  char name[] = "/tmp/lumaveil-fuzz-XXXXXX";
  if (mkdtemp(name) == nullptr) std::abort();
  scratch = {name, std::move(leftovers)};
  std::atexit(remove_scratch);
}

// For the life of the object the scratch folder is the current directory.
class InScratch {
 public:
  InScratch() {
    if (getcwd(previous_, sizeof previous_) == nullptr || chdir(scratch.path.c_str()) != 0)
      std::abort();
  }
  ~InScratch() {
    if (chdir(previous_) != 0) std::abort();
  }
  InScratch(const InScratch&) = delete;
  InScratch& operator=(const InScratch&) = delete;

 private:
  char previous_[4096];
};

// The two files of a fuzz input.
struct InputFiles {
  std::string lens;                    // IN_FM.txt
  std::optional<std::string> ray_set;  // IN_FM2.txt, none without a NUL byte
};

inline InputFiles split_input(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  if (split == std::string::npos) return {input, std::nullopt};
  return {input.substr(0, split), input.substr(split + 1)};
}

inline void write_file(const char* name, const std::string& bytes) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  if (std::fclose(file) != 0) std::abort();
}

// Writes the files into the current directory; a ray-set file left by an
// earlier input goes when this one has none.
inline void write_inputs(const InputFiles& files) {
  write_file("IN_FM.txt", files.lens);
  if (files.ray_set)
    write_file("IN_FM2.txt", *files.ray_set);
  else
    std::remove("IN_FM2.txt");
}

}  // namespace lumaveil::fuzzing

#endif
