#include "cli/drawing/figures.h"

#include "cli/drawing/figure_kinds.h"

namespace lumaveil::cli::drawing {

using report_input::ReportContents;

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
  return out;
}

}  // namespace lumaveil::cli::drawing
