#include <gtest/gtest.h>

#include <string>

#include "cli/diagnosis/findings.h"

namespace lumaveil::cli::diagnosis {
namespace {

TEST(PlainDuration, SaysATimeInTheUnitAReaderThinksIn) {
  struct Case {
    long double seconds;
    const char* says;
  };
  const Case kCases[] = {
      {0.2L, "less than a second"},
      {1, "about 1 second"},
      {90, "about 90 seconds"},
      {180, "about 3 minutes"},
      {5 * 3600.0L, "about 5 hours"},
      {12 * 86400.0L, "about 12 days"},
      {3 * 365.25L * 86400, "about 3 years"},
      {1.8e23L / 1e7L, "about 6e8 years"},  // 1.8e23 steps at 1e7 a second
      {6.3e22L, "about 2e15 years"},
  };
  for (const Case& c : kCases)
    EXPECT_EQ(plain_duration(c.seconds), c.says) << static_cast<double>(c.seconds);
}

}  // namespace
}  // namespace lumaveil::cli::diagnosis
