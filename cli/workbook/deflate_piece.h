// Parts of the workbook deflated in pieces: a long sheet's XML is made and
// compressed a few megabytes at a time, each piece on its own (no look-back
// into the piece before), so that the pieces of all sheets can be
// compressed on all processors at once and no sheet is ever held whole.
// The pieces of a part, laid end to end, are one raw deflate stream: every
// piece but the last ends on a byte with an empty stored block, the last
// ends the stream. ISA-L's fastest level compresses a dense grid's sheet
// XML at several hundred megabytes a second to about a sixth of its size.
#ifndef LUMAVEIL_CLI_WORKBOOK_DEFLATE_PIECE_H
#define LUMAVEIL_CLI_WORKBOOK_DEFLATE_PIECE_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct isal_zstream;

namespace lumaveil::cli::workbook {

// A piece of a part: its deflated bytes (`length` of them at `data`, which
// has room for the worst case; only what is written is ever touched), and
// the CRC-32 and length of the bytes it holds.
struct DeflatedPiece {
  std::unique_ptr<char[]> data;
  std::size_t length = 0;
  std::uint32_t crc = 0;
  std::uint64_t size = 0;

  std::string_view bytes() const { return {data.get(), length}; }
};

// Deflates pieces one after another, reusing its working memory; one per
// thread. Throws std::bad_alloc when memory runs out, std::length_error for
// a piece of 4 GiB or more, std::runtime_error should the compressor fail.
class PieceDeflater {
 public:
  PieceDeflater();
  ~PieceDeflater();
  PieceDeflater(const PieceDeflater&) = delete;
  PieceDeflater& operator=(const PieceDeflater&) = delete;

  // `text` deflated on its own; `last` ends the part's deflate stream.
  DeflatedPiece deflate(std::string_view text, bool last);

 private:
  std::unique_ptr<isal_zstream> stream_;
  std::vector<unsigned char> level_buffer_;
};

// The CRC-32 of `bytes` (the zip file's, as zlib computes it).
std::uint32_t crc32_of(std::string_view bytes);

// The CRC-32 of the bytes of `first` followed by those of `second`.
std::uint32_t crc32_joined(std::uint32_t first, std::uint32_t second, std::uint64_t second_size);

}  // namespace lumaveil::cli::workbook

#endif
