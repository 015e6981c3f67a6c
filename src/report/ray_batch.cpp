#include "report/ray_batch.h"

#include <cmath>
#include <cstring>

#include "parallel/pool.h"

namespace lumaveil {
namespace {

// A batch is split into tasks of this many rays; the workers take the tasks
// in turn.
constexpr int kRaysPerTask = 32;
constexpr int kTasks = kBatchRays / kRaysPerTask;
// A task's text: room for rows of 80 bytes (spot and scan rows have about
// 55) and for one long row. Rows that do not fit are formatted when the
// batch is written.
constexpr int kTextBytes = kRaysPerTask * 80 + 2 * kNumberBytes;

// One batch: the rays' starts, and each task's text.
struct Batch {
  int count;
  StartRay start[kBatchRays];
  char text[kTasks][kTextBytes];
  int used[kTasks];       // the bytes of the task's text
  int formatted[kTasks];  // the task's first rows, those in its text
};

// While the rays of one batch are traced, the other batch, traced before,
// is written by one of the workers.
struct Pipeline {
  const State* s;
  Report* f1;
  RayRows* rows;
  Batch batch[2];
  int tracing;  // the batch the run traces
  int writing;  // the batch the run writes first, or -1
};

Pipeline pipeline;

// Each worker's two rays traced side by side.
RayArrays lanes[parallel::kMaxThreads][2];

int tasks_of(int count) { return (count + kRaysPerTask - 1) / kRaysPerTask; }
int end_of_task(int task, int count) {
  return (task + 1) * kRaysPerTask < count ? (task + 1) * kRaysPerTask : count;
}

// Collects a task's rows; a piece that does not fit marks the text full.
class TextSink final : public FormatSink {
 public:
  explicit TextSink(char* text) : text_(text) {}
  void append(const char* piece, int length) override {
    if (full_ || length > kTextBytes - used_) {
      full_ = true;
      return;
    }
    std::memcpy(text_ + used_, piece, static_cast<std::size_t>(length));
    used_ += length;
  }
  int used() const { return used_; }
  bool full() const { return full_; }
  void cut(int used) { used_ = used; }

 private:
  char* text_;
  int used_ = 0;
  bool full_ = false;
};

// Writes the pieces of a row to the report, as its literals are written.
class ReportSink final : public FormatSink {
 public:
  explicit ReportSink(Report& f1) : f1_(f1) {}
  void append(const char* piece, int length) override { f1_.put(piece, length); }

 private:
  Report& f1_;
};

// The slope tan a of a start angle a, taken again only when a's bits differ
// from the angle before: on a grid or scan of start heights every ray
// starts at the same angles, and its first step would take the same
// tangents again and again.
class StartSlope {
 public:
  double of(double angle) {
    if (!known_ || std::memcmp(&angle, &angle_, sizeof angle) != 0) {
      angle_ = angle;
      slope_ = std::tan(angle);
      known_ = true;
    }
    return slope_;
  }

