// A host that loads the shared library at run time may unload it again. Once
// the library's worker threads run they wait in its code, so from then on it
// must stay mapped; before that an unload really unloads (a host may then
// load a newer build under the same name).
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/test_support.h"

namespace lumaveil::testing {
namespace {

using Main5 = void (*)(int);

// Loads the library, runs mode 2 once with `threads` threads, unloads it;
// whether it is still loaded afterwards.
bool still_loaded_after_a_run(const char* threads) {
  ScratchDir dir;
  LensFile{.steps = 2, .RH = 2, .wavelengths = {587.6, 486.1}, .weights = {1, 1},
           .surfaces = {{.D = 10, .n = {1, 1}}, {.C = 0.02, .D = 5, .code = "V", .n = {1.5, 1.51}},
                        {.D = 90, .n = {1, 1}}, {.n = {1, 1}}, {.n = {1, 1}}}}
      .write();
  RaySetFile{.rays = {{.X = 1, .XT = 0.5}, {.X = 2, .XT = 1}, {.X = 1.5, .XT = 0.7}}}.write();
  setenv("LUMAVEIL_THREADS", threads, 1);
  void* library = dlopen(LUMAVEIL_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  EXPECT_NE(library, nullptr) << dlerror();
  if (library == nullptr) return false;
  const auto main5 = reinterpret_cast<Main5>(dlsym(library, "main5"));
  EXPECT_NE(main5, nullptr);
  if (main5 != nullptr) main5(2);
  EXPECT_TRUE(file_exists("OUT_M.xls"));
  dlclose(library);
  unsetenv("LUMAVEIL_THREADS");
  void* again = dlopen(LUMAVEIL_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
  if (again != nullptr) dlclose(again);
  return again != nullptr;
}

TEST(LibraryUnload, UnloadsOnOneThreadAndStaysOnceItsThreadsRun) {
  EXPECT_FALSE(still_loaded_after_a_run("1"));
  EXPECT_TRUE(still_loaded_after_a_run("2"));
}

}  // namespace
}  // namespace lumaveil::testing
