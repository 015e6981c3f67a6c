#include "report/report.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace lumaveil {
namespace {

namespace fs = std::filesystem;
using testing::read_file;

// Writes a report of one line; what the call record then says of it.
FileOutcome write_report() {
  call_files() = CallFiles{};
  {
    Report f1;
    f1.print("%d\t%E\n", {7, 0.5});
  }
  return call_files().report;
}

// The names in the current folder other than the given ones: what a report
// left behind.
std::vector<std::string> other_names(std::initializer_list<std::string> known) {
  std::vector<std::string> others;
  for (const auto& entry : fs::directory_iterator("."))
    if (std::find(known.begin(), known.end(), entry.path().filename().string()) == known.end())
      others.push_back(entry.path().filename().string());
  return others;
}

TEST(Report, AnOldReportIsReplacedAndTheWriteRecordedAsWhole) {
  testing::ScratchDir dir;
  testing::write_file("OUT_M.xls", "an old report, longer than the new one\n");
  const FileOutcome outcome = write_report();
  EXPECT_EQ(read_file("OUT_M.xls"), "7\t5.000000E-01\n");
  EXPECT_TRUE(outcome.used);
  EXPECT_EQ(outcome.failure, nullptr);
  EXPECT_EQ(other_names({"OUT_M.xls"}), std::vector<std::string>{});
}

// Pieces of every size, one longer than the report's gathering buffer,
// reach the file whole and in order; so does a second report open at the
// same time, which writes past that buffer.
TEST(Report, ManyMegabytesArriveWholeAndInOrder) {
  testing::ScratchDir dir;
  std::string expected, second;
  {
    Report f1;
    for (int k = 0; expected.size() < (std::size_t{5} << 20); ++k) {
      const std::string piece(static_cast<std::size_t>((k * 7919) % 4093 + 1),
                              static_cast<char>('a' + k % 26));
      f1.put(piece.c_str(), static_cast<int>(piece.size()));
      expected += piece;
      if (k == 300) {
        const std::string long_piece(std::size_t{3} << 20, 'L');
        f1.put(long_piece.c_str(), static_cast<int>(long_piece.size()));
        expected += long_piece;
      }
    }
    {
      fs::create_directory("other");
      ASSERT_EQ(chdir("other"), 0);
      Report meanwhile;
      meanwhile.print("%d\n", {42});
      meanwhile.close();
      ASSERT_EQ(chdir(".."), 0);
    }
  }
  EXPECT_TRUE(read_file("OUT_M.xls") == expected);
  EXPECT_EQ(read_file("other/OUT_M.xls"), "42\n");
}

// A link under the report's name is replaced by the report; whatever it
// pointed at, a file, nothing or a device, stays as it was.
TEST(Report, ALinkUnderItsNameIsReplacedNeverWrittenThrough) {
  testing::ScratchDir dir;
  testing::write_file("precious", "not to be overwritten\n");
  for (const char* target : {"precious", "elsewhere.xls", "/dev/full"}) {
    fs::create_symlink(target, "OUT_M.xls");
    EXPECT_EQ(write_report().failure, nullptr) << target;
    ASSERT_FALSE(fs::is_symlink("OUT_M.xls")) << target;  // never read through the link
    EXPECT_EQ(read_file("OUT_M.xls"), "7\t5.000000E-01\n") << target;
    fs::remove("OUT_M.xls");
  }
  EXPECT_EQ(read_file("precious"), "not to be overwritten\n");
  EXPECT_FALSE(fs::exists("elsewhere.xls"));
  EXPECT_EQ(other_names({"precious"}), std::vector<std::string>{});
}

// A directory, a FIFO or a device under the report's name is left as it is;
// creating the report fails at once with the reason, and no file is left.
TEST(Report, WhatIsNotARegularFileIsNeitherOpenedNorWaitedOn) {
  testing::ScratchDir dir;
  fs::create_directory("OUT_M.xls");
  FileOutcome outcome = write_report();
  EXPECT_STREQ(outcome.failure, "create");
  EXPECT_EQ(outcome.error, EISDIR);
  EXPECT_TRUE(fs::is_empty("OUT_M.xls"));
  EXPECT_EQ(other_names({"OUT_M.xls"}), std::vector<std::string>{});
  fs::remove("OUT_M.xls");
  ASSERT_EQ(mkfifo("OUT_M.xls", 0600), 0);  // without a reader, opening it would wait
  outcome = write_report();
  EXPECT_STREQ(outcome.failure, "create");
  EXPECT_EQ(outcome.error, kNotRegularFile);
  EXPECT_TRUE(fs::is_fifo("OUT_M.xls"));
  EXPECT_EQ(other_names({"OUT_M.xls"}), std::vector<std::string>{});
  fs::remove("OUT_M.xls");
  // The device of /dev/full itself, where the system lets us make one.
  if (mknod("OUT_M.xls", S_IFCHR | 0600, makedev(1, 7)) == 0) {
    EXPECT_EQ(write_report().error, kNotRegularFile);
    EXPECT_TRUE(fs::is_character_file(fs::symlink_status("OUT_M.xls")));
    EXPECT_EQ(other_names({"OUT_M.xls"}), std::vector<std::string>{});
  }
}

// A mode that an exception ends (a host's progress hook out of memory)
// leaves no report, not even the old one; a report begun while an earlier
// exception is being handled is whole.
TEST(Report, OneThatAnExceptionCutsShortIsDropped) {
  testing::ScratchDir dir;
  testing::write_file("OUT_M.xls", "an old report\n");
  call_files() = CallFiles{};
  try {
    Report f1;
    f1.put("the first line\n");
    throw std::bad_alloc();
  } catch (const std::bad_alloc&) {
  }
  EXPECT_FALSE(fs::exists("OUT_M.xls"));
  EXPECT_EQ(other_names({}), std::vector<std::string>{});
  EXPECT_STREQ(call_files().report.failure, "write");
  EXPECT_EQ(call_files().report.error, ECANCELED);
  try {
    throw 1;
  } catch (int) {
    EXPECT_EQ(write_report().failure, nullptr);
  }
  EXPECT_EQ(read_file("OUT_M.xls"), "7\t5.000000E-01\n");
}

TEST(Report, AReadOnlyDirectoryGivesTheSystemsReason) {
  testing::ScratchDir dir;
  fs::create_directory("shut");
  fs::permissions("shut", fs::perms::owner_read | fs::perms::owner_exec);
  const bool writable = access("shut", W_OK) == 0;
  ASSERT_EQ(chdir("shut"), 0);
  const FileOutcome outcome = write_report();
  ASSERT_EQ(chdir(".."), 0);
  fs::permissions("shut", fs::perms::owner_all);
  if (writable) GTEST_SKIP() << "running as a user (root) who may write into a read-only folder";
  EXPECT_STREQ(outcome.failure, "create");
  EXPECT_EQ(outcome.error, EACCES);
}

// The one-line report of an input that could not be read: the plain line
// when there is no file, the reason when something else stood there.
TEST(Report, AnUnreadableInputIsReportedInOneLine) {
  testing::ScratchDir dir;
  const std::pair<FileOutcome, const char*> cases[] = {
      {{.used = true, .failure = "open", .error = ENOENT}, "error: cannot open IN_FM.txt\n"},
      {{.used = true, .failure = "open", .error = EISDIR},
       "error: cannot open IN_FM.txt (not a regular file)\n"},
      {{.used = true, .failure = "open", .error = kNotRegularFile},
       "error: cannot open IN_FM.txt (not a regular file)\n"},
      {{.used = true, .failure = "read", .error = EIO},
       "error: cannot open IN_FM.txt (read error)\n"}};
  for (const auto& [input, line] : cases) {
    put_unreadable_input("IN_FM.txt", input);
    EXPECT_EQ(read_file("OUT_M.xls"), line);
  }
  EXPECT_STREQ(describe_file_error(kNotRegularFile), "not a regular file");
}

}  // namespace
}  // namespace lumaveil