 private:
  bool known_ = false;
  double angle_ = 0;
  double slope_ = 0;
};

// A ray's start on a lane, with the slopes of its start angles.
struct StartSlopes {
  StartSlope u, v;
};

void set_start(TraceRay& lane, const StartRay& r, double z0, StartSlopes& slopes) {
  lane.x[0] = r.x;
  lane.y[0] = r.y;
  lane.u[0] = r.u;
  lane.v[0] = r.v;
  lane.z[0] = z0;
  lane.tu[0] = slopes.u.of(r.u);
  lane.tv[0] = slopes.v.of(r.v);
  lane.start_slopes = true;
}

void set_start(State& s, const StartRay& r) {
  s.X[0] = r.x;
  s.Y[0] = r.y;
  s.U[0] = r.u;
  s.V[0] = r.v;
}

// The surfaces a batch ray is traced through: 1 to NUMB-1, the last one a
// mode reads. The step from NUMB-1 to NUMB changes nothing before it, so it
// is left out (the last ray of a run takes it on the state block).
TraceSurfaces surfaces_read(const State& s) {
  TraceSurfaces surfaces = surfaces_of(s);
  surfaces.numb = s.NUMB > 0 ? s.NUMB - 1 : 0;
  return surfaces;
}

// Traces rays first..end-1 of batch b two at a time on the worker's arrays,
// each keeping its slopes for the optical path; the constants of the
// spheres are taken once for all of them.
void trace_rays(const Pipeline& p, int b, int worker, int first, int end) {
  const Batch& batch = p.batch[b];
  TraceSurfaces surfaces = surfaces_read(*p.s);
  SphereConstants sphere[kSurfaceSlots];
  sphere_constants(surfaces, sphere);
  surfaces.sphere = sphere;
  const double z0 = p.s->Z[0];
  TraceRay a = lanes[worker][0].ray_with_slopes();
  TraceRay c = lanes[worker][1].ray_with_slopes();
  StartSlopes slopes;
  const int base = b * kBatchRays;  // the slot of the batch's first ray
  int i = first;
  for (; i + 1 < end; i += 2) {
    set_start(a, batch.start[i], z0, slopes);
    set_start(c, batch.start[i + 1], z0, slopes);
    trace_steps_side_by_side(surfaces, a, 0, surfaces, c, 0);
    p.rows->keep(base + i, a);
    p.rows->keep(base + i + 1, c);
  }
  if (i < end) {
    set_start(a, batch.start[i], z0, slopes);
    trace_steps(surfaces, a, 0);
    p.rows->keep(base + i, a);
  }
}

// Formats the rows of rays first..end-1 of batch b into the task's text
// while they fit; returns how many did, and the bytes of the text in `used`.
// A row the mode writes in place goes straight into the text.
int format_rows(const Pipeline& p, int b, char* text, int& used, int first, int end) {
  TextSink sink(text);
  int formatted = 0;
  for (int i = first; i < end; ++i) {
    const int mark = sink.used();
    const int length = kTextBytes - mark >= kRowTextBytes
                           ? p.rows->row_text(text + mark, b * kBatchRays + i)
                           : -1;
    if (length >= 0) {
      sink.cut(mark + length);
    } else {
      p.rows->put_row(sink, b * kBatchRays + i);
      if (sink.full()) {
        sink.cut(mark);
        break;
      }
    }
    ++formatted;
  }
  used = sink.used();
  return formatted;
}

// Writes the rows of batch b in order and hands its rays to in_order.
void write_batch(const Pipeline& p, int b) {
  const Batch& batch = p.batch[b];
  ReportSink rest(*p.f1);
  for (int task = 0; task < tasks_of(batch.count); ++task) {
    p.f1->put(batch.text[task], batch.used[task]);
    const int end = end_of_task(task, batch.count);
    for (int i = task * kRaysPerTask + batch.formatted[task]; i < end; ++i)
      p.rows->put_row(rest, b * kBatchRays + i);
  }
  for (int i = 0; i < batch.count; ++i) p.rows->in_order(b * kBatchRays + i);
}

// Task 0 writes the batch traced before, when there is one; every other
// task traces and formats its share of the batch being traced.
void run_task(void* context, int worker, int task) {
  Pipeline& p = *static_cast<Pipeline*>(context);
  if (p.writing >= 0) {
    if (task == 0) {
      write_batch(p, p.writing);
      return;
    }
    --task;
  }
  Batch& batch = p.batch[p.tracing];
  const int first = task * kRaysPerTask;
  const int end = end_of_task(task, batch.count);
  trace_rays(p, p.tracing, worker, first, end);
  batch.formatted[task] =
      format_rows(p, p.tracing, batch.text[task], batch.used[task], first, end);
}

}  // namespace

RayBatch::RayBatch(State& s, Report& f1, RayRows& rows) : s_(s), f1_(f1), rows_(rows) {
  pipeline.batch[current_].count = 0;
}

int RayBatch::add(const StartRay& start) {
  Batch& batch = pipeline.batch[current_];
  if (batch.count == kBatchRays) {
    trace_current(batch.count);
    current_ = 1 - current_;
    pipeline.batch[current_].count = 0;
    return add(start);
  }
  batch.start[batch.count] = start;
  return current_ * kBatchRays + batch.count++;
}

// Traces the first `count` rays of the current batch on the pool, while one
// worker writes the batch traced before.
void RayBatch::trace_current(int count) {
  pipeline.s = &s_;
  pipeline.f1 = &f1_;
  pipeline.rows = &rows_;
  pipeline.batch[current_].count = count;
  pipeline.tracing = current_;
  pipeline.writing = waiting_;
  parallel::run_tasks(tasks_of(count) + (waiting_ >= 0 ? 1 : 0), run_task, &pipeline);
  waiting_ = current_;
}

bool RayBatch::finish() {
  const int count = pipeline.batch[current_].count;
  if (count == 0) return false;  // no ray was handed over
  const int last = current_ * kBatchRays + count - 1;
  const StartRay last_start = pipeline.batch[current_].start[count - 1];
  trace_current(count - 1);
  write_batch(pipeline, waiting_);
  waiting_ = -1;
  pipeline.batch[current_].count = 0;

  // The last ray on the state block.
  const StartRay before = start_of(s_);
  set_start(s_, last_start);
  trace_ray(s_);
  rows_.keep(last, ray_of(s_));
  ReportSink row(f1_);
  rows_.put_row(row, last);
  rows_.in_order(last);
  set_start(s_, before);
  return true;
}

}  // namespace lumaveil
