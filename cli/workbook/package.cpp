#include "cli/workbook/package.h"

#ifdef LUMAVEIL_HAVE_XLSXWRITER

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <new>
#include <thread>

namespace lumaveil::cli::workbook {

namespace {

// One piece of the workbook to compress: a part of libxlsxwriter's whole,
// or a run of a long sheet's bulk rows, the first carrying the sheet's
// head and the last its tail.
struct Piece {
  std::size_t part;
  const BulkSheet* bulk = nullptr;
  int from_line = 0, to_line = 0;
  bool first = true, last = true;
};

// The pieces of a long sheet, in order.
void add_sheet_pieces(std::vector<Piece>& pieces, std::size_t part, const BulkSheet& bulk,
                      bool takes_rows, int piece_lines) {
  const BulkRows& rows = bulk.rows;
  const int end = takes_rows ? rows.end_line : rows.first_line;
  int from = rows.first_line;
  do {
    const int to = end - from > piece_lines ? from + piece_lines : end;
    pieces.push_back({part, &bulk, from, to, from == rows.first_line, to == end});
    from = to;
  } while (from < end);
}

// What each thread keeps from piece to piece: the XML of a run of bulk
// rows and the compressor.
struct Worker {
  std::string xml;
  PieceDeflater deflater;
};

struct Packing {
  const std::vector<ZipEntry>& parts;
  const std::vector<SheetFrame>& frames;  // by part; empty for parts without bulk rows
  const report_input::ReportContents& r;
  const StyleIds& styles;
};

DeflatedPiece deflate_piece(const Piece& p, const Packing& packing, Worker& worker) {
  if (p.bulk == nullptr) return worker.deflater.deflate(packing.parts[p.part].bytes, true);
  const SheetFrame& frame = packing.frames[p.part];
  worker.xml.clear();
  if (p.first) worker.xml += frame.head;
  append_rows(worker.xml, packing.r, p.bulk->rows, p.from_line, p.to_line, packing.styles);
  if (p.last) worker.xml += frame.tail;
  return worker.deflater.deflate(worker.xml, p.last);
}

// Every piece deflated, on all processors; the first failure's reason, or
// empty.
std::string deflate_all(const std::vector<Piece>& pieces, const Packing& packing,
                        std::vector<DeflatedPiece>& deflated) {
  std::atomic<std::size_t> next{0};
  std::mutex failure_lock;
  std::string failure;
  auto work = [&] {
    try {
      Worker worker;
      for (std::size_t k = next++; k < pieces.size(); k = next++)
        deflated[k] = deflate_piece(pieces[k], packing, worker);
    } catch (const std::bad_alloc&) {
      const std::lock_guard<std::mutex> hold(failure_lock);
      if (failure.empty()) failure = "out of memory";
    } catch (const std::exception& e) {
      const std::lock_guard<std::mutex> hold(failure_lock);
      if (failure.empty()) failure = e.what();
    }
    next = pieces.size();  // one failure ends the others' work too
  };
  const std::size_t threads =
      std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), pieces.size());
  std::vector<std::thread> helpers;
  for (std::size_t t = 1; t < threads; ++t) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
  return failure;
}

}  // namespace

Result<Archive> pack_workbook(const std::string& archive, const report_input::ReportContents& r,
                              const std::vector<BulkSheet>& bulk, const StyleIds& styles,
                              int piece_lines) {
  using R = Result<Archive>;
  const Result<std::vector<ZipEntry>> read = read_zip(archive);
  if (!read.ok()) return R::failure("libxlsxwriter's workbook: " + read.reason());
  const std::vector<ZipEntry>& parts = read.value();
  std::vector<SheetFrame> frames(parts.size());
  std::vector<Piece> pieces;
  for (const BulkSheet& b : bulk)
    if (std::none_of(parts.begin(), parts.end(),
                     [&b](const ZipEntry& e) { return e.name == b.part; }))
      return R::failure("libxlsxwriter's workbook holds no part " + b.part);
  for (std::size_t k = 0; k < parts.size(); ++k) {
    auto sheet = std::find_if(bulk.begin(), bulk.end(),
                              [&](const BulkSheet& b) { return b.part == parts[k].name; });
    if (sheet == bulk.end()) {
      pieces.push_back({k});
      continue;
    }
    frames[k] = frame_sheet(parts[k].bytes, sheet->rows);
    add_sheet_pieces(pieces, k, *sheet, frames[k].takes_rows, std::max(piece_lines, 1));
  }
  std::vector<DeflatedPiece> deflated(pieces.size());
  const std::string failure = deflate_all(pieces, {parts, frames, r, styles}, deflated);
  if (!failure.empty()) return R::failure(failure);
  std::vector<PackedEntry> entries(parts.size());
  for (std::size_t k = 0; k < parts.size(); ++k) entries[k].name = parts[k].name;
  for (std::size_t k = 0; k < pieces.size(); ++k)
    entries[pieces[k].part].add(std::move(deflated[k]));
  return zip_archive(std::move(entries));
}

}  // namespace lumaveil::cli::workbook

#endif
