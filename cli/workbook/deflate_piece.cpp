#include "cli/workbook/deflate_piece.h"

#ifdef LUMAVEIL_HAVE_XLSXWRITER

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>
#include <zlib.h>

#include <limits>
#include <stdexcept>
#include <string>

namespace lumaveil::cli::workbook {

PieceDeflater::PieceDeflater()
    : stream_(std::make_unique<isal_zstream>()), level_buffer_(ISAL_DEF_LVL1_DEFAULT) {}

PieceDeflater::~PieceDeflater() = default;

DeflatedPiece PieceDeflater::deflate(std::string_view text, bool last) {
  // Deflate grows incompressible bytes by the headers of stored blocks, five
  // bytes in 65,535; the bound leaves ample room for those and the headers
  // of the last blocks.
  const std::size_t bound = text.size() + text.size() / 1024 + ISAL_DEF_MAX_HDR_SIZE + 1024;
  if (bound > std::numeric_limits<std::uint32_t>::max())
    throw std::length_error("a part of over 4 GiB");
  DeflatedPiece piece;
  // Left uninitialised: new[] of chars neither fills nor touches it.
  piece.data.reset(new char[bound]);
  isal_zstream& s = *stream_;
  isal_deflate_stateless_init(&s);
  s.level = 1;
  s.level_buf = level_buffer_.data();
  s.level_buf_size = static_cast<std::uint32_t>(level_buffer_.size());
  s.next_in = reinterpret_cast<std::uint8_t*>(const_cast<char*>(text.data()));
  s.avail_in = static_cast<std::uint32_t>(text.size());
  s.next_out = reinterpret_cast<std::uint8_t*>(piece.data.get());
  s.avail_out = static_cast<std::uint32_t>(bound);
  // Not the last: byte-aligned at its end, with no look-back, so that the
  // next piece follows as it was compressed on its own.
  s.end_of_stream = last ? 1 : 0;
  s.flush = last ? NO_FLUSH : FULL_FLUSH;
  if (const int status = isal_deflate_stateless(&s); status != COMP_OK)
    throw std::runtime_error("ISA-L's deflate failed (" + std::to_string(status) + ")");
  piece.length = s.total_out;
  piece.crc = crc32_of(text);
  piece.size = text.size();
  return piece;
}

std::uint32_t crc32_of(std::string_view bytes) {
  return crc32_gzip_refl(0, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::uint32_t crc32_joined(std::uint32_t first, std::uint32_t second, std::uint64_t second_size) {
  return static_cast<std::uint32_t>(
      crc32_combine(first, second, static_cast<z_off_t>(second_size)));
}

}  // namespace lumaveil::cli::workbook

#endif
