#include "parallel/pool.h"

#include <atomic>
#include <cfenv>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#if !defined(_WIN32_WINNT) || _WIN32_WINNT < 0x0600
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600  // condition variables and slim locks
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#include <pthread.h>
#include <unistd.h>
#endif

namespace lumaveil::parallel {
namespace {

// The few thread primitives the pool needs, on the platform's own API (the
// Windows DLL then imports nothing beyond the system).
#ifdef _WIN32
struct Lock {
  SRWLOCK lock = SRWLOCK_INIT;
  CONDITION_VARIABLE work = CONDITION_VARIABLE_INIT;
  CONDITION_VARIABLE done = CONDITION_VARIABLE_INIT;
  void acquire() { AcquireSRWLockExclusive(&lock); }
  void release() { ReleaseSRWLockExclusive(&lock); }
  void wait_work() { SleepConditionVariableSRW(&work, &lock, INFINITE, 0); }
  void wait_done() { SleepConditionVariableSRW(&done, &lock, INFINITE, 0); }
  void wake_workers() { WakeAllConditionVariable(&work); }
  void wake_caller() { WakeConditionVariable(&done); }
};

int processors() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return static_cast<int>(info.dwNumberOfProcessors);
}
#else
struct Lock {
  pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
  pthread_cond_t work = PTHREAD_COND_INITIALIZER;
  pthread_cond_t done = PTHREAD_COND_INITIALIZER;
  void acquire() { pthread_mutex_lock(&lock); }
  void release() { pthread_mutex_unlock(&lock); }
  void wait_work() { pthread_cond_wait(&work, &lock); }
  void wait_done() { pthread_cond_wait(&done, &lock); }
  void wake_workers() { pthread_cond_broadcast(&work); }
  void wake_caller() { pthread_cond_signal(&done); }
};

int processors() { return static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)); }
#endif

// The run in progress; guarded by `lock` except the task counter.
struct Pool {
  Lock lock;
  int started = 0;          // pool threads running: workers 1..started
  unsigned generation = 0;  // counts the runs
  int workers = 0;          // workers of the current run, caller included
  int pending = 0;          // pool workers of the current run not yet done
  TaskFunction fn = nullptr;
  void* context = nullptr;
  int count = 0;
  // The caller's floating-point environment (rounding, precision, flush
  // to zero). A thread has its own: the workers take the caller's for each
  // run, so a task rounds alike on every thread. Under 32-bit Windows this
  // matters: the C runtime's sin, tan and atan run on the x87 unit, whose
  // precision the host's thread may have set other than a new thread's.
  std::fenv_t environment;
  std::atomic<int> next{0};
};

Pool pool;
std::atomic<int> override_count{0};

void work(int worker, TaskFunction fn, void* context, int count) {
  for (;;) {
    const int task = pool.next.fetch_add(1, std::memory_order_relaxed);
    if (task >= count) return;
    fn(context, worker, task);
  }
}

void worker_loop(int worker) {
  unsigned seen = 0;
  pool.lock.acquire();
  for (;;) {
    while (pool.generation == seen) pool.lock.wait_work();
    seen = pool.generation;
    if (worker >= pool.workers) continue;
    const TaskFunction fn = pool.fn;
    void* const context = pool.context;
    const int count = pool.count;
    const std::fenv_t environment = pool.environment;
    pool.lock.release();
    std::fesetenv(&environment);
    work(worker, fn, context, count);
    pool.lock.acquire();
    if (--pool.pending == 0) pool.lock.wake_caller();
  }
}

#ifdef _WIN32
DWORD WINAPI thread_main(LPVOID arg) {
  worker_loop(static_cast<int>(reinterpret_cast<INT_PTR>(arg)));
  return 0;
}

// The pool's threads wait in this library's code until the process ends, so
// the library must stay mapped: once they run, a host's FreeLibrary no
// longer unloads it.
void keep_library_loaded() {
  HMODULE self;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCWSTR>(&pool), &self);
}

