#include "cli/report_input/line_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/report_input/report_lines.h"

namespace lumaveil::cli::report_input {
namespace {

std::vector<std::string> all_lines(LineReader& reader) {
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.next(line)) lines.emplace_back(line);
  return lines;
}

// The text in a temporary file, read back from its start.
std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_holding(const std::string& text) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), &std::fclose);
  std::fwrite(text.data(), 1, text.size(), file.get());
  std::rewind(file.get());
  return file;
}

struct LineCase {
  const char* what;
  std::string text;
  std::vector<std::string> lines;
};

TEST(LineReader, GivesTheSameLinesFromMemoryAndFromAFileReadInAnyChunks) {
  const std::vector<LineCase> cases = {
      {"empty text: no line", "", {}},
      {"one empty line", "\n", {""}},
      {"no final line feed", "a\tb\nlast", {"a\tb", "last"}},
      {"CR LF and LF mixed", "a\r\nb\n\r\nc\r\n", {"a", "b", "", "c"}},
      {"a CR alone stays in its line", "x\ry\r", {"x\ry"}},
      {"blank lines", "\n\n\nz", {"", "", "", "z"}},
      {"a line longer than a chunk", std::string(200, '7') + "\n8", {std::string(200, '7'), "8"}},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.what);
    LineReader memory(c.text);
    EXPECT_EQ(all_lines(memory), c.lines);
    // Chunks of 1, 2 and 3 bytes cut every line and every CR LF somewhere.
    for (std::size_t chunk : {1, 2, 3, 64}) {
      SCOPED_TRACE(chunk);
      auto file = file_holding(c.text);
      LineReader reader(file.get(), 1000, chunk);
      EXPECT_EQ(all_lines(reader), c.lines);
      EXPECT_EQ(reader.error(), 0);
      EXPECT_FALSE(reader.too_long());
    }
  }
}

TEST(LineReader, StopsAtALineLongerThanAllowed) {
  for (const std::string& tail : {std::string("\nnext\n"), std::string()}) {
    auto file = file_holding("short\n" + std::string(100, 'x') + tail);
    LineReader reader(file.get(), 50, 16);
    EXPECT_EQ(all_lines(reader), std::vector<std::string>{"short"});
    EXPECT_TRUE(reader.too_long());
  }
}

TEST(ReportLines, KeepEachLinesCellsAndText) {
  const ReportLines lines = {{"No", "U(i)", ""}, {""}, {"波長1（中心光束の軌跡）"}};
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines.text(0), "No\tU(i)\t");
  EXPECT_EQ(lines[0], (std::vector<std::string>{"No", "U(i)", ""}));
  EXPECT_EQ(lines[1], std::vector<std::string>{""});
  EXPECT_EQ(lines[2][0], "波長1（中心光束の軌跡）");
  const std::vector<std::vector<std::string>> same = {
      {"No", "U(i)", ""}, {""}, {"波長1（中心光束の軌跡）"}};
  EXPECT_EQ(lines, same);
  EXPECT_FALSE(lines == std::vector<std::vector<std::string>>(same.begin(), same.end() - 1));
}

}  // namespace
}  // namespace lumaveil::cli::report_input
