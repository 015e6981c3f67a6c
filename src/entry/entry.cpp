#include "entry/entry.h"

#include "aberration/aberration_analysis.h"
#include "model/lens_data.h"
#include "optimise/gauss_newton.h"
#include "optimise/distance_search.h"
#include "report/report.h"
#include "report/trace_and_spot.h"

#if defined(_WIN32)
#if !defined(_WIN32_WINNT) || _WIN32_WINNT < 0x0600
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600  // slim locks
#endif
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace lumaveil {
namespace {

// The lock of one call, on the platform's own primitives (the Windows DLL
// then imports nothing beyond the system); held for the life of the object.
class CallLock {
 public:
#if defined(_WIN32)
  CallLock() { AcquireSRWLockExclusive(&lock_); }
  ~CallLock() { ReleaseSRWLockExclusive(&lock_); }
#else
  CallLock() { pthread_mutex_lock(&lock_); }
  ~CallLock() { pthread_mutex_unlock(&lock_); }
#endif
  CallLock(const CallLock&) = delete;
  CallLock& operator=(const CallLock&) = delete;

 private:
#if defined(_WIN32)
  static inline SRWLOCK lock_ = SRWLOCK_INIT;
#else
  static inline pthread_mutex_t lock_ = PTHREAD_MUTEX_INITIALIZER;
#endif
};

void run_mode(State& s, int mode) {
  const bool known_mode = mode >= 1 && mode <= 6;
  call_files() = CallFiles{};
  if (!read_lens_data(s)) {
    if (known_mode) put_unreadable_input("IN_FM.txt", call_files().lens_data);
    return;
  }
  switch (mode) {
    case 1: trace_and_spot(s); break;
    case 2: gn_curvature(s); break;
    case 3: gn_distance(s); break;
    case 4: aberration_analysis(s); break;
    case 5: gn_curvature_d1(s); break;
    case 6: gn_curvature_d2(s); break;
    default: break;
  }
}

}  // namespace

void run_call(State& s, int mode) {
  CallLock lock;
  run_mode(s, mode);
}

void run_call(State& s, int mode, AfterCall after, void* context) {
  CallLock lock;
  run_mode(s, mode);
  after(context);
}

void run_library_call(int mode) noexcept {
  try {
    run_call(library_state(), mode);
  } catch (...) {
    // The report was dropped as the exception left the mode; the call
    // record says so.
  }
}

State& library_state() {
  static State state{};
  return state;
}

}  // namespace lumaveil
