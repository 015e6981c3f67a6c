#include "cli/drawing/figures.h"

#include <set>

#include "cli/drawing/figure_kinds.h"

namespace lumaveil::cli::drawing {

using report_input::ReportContents;

namespace {

// Two blocks of one wavelength (a crafted or concatenated report) would
// give two figures of one name, the second written over the first: a
// repeated name gets the figure's place in the list, "spot-wavelength-1-4.svg".
void unique_files(std::vector<Figure>& figures) {
  std::set<std::string> taken;
  for (std::size_t k = 0; k < figures.size(); ++k) {
    std::string& file = figures[k].file;
    if (taken.insert(file).second) continue;
    const std::string stem = file.substr(0, file.rfind(".svg"));
    file = stem + "-" + std::to_string(k + 1) + ".svg";
    taken.insert(file);
  }
}

}  // namespace

std::vector<Figure> figures(const ReportContents& r, const inputs::LensView* lens,
                            const FigureOptions& options, std::vector<std::string>* notes) {
  std::vector<Figure> out;
  std::vector<std::string> ignored;
  switch (r.mode) {
    case 1:
      spot_figures(r, lens, out);
      out.push_back(layout_figure(r, lens, notes != nullptr ? *notes : ignored));
      break;
    case 4:
      aberration_figures(r, lens, out);
      break;
    case 2:
    case 3:
    case 5:
    case 6:
      history_figures(r, lens, options, out);
      break;
    default:
      break;
  }
  unique_files(out);
  return out;
}

}  // namespace lumaveil::cli::drawing
