#include "cli/drawing/palette.h"

#include <array>
#include <cstdio>

namespace lumaveil::cli::drawing {

namespace {

constexpr std::array<std::uint32_t, 8> kPalette = {0x0060c0, 0xd04000, 0x00a060, 0xc000a0,
                                                   0xe0a000, 0x40b0f0, 0x804000, 0x606060};

std::array<std::string, kPalette.size()> svg_colours() {
  std::array<std::string, kPalette.size()> names;
  for (std::size_t k = 0; k < kPalette.size(); ++k) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(kPalette[k]));
    names[k] = text;
  }
  return names;
}

}  // namespace

std::uint32_t colour_rgb(std::size_t index) { return kPalette[index % kPalette.size()]; }

const std::string& colour(std::size_t index) {
  static const std::array<std::string, kPalette.size()> names = svg_colours();
  return names[index % names.size()];
}

}  // namespace lumaveil::cli::drawing
