#include "cli/commands/progress.h"

#include "cli/commands/run_notes.h"

#include <chrono>
#include <cstdlib>

#include "cli/report_input/file_bytes.h"
#include "entry/entry.h"
#include "entry/progress.h"
#include "report/report.h"
#include "report/trace_and_spot.h"

namespace lumaveil::cli::commands {
namespace {

// The names of the levels of each mode's loops.
const char* level_name(int mode, int level) {
  switch (mode) {
    case 1:
      return level == 0 ? "wavelength" : "spot ray";
    case 2:
    case 3:
      return "iteration";
    case 4:
      return level == 0 ? "wavelength" : level == 1 ? "scan" : "ray";
    case 5:
    case 6:
      return level == 0 ? "pass" : "grid point";
    default:
      return "step";
  }
}

std::string plural(long long n, const std::string& word, const char* words = nullptr) {
  return std::to_string(n) + " " + (n == 1 ? word : words != nullptr ? words : word + "s");
}

std::string seconds(double t) {
  char text[32];
  if (t < 60)
    std::snprintf(text, sizeof text, "%.1f s", t);
  else
    std::snprintf(text, sizeof text, "%d min %02d s", static_cast<int>(t / 60),
                  static_cast<int>(t) % 60);
  return text;
}

// The meter behind the hook: one per run.
struct Meter {
  using Clock = std::chrono::steady_clock;
  ProgressState state{0};
  Clock::time_point start;
  double delay = 1;
  double last_drawn = -1;
  bool drawn = false;
};
Meter* meter = nullptr;

double since(Meter::Clock::time_point start) {
  return std::chrono::duration<double>(Meter::Clock::now() - start).count();
}

void on_progress(int level, long long step, long long steps) {
  meter->state.enter(level, step, steps);
  const double elapsed = since(meter->start);
  if (elapsed < meter->delay || elapsed - meter->last_drawn < 0.1) return;
  meter->last_drawn = elapsed;
  meter->drawn = true;
  std::fprintf(stderr, "\r%s\033[K", progress_line(meter->state, elapsed).c_str());
  std::fflush(stderr);
}

double progress_delay() {
  const char* text = std::getenv("LUMAVEIL_PROGRESS_DELAY");
  return text != nullptr ? std::atof(text) : 1.0;
}

}  // namespace

void ProgressState::enter(int level, long long step, long long steps) {
  if (level < 0 || level >= kLevels) return;
  step_[level] = step;
  steps_[level] = steps;
  depth_ = level + 1;
}

double ProgressState::fraction() const {
  double done = 0, scale = 1;
  for (int level = 0; level < depth_; ++level) {
    if (steps_[level] <= 0) break;
    scale /= static_cast<double>(steps_[level]);
    done += static_cast<double>(step_[level] - 1) * scale;
  }
  return done < 0 ? 0 : done > 1 ? 1 : done;
}

std::string ProgressState::where() const {
  std::string text = "mode " + std::to_string(mode_) + ":";
  for (int level = 0; level < depth_; ++level)
    text += std::string(level == 0 ? " " : ", ") + level_name(mode_, level) + " " +
            std::to_string(step_[level]) + " of " + std::to_string(steps_[level]);
  return text;
}

std::string progress_line(const ProgressState& state, double elapsed) {
  std::string line = state.where() + "; " + seconds(elapsed) + " elapsed";
  const double f = state.fraction();
  if (f > 0) line += ", " + seconds(elapsed * (1 - f) / f) + " left";
  return line;
}

void run_mode(int mode, bool show_progress) {
  Meter local;
  if (show_progress) {
    local.state = ProgressState(mode);
    local.start = Meter::Clock::now();
    local.delay = progress_delay();
    meter = &local;
    progress_hook = on_progress;
  }
  run_call(library_state(), mode);
  progress_hook = nullptr;
  meter = nullptr;
  if (local.drawn) {
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
  }
}

namespace {

// What the report of `mode` holds, for the summary line.
std::string report_contents(const State& s, int mode) {
  switch (mode) {
    case 1:
      return plural(s.NW, "wavelength") + ", " +
             plural(s.NS >= 0 ? spot_count(s.NS) : 0, "spot ray") + " each";
    case 2:
    case 3:
      return plural(s.NIT > 0 ? s.NIT : 0, "iteration") + " of " +
             plural(s.NV, mode == 2 ? "curvature" : "distance");
    case 4:
      return plural(s.NW, "wavelength") + ", x and y scans of " +
             plural(s.NS >= 0 ? 2LL * s.NS + 1 : 0, "ray");
    default:
      return plural(s.NITD >= 0 ? s.NITD + 1LL : 0, "pass", "passes") + " over the distance" +
             (mode == 5 ? " of surface " + std::to_string(s.ND[1])
                        : "s of surfaces " + std::to_string(s.ND[1]) + " and " +
                              std::to_string(s.ND[2])) +
             ", " + plural(s.NV, "curvature");
  }
}

}  // namespace

std::string run_summary(const State& s, int mode, const std::string& report) {
  if (mode < 1 || mode > 6) return "";
  const std::string head = "OUT_M.xls: mode " + std::to_string(mode) + ", ";
  const std::size_t error = report.rfind("error: ", 0) == 0 ? 0 : report.find("\nerror: ");
  if (error != std::string::npos) {
    const std::size_t from = error == 0 ? 0 : error + 1;
    return head + "an error line: " + report.substr(from, report.find('\n', from) - from);
  }
  const long long non_finite = non_finite_count(report);
  return head + report_contents(s, mode) +
         (non_finite > 0 ? ", " + plural(non_finite, "value") + " not finite" : "");
}

void print_run_summary(int mode) {
  // Only a report that is a regular file is read back (a directory or a
  // FIFO under its name gives no summary).
  const Result<std::string> report = report_input::read_regular_file(Report::kFileName);
  if (!report.ok()) return;
  const std::string line = run_summary(library_state(), mode, report.value());
  if (!line.empty()) std::printf("%s\n", line.c_str());
}

}  // namespace lumaveil::cli::commands
