// Where the host's commands write: never through a symlink, never into a
// FIFO, device or folder standing in a file's place, never over the files
// they read, never over a page plot did not write; and a standard output
// that cannot be written is an error.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace lumaveil::testing {
namespace {

namespace fs = std::filesystem;

HostRun host(const std::string& arguments) { return run_host(LUMAVEIL_HOST, arguments); }

// A folder with the doublet's files and the report of mode 2.
void lens_with_report() {
  for (const char* f : {"IN_FM.txt", "IN_FM2.txt"})
    fs::copy_file(fs::path(LUMAVEIL_EXAMPLES_DIR) / "achromatic_doublet" / f, f);
  ASSERT_EQ(host("--quiet 2").status, 0);
}

bool is_regular(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool is_fifo(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

struct OutputCase {
  const char* command;
  const char* output;  // a file the command writes
};

const OutputCase kOutputs[] = {
    {"plot --force", "plots/index.html"},  // a link is no page plot wrote
    {"plot", "plots/merit.svg"},
    {"export --csv", "OUT_M.csv"},
    {"fields --stop 1 --field 0,1 -o f", "f/fields.csv"},
};

TEST(Outputs, ASymlinkInAnOutputsPlaceIsReplacedNotFollowed) {
  ScratchDir dir;
  lens_with_report();
  write_file("precious", "keep me\n");
  for (const OutputCase& c : kOutputs) {
    SCOPED_TRACE(c.output);
    fs::create_directories(fs::path(c.output).parent_path().empty()
                               ? fs::path(".")
                               : fs::path(c.output).parent_path());
    fs::remove(c.output);
    fs::create_symlink(fs::absolute("precious"), c.output);
    const HostRun run = host(c.command);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(is_regular(c.output));
    EXPECT_EQ(read_file("precious"), "keep me\n");
  }
}

TEST(Outputs, AFifoOrFolderInAnOutputsPlaceIsRefusedAtOnce) {
  ScratchDir dir;
  lens_with_report();
  for (const bool fifo : {true, false})
    for (const OutputCase& c : kOutputs) {
      SCOPED_TRACE(std::string(c.output) + (fifo ? " FIFO" : " folder"));
      const fs::path parent = fs::path(c.output).parent_path();
      if (!parent.empty()) fs::create_directories(parent);
      fs::remove_all(c.output);
      if (fifo) {
        ASSERT_EQ(mkfifo(c.output, 0666), 0);
      } else {
        fs::create_directory(c.output);
      }
      // A FIFO opened for writing would wait for a reader: timeout ends it.
      const HostRun run = run_host("timeout", std::string("20 ") + LUMAVEIL_HOST + " " + c.command);
      EXPECT_EQ(run.status, 1) << run.err;
      EXPECT_NE(run.err.find(fifo ? "a FIFO" : "a directory"), std::string::npos) << run.err;
      EXPECT_TRUE(fifo ? is_fifo(c.output) : fs::is_directory(c.output));
      fs::remove_all(c.output);
    }
}

TEST(Outputs, AnOutputThatNamesAFileTheCommandReadsIsAUsageError) {
  ScratchDir dir;
  lens_with_report();
  ASSERT_EQ(link("IN_FM2.txt", "hard-link"), 0);
  const std::string lens = read_file("IN_FM.txt"), rays = read_file("IN_FM2.txt"),
                    report = read_file("OUT_M.xls");
  for (const char* command : {"export -o IN_FM.txt --csv", "export -o OUT_M.xls",
                              "export --csv -o sub/../IN_FM2.txt", "export --csv -o hard-link",
                              "plot -o OUT_M.xls", "fields --stop 1 --field 0 -o ./IN_FM.txt"}) {
    SCOPED_TRACE(command);
    const HostRun run = host(command);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find("would overwrite"), std::string::npos) << run.err;
    EXPECT_EQ(read_file("IN_FM.txt"), lens);
    EXPECT_EQ(read_file("IN_FM2.txt"), rays);
    EXPECT_EQ(read_file("OUT_M.xls"), report);
  }
}

TEST(Outputs, PlotLeavesAPageItDidNotWriteUnlessForced) {
  ScratchDir dir;
  lens_with_report();
  fs::create_directory("plots");
  write_file("plots/index.html", "<p>my own page</p>\n");
  HostRun run = host("plot");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("--force"), std::string::npos) << run.err;
  EXPECT_EQ(read_file("plots/index.html"), "<p>my own page</p>\n");
  EXPECT_FALSE(file_exists("plots/merit.svg")) << "nothing is written";
  run = host("plot --force");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(read_file("plots/index.html"), "<p>my own page</p>\n");
  run = host("plot");  // its own page it replaces
  EXPECT_EQ(run.status, 0) << run.err;
}

TEST(Outputs, AStandardOutputThatCannotBeWrittenIsAnError) {
  ScratchDir dir;
  lens_with_report();
  for (const char* command : {"check", "help", "--help", "plot --help", "--version", "2"}) {
    SCOPED_TRACE(command);
    const std::string line =
        std::string("\"") + LUMAVEIL_HOST + "\" " + command + " >/dev/full 2>err.txt";
    const int raw = std::system(line.c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1) << raw;
    EXPECT_NE(read_file("err.txt").find("cannot write standard output"), std::string::npos)
        << read_file("err.txt");
  }
}

}  // namespace
}  // namespace lumaveil::testing
