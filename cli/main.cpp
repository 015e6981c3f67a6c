// lumaveil: runs one call of the library's entry point from the shell.
//
//   lumaveil [-C DIR] MODE
//
// The library reads "IN_FM.txt" (and "IN_FM2.txt") from the directory and
// writes "OUT_M.xls" there.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/check.h"
#include "cli/progress.h"

namespace {

constexpr const char* kUsage = "usage: lumaveil [-C DIR] [--quiet] MODE | check\n";

constexpr const char* kHelp =
    "usage: lumaveil [-C DIR] [--quiet] MODE\n"
    "       lumaveil [-C DIR] check\n"
    "\n"
    "Runs one lens-design calculation in the current directory (or in DIR).\n"
    "\n"
    "Files:\n"
    "  IN_FM.txt   the lens: surfaces, indices per wavelength, aperture, central ray\n"
    "  IN_FM2.txt  for modes 2, 3, 5, 6: optimisation settings and the ray set\n"
    "  OUT_M.xls   the report, tab-separated Shift_JIS text (written anew)\n"
    "\n"
    "Modes:\n"
    "  1  central-bundle trajectory and spot diagram\n"
    "  2  Gauss-Newton optimisation of the variable curvatures\n"
    "  3  Gauss-Newton optimisation of the variable axial distances\n"
    "  4  wavefront-aberration scans with degree-6 polynomial fits\n"
    "  5  curvatures with a Newton search over one axial distance\n"
    "  6  curvatures with a Newton search over two axial distances\n"
    "Any other integer reads the lens and writes nothing. Negative numbers are\n"
    "modes, not options.\n"
    "\n"
    "check  prints the lens as the library reads it, its first-order data, a\n"
    "       real-ray check and the findings (exit status 1 when there are any)\n"
    "\n"
    "Options:\n"
    "  -C DIR     run in DIR\n"
    "  --quiet    no progress line and no summary of the report\n"
    "  --help     this text\n"
    "  --version  the version\n";

int usage_error(const char* message) {
  std::fprintf(stderr, "lumaveil: %s\n%s", message, kUsage);
  return 2;
}

// A whole decimal integer within the range of int.
bool parse_mode(const char* text, int& mode) {
  if (*text == '\0') return false;
  errno = 0;
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (*end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX) return false;
  if (text[0] == ' ' || text[0] == '\t') return false;
  mode = static_cast<int>(value);
  return true;
}

bool readable(const char* name) {
  std::FILE* file = std::fopen(name, "r");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

// The optimising modes read the ray set "IN_FM2.txt" too.
bool reads_ray_set(int mode) { return mode == 2 || mode == 3 || mode == 5 || mode == 6; }

std::string current_directory() {
  char buffer[4096];
  if (getcwd(buffer, sizeof buffer) == nullptr) return ".";
  return buffer;
}

}  // namespace

int main(int argc, char** argv) {
  const char* directory = nullptr;
  const char* mode_text = nullptr;
  bool quiet = false;
  for (int a = 1; a < argc; ++a) {
    const char* arg = argv[a];
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (std::strcmp(arg, "--version") == 0) {
      std::printf("lumaveil %s\n", LUMAVEIL_VERSION);
      return 0;
    }
    if (std::strcmp(arg, "-C") == 0) {
      if (a + 1 >= argc) return usage_error("-C needs a directory");
      directory = argv[++a];
      continue;
    }
    if (std::strcmp(arg, "--quiet") == 0 || std::strcmp(arg, "-q") == 0) {
      quiet = true;
      continue;
    }
    int ignored;
    if (arg[0] == '-' && !parse_mode(arg, ignored)) {
      std::string message = std::string("unknown option ") + arg;
      return usage_error(message.c_str());
    }
    if (mode_text != nullptr) return usage_error("more than one mode given");
    mode_text = arg;
  }
  if (mode_text == nullptr) return usage_error("no mode given");
  const bool check = std::strcmp(mode_text, "check") == 0;
  int mode = 0;
  if (!check && !parse_mode(mode_text, mode)) {
    std::string message = std::string("mode must be an integer, not '") + mode_text + "'";
    return usage_error(message.c_str());
  }
  if (directory != nullptr && chdir(directory) != 0) {
    std::fprintf(stderr, "lumaveil: cannot enter %s: %s\n", directory, std::strerror(errno));
    return 1;
  }
  if (check) return lumaveil::cli::run_check(stdout);

  // The library reports a missing input file in OUT_M.xls; the host also
  // says so on stderr and in its exit status.
  const char* missing = nullptr;
  if (!readable("IN_FM.txt"))
    missing = "IN_FM.txt";
  else if (reads_ray_set(mode) && !readable("IN_FM2.txt"))
    missing = "IN_FM2.txt";

  lumaveil::cli::run_mode(mode, !quiet && isatty(STDERR_FILENO));

  if (missing != nullptr) {
    std::fprintf(stderr, "lumaveil: cannot open %s in %s\n", missing, current_directory().c_str());
    return 1;
  }
  if (!quiet) lumaveil::cli::print_run_summary(mode);
  return 0;
}
