// The zip container of a workbook: reading the entries of a small archive
// (the one libxlsxwriter writes), and writing an archive of entries
// compressed beforehand in pieces, so that large entries can be compressed
// in parallel. Plain zip only: an archive or entry past 4 GiB (which would
// need the Zip64 extension) is refused with a reason.
#ifndef LUMAVEIL_CLI_WORKBOOK_ZIP_ARCHIVE_H
#define LUMAVEIL_CLI_WORKBOOK_ZIP_ARCHIVE_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/result.h"
#include "cli/workbook/deflate_piece.h"

namespace lumaveil::cli::workbook {

// An entry as it stands unpacked: its name and its bytes.
struct ZipEntry {
  std::string name, bytes;
};

// The entries of the archive `archive`, in the order of its central
// directory, each inflated and its CRC-32 checked. Fails, naming the
// entry, on a damaged archive, an encrypted or Zip64 entry, or a method
// other than stored or deflated.
Result<std::vector<ZipEntry>> read_zip(const std::string& archive);

// An entry compressed for writing: its name, the raw deflate stream of its
// bytes in pieces laid end to end (deflate_piece.h), their CRC-32 and their
// length.
struct PackedEntry {
  std::string name;
  std::vector<DeflatedPiece> pieces;
  std::uint32_t crc = 0;
  std::uint64_t size = 0;

  std::uint64_t deflated_size() const;
  // Appends the next piece of the entry's bytes.
  void add(DeflatedPiece piece);
};

// `bytes` deflated in one piece.
PackedEntry pack_entry(std::string name, const std::string& bytes);

// An archive ready to be written: its entries, and the records it adds to
// them (each entry's local header, then the central directory with its end
// record). Its bytes are the pieces() in order, written one after another
// without being joined.
struct Archive {
  std::vector<PackedEntry> entries;
  std::vector<std::string> records;

  std::vector<std::string_view> pieces() const;
  std::string joined() const;
};

// The archive of `entries` in their order, dated 1980-01-01 00:00 as
// libxlsxwriter dates its entries. Fails when a size or offset does not
// fit the 32 bits of a plain zip, or there are more than 65,535 entries.
Result<Archive> zip_archive(std::vector<PackedEntry> entries);

}  // namespace lumaveil::cli::workbook

#endif
