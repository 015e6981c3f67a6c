#include <gtest/gtest.h>

#include <string>

#include "lumaveil/main5.h"
#include "support/test_support.h"

namespace lumaveil::testing {
namespace {

// The mode-1 report of the Cooke triplet with the text `distance` as the
// distance from the start plane to the first lens.
std::string triplet_report(const std::string& distance) {
  std::string lens = read_file(test_data_dir() + "/../../examples/cooke_triplet/IN_FM.txt");
  const std::string row = "\n0\t0\t0\t10\t";
  const auto at = lens.find(row);
  EXPECT_NE(at, std::string::npos);
  lens.replace(at, row.size(), "\n0\t0\t0\t" + distance + "\t");
  write_file("IN_FM.txt", lens);
  main5(1);
  return read_file("OUT_M.xls");
}

// A cell reads exactly as atof reads it, and so the whole report follows:
// "0xinf" is the 0 before the x, "0x1p+-5" the 1 before the p.
TEST(NumberCells, AHexadecimalLookalikeCellGivesTheReportOfItsNumericPrefix) {
  ScratchDir dir;
  const std::string zero = triplet_report("0"), one = triplet_report("1");
  EXPECT_NE(zero, one);
  EXPECT_EQ(triplet_report("0xinf"), zero);
  EXPECT_EQ(triplet_report("0xNaN"), zero);
  EXPECT_EQ(triplet_report("0x1p+-5"), one);
  EXPECT_EQ(triplet_report("0x1p+-2000"), one);
}

}  // namespace
}  // namespace lumaveil::testing
