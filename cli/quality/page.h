// The page of `lumaveil quality`: the summary table, the conventions, the
// warnings and the figures of every field and wavelength.
#ifndef LUMAVEIL_CLI_QUALITY_PAGE_H
#define LUMAVEIL_CLI_QUALITY_PAGE_H

#include <string>
#include <vector>

#include "cli/drawing/figures.h"
#include "cli/quality/report.h"

namespace lumaveil::cli::quality {

struct PageSection {
  const Entry* entry;
  std::vector<drawing::Figure> figures;
};

std::string quality_page(const std::string& title, int stop, int grid, double frequency,
                         const std::vector<PageSection>& sections,
                         const std::vector<std::string>& warnings);

}  // namespace lumaveil::cli::quality

#endif
