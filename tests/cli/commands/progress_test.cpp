#include "cli/commands/progress.h"

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "entry/entry.h"
#include "entry/progress.h"
#include "support/test_support.h"

namespace lumaveil::testing {
namespace {

TEST(Progress, TheLineSaysWhereTheRunIsAndHowLongItHasLeft) {
  cli::commands::ProgressState state(6);
  EXPECT_EQ(state.fraction(), 0);
  state.enter(0, 2, 5);
  state.enter(1, 13, 25);
  EXPECT_EQ(state.where(), "mode 6: pass 2 of 5, grid point 13 of 25");
  EXPECT_DOUBLE_EQ(state.fraction(), 1.0 / 5 + 12.0 / 125);
  // A new pass forgets the grid point of the last one.
  state.enter(0, 3, 5);
  EXPECT_EQ(state.where(), "mode 6: pass 3 of 5");
  EXPECT_DOUBLE_EQ(state.fraction(), 0.4);
  EXPECT_EQ(cli::commands::progress_line(state, 10),
            "mode 6: pass 3 of 5; 10.0 s elapsed, 15.0 s left");

  cli::commands::ProgressState scan(4);
  scan.enter(0, 1, 3);
  scan.enter(1, 2, 2);
  scan.enter(2, 4, 7);
  EXPECT_EQ(scan.where(), "mode 4: wavelength 1 of 3, scan 2 of 2, ray 4 of 7");
  // Nothing done yet: no estimate.
  cli::commands::ProgressState first(2);
  first.enter(0, 1, 6);
  EXPECT_EQ(cli::commands::progress_line(first, 75),
            "mode 2: iteration 1 of 6; 1 min 15 s elapsed");
}

// A singlet with a variable front face and a small ray set.
void write_optimisation() {
  LensFile lens = good_lens();
  lens.RH = 4;
  lens.write();
  RaySetFile{.NIT = 3, .NITC = 2, .NITD = 1, .rays = {{.X = 1}, {.X = -2}, {.X = 3}}}.write();
}

std::vector<std::vector<long long>> calls;
void record(int level, long long step, long long steps) { calls.push_back({level, step, steps}); }

// The report of one mode run on a fresh state, with or without a hook.
std::string report(int mode, ProgressHook hook) {
  auto s = std::make_unique<State>();
  calls.clear();
  progress_hook = hook;
  run_call(*s, mode);
  progress_hook = nullptr;
  return read_file("OUT_M.xls");
}

TEST(Progress, TheDriversAnnounceTheirStepsAndTheReportsStayTheSame) {
  ScratchDir dir;
  write_optimisation();
  for (int mode = 1; mode <= 6; ++mode)
    EXPECT_EQ(report(mode, record), report(mode, nullptr)) << mode;

  report(2, record);
  EXPECT_EQ(calls, (std::vector<std::vector<long long>>{{0, 1, 3}, {0, 2, 3}, {0, 3, 3}}));
  report(5, record);
  ASSERT_EQ(calls.size(), 12u);  // two passes of one announcement and five grid points
  EXPECT_EQ(calls[0], (std::vector<long long>{0, 1, 2}));
  EXPECT_EQ(calls[5], (std::vector<long long>{1, 5, 5}));
  EXPECT_EQ(calls[6], (std::vector<long long>{0, 2, 2}));
  report(6, record);
  EXPECT_EQ(calls.size(), 2u * 26);
  EXPECT_EQ(calls[25], (std::vector<long long>{1, 25, 25}));
  report(1, record);  // 29 spot rays of NS = 3 in one wavelength
  EXPECT_EQ(calls.size(), 1u + 29);
  EXPECT_EQ(calls.back(), (std::vector<long long>{1, 29, 29}));
  report(4, record);  // the wavelength, then each scan and its 7 rays
  EXPECT_EQ(calls.size(), 1u + 2 * (1 + 7));
  EXPECT_EQ(calls[9], (std::vector<long long>{1, 2, 2}));
  EXPECT_EQ(calls[16], (std::vector<long long>{2, 7, 7}));
}

TEST(Progress, SummaryNamesWhatTheReportHolds) {
  auto s = std::make_unique<State>();
  s->NW = 3;
  s->NS = 10;
  s->NIT = 6;
  s->NV = 1;
  s->NITD = 0;
  s->ND[1] = 2;
  s->ND[2] = 4;
  EXPECT_EQ(cli::commands::run_summary(*s, 1, ""),
            "OUT_M.xls: mode 1, 3 wavelengths, 317 spot rays each");
  EXPECT_EQ(cli::commands::run_summary(*s, 2, ""),
            "OUT_M.xls: mode 2, 6 iterations of 1 curvature");
  EXPECT_EQ(cli::commands::run_summary(*s, 3, ""), "OUT_M.xls: mode 3, 6 iterations of 1 distance");
  EXPECT_EQ(cli::commands::run_summary(*s, 4, ""),
            "OUT_M.xls: mode 4, 3 wavelengths, x and y scans of 21 rays");
  EXPECT_EQ(cli::commands::run_summary(*s, 5, ""),
            "OUT_M.xls: mode 5, 1 pass over the distance of surface 2, 1 curvature");
  s->NITD = 2;
  EXPECT_EQ(cli::commands::run_summary(*s, 6, ""),
            "OUT_M.xls: mode 6, 3 passes over the distances of surfaces 2 and 4, 1 curvature");
  EXPECT_EQ(cli::commands::run_summary(*s, 7, ""), "");
  EXPECT_EQ(cli::commands::run_summary(*s, 5, "heading\ncolumns\nerror: ND[1] = 9 is bad\n"),
            "OUT_M.xls: mode 5, an error line: error: ND[1] = 9 is bad");
  EXPECT_EQ(cli::commands::run_summary(*s, 1, "error: cannot open IN_FM.txt\n"),
            "OUT_M.xls: mode 1, an error line: error: cannot open IN_FM.txt");
}

TEST(Progress, NoSummaryWhenTheReportIsNotARegularFile) {
  ScratchDir dir;
  std::filesystem::create_directory("OUT_M.xls");
  ::testing::internal::CaptureStdout();
  cli::commands::print_run_summary(1);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

// Runs the host with its standard output and error on a pseudo-terminal;
// all that the terminal received.
std::string run_in_terminal(const std::vector<std::string>& arguments) {
  int master = -1;
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    setenv("LUMAVEIL_PROGRESS_DELAY", "0", 1);
    std::vector<char*> argv{const_cast<char*>(LUMAVEIL_HOST)};
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(LUMAVEIL_HOST, argv.data());
    _exit(127);
  }
  std::string received;
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(master, buffer, sizeof buffer);
    if (n > 0)
      received.append(buffer, n);
    else if (n < 0 && errno == EINTR)
      continue;
    else
      break;  // EIO once the child has closed the terminal
  }
  close(master);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status)) << received;
  if (WIFEXITED(status)) {
    EXPECT_EQ(WEXITSTATUS(status), 0) << received;
  }
  return received;
}

