// Independent pieces of drawing work run side by side on the library's
// worker threads (as many as the modes use: LUMAVEIL_THREADS, else one per
// processor). Each job writes only its own result; the caller reads them in
// its own fixed order afterwards, so the output is the same on any number
// of threads.
#ifndef LUMAVEIL_CLI_DRAWING_SIDE_BY_SIDE_H
#define LUMAVEIL_CLI_DRAWING_SIDE_BY_SIDE_H

#include <cstddef>
#include <functional>

namespace lumaveil::cli::drawing {

// Runs job(0) .. job(count - 1), each once, and returns when all have
// finished. What a job throws is thrown here once every job has ended (the
// lowest-numbered job's exception when several throw).
void side_by_side(std::size_t count, const std::function<void(std::size_t)>& job);

}  // namespace lumaveil::cli::drawing

#endif
