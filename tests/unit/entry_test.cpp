// Calls of the library from several threads: one at a time, each with the
// report a lone call gives; and nothing thrown inside a call leaves main5.
#include "entry/entry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "entry/progress.h"
#include "model/file_access.h"
#include "parallel/pool.h"
#include "support/test_support.h"

namespace lumaveil {
namespace {

using testing::read_file;

// A singlet whose front curvature is variable, and a ray set for mode 2.
void write_inputs() {
  testing::LensFile{.steps = 6, .RH = 2, .wavelengths = {486.1, 656.3}, .weights = {1, 1},
                    .surfaces = {{.D = 10, .n = {1, 1}},
                                 {.C = 0.02, .D = 5, .code = "V", .n = {1.52, 1.51}},
                                 {.D = 90, .n = {1, 1}},
                                 {.n = {1, 1}},
                                 {.n = {1, 1}}}}
      .write();
  testing::RaySetFile{.NIT = 3, .rays = {{.X = 1, .XT = 0.5}, {.X = 2, .XT = 1}}}.write();
}

// One call's mode and the report it saw right after it ran.
struct CheckedCall {
  int mode = 0;
  std::string report;
};

void read_report(void* context) {
  static_cast<CheckedCall*>(context)->report = read_file("OUT_M.xls");
}

TEST(SerialisedCalls, EachCallFromManyThreadsGivesTheReportOfALoneCall) {
  testing::ScratchDir dir;
  write_inputs();
  parallel::set_thread_count(2);  // each call also runs the pool
  const int modes[] = {1, 2, 4};
  std::string alone[7];
  for (int mode : modes) {
    run_call(library_state(), mode);
    alone[mode] = read_file("OUT_M.xls");
  }
  constexpr int kThreads = 4, kCalls = 6;
  std::vector<CheckedCall> checked(kThreads * kCalls);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int k = 0; k < kCalls; ++k) {
        CheckedCall& call = checked[t * kCalls + k];
        call.mode = modes[(t + k) % 3];
        // Every other call as the exported main5 makes it, unchecked.
        if (k % 2 == 1) run_library_call(modes[(t + k + 1) % 3]);
        run_call(library_state(), call.mode, read_report, &call);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  parallel::set_thread_count(0);
  for (const CheckedCall& call : checked)
    ASSERT_TRUE(call.report == alone[call.mode])
        << "mode " << call.mode << ": " << testing::first_difference(alone[call.mode], call.report);
}

// A host's progress hook that runs out of memory ends the call: main5 returns
// normally, no report stands, and the next call runs.
TEST(LibraryCall, AnExceptionEndsTheCallWithoutAReportAndEscapesNot) {
  testing::ScratchDir dir;
  write_inputs();
  testing::write_file("OUT_M.xls", "an old report\n");
  progress_hook = [](int, long long, long long) { throw std::bad_alloc(); };
  EXPECT_NO_THROW(run_library_call(1));
  progress_hook = nullptr;
  EXPECT_FALSE(std::filesystem::exists("OUT_M.xls"));
  EXPECT_STREQ(call_files().report.failure, "write");
  run_library_call(1);
  EXPECT_EQ(call_files().report.failure, nullptr);
  EXPECT_TRUE(std::filesystem::exists("OUT_M.xls"));
}

}  // namespace
}  // namespace lumaveil
