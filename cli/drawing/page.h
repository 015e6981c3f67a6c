// The page index.html that shows the figures of a report, with the lens
// title, the mode, the report's date and the notes.
#ifndef LUMAVEIL_CLI_DRAWING_PAGE_H
#define LUMAVEIL_CLI_DRAWING_PAGE_H

#include <string>
#include <vector>

#include "cli/drawing/figures.h"

namespace lumaveil::cli::drawing {

// The line in the head of every page plot writes: plot replaces an
// index.html that has it, and no other without --force.
constexpr const char* kPageGenerator = "<meta name=\"generator\" content=\"lumaveil plot\"/>";

std::string index_html(const report_input::ReportContents& report, const inputs::LensView* lens,
                       const std::vector<Figure>& figures, const std::string& date,
                       const std::vector<std::string>& notes);

}  // namespace lumaveil::cli::drawing

#endif
