#include "cli/drawing/side_by_side.h"

#include <exception>
#include <vector>

#include "parallel/pool.h"

namespace lumaveil::cli::drawing {

namespace {

struct Jobs {
  const std::function<void(std::size_t)>* job;
  std::vector<std::exception_ptr> failures;
};

// One task on a worker: an exception must not leave the worker's thread.
void run_one(void* context, int /*worker*/, int task) {
  Jobs& jobs = *static_cast<Jobs*>(context);
  const auto k = static_cast<std::size_t>(task);
  try {
    (*jobs.job)(k);
  } catch (...) {
    jobs.failures[k] = std::current_exception();
  }
}

}  // namespace

void side_by_side(std::size_t count, const std::function<void(std::size_t)>& job) {
  Jobs jobs{&job, std::vector<std::exception_ptr>(count)};
  parallel::run_tasks(static_cast<int>(count), run_one, &jobs);
  for (const std::exception_ptr& failure : jobs.failures)
    if (failure) std::rethrow_exception(failure);
}

}  // namespace lumaveil::cli::drawing
