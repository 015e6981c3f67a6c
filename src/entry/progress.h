// A progress hook for a host that wants to show how far a long call has come.
//
// The drivers announce the start of each step of their loops: a level-0 step
// (the wavelength of modes 1 and 4, the iteration of modes 2 and 3, the outer
// pass of modes 5 and 6), and within it level-1 and level-2 steps (the spot
// ray of mode 1; the scan and scan ray of mode 4; the grid point of modes 5
// and 6). A step is numbered from 1 to `steps`. Entering a level forgets the
// deeper levels. The hook only observes: it must not touch the state block.
//
// The hook is a plain function pointer, null unless a host sets it; the
// library's exported entry point never does. When null, an announcement is a
// load and a branch.
#ifndef LUMAVEIL_ENTRY_PROGRESS_H
#define LUMAVEIL_ENTRY_PROGRESS_H

namespace lumaveil {

using ProgressHook = void (*)(int level, long long step, long long steps);

extern ProgressHook progress_hook;

inline void progress(int level, long long step, long long steps) {
  if (progress_hook != nullptr) progress_hook(level, step, steps);
}

}  // namespace lumaveil

#endif
