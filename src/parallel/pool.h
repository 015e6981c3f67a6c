// A persistent pool of worker threads for the independent tasks of one
// calculation.
//
// The threads are started once, the first time they are needed, and then
// wait for work; nothing is allocated per run. The calling thread is worker 0
// and takes part. Tasks are handed out in increasing order, so each worker
// sees its own tasks in increasing order and the worker that takes the last
// task runs nothing after it.
#ifndef LUMAVEIL_PARALLEL_POOL_H
#define LUMAVEIL_PARALLEL_POOL_H

namespace lumaveil::parallel {

constexpr int kMaxThreads = 16;

// One task: `worker` is 0..thread_count()-1, `task` 0..count-1.
using TaskFunction = void (*)(void* context, int worker, int task);

// The number of threads a run uses: set_thread_count's value when set, else
// the environment variable LUMAVEIL_THREADS (a whole number >= 1; 1 runs
// every task on the calling thread), else the processors of the machine;
// never more than kMaxThreads.
int thread_count();

// Overrides the thread count for this process; 0 returns to the default.
void set_thread_count(int threads);

// Runs fn(context, worker, task) for task = 0..count-1 on up to
// thread_count() threads and returns when every task has finished.
void run_tasks(int count, TaskFunction fn, void* context);

}  // namespace lumaveil::parallel

#endif
