#include "cli/analysis/lens_section.h"

#include <gtest/gtest.h>

#include <cmath>

#include "cli/inputs/lens_view.h"
#include "cli/report_input/report_reader.h"
#include "support/test_support.h"

namespace lumaveil::cli::analysis {
namespace {

using lumaveil::testing::test_data_dir;

// The equiconvex singlet of examples/finite_object (R = ±100 mm, 5 mm
// thick, BK7): one element, drawn as a closed outline whose two edges join
// the front and the rear surface at one height, its largest.
TEST(LensSection, ABiconvexLensIsOneClosedOutlineWithEdgesAtOneHeight) {
  const auto r =
      report_input::read_report_file(test_data_dir() + "/examples/finite_object/m1.xls").value();
  const auto in = inputs::read_inputs(std::string(LUMAVEIL_EXAMPLES_DIR) + "/finite_object", false);
  ASSERT_TRUE(in->lens_file.read);
  const inputs::LensView lens = inputs::lens_view(*in);
  const LensSection section = lens_section(r, &lens);
  ASSERT_EQ(section.elements.size(), 1u);
  const std::vector<Point>& e = section.elements[0];
  ASSERT_GT(e.size(), 4u);
  EXPECT_EQ(e.front().x, e.back().x);
  EXPECT_EQ(e.front().y, e.back().y);
  // The front surface runs up, the rear down: the edges are where the
  // outline passes from one to the other, at the top and at the bottom.
  const double z_front = lens.vertex(1), z_rear = lens.vertex(2);
  double top = 0, bottom = 0;
  int edges = 0;
  for (std::size_t k = 0; k + 1 < e.size(); ++k) {
    const bool from_front = std::fabs(e[k].x - z_front) < std::fabs(e[k].x - z_rear);
    const bool to_front = std::fabs(e[k + 1].x - z_front) < std::fabs(e[k + 1].x - z_rear);
    if (from_front == to_front) continue;
    ++edges;
    EXPECT_EQ(e[k].y, e[k + 1].y) << "an edge that is not square to the axis";
    (e[k].y > 0 ? top : bottom) = e[k].y;
  }
  EXPECT_EQ(edges, 2);
  EXPECT_GT(top, 0);
  EXPECT_EQ(bottom, -top);
  // No surface of the lens reaches beyond the element's edge.
  for (const auto& o : section.outlines)
    for (const Point& p : o.points) EXPECT_LE(std::fabs(p.y), top * (1 + 1e-12));
}

}  // namespace
}  // namespace lumaveil::cli::analysis
