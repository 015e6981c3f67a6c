#include "report/format.h"

#include <gtest/gtest.h>

#include <string>

namespace lumaveil {
namespace {

class StringSink : public FormatSink {
 public:
  void append(const char* text, int length) override { out.append(text, length); }
  std::string out;
};

std::string fmt(const char* format, std::initializer_list<FormatArg> args) {
  StringSink sink;
  format_to(sink, format, args);
  return sink.out;
}

TEST(Format, FixedPointHasSixDecimals) {
  EXPECT_EQ(fmt("%f", {0.004}), "0.004000");
  EXPECT_EQ(fmt("%f", {-12.5}), "-12.500000");
}

}  // namespace
}  // namespace lumaveil
