// Lenses for the field tests: the examples and small systems whose field
// behaviour is known from textbook formulas, read by the library's reader.
#ifndef LUMAVEIL_TESTS_FIELDS_LENSES_H
#define LUMAVEIL_TESTS_FIELDS_LENSES_H

#include <filesystem>
#include <memory>
#include <string>

#include "model/lens_data.h"
#include "support/test_support.h"

namespace lumaveil::testing {

// Reads a lens file the way the library does, into a fresh state.
inline std::unique_ptr<State> read_lens_text(const std::string& text) {
  ScratchDir dir;
  write_file("IN_FM.txt", text);
  auto s = std::make_unique<State>();
  EXPECT_TRUE(read_lens_data(*s));
  return s;
}

inline std::string example_path(const std::string& name) {
  return std::string(LUMAVEIL_EXAMPLES_DIR) + "/" + name + "/IN_FM.txt";
}

inline std::unique_ptr<State> read_example_lens(const std::string& name) {
  return read_lens_text(read_file(example_path(name)));
}

constexpr double kDegree = 3.14159265358979323846 / 180;

}  // namespace lumaveil::testing

#endif
