// The workbook's zip container: what is packed reads back whole, unzip
// accepts it, and damage is found rather than passed on.
#include "cli/workbook/zip_archive.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace lumaveil::cli::workbook {
namespace {

#ifdef LUMAVEIL_HAVE_XLSXWRITER

std::vector<ZipEntry> sample_entries() {
  std::string rows, noise;
  for (int k = 0; k < 200000; ++k) rows += "<row r=\"" + std::to_string(k) + "\"><v>0.25</v></row>";
  unsigned state = 12345;
  for (int k = 0; k < 70000; ++k)
    noise += static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
  return {{"[Content_Types].xml", "<Types/>"},
          {"xl/empty.xml", ""},
          {"xl/worksheets/sheet1.xml", rows},
          {"xl/media/noise.bin", noise}};
}

std::string packed(const std::vector<ZipEntry>& entries) {
  std::vector<PackedEntry> parts;
  for (const ZipEntry& e : entries) parts.push_back(pack_entry(e.name, e.bytes));
  Result<Archive> archive = zip_archive(std::move(parts));
  EXPECT_TRUE(archive.ok()) << archive.reason();
  return archive.ok() ? archive.value().joined() : std::string();
}

TEST(ZipArchive, WhatIsPackedReadsBackWholeAndUnzipAcceptsIt) {
  const std::vector<ZipEntry> entries = sample_entries();
  const std::string archive = packed(entries);
  const Result<std::vector<ZipEntry>> read = read_zip(archive);
  ASSERT_TRUE(read.ok()) << read.reason();
  ASSERT_EQ(read.value().size(), entries.size());
  for (std::size_t k = 0; k < entries.size(); ++k) {
    EXPECT_EQ(read.value()[k].name, entries[k].name);
    EXPECT_TRUE(read.value()[k].bytes == entries[k].bytes) << entries[k].name;
  }
  if (std::system("unzip -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "unzip is not installed";
  lumaveil::testing::ScratchDir scratch;
  lumaveil::testing::write_file("a.zip", archive);
  const int raw = std::system("unzip -tq a.zip >unzip.txt 2>&1");
  EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << lumaveil::testing::read_file("unzip.txt");
}

// An entry deflated in pieces, empty ones among them and the last one
// empty, reads back as the pieces' bytes end to end, its CRC-32 joined.
TEST(ZipArchive, AnEntryInPiecesReadsBackWhole) {
  const std::vector<std::string> texts = {"<row/>", "", std::string(300000, 'x') + "<c/>", "", ""};
  PieceDeflater deflater;
  PackedEntry entry;
  entry.name = "xl/worksheets/sheet1.xml";
  std::string whole;
  for (std::size_t k = 0; k < texts.size(); ++k) {
    entry.add(deflater.deflate(texts[k], k + 1 == texts.size()));
    whole += texts[k];
  }
  std::vector<PackedEntry> entries;
  entries.push_back(std::move(entry));
  const Result<Archive> archive = zip_archive(std::move(entries));
  ASSERT_TRUE(archive.ok()) << archive.reason();
  const Result<std::vector<ZipEntry>> read = read_zip(archive.value().joined());
  ASSERT_TRUE(read.ok()) << read.reason();
  EXPECT_TRUE(read.value().at(0).bytes == whole);
}

// A byte changed anywhere in an entry's data, or the archive cut short, is
// found: by the CRC-32, the deflate stream or the directory.
TEST(ZipArchive, DamageIsFound) {
  const std::string archive = packed(sample_entries());
  // Within the long sheet's deflate stream and within the stored noise.
  const std::size_t changed[] = {archive.size() / 4, archive.size() / 2, archive.size() * 3 / 4,
                                 archive.size() - 400};
  for (std::size_t at : changed) {
    std::string damaged = archive;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x20);
    EXPECT_FALSE(read_zip(damaged).ok()) << "byte " << at;
  }
  for (std::size_t cut : {std::size_t{0}, std::size_t{21}, archive.size() / 2, archive.size() - 1})
    EXPECT_FALSE(read_zip(archive.substr(0, cut)).ok()) << "cut at " << cut;
}

#endif

}  // namespace
}  // namespace lumaveil::cli::workbook
