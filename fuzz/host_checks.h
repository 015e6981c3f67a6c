// What every harness of the host asks of a text it makes and of the report
// it reads. A failed check aborts, which libFuzzer reports as a finding.
#ifndef LUMAVEIL_FUZZ_HOST_CHECKS_H
#define LUMAVEIL_FUZZ_HOST_CHECKS_H

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "cli/report_input/report_reader.h"

namespace lumaveil::fuzzing {

// Aborts unless `text` is well-formed UTF-8 (no overlong form, no
// surrogate); with `xml`, also without the control characters XML 1.0
// forbids: an SVG or a page holding either does not open at all.
inline void require_utf8(std::string_view text, bool xml = false) {
  constexpr std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int more = lead < 0x80 ? 0 : lead < 0xC0 ? -1 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    if (more < 0 || lead >= 0xF8 || static_cast<std::size_t>(more) >= text.size() - i) std::abort();
    std::uint32_t code = lead & (0x7F >> more);
    for (int k = 1; k <= more; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) std::abort();
      code = code << 6 | (next & 0x3F);
    }
    if (code < kLeast[more] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) std::abort();
    if (xml && code < 0x20 && code != '\t' && code != '\n' && code != '\r') std::abort();
    i += static_cast<std::size_t>(more) + 1;
  }
}
inline void require_xml_text(std::string_view text) { require_utf8(text, true); }

// The report the bytes hold, when the reader takes them as one with results
// to show (as plot and export require), with every line's cells or, as plot
// reads it, the blocks alone; the reader must never throw.
inline std::optional<cli::report_input::ReportContents> report_to_show(std::string_view bytes,
                                                                       bool keep_lines = true) {
  cli::report_input::ReadOptions options;
  options.keep_lines = keep_lines;
  cli::Result<cli::report_input::ReportContents> r =
      cli::report_input::read_report(bytes, "OUT_M.xls", options);
  if (!r.ok()) {
    if (r.reason().empty()) std::abort();
    return std::nullopt;
  }
  if (r.value().mode < 0 || r.value().mode > 6) std::abort();
  if (r.value().mode == 0) return std::nullopt;
  return std::move(r.value());
}

}  // namespace lumaveil::fuzzing

#endif
