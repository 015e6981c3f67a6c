#include "cli/workbook/zip_archive.h"

#ifdef LUMAVEIL_HAVE_XLSXWRITER

#include <isa-l/igzip_lib.h>

#include <memory>

namespace lumaveil::cli::workbook {

namespace {

// The record signatures of a zip file.
constexpr std::uint32_t kLocalHeader = 0x04034b50;
constexpr std::uint32_t kCentralHeader = 0x02014b50;
constexpr std::uint32_t kEndOfDirectory = 0x06054b50;
constexpr std::size_t kLocalHeaderSize = 30, kCentralHeaderSize = 46, kEndSize = 22;
// Version 2.0 (deflate) to extract; 1980-01-01 00:00 in MS-DOS form.
constexpr std::uint16_t kVersion = 20, kDosTime = 0, kDosDate = (1 << 5) | 1;
constexpr std::uint16_t kStored = 0, kDeflated = 8;
// Above this a size or offset needs Zip64; its fields then hold 0xFFFFFFFF.
constexpr std::uint64_t kMost32 = 0xFFFFFFFE;

std::uint32_t le(const std::string& s, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int k = bytes - 1; k >= 0; --k)
    v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<std::size_t>(k)]);
  return v;
}

void put(std::string& out, std::uint32_t v, int bytes) {
  for (int k = 0; k < bytes; ++k) out += static_cast<char>((v >> (8 * k)) & 0xFF);
}

// The end-of-central-directory record: the last 22 bytes with its
// signature, searched back over a comment of up to 65,535 bytes.
std::size_t end_record(const std::string& a) {
  if (a.size() < kEndSize) return std::string::npos;
  const std::size_t lowest = a.size() > kEndSize + 0xFFFF ? a.size() - kEndSize - 0xFFFF : 0;
  for (std::size_t at = a.size() - kEndSize + 1; at-- > lowest;)
    if (le(a, at, 4) == kEndOfDirectory) return at;
  return std::string::npos;
}

// Whether the raw deflate stream of `packed` bytes at `data` inflates to
// exactly `out`'s length and ends there.
bool inflate_exactly(const char* data, std::uint32_t packed, std::string& out,
                     inflate_state& state) {
  isal_inflate_init(&state);
  state.next_in = reinterpret_cast<std::uint8_t*>(const_cast<char*>(data));
  state.avail_in = packed;
  state.next_out = reinterpret_cast<std::uint8_t*>(out.data());
  state.avail_out = static_cast<std::uint32_t>(out.size());
  return isal_inflate_stateless(&state) == ISAL_DECOMP_OK && state.total_out == out.size();
}

// The bytes of an entry whose central-directory record starts at `at`.
Result<ZipEntry> read_entry(const std::string& a, std::size_t at, inflate_state& state) {
  using R = Result<ZipEntry>;
  if (at + kCentralHeaderSize > a.size() || le(a, at, 4) != kCentralHeader)
    return R::failure("a damaged central directory");
  const std::uint32_t flags = le(a, at + 8, 2), method = le(a, at + 10, 2);
  const std::uint32_t crc = le(a, at + 16, 4), packed = le(a, at + 20, 4), size = le(a, at + 24, 4);
  const std::size_t name_length = le(a, at + 28, 2);
  const std::uint32_t local = le(a, at + 42, 4);
  if (at + kCentralHeaderSize + name_length > a.size()) return R::failure("a damaged entry name");
  ZipEntry entry{a.substr(at + kCentralHeaderSize, name_length), {}};
  auto fault = [&entry](const std::string& what) { return R::failure(entry.name + ": " + what); };
  if (flags & 1) return fault("encrypted");
  if (packed > kMost32 || size > kMost32 || local > kMost32) return fault("a Zip64 entry");
  if (method != kStored && method != kDeflated) return fault("an unknown compression method");
  if (std::uint64_t{local} + kLocalHeaderSize > a.size() || le(a, local, 4) != kLocalHeader)
    return fault("a damaged local header");
  const std::uint64_t data =
      std::uint64_t{local} + kLocalHeaderSize + le(a, local + 26, 2) + le(a, local + 28, 2);
  if (data + packed > a.size()) return fault("cut short");
  entry.bytes.resize(size);
  if (method == kStored) {
    if (packed != size) return fault("a stored entry of two sizes");
    entry.bytes.assign(a, data, size);
  } else if (!inflate_exactly(a.data() + data, packed, entry.bytes, state)) {
    return fault("damaged compressed data");
  }
  if (crc32_of(entry.bytes) != crc) return fault("a wrong CRC-32");
  return entry;
}

}  // namespace

