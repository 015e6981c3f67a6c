// lumaveil: runs one call of the library's entry point from the shell.
//
//   lumaveil [-C DIR] MODE
//
// The library reads "IN_FM.txt" (and "IN_FM2.txt") from the directory and
// writes "OUT_M.xls" there.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/check.h"
#include "cli/export.h"
#include "cli/fields/command.h"
#include "cli/plot.h"
#ifdef LUMAVEIL_HAVE_QUALITY
#include "cli/quality/command.h"
#endif
#include "cli/progress.h"
#include "entry/entry.h"
#include "model/file_access.h"

namespace {

constexpr const char* kUsage = "usage: lumaveil [-C DIR] [--quiet] MODE | check\n";

constexpr const char* kHelp =
    "usage: lumaveil [-C DIR] [--quiet] MODE\n"
    "       lumaveil [-C DIR] check\n"
    "       lumaveil plot [-C DIR] [-o OUTDIR] [--residuals]\n"
    "       lumaveil export [-C DIR] [-o FILE] [--csv]\n"
    "       lumaveil fields [-C DIR] --stop K [--field LIST] [--unit deg|rad|mm] [-o OUTDIR]\n"
    "       lumaveil quality [-C DIR] --stop K [--field LIST] [--grid N] [-o OUTDIR]\n"
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
    "plot   draws OUT_M.xls as SVG plots and an index.html (lumaveil plot --help)\n"
    "export writes OUT_M.xls as a workbook or a UTF-8 CSV (lumaveil export --help)\n"
    "fields aims chief rays through the stop and analyses the field (lumaveil fields --help)\n"
    "quality wavefront, Zernike terms, PSF, MTF and encircled energy per field\n"
    "       (lumaveil quality --help)\n"
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

std::string current_directory() {
  char buffer[4096];
  if (getcwd(buffer, sizeof buffer) == nullptr) return ".";
  return buffer;
}

// ---- The files of a run: failures on stderr and in the exit status ----

// A report written into a pipe whose reader has gone, or past the file-size
// limit, then fails its write and the host says so, instead of being killed.
void ignore_write_signals() {
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
}

// A lens file saved as UTF-16 text reads as zeros by the file's rules; the
// library reads it so, but the user is told.
void warn_about_nul_bytes(const lumaveil::FileOutcome& lens) {
  if (!lens.used || lens.failure != nullptr || (!lens.utf16_mark && lens.nul_bytes == 0)) return;
  std::fprintf(stderr,
               "lumaveil: warning: IN_FM.txt %s: it looks saved as UTF-16 (\"Unicode\") text, and "
               "its numbers read as 0; save it as plain text\n",
               lens.utf16_mark ? "begins with a UTF-16 byte-order mark" : "holds NUL bytes");
}

// Names a file that failed and the reason; whether it failed.
bool complain(const char* name, const lumaveil::FileOutcome& file) {
  if (!file.used || file.failure == nullptr) return false;
  const bool report = std::strcmp(file.failure, "write") == 0 ||
                      std::strcmp(file.failure, "close") == 0;
  std::fprintf(stderr, "lumaveil: cannot %s %s in %s%s: %s\n", report ? "write" : file.failure,
               name, current_directory().c_str(), report ? " (the report is incomplete)" : "",
               lumaveil::describe_file_error(file.error));
  return true;
}

// After a call: 1 when an input could not be opened or read, or the report
// could not be created or written in full; 0 otherwise.
int file_status_of_call() {
  const lumaveil::CallFiles& files = lumaveil::call_files();
  warn_about_nul_bytes(files.lens_data);
  bool failed = complain("IN_FM.txt", files.lens_data);
  failed = complain("IN_FM2.txt", files.ray_set) || failed;
  failed = complain("OUT_M.xls", files.report) || failed;
  return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  ignore_write_signals();
  if (argc > 1 && std::strcmp(argv[1], "plot") == 0) return lumaveil::plot::plot_command(argc - 2, argv + 2);
  if (argc > 1 && std::strcmp(argv[1], "export") == 0)
    return lumaveil::exporting::export_command(argc - 2, argv + 2);
  if (argc > 1 && std::strcmp(argv[1], "fields") == 0)
    return lumaveil::fields::fields_command(argc - 2, argv + 2);
  if (argc > 1 && std::strcmp(argv[1], "quality") == 0) {
#ifdef LUMAVEIL_HAVE_QUALITY
    return lumaveil::quality::quality_command(argc - 2, argv + 2);
#else
    std::fputs("lumaveil quality: this host was built without FFTW (libfftw3-dev)\n", stderr);
    return 1;
#endif
  }
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

  // The library reports an input it cannot read in OUT_M.xls; the host also
  // says so on stderr and in its exit status, and reports a failed report.
  lumaveil::cli::run_mode(mode, !quiet && isatty(STDERR_FILENO));
  // The summary reads the report back: only one this call wrote in full.
  const int status = file_status_of_call();
  if (status == 0 && !quiet && lumaveil::call_files().report.used)
    lumaveil::cli::print_run_summary(mode);
  return status;
}
