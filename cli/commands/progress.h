// The host's side of a run: progress on a terminal, and the one-line summary
// of the report afterwards.
//
// The core announces the steps of its loops through the progress hook
// (entry/progress.h). When standard error is a terminal and the user did not
// ask for quiet, the host sets the hook to a meter that, once the run has
// lasted about a second, keeps one line on standard error up to date, for
// example
//   mode 6: pass 2 of 5, grid point 13 of 25; 4.2 s elapsed, 6.3 s left
// rewritten in place at most ten times a second and cleared at the end.
#ifndef LUMAVEIL_CLI_COMMANDS_PROGRESS_H
#define LUMAVEIL_CLI_COMMANDS_PROGRESS_H

#include <cstdio>
#include <string>

#include "model/state.h"

namespace lumaveil::cli::commands {

// How far a run has come: the current step of each level of its loops.
class ProgressState {
 public:
  static constexpr int kLevels = 3;
  explicit ProgressState(int mode) : mode_(mode) {}
  // A step of `level` begins; the deeper levels are forgotten.
  void enter(int level, long long step, long long steps);
  // The part of the run done, 0..1, counting the steps begun as not done.
  double fraction() const;
  // "mode 6: pass 2 of 5, grid point 13 of 25"
  std::string where() const;

 private:
  int mode_;
  int depth_ = 0;
  long long step_[kLevels] = {};
  long long steps_[kLevels] = {};
};

// The progress line for a state after `elapsed` seconds.
std::string progress_line(const ProgressState& state, double elapsed);

// Runs one mode of the library in the current directory, with progress when
// `show_progress` (the host decides: stderr a terminal and not --quiet).
// The delay before the first line is LUMAVEIL_PROGRESS_DELAY seconds when
// that variable is set (for tests), else 1.
void run_mode(int mode, bool show_progress);

// "OUT_M.xls: mode 1, 3 wavelengths, 317 spot rays each" for the state the
// run left; "" for a mode that writes no report.
std::string run_summary(const State& s, int mode, const std::string& report);

// Prints the summary of the report in the current directory to stdout.
void print_run_summary(int mode);

}  // namespace lumaveil::cli::commands

#endif