Result<std::vector<ZipEntry>> read_zip(const std::string& a) {
  using R = Result<std::vector<ZipEntry>>;
  const std::size_t end = end_record(a);
  if (end == std::string::npos) return R::failure("not a zip file");
  const std::size_t count = le(a, end + 10, 2);
  std::size_t at = le(a, end + 16, 4);
  const auto state = std::make_unique<inflate_state>();
  std::vector<ZipEntry> entries;
  for (std::size_t k = 0; k < count; ++k) {
    Result<ZipEntry> entry = read_entry(a, at, *state);
    if (!entry.ok()) return R::failure(entry.reason());
    at += kCentralHeaderSize + le(a, at + 28, 2) + le(a, at + 30, 2) + le(a, at + 32, 2);
    entries.push_back(std::move(entry.value()));
  }
  return entries;
}

std::uint64_t PackedEntry::deflated_size() const {
  std::uint64_t total = 0;
  for (const DeflatedPiece& piece : pieces) total += piece.length;
  return total;
}

void PackedEntry::add(DeflatedPiece piece) {
  crc = pieces.empty() ? piece.crc : crc32_joined(crc, piece.crc, piece.size);
  size += piece.size;
  pieces.push_back(std::move(piece));
}

PackedEntry pack_entry(std::string name, const std::string& bytes) {
  PackedEntry entry;
  entry.name = std::move(name);
  entry.add(PieceDeflater().deflate(bytes, true));
  return entry;
}

std::vector<std::string_view> Archive::pieces() const {
  std::vector<std::string_view> out;
  for (std::size_t k = 0; k < entries.size(); ++k) {
    out.push_back(records[k]);
    for (const DeflatedPiece& piece : entries[k].pieces) out.push_back(piece.bytes());
  }
  out.push_back(records.back());
  return out;
}

std::string Archive::joined() const {
  std::string out;
  for (std::string_view piece : pieces()) out += piece;
  return out;
}

namespace {

// The fields local and central headers share, from "version needed" on up
// to the lengths of name and extra field.
void common_fields(std::string& out, const PackedEntry& e) {
  put(out, kVersion, 2);
  put(out, 0, 2);  // no flags
  put(out, kDeflated, 2);
  put(out, kDosTime, 2);
  put(out, kDosDate, 2);
  put(out, e.crc, 4);
  put(out, static_cast<std::uint32_t>(e.deflated_size()), 4);
  put(out, static_cast<std::uint32_t>(e.size), 4);
  put(out, static_cast<std::uint32_t>(e.name.size()), 2);
  put(out, 0, 2);  // no extra field
}

}  // namespace

Result<Archive> zip_archive(std::vector<PackedEntry> entries) {
  using R = Result<Archive>;
  const std::string too_large = "the workbook would pass the 4 GiB a zip file holds without Zip64";
  if (entries.size() > 0xFFFF) return R::failure("more than 65,535 parts in one workbook");
  Archive a{std::move(entries), {}};
  std::uint64_t offset = 0;
  std::vector<std::uint32_t> offsets;
  for (const PackedEntry& e : a.entries) {
    if (e.size > kMost32 || e.name.size() > 0xFFFF) return R::failure(too_large);
    offsets.push_back(static_cast<std::uint32_t>(offset));
    std::string local;
    put(local, kLocalHeader, 4);
    common_fields(local, e);
    local += e.name;
    offset += local.size() + e.deflated_size();
    if (offset > kMost32) return R::failure(too_large);
    a.records.push_back(std::move(local));
  }
  std::string directory;
  for (std::size_t k = 0; k < a.entries.size(); ++k) {
    put(directory, kCentralHeader, 4);
    put(directory, kVersion, 2);  // made by: MS-DOS attributes, version 2.0
    common_fields(directory, a.entries[k]);
    put(directory, 0, 2);  // no comment
    put(directory, 0, 2);  // disk 0
    put(directory, 0, 2);  // internal attributes
    put(directory, 0, 4);  // external attributes
    put(directory, offsets[k], 4);
    directory += a.entries[k].name;
  }
  if (offset + directory.size() + kEndSize > kMost32) return R::failure(too_large);
  const auto count = static_cast<std::uint32_t>(a.entries.size());
  const auto directory_size = static_cast<std::uint32_t>(directory.size());
  put(directory, kEndOfDirectory, 4);
  put(directory, 0, 4);  // this disk, and the disk of the directory
  put(directory, count, 2);
  put(directory, count, 2);
  put(directory, directory_size, 4);
  put(directory, static_cast<std::uint32_t>(offset), 4);
  put(directory, 0, 2);  // no comment
  a.records.push_back(std::move(directory));
  return a;
}

}  // namespace lumaveil::cli::workbook

#endif
