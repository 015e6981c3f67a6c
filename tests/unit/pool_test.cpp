// The worker pool: every task runs exactly once, on a worker in range, and
// each worker meets its tasks in increasing order (the merit evaluation takes
// the state of its last trace from the worker of the last task).
#include "parallel/pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cfenv>
#include <chrono>
#include <vector>

namespace lumaveil {
namespace {

struct Record {
  std::vector<std::atomic<int>> runs;
  std::vector<int> worker_of;
  std::vector<int> last_task_of;
  bool ordered = true;
  int workers;
  explicit Record(int tasks, int workers)
      : runs(tasks), worker_of(tasks, -1), last_task_of(workers, -1), workers(workers) {}
};

void note_task(void* context, int worker, int task) {
  Record& r = *static_cast<Record*>(context);
  r.runs[task].fetch_add(1);
  r.worker_of[task] = worker;
  if (worker < 0 || worker >= r.workers) return;
  // Each worker writes only its own entry.
  if (r.last_task_of[worker] >= task) r.ordered = false;
  r.last_task_of[worker] = task;
}

TEST(ThreadPool, EveryTaskOnceOnAWorkerInRangeInIncreasingOrder) {
  for (int threads : {1, 2, 3, 5}) {
    parallel::set_thread_count(threads);
    ASSERT_EQ(parallel::thread_count(), threads);
    for (int tasks : {0, 1, 2, 7, 300}) {
      for (int round = 0; round < 3; ++round) {  // the pool is reused
        Record r(tasks, threads);
        parallel::run_tasks(tasks, note_task, &r);
        for (int t = 0; t < tasks; ++t) {
          EXPECT_EQ(r.runs[t].load(), 1) << threads << " threads, task " << t;
          EXPECT_GE(r.worker_of[t], 0);
          EXPECT_LT(r.worker_of[t], threads);
        }
        EXPECT_TRUE(r.ordered) << threads << " threads, " << tasks << " tasks";
      }
    }
  }
  parallel::set_thread_count(0);
  EXPECT_GE(parallel::thread_count(), 1);
  EXPECT_LE(parallel::thread_count(), parallel::kMaxThreads);
}

// Tasks that wait for one another, so that each runs on its own worker, and
// each computes one third, rounded as its thread rounds.
struct Thirds {
  std::atomic<int> arrived{0};
  double value[3];
};

void third_task(void* context, int, int task) {
  Thirds& t = *static_cast<Thirds*>(context);
  t.arrived.fetch_add(1);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (t.arrived.load() < 3 && std::chrono::steady_clock::now() < deadline) {
  }
  volatile double one = 1.0, three = 3.0;
  t.value[task] = one / three;
}

// A task rounds on a worker as it would on the caller, whatever the caller
// has set since the workers started (a host may set its own rounding or
// precision; under 32-bit Windows a new thread's x87 precision differs from
// the one a program's start-up code sets).
TEST(ThreadPool, WorkersRoundAsTheCallingThreadDoes) {
  parallel::set_thread_count(3);
  Thirds started;
  parallel::run_tasks(3, third_task, &started);  // the workers start at the default
  for (int mode : {FE_UPWARD, FE_DOWNWARD, FE_TONEAREST}) {
    Thirds t;
    ASSERT_EQ(std::fesetround(mode), 0);
    volatile double one = 1.0, three = 3.0;
    const double expected = one / three;
    parallel::run_tasks(3, third_task, &t);
    std::fesetround(FE_TONEAREST);
    ASSERT_EQ(t.arrived.load(), 3);
    for (double third : t.value) EXPECT_EQ(third, expected) << "rounding mode " << mode;
  }
  parallel::set_thread_count(0);
}

TEST(ThreadPool, ThreadCountIsKeptWithinTheLimits) {
  parallel::set_thread_count(1000);
  EXPECT_EQ(parallel::thread_count(), parallel::kMaxThreads);
  parallel::set_thread_count(-4);  // as 0: back to the default
  EXPECT_GE(parallel::thread_count(), 1);
  parallel::set_thread_count(0);
}

}  // namespace
}  // namespace lumaveil
