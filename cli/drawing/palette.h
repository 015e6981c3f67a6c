// The colours of the series (one per wavelength, scan or variable), shared
// by the SVG plots and the workbook's charts so that both show a series alike.
#ifndef LUMAVEIL_CLI_DRAWING_PALETTE_H
#define LUMAVEIL_CLI_DRAWING_PALETTE_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace lumaveil::cli::drawing {

// The colour of series `index` as 0xRRGGBB; the palette repeats.
std::uint32_t colour_rgb(std::size_t index);
// The same as an SVG colour, "#rrggbb".
const std::string& colour(std::size_t index);

}  // namespace lumaveil::cli::drawing

#endif
