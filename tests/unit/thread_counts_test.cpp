// Every report is the same bytes whatever the number of threads: the
// examples' golden reports, the reference cases and the whole-run fuzz seeds
// of modes 1 and 4 (every lens-data seed too), each run at 1, 2 and 3
// threads (LUMAVEIL_THREADS) from a fresh state block, as the host runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "../../fuzz/count_caps.h"
#include "entry/entry.h"
#include "parallel/pool.h"
#include "support/test_support.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumaveil {
namespace {

namespace fs = std::filesystem;

constexpr int kThreadCounts[] = {1, 2, 3};

// The report that a run of `modes`, one after the other on one fresh state
// block, leaves in the current directory, at `threads` threads.
std::string report_of(const std::vector<int>& modes, int threads) {
  parallel::set_thread_count(threads);
  auto s = std::make_unique<State>();
  fs::remove("OUT_M.xls");
  for (int mode : modes) run_call(*s, mode);
  parallel::set_thread_count(0);
  return testing::file_exists("OUT_M.xls") ? testing::read_file("OUT_M.xls") : "(no report)";
}

void copy_inputs(const fs::path& folder) {
  for (const char* name : {"IN_FM.txt", "IN_FM2.txt"})
    if (fs::exists(folder / name)) fs::copy_file(folder / name, name);
}

std::vector<fs::path> entries_of(const fs::path& folder) {
  std::vector<fs::path> out;
  for (const auto& entry : fs::directory_iterator(folder)) out.push_back(entry.path());
  std::sort(out.begin(), out.end());
  return out;
}

TEST(ThreadCounts, EveryGoldenReportAtOneTwoAndThreeThreads) {
  static const std::regex golden_name(R"(m([0-9]+)\.xls)");
  int checked = 0;
  for (const fs::path& golden_folder : entries_of(fs::path(LUMAVEIL_TEST_DATA_DIR) / "examples")) {
    const fs::path example = fs::path(LUMAVEIL_EXAMPLES_DIR) / golden_folder.filename();
    for (const fs::path& golden : entries_of(golden_folder)) {
      std::smatch match;
      const std::string name = golden.filename().string();
      if (!std::regex_match(name, match, golden_name)) continue;
      const int mode = std::stoi(match[1].str());
      const std::string want = testing::read_file(golden.string());
      testing::ScratchDir scratch;
      copy_inputs(example);
      for (int threads : kThreadCounts)
        EXPECT_EQ(testing::first_difference(want, report_of({mode}, threads)), "")
            << golden << ", " << threads << " threads";
      ++checked;
    }
  }
  EXPECT_GT(checked, 20);
}

TEST(ThreadCounts, EveryReferenceCaseAtOneTwoAndThreeThreads) {
  int checked = 0;
  for (const fs::path& folder : entries_of(fs::path(LUMAVEIL_TEST_DATA_DIR) / "reference")) {
    std::ifstream modes_file(folder / "modes");
    const std::vector<int> modes{std::istream_iterator<int>(modes_file), {}};
    if (modes.empty() || !fs::exists(folder / "expected.xls")) continue;
    const std::string want = testing::normalise_non_finite(testing::read_file((folder / "expected.xls").string()));
    testing::ScratchDir scratch;
    copy_inputs(folder);
    for (int threads : kThreadCounts)
      EXPECT_EQ(testing::first_difference(want, testing::normalise_non_finite(report_of(modes, threads))), "")
          << folder << ", " << threads << " threads";
    ++checked;
  }
  EXPECT_GT(checked, 5);
}

// A seed as the whole-run harness replays it (fuzz/fuzz_run.cpp): the lens
// file up to a NUL byte, the ray-set file after it, NS capped at 4 and
// NUMB at 100; then modes 1 and 4, each from a fresh state block.
void expect_seed_reports_agree(const fs::path& seed) {
  static constexpr fuzzing::CountCap kLensCaps[] = {{3, 2, 4}, {12, 1, kMaxSurfaces}};
  static constexpr fuzzing::CountCap kRaySetCaps[] = {{2, 2, 3}, {4, 2, 10}, {7, 2, 2}, {8, 2, 2}};
  auto grid = std::make_unique<InputGrid>();
  const std::string input = testing::read_file(seed.string());
  const std::size_t split = input.find('\0');
  testing::ScratchDir scratch;
  testing::write_file("IN_FM.txt", fuzzing::capped(input.substr(0, split), kLensDataGrid, kLensCaps, *grid));
  if (split != std::string::npos)
    testing::write_file("IN_FM2.txt",
                        fuzzing::capped(input.substr(split + 1), kRaySetGrid, kRaySetCaps, *grid));
  for (int mode : {1, 4}) {
    const std::string one = report_of({mode}, 1);
    for (int threads : {2, 3})
      EXPECT_EQ(testing::first_difference(one, report_of({mode}, threads)), "")
          << "seed " << seed << ", mode " << mode << ", " << threads << " threads";
  }
}

TEST(ThreadCounts, EveryFuzzSeedOfModesOneAndFourAndEveryLensSeed) {
  const fs::path corpus = fs::path(LUMAVEIL_EXAMPLES_DIR).parent_path() / "fuzz" / "corpus";
  int checked = 0;
  for (const char* harness : {"mode1", "mode4", "lens_data"})
    for (const fs::path& seed : entries_of(corpus / harness)) {
      expect_seed_reports_agree(seed);
      ++checked;
    }
  EXPECT_GT(checked, 100);
}

// The child's exit status, or -1 when it has not ended within `seconds` (it
// is then killed). The child's own alarm ends it first, should it hang.
int status_of_child(pid_t child, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A host that has run a threaded calculation and then forks: the child has
// none of the pool's threads, and its own threaded run must neither wait for
// them nor report other bytes.
TEST(ThreadCounts, AForkedChildRunsThreadedAsItsParent) {
#ifdef __SANITIZE_THREAD__
  GTEST_SKIP() << "the thread sanitizer ends a forked child that starts threads";
#endif
  testing::ScratchDir scratch;
  testing::LensFile lens = testing::good_lens();
  lens.steps = 20;  // a spot grid of hundreds of rays: many tasks on the pool
  lens.write();
  const std::string parent = report_of({1}, 2);
  ASSERT_GT(parent.size(), 10000u);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    alarm(20);
    _exit(report_of({1}, 2) == parent ? 0 : 1);
  }
  EXPECT_EQ(status_of_child(child, 30), 0) << "0: same report; 1: other bytes; -1: hung or killed";
}

}  // namespace
}  // namespace lumaveil
