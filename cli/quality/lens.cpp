#include "lens.h"

#include "model/file_access.h"
#include "model/input_grid.h"
#include "model/lens_data.h"

namespace lumaveil::quality {

bool load_lens(const std::string& directory, Lens& lens, std::string& reason) {
  auto grid = std::make_unique<InputGrid>();
  const std::string path = directory + "/IN_FM.txt";
  FileOutcome outcome;
  if (!grid->read(path.c_str(), kLensDataGrid, outcome)) {
    reason = std::string("cannot ") + (outcome.failure ? outcome.failure : "read") + " " + path +
             ": " + describe_file_error(outcome.error);
    return false;
  }
  lens.state = std::make_unique<State>();
  store_lens_data(*lens.state, *grid);
  lens.title = grid->cell(0, 0);
  return true;
}

}  // namespace lumaveil::quality
