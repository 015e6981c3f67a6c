// The report reader (cli/report_input) on arbitrary bytes: no sanitizer
// report, no exception, a reason for every refusal, a mode from 0 to 6, and
// every cell decoded to well-formed UTF-8.
#include <cstdint>
#include <string_view>

#include "host_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto report = lumaveil::fuzzing::report_to_show(bytes);
  if (report)
    for (const auto& line : report->cells)
      for (const auto& cell : line) lumaveil::fuzzing::require_utf8(cell);
  return 0;
}