bool start_thread(int worker) {
  HANDLE h = CreateThread(nullptr, 0, thread_main,
                          reinterpret_cast<LPVOID>(static_cast<INT_PTR>(worker)), 0, nullptr);
  if (h == nullptr) return false;
  CloseHandle(h);
  return true;
}
#else
void* thread_main(void* arg) {
  worker_loop(static_cast<int>(reinterpret_cast<long>(arg)));
  return nullptr;
}

// The pool's threads wait in this library's code until the process ends, so
// the library must stay mapped: once they run, dlclose no longer unloads it.
// (Linked into a program, the lookup finds the program, which stays anyway.)
void keep_library_loaded() {
  Dl_info info;
  if (dladdr(&pool, &info) == 0 || info.dli_fname == nullptr) return;
  // Marks the loaded object as never to be unloaded; the extra reference
  // this takes is never given back.
  dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

// A child of fork() has only the thread that forked: the pool's threads stay
// behind in the parent. So that the child's runs do not wait for workers that
// are not there, no fork happens while a thread holds the pool's lock, and
// the child begins with a pool that has started no threads (the next run
// starts its own). Its condition variables are made anew too: they still
// count the parent's waiting threads, which the child does not have.
void lock_before_fork() { pool.lock.acquire(); }
void unlock_in_parent() { pool.lock.release(); }
void restart_in_child() {
  pool.lock = Lock{};  // the one thread left held it; now free, nobody waiting
  pool.started = 0;
  pool.workers = 0;
  pool.pending = 0;
}

// Called under the pool's lock before the first thread starts. (A fork in
// progress meanwhile runs the handlers registered before, never these.)
void reset_pool_in_forked_children() {
  static bool registered = false;
  if (registered) return;
  registered = pthread_atfork(lock_before_fork, unlock_in_parent, restart_in_child) == 0;
}

bool start_thread(int worker) {
  pthread_t t;
  if (pthread_create(&t, nullptr, thread_main, reinterpret_cast<void*>(static_cast<long>(worker))) != 0)
    return false;
  pthread_detach(t);
  return true;
}
#endif

int clamp_threads(long n) {
  if (n < 1) return 1;
  if (n > kMaxThreads) return kMaxThreads;
  return static_cast<int>(n);
}

// LUMAVEIL_THREADS when it is a whole number >= 1, else the processors.
int default_count() {
  if (const char* text = std::getenv("LUMAVEIL_THREADS")) {
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (end != text && *end == '\0' && n >= 1) return clamp_threads(n);
  }
  return clamp_threads(processors());
}

}  // namespace

int thread_count() {
  const int forced = override_count.load(std::memory_order_relaxed);
  if (forced > 0) return forced;
  static const int from_environment = default_count();
  return from_environment;
}

void set_thread_count(int threads) {
  override_count.store(threads > 0 ? clamp_threads(threads) : 0, std::memory_order_relaxed);
}

void run_tasks(int count, TaskFunction fn, void* context) {
  if (count <= 0) return;
  int workers = thread_count();
  if (workers > count) workers = count;
  pool.lock.acquire();
  // Start the threads this run needs that are not running yet; should the
  // system refuse one, run with the threads there are.
  if (pool.started == 0 && workers > 1) {
    keep_library_loaded();
#ifndef _WIN32
    reset_pool_in_forked_children();
#endif
  }
  while (pool.started < workers - 1 && start_thread(pool.started + 1)) ++pool.started;
  if (workers > pool.started + 1) workers = pool.started + 1;
  if (workers == 1) {
    pool.lock.release();
    for (int task = 0; task < count; ++task) fn(context, 0, task);
    return;
  }
  pool.fn = fn;
  pool.context = context;
  pool.count = count;
  pool.workers = workers;
  pool.pending = workers - 1;
  pool.next.store(0, std::memory_order_relaxed);
  std::fegetenv(&pool.environment);
  ++pool.generation;
  pool.lock.wake_workers();
  pool.lock.release();

  work(0, fn, context, count);

  pool.lock.acquire();
  while (pool.pending > 0) pool.lock.wait_done();
  pool.lock.release();
}

}  // namespace lumaveil::parallel
