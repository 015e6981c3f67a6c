#include "cli/commands/output_paths.h"

#include <sys/stat.h>

#include <filesystem>

#include "cli/commands/command_line.h"

namespace lumaveil::cli::commands {

namespace {

namespace fs = std::filesystem;

// The path made absolute, normalised, and the links among its folders
// resolved as far as they exist.
fs::path normal_path(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::absolute(path, ec);
  if (ec) p = path;
  p = p.lexically_normal();
  if (p.has_filename() && p.has_parent_path()) {
    const fs::path folder = fs::weakly_canonical(p.parent_path(), ec);
    if (!ec) return folder / p.filename();
  }
  return p;
}

struct ReadFile {
  const char* name;
  const char* what;
};

constexpr ReadFile kReadFiles[] = {{"IN_FM.txt", "the lens file"},
                                   {"IN_FM2.txt", "the ray-set file"},
                                   {"OUT_M.xls", "the report"}};

}  // namespace

bool same_file(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  if (stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0)
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  return normal_path(a) == normal_path(b);
}

Status outputs_spare_inputs(const Invocation& call, const std::string& option,
                            const std::vector<std::string>& outputs) {
  for (const std::string& output : outputs)
    for (const ReadFile& input : kReadFiles)
      if (same_file(output, input.name))
        return Status::failure(option + " " + shown_path(call, output) + " would overwrite " +
                               input.what + " " + shown_path(call, input.name) +
                               ": choose another place");
  return Done{};
}

}  // namespace lumaveil::cli::commands