TEST(Progress, ShownOnATerminalOnlyAndTheReportIsTheSame) {
  ScratchDir dir;
  write_optimisation();
  const std::string shown = run_in_terminal({"5"});
  // The first announcement draws at once; the next only a tenth of a second later.
  EXPECT_NE(shown.find("\rmode 5: pass 1 of 2; 0.0 s elapsed\033[K"), std::string::npos) << shown;
  EXPECT_NE(shown.find("\r\033[K"), std::string::npos);  // the line is cleared at the end
  EXPECT_NE(shown.find("OUT_M.xls: mode 5, 2 passes"), std::string::npos);
  const std::string on_terminal = read_file("OUT_M.xls");

  // Through a pipe: nothing on standard error, the same report.
  ASSERT_EQ(std::system("LUMAVEIL_PROGRESS_DELAY=0 " LUMAVEIL_HOST " 5 2>stderr.txt >stdout.txt"),
            0);
  EXPECT_EQ(read_file("stderr.txt"), "");
  EXPECT_EQ(read_file("stdout.txt"),
            "OUT_M.xls: mode 5, 2 passes over the distance of surface 2, 1 curvature\n");
  EXPECT_EQ(read_file("OUT_M.xls"), on_terminal);

  // Quiet: neither progress nor summary, even on a terminal.
  const std::string quiet = run_in_terminal({"--quiet", "5"});
  EXPECT_EQ(quiet, "");
  EXPECT_EQ(read_file("OUT_M.xls"), on_terminal);
}

}  // namespace
}  // namespace lumaveil::testing
