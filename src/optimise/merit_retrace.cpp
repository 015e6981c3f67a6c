#include "optimise/merit_retrace.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "optimise/merit.h"

namespace lumaveil {
namespace {

bool retrace_enabled_by_default() {
  const char* text = std::getenv("LUMAVEIL_RETRACE");
  return !(text != nullptr && std::strcmp(text, "0") == 0);
}

std::atomic<int> retrace_override{-1};

}  // namespace

bool retrace_enabled() {
  const int forced = retrace_override.load(std::memory_order_relaxed);
  if (forced >= 0) return forced == 1;
  static const bool from_environment = retrace_enabled_by_default();
  return from_environment;
}

void set_merit_retrace(int mode) { retrace_override.store(mode < 0 ? -1 : (mode ? 1 : 0)); }

}  // namespace lumaveil
