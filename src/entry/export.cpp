// The exported entry point, and on Windows the library's load hook.
#include "lumaveil/main5.h"

#include "entry/entry.h"

// One call at a time (a second caller waits); nothing is thrown to the caller.
extern "C" LUMAVEIL_API void LUMAVEIL_CALL main5(int mode) { lumaveil::run_library_call(mode); }

#if defined(_WIN32)
#include <windows.h>

// Loading and unloading run none of the library's own logic.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
#endif
