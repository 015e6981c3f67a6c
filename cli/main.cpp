// lumaveil: runs one call of the library's entry point from the shell, and
// checks, draws and exports its files (cli/commands/command_line.h has the
// grammar, cli/commands/command_table.cpp the commands).
#include <csignal>
#include <cstdio>
#include <exception>
#include <new>

#include "cli/commands/command_line.h"

int main(int argc, char** argv) {
  // A report written into a pipe whose reader has gone, or past the
  // file-size limit, then fails its write and the host says so, instead of
  // being killed.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  int status = 1;
  // Whatever a command throws ends here as a message and exit status 1.
  try {
    status = lumaveil::cli::commands::run_command_line(argc, argv, LUMAVEIL_VERSION);
  } catch (const std::bad_alloc&) {
    std::fputs("lumaveil: out of memory\n", stderr);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lumaveil: %s\n", e.what());
  }
  return lumaveil::cli::commands::finish_standard_output(status);
}
