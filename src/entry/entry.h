// One call of the library: read the lens data, run the mode, write the report.
#ifndef LUMAVEIL_ENTRY_ENTRY_H
#define LUMAVEIL_ENTRY_ENTRY_H

#include "model/state.h"

namespace lumaveil {

// Reads "IN_FM.txt" into `s` and runs mode 1..6 on it; any other mode does
// nothing more and leaves "OUT_M.xls" untouched. When "IN_FM.txt" cannot be
// opened or read, `s` keeps its values, no mode runs, and modes 1..6 write a
// report holding the one line "error: cannot open IN_FM.txt" (with the
// reason in parentheses when a file stood there). call_files() tells the
// host afterwards what became of each file.
//
// Calls never overlap: each holds one process-wide lock from start to end,
// so a call made while another runs, from any thread, waits for it. (The
// files, the call record and the thread pool are the process's, whatever
// the state block.) The progress hook must not call the library.
void run_call(State& s, int mode);

// The same, and then after(context) while the lock is still held: it sees
// the report and the call record of this call before any other call can
// replace them.
using AfterCall = void (*)(void* context);
void run_call(State& s, int mode, AfterCall after, void* context);

// The body of the exported main5: run_call on the library's state, from
// which no exception escapes into the caller (an exception, say a host's
// progress hook out of memory, ends the call and leaves no report).
void run_library_call(int mode) noexcept;

// The library's own state block: zero at load, never reset.
State& library_state();

}  // namespace lumaveil

#endif
