// `lumaveil plot` into memory: every figure of an arbitrary report and the
// page that shows them, with the lens of an arbitrary IN_FM.txt.
//
// The input is the report, then a NUL byte and IN_FM.txt; without a NUL
// there is no lens file (the figures name wavelengths by number). The report
// is read as plot reads it, its blocks without the lines' cells. The
// residual figures of the optimising modes are drawn for inputs of odd size.
// Every file name must be a plain, distinct "*.svg" and every text
// well-formed XML characters.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "cli/drawing/figures.h"
#include "cli/drawing/page.h"
#include "cli/inputs/lens_view.h"
#include "count_caps.h"
#include "host_checks.h"
#include "model/lens_data.h"

namespace {

using namespace lumaveil::cli;

// IN_FM.txt read as the host reads it (inputs::read_inputs), from bytes.
std::unique_ptr<inputs::Inputs> lens_inputs(const std::string& bytes) {
  auto in = std::make_unique<inputs::Inputs>();
  in->lens_file.read = true;
  in->lens_file.bytes = bytes;
  lumaveil::fuzzing::fill_from_bytes(*in->lens_file.grid, bytes.data(), bytes.size(),
                                     lumaveil::kLensDataGrid);
  lumaveil::store_lens_data(in->lens, *in->lens_file.grid);
  return in;
}

void require_file_name(const std::string& name, std::set<std::string>& seen) {
  const bool plain =
      name.size() > 4 && name.compare(name.size() - 4, 4, ".svg") == 0 &&
      name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-_.") == std::string::npos &&
      name[0] != '.';
  if (!plain || !seen.insert(name).second) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.find('\0');
  const auto report =
      lumaveil::fuzzing::report_to_show(std::string_view(input).substr(0, split), false);
  if (!report) return 0;
  std::unique_ptr<inputs::Inputs> in;
  inputs::LensView lens;
  if (split != std::string::npos) {
    in = lens_inputs(input.substr(split + 1));
    lens = inputs::lens_view(*in);
  }
  drawing::FigureOptions options;
  options.residuals = size % 2 == 1;
  std::vector<std::string> notes;
  const std::vector<drawing::Figure> figs =
      drawing::figures(*report, in ? &lens : nullptr, options, &notes);
  std::set<std::string> names;
  for (const drawing::Figure& f : figs) {
    require_file_name(f.file, names);
    lumaveil::fuzzing::require_xml_text(f.svg);
  }
  lumaveil::fuzzing::require_xml_text(
      drawing::index_html(*report, in ? &lens : nullptr, figs, "2026-12-08 00:00 UTC", notes));
  return 0;
}
