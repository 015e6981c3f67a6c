// The lens of an image-quality run, read with the library's own reader, and
// the working state of one wavelength.
#ifndef LUMAVEIL_CLI_QUALITY_LENS_H
#define LUMAVEIL_CLI_QUALITY_LENS_H

#include <memory>
#include <string>

#include "model/state.h"

namespace lumaveil::quality {

struct Lens {
  std::unique_ptr<State> state;  // the state block as IN_FM.txt sets it
  std::string title;             // the first cell of the file
};

// Reads DIRECTORY/IN_FM.txt as a calculation would. False, with the reason in
// words, when the file cannot be opened or read.
bool load_lens(const std::string& directory, Lens& lens, std::string& reason);

}  // namespace lumaveil::quality

#endif
