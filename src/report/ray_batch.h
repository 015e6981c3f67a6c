// The rays of a spot grid or an aperture scan, traced on the worker pool a
// batch at a time and reported in their order.
//
// A mode hands its rays over in order (add). When a batch is full its rays
// are traced, each on the arrays of the worker that takes it and exactly as
// trace_ray traces it alone (two rays side by side, as trace.h allows), and
// each task formats the rows of its rays into a text of its own. Meanwhile
// one worker writes the batch traced before: its texts in the order of the
// rays, then each ray, in that order, to the mode's in_order step. The
// report is so the same bytes for any number of threads.
//
// The last ray is traced on the state block itself (finish): the state then
// ends as it would had every ray been traced there, one after the other.
//
// Nothing is allocated: the batch, its texts and the workers' arrays are
// static, of kBatchRays rays and parallel::kMaxThreads workers. One batch is
// in use at a time (calls of main5 do not overlap).
#ifndef LUMAVEIL_REPORT_RAY_BATCH_H
#define LUMAVEIL_REPORT_RAY_BATCH_H

#include "model/state.h"
#include "report/format.h"
#include "report/report.h"
#include "trace/trace.h"

namespace lumaveil {

constexpr int kBatchRays = 2048;
// Two batches are under way at a time, one traced while the other is
// written: a ray's slot is below kBatchSlots.
constexpr int kBatchSlots = 2 * kBatchRays;

// The room a mode's row_text may fill.
constexpr int kRowTextBytes = 192;

// A ray's start: element 0 of X, Y, U and V.
struct StartRay {
  double x, y, u, v;
};

inline StartRay start_of(const State& s) { return {s.X[0], s.Y[0], s.U[0], s.V[0]}; }

// What a mode does with the rays of a batch. Its data of a ray lives in
// arrays of kBatchSlots entries under the ray's slot.
class RayRows {
 public:
  // On a worker thread: the ray of `slot` has been traced on `ray` through
  // surface NUMB-1 (not NUMB), with its slopes kept; keeps what its row and
  // in_order need. Reads the state block only.
  virtual void keep(int slot, const TraceRay& ray) = 0;
  // Formats the row of `slot` from what keep kept (on any thread).
  virtual void put_row(FormatSink& sink, int slot) const = 0;
  // The same row written in place into `out`, which holds kRowTextBytes;
  // returns its length, or -1 when the row is to go through put_row.
  virtual int row_text(char* out, int slot) const {
    (void)out;
    (void)slot;
    return -1;
  }
  // In the order of the rays, once their rows are written (on the thread
  // that writes them; one ray at a time).
  virtual void in_order(int slot) { (void)slot; }

 protected:
  ~RayRows() = default;
};

class RayBatch {
 public:
  // The rays are traced through the lens and the working row of `s`, which
  // must not change while rays are handed over.
  RayBatch(State& s, Report& f1, RayRows& rows);
  RayBatch(const RayBatch&) = delete;
  RayBatch& operator=(const RayBatch&) = delete;

  // Hands over the next ray; returns its slot, under which the mode keeps
  // its own data of the ray. A full batch is traced and written first.
  int add(const StartRay& start);

  // Traces and writes the rays not yet written: all but the last on the
  // pool, the last one on the state block, whose start is then put back to
  // what it held before. False when there was no ray.
  bool finish();

 private:
  void trace_current(int count);

  State& s_;
  Report& f1_;
  RayRows& rows_;
  int current_ = 0;   // the batch that takes the rays handed over
  int waiting_ = -1;  // the batch traced but not yet written, or -1
};

}  // namespace lumaveil

#endif
