// `lumaveil MODE`: one call of the library's entry point, with progress on
// a terminal, a summary of the report, and on standard error every file
// that failed.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/commands/command_table.h"
#include "cli/commands/progress.h"
#include "cli/commands/run_notes.h"
#include "cli/report_input/file_bytes.h"
#include "entry/entry.h"
#include "model/file_access.h"
#include "report/report.h"

namespace lumaveil::cli::commands {

namespace {

std::string current_directory() {
  char buffer[4096];
  if (getcwd(buffer, sizeof buffer) == nullptr) return ".";
  return buffer;
}

// A lens file saved as UTF-16 text reads as zeros by the file's rules; the
// library reads it so, but the user is told.
void warn_about_nul_bytes(const FileOutcome& lens) {
  if (!lens.used || lens.failure != nullptr || (!lens.utf16_mark && lens.nul_bytes == 0)) return;
  std::fprintf(stderr,
               "lumaveil: warning: IN_FM.txt %s: it looks saved as UTF-16 (\"Unicode\") text, and "
               "its numbers read as 0; save it as plain text\n",
               lens.utf16_mark ? "begins with a UTF-16 byte-order mark" : "holds NUL bytes");
}

// Names a file that failed and the reason; whether it failed.
bool complain(const char* name, const FileOutcome& file) {
  if (!file.used || file.failure == nullptr) return false;
  const bool report =
      std::strcmp(file.failure, "write") == 0 || std::strcmp(file.failure, "close") == 0;
  std::fprintf(stderr, "lumaveil: cannot %s %s in %s%s: %s\n", report ? "write" : file.failure,
               name, current_directory().c_str(), report ? " (the report is incomplete)" : "",
               describe_file_error(file.error));
  return true;
}

// After a call: 1 when an input could not be opened or read, or the report
// could not be created or written in full; 0 otherwise.
int file_status_of_call() {
  const CallFiles& files = call_files();
  warn_about_nul_bytes(files.lens_data);
  bool failed = complain("IN_FM.txt", files.lens_data);
  failed = complain("IN_FM2.txt", files.ray_set) || failed;
  failed = complain("OUT_M.xls", files.report) || failed;
  return failed ? 1 : 0;
}

// Says on standard error when the report holds nothing useful.
void print_run_notes(int mode) {
  const CallFiles& files = call_files();
  std::string report;
  // Only a report with values that are not finite has more to say: it
  // alone is read whole (without such values run_notes needs no report).
  if (files.report.used && files.report.failure == nullptr &&
      non_finite_count_in_file(Report::kFileName) > 0) {
    Result<std::string> got = report_input::read_regular_file(Report::kFileName);
    if (got.ok()) report = std::move(got.value());
  }
  const bool lens_read = files.lens_data.used && files.lens_data.failure == nullptr;
  for (const std::string& note : run_notes(library_state(), mode, lens_read, report))
    std::fprintf(stderr, "lumaveil: note: %s\n", note.c_str());
}

}  // namespace

int mode_command(const Invocation& call) {
  const int mode = std::atoi(call.word.c_str());
  // The library reports an input it cannot read in OUT_M.xls; the host also
  // says so on stderr and in its exit status, and reports a failed report.
  run_mode(mode, !call.quiet && isatty(STDERR_FILENO));
  // The summary reads the report back: only one this call wrote in full.
  const int status = file_status_of_call();
  print_run_notes(mode);
  if (status == 0 && !call.quiet && call_files().report.used) print_run_summary(mode);
  return status;
}

}  // namespace lumaveil::cli::commands
