// A report is whole or absent: whatever ends a call of main5 early, a kill,
// the file-size limit, OUT_M.xls is then either missing or the whole report.
// Each call runs in a child process, so that it can be killed or limited.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "lumaveil/main5.h"
#include "support/test_support.h"

namespace lumaveil::testing {
namespace {

namespace fs = std::filesystem;

// A singlet with three wavelengths and a spot grid of `steps` steps.
LensFile singlet(int steps) {
  return LensFile{.steps = steps, .RH = 2, .wavelengths = {486.1, 587.6, 656.3},
                  .weights = {1, 1, 1},
                  .surfaces = {{.D = 10, .n = {1, 1, 1}},
                               {.C = 0.02, .D = 5, .n = {1.52, 1.51, 1.50}},
                               {.D = 90, .n = {1, 1, 1}},
                               {.n = {1, 1, 1}},
                               {.n = {1, 1, 1}}}};
}

// How a child's run ended.
struct Ending {
  bool exited;
  int code;  // the exit status, or the signal that ended it
};

// Starts a child that runs main5(1) after `prepare`; its process number.
template <typename Prepare>
pid_t start_mode1(Prepare prepare) {
  const pid_t child = fork();
  if (child == 0) {
    prepare();
    main5(1);
    _exit(0);
  }
  return child;
}

Ending wait_for(pid_t child) {
  int status = 0;
  if (waitpid(child, &status, 0) != child) return {false, -1};
  return WIFEXITED(status) ? Ending{true, WEXITSTATUS(status)} : Ending{false, WTERMSIG(status)};
}

// The names in the current folder other than IN_FM.txt and OUT_M.xls.
std::vector<std::string> other_names() {
  std::vector<std::string> others;
  for (const auto& entry : fs::directory_iterator(".")) {
    const std::string name = entry.path().filename().string();
    if (name != "IN_FM.txt" && name != "OUT_M.xls") others.push_back(name);
  }
  return others;
}

// Killed at random moments of its run, a call leaves no OUT_M.xls or the
// whole report (a temporary file may stay: nothing runs after SIGKILL).
TEST(ReportFile, ARunKilledAtAnyMomentLeavesNoReportOrAWholeOne) {
  ScratchDir dir;
  singlet(70).write();
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(wait_for(start_mode1([] {})).exited);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const std::string whole = read_file("OUT_M.xls");
  ASSERT_GT(whole.size(), 1000000u);

  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed) + ", a run of " + std::to_string(seconds) + " s");
  std::mt19937 random(seed);
  std::uniform_int_distribution<long> moment(0, static_cast<long>(seconds * 1.5e6));
  int absent = 0;
  for (int attempt = 0; attempt < 30; ++attempt) {
    fs::remove("OUT_M.xls");
    for (const std::string& name : other_names()) fs::remove(name);
    const pid_t child = start_mode1([] {});
    ASSERT_GT(child, 0);
    usleep(static_cast<useconds_t>(moment(random)));
    kill(child, SIGKILL);
    wait_for(child);
    if (!file_exists("OUT_M.xls")) {
      ++absent;
      continue;
    }
    ASSERT_EQ(read_file("OUT_M.xls").size(), whole.size()) << "attempt " << attempt;
    ASSERT_TRUE(read_file("OUT_M.xls") == whole) << "attempt " << attempt;
  }
  std::printf("%d of 30 killed runs left no report, the others the whole one\n", absent);
}

// Over the file-size limit, a write fails (SIGXFSZ ignored) or the signal
// ends the process: either way no report, and the old one went at the start.
TEST(ReportFile, ARunOverTheFileSizeLimitLeavesNoReport) {
  ScratchDir dir;
  singlet(20).write();
  for (const bool ignore_signal : {true, false}) {
    write_file("OUT_M.xls", "an old report\n");
    const pid_t child = start_mode1([ignore_signal] {
      const rlimit limit{4096, RLIM_INFINITY};
      setrlimit(RLIMIT_FSIZE, &limit);
      if (ignore_signal) signal(SIGXFSZ, SIG_IGN);
    });
    const Ending ending = wait_for(child);
    EXPECT_EQ(ending.exited, ignore_signal);
    EXPECT_EQ(ending.code, ignore_signal ? 0 : SIGXFSZ);
    EXPECT_FALSE(file_exists("OUT_M.xls")) << ignore_signal;
    // A write that failed removes its temporary file.
    if (ignore_signal) {
      EXPECT_EQ(other_names(), std::vector<std::string>{});
    }
    for (const std::string& name : other_names()) fs::remove(name);
  }
}

// OUT_M.xls -> ../precious: the link gives way to the report, and the file
// it named keeps its bytes.
TEST(ReportFile, ALinkNamedOutMIsReplacedAndItsTargetKept) {
  ScratchDir dir;
  write_file("precious", "a file of the user's\n");
  fs::create_directory("lens");
  ASSERT_EQ(chdir("lens"), 0);
  singlet(2).write();
  fs::create_symlink("../precious", "OUT_M.xls");
  EXPECT_EQ(wait_for(start_mode1([] {})).code, 0);
  EXPECT_FALSE(fs::is_symlink("OUT_M.xls"));
  const std::string report = read_file("OUT_M.xls");
  EXPECT_EQ(report.rfind("\x94\x67\x92\xB7" "1\x81\x69", 0), 0u);
  EXPECT_EQ(other_names(), std::vector<std::string>{});
  ASSERT_EQ(chdir(".."), 0);
  EXPECT_EQ(read_file("precious"), "a file of the user's\n");
}

}  // namespace
}  // namespace lumaveil::testing
