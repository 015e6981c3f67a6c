#include "report/ray_batch.h"

#include <cstring>

#include "parallel/pool.h"

namespace lumaveil {
namespace {

// A batch is split into tasks of this many rays; the workers take the tasks
// in turn.
constexpr int kRaysPerTask = 32;
constexpr int kTasks = kBatchRays / kRaysPerTask;
// A task's text: room for rows of 80 bytes (spot and scan rows have about
// 55) and for one long row. Rows that do not fit are formatted by the
// calling thread.
constexpr int kTextBytes = kRaysPerTask * 80 + 2 * kNumberBytes;

struct Batch {
  const State* s;
  RayRows* rows;
  int count;
  StartRay start[kBatchRays];
  char text[kTasks][kTextBytes];
  int formatted[kTasks];  // the task's first rows, those in its text
};

Batch batch;

// Each worker's two rays traced side by side.
RayArrays lanes[parallel::kMaxThreads][2];

// Collects a task's rows; a piece that does not fit marks the text full.
class TextSink final : public FormatSink {
 public:
  explicit TextSink(char* text) : text_(text) {}
  void append(const char* piece, int length) override {
    if (full_ || length > kTextBytes - 1 - used_) {
      full_ = true;
      return;
    }
    std::memcpy(text_ + used_, piece, static_cast<std::size_t>(length));
    used_ += length;
  }
  int used() const { return used_; }
  bool full() const { return full_; }
  void cut(int used) { used_ = used; }
  void terminate() { text_[used_] = '\0'; }

 private:
  char* text_;
  int used_ = 0;
  bool full_ = false;
};

// Writes the pieces of a row to the report, as its literals are written.
class ReportSink final : public FormatSink {
 public:
  explicit ReportSink(Report& f1) : f1_(f1) {}
  void append(const char* piece, int length) override {
    char part[256];
    while (length > 0) {
      const int n = length < static_cast<int>(sizeof part) - 1 ? length : static_cast<int>(sizeof part) - 1;
      std::memcpy(part, piece, static_cast<std::size_t>(n));
      part[n] = '\0';
      f1_.put(part);
      piece += n;
      length -= n;
    }
  }

 private:
  Report& f1_;
};

void set_start(RayArrays& lane, const StartRay& r, double z0) {
  lane.X[0] = r.x;
  lane.Y[0] = r.y;
  lane.U[0] = r.u;
  lane.V[0] = r.v;
  lane.Z[0] = z0;
}

void set_start(State& s, const StartRay& r) {
  s.X[0] = r.x;
  s.Y[0] = r.y;
  s.U[0] = r.u;
  s.V[0] = r.v;
}

// Traces the task's rays two at a time on the worker's arrays.
void trace_rays(const Batch& b, int worker, int first, int end) {
  const TraceSurfaces surfaces = surfaces_of(*b.s);
  RayArrays& a = lanes[worker][0];
  RayArrays& c = lanes[worker][1];
  int slot = first;
  for (; slot + 1 < end; slot += 2) {
    set_start(a, b.start[slot], b.s->Z[0]);
    set_start(c, b.start[slot + 1], b.s->Z[0]);
    trace_steps_side_by_side(surfaces, a.ray(), 0, surfaces, c.ray(), 0);
    b.rows->keep(slot, a.ray());
    b.rows->keep(slot + 1, c.ray());
  }
  if (slot < end) {
    set_start(a, b.start[slot], b.s->Z[0]);
    trace_steps(surfaces, a.ray(), 0);
    b.rows->keep(slot, a.ray());
  }
}

// Formats the task's rows into its text while they fit.
int format_rows(const Batch& b, char* text, int first, int end) {
  TextSink sink(text);
  int formatted = 0;
  for (int slot = first; slot < end; ++slot) {
    const int mark = sink.used();
    b.rows->put_row(sink, slot);
    if (sink.full()) {
      sink.cut(mark);
      break;
    }
    ++formatted;
  }
  sink.terminate();
  return formatted;
}

void run_task(void* context, int worker, int task) {
  Batch& b = *static_cast<Batch*>(context);
  const int first = task * kRaysPerTask;
  const int end = first + kRaysPerTask < b.count ? first + kRaysPerTask : b.count;
  trace_rays(b, worker, first, end);
  b.formatted[task] = format_rows(b, b.text[task], first, end);
}

}  // namespace

RayBatch::RayBatch(State& s, Report& f1, RayRows& rows) : s_(s), f1_(f1), rows_(rows) {}

int RayBatch::add(const StartRay& start) {
  if (count_ == kBatchRays) {
    write(count_);
    count_ = 0;
  }
  batch.start[count_] = start;
  return count_++;
}

bool RayBatch::finish() {
  if (count_ == 0) return false;
  const int last = count_ - 1;
  write(last);
  count_ = 0;
  const StartRay before = start_of(s_);
  set_start(s_, batch.start[last]);
  trace_ray(s_);
  rows_.keep(last, ray_of(s_));
  ReportSink row(f1_);
  rows_.put_row(row, last);
  rows_.in_order(last);
  set_start(s_, before);
  return true;
}

// Traces the first `count` rays of the batch on the pool, then writes their
// rows in order and hands them to in_order.
void RayBatch::write(int count) {
  batch.s = &s_;
  batch.rows = &rows_;
  batch.count = count;
  const int tasks = (count + kRaysPerTask - 1) / kRaysPerTask;
  parallel::run_tasks(tasks, run_task, &batch);
  ReportSink rest(f1_);
  for (int task = 0; task < tasks; ++task) {
    f1_.put(batch.text[task]);
    const int first = task * kRaysPerTask;
    const int end = first + kRaysPerTask < count ? first + kRaysPerTask : count;
    for (int slot = first + batch.formatted[task]; slot < end; ++slot) rows_.put_row(rest, slot);
  }
  for (int slot = 0; slot < count; ++slot) rows_.in_order(slot);
}

}  // namespace lumaveil
