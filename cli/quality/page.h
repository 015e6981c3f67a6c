// The page of `lumaveil quality`: the summary table, the conventions, the
// warnings and the figures of every field and wavelength.
#ifndef LUMAVEIL_CLI_QUALITY_PAGE_H
#define LUMAVEIL_CLI_QUALITY_PAGE_H

#include <string>
#include <vector>

#include "cli/plot.h"
#include "report.h"

namespace lumaveil::quality {

struct PageSection {
  const Entry* entry;
  std::vector<plot::Figure> figures;
};

std::string quality_page(const std::string& title, int stop, int grid, double frequency,
                         const std::vector<PageSection>& sections,
                         const std::vector<std::string>& warnings);

}  // namespace lumaveil::quality

#endif
