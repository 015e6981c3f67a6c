#include "cli/workbook/workbook.h"

#ifdef LUMAVEIL_HAVE_XLSXWRITER

#include <sys/stat.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <vector>

#include "cli/report_input/file_bytes.h"
#include "cli/report_input/report_reader.h"
#include "cli/report_input/text.h"
#include "cli/workbook/bulk_rows.h"
#include "cli/workbook/cell_formats.h"
#include "cli/workbook/charts.h"
#include "cli/workbook/csv.h"
#include "cli/workbook/package.h"
#include "cli/workbook/sheet_plan.h"
#include "model/file_access.h"

namespace lumaveil::cli::workbook {

using report_input::ReportContents;

bool workbooks_available() { return true; }

namespace {

// One sheet being written: its rows strictly in order (the workbook keeps
// constant memory) and the width each column needs. A bulk row is only
// looked at here (its cells checked, its widths and formats taken); it is
// written when the workbook is packed.
struct SheetWriter {
  lxw_worksheet* sheet;
  Formats& formats;
  std::vector<double> widths;

  Status write_line(lxw_row_t row, int line, const std::vector<std::string_view>& cells,
                    bool bulk = false);
  lxw_error write_cell(lxw_row_t row, lxw_col_t col, std::string_view cell, bool bulk);
  Status set_widths();
};

// The characters of UTF-8 text: every byte but the continuation bytes.
std::size_t characters(std::string_view utf8) {
  return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char ch) {
    return (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
  }));
}

std::string where(int line, std::size_t c) {
  return "line " + std::to_string(line + 1) + ", column " + std::to_string(c + 1);
}

// Writes one cell; of a bulk row's cell only makes the number format (its
// style is numbered then, as when libxlsxwriter writes a cell of it).
lxw_error SheetWriter::write_cell(lxw_row_t row, lxw_col_t col, std::string_view cell, bool bulk) {
  const int decimals = bulk ? printed_decimals(cell) : -1;
  if (decimals >= 0)
    return formats.of_decimals(cell, decimals) ? LXW_NO_ERROR : LXW_ERROR_MEMORY_MALLOC_FAILED;
  double value = 0;
  const std::string format = number_format(cell);
  if (!format.empty() && report_input::parse_number(cell, value)) {
    lxw_format* shown = formats.get(format);
    if (shown == nullptr) return LXW_ERROR_MEMORY_MALLOC_FAILED;
    if (!bulk) return worksheet_write_number(sheet, row, col, value, shown);
    lxw_format_get_xf_index(shown);
    return LXW_NO_ERROR;
  }
  if (!bulk) return worksheet_write_string(sheet, row, col, std::string(cell).c_str(), nullptr);
  return characters(cell) > static_cast<std::size_t>(kCellCharacters)
             ? LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED
             : LXW_NO_ERROR;
}

Status SheetWriter::write_line(lxw_row_t row, int line, const std::vector<std::string_view>& cells,
                               bool bulk) {
  if (cells.size() > static_cast<std::size_t>(kSheetColumns))
    return Status::failure("line " + std::to_string(line + 1) + " has " +
                           std::to_string(cells.size()) +
                           " cells, more than the 16384 columns of a sheet");
  for (std::size_t c = 0; c < cells.size(); ++c) {
    const std::string_view cell = cells[c];
    if (cell.empty()) continue;
    const lxw_error error = write_cell(row, static_cast<lxw_col_t>(c), cell, bulk);
    if (error == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
      return Status::failure(where(line, c) + " holds " + std::to_string(characters(cell)) +
                             " characters, more than the 32767 of a cell");
    if (error != LXW_NO_ERROR) return Status::failure(where(line, c) + ": " + lxw_strerror(error));
    if (widths.size() <= c) widths.resize(c + 1, 8);
    // Long headings stand alone in their line: they need not widen the column.
    if (cells.size() > 1 || c > 0)
      widths[c] = std::max(widths[c], report_input::display_width(cell));
  }
  return Done{};
}

Status SheetWriter::set_widths() {
  for (std::size_t c = 0; c < widths.size(); ++c) {
    auto col = static_cast<lxw_col_t>(c);
    lxw_error error = worksheet_set_column(sheet, col, col, widths[c] + 2, nullptr);
    if (error != LXW_NO_ERROR)
      return Status::failure("the width of column " + std::to_string(c + 1) + ": " +
                             lxw_strerror(error));
  }
  return Done{};
}

// The last column of `cells` that holds something, from 0; -1 for none.
int last_filled(const std::vector<std::string_view>& cells) {
  for (std::size_t c = cells.size(); c-- > 0;)
    if (!cells[c].empty()) return static_cast<int>(c);
  return -1;
}

// The workbook being written: libxlsxwriter's, and the bulk rows left for
// packing.
struct BookWriter {
  lxw_workbook* book;
  const ReportContents& r;
  const inputs::LensView* lens;
  int bulk_rows;
  Formats formats;
  std::vector<BulkSheet> bulk;
  // The frame of the spot charts, made for the first.
  std::optional<drawing::SpotFrame> frame;

  Status write_sheet(const SheetPlan& plan);
  // The first row of the sheet's bulk: after the heading, the column line
  // and the side cells, when at least `bulk_rows` rows follow them.
  int bulk_start(const SheetPlan& plan, const std::vector<SideCell>& side) const {
    int first = 2;
    for (const SideCell& c : side) first = std::max(first, static_cast<int>(c.row) + 1);
    return plan.rows() - first >= std::max(bulk_rows, 1) ? first : plan.rows();
  }
};

Status BookWriter::write_sheet(const SheetPlan& plan) {
  lxw_worksheet* sheet = workbook_add_worksheet(book, plan.name.c_str());
  if (sheet == nullptr) return Status::failure("cannot add the sheet " + plan.name);
  SheetWriter writer{sheet, formats, {}};
  // The statistics beside the spot chart are written with the rows they
  // stand in, since a constant-memory sheet takes its rows strictly in order.
  if (plan.chart == SheetPlan::Chart::Spots && !frame) frame = drawing::spot_frame(r);
  const std::vector<SideCell> side = frame ? side_cells(plan, r, *frame) : std::vector<SideCell>{};
  std::size_t next_side = 0;
  const int bulk_first = bulk_start(plan, side);
  BulkRows rows{0, plan.end_line, bulk_first, -1, 0};
  lxw_row_t row = 0;
  std::vector<std::string_view> cells;
  auto write_lines = [&](int first, int end) {
    for (int line = first; line < end; ++line, ++row) {
      report_input::split_cells(r.cells.text(static_cast<std::size_t>(line)), cells);
      const bool in_bulk = static_cast<int>(row) >= bulk_first;
      if (in_bulk && static_cast<int>(row) == bulk_first) rows.first_line = line;
      if (in_bulk && last_filled(cells) >= 0) {
        rows.last_row = static_cast<int>(row);
        rows.last_column = std::max(rows.last_column, last_filled(cells));
      }
      Status written = writer.write_line(row, line, cells, in_bulk);
      if (written.ok()) written = write_side_cells(sheet, side, row, next_side);
      if (!written.ok()) return written;
    }
    return Status(Done{});
  };
  for (auto [first, end] :
       {std::pair{plan.head_first, plan.head_end}, std::pair{plan.first_line, plan.end_line}}) {
    const Status written = write_lines(first, end);
    if (!written.ok()) return written;
  }
  Status done = write_side_cells(sheet, side, LXW_ROW_MAX, next_side);
  if (done.ok()) done = writer.set_widths();
  if (done.ok()) done = set_up_printing(sheet, plan, r);
  if (!done.ok()) return Status::failure(plan.name + ": " + done.reason());
  worksheet_freeze_panes(sheet, 2, 0);
  if (bulk_first < plan.rows())
    bulk.push_back({"xl/worksheets/sheet" + std::to_string(sheet->index + 1) + ".xml", rows});
  if (plan.chart == SheetPlan::Chart::Spots) spot_chart(book, sheet, plan, r, *frame, lens);
  if (plan.chart == SheetPlan::Chart::Aberration) aberration_chart(book, sheet, plan, r);
  if (plan.chart == SheetPlan::Chart::Merit) merit_chart(book, sheet, plan, r);
  return Done{};
}

// The bytes of the file at `path`, which is then removed.
Result<std::string> take_file(const std::string& path) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) return Result<std::string>::failure(describe_file_error(errno), errno);
  std::string bytes;
  char buffer[1 << 16];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) bytes.append(buffer, n);
  const bool failed = std::ferror(in) != 0;
  std::fclose(in);
  std::remove(path.c_str());
  if (failed) return Result<std::string>::failure("cannot read libxlsxwriter's workbook");
  return bytes;
}

// The workbook of the sheets of `plans`. libxlsxwriter
// writes it to `temporary`, which is read back and removed.
Result<Archive> workbook_bytes(const ReportContents& r, const std::vector<SheetPlan>& plans,
                               const std::string& temporary, const inputs::LensView* lens,
                               int bulk_rows) {
  using R = Result<Archive>;
  // Constant memory: each row goes to a temporary file as soon as the next
  // starts, and the bulk rows are not held by libxlsxwriter at all.
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  lxw_workbook* book = workbook_new_opt(temporary.c_str(), &options);
  if (book == nullptr) {
    std::remove(temporary.c_str());
    return R::failure("libxlsxwriter cannot start a workbook");
  }
  BookWriter writer{book, r, lens, bulk_rows, Formats(book), {}, {}};
  for (const SheetPlan& plan : plans) {
    const Status written = writer.write_sheet(plan);
    if (!written.ok()) {
      workbook_close(book);  // frees the workbook
      std::remove(temporary.c_str());
      return R::failure(written.reason());
    }
  }
  const StyleIds styles = writer.formats.style_ids();
  const lxw_error result = workbook_close(book);
  Result<std::string> archive = take_file(temporary);
  if (result != LXW_NO_ERROR) return R::failure(lxw_strerror(result));
  if (!archive.ok()) return R::failure(archive.reason(), archive.error());
  // A long sheet is compressed in pieces of four times the rows that make
  // it long: 20,000 report lines, about 4 MB of XML.
  return pack_workbook(archive.value(), r, writer.bulk, styles, 4 * std::max(bulk_rows, 1));
}

// A new, empty file of a unique name in the folder of `path`, readable as
// any file this user creates; "" when it cannot be made (errno says why).
std::string temporary_beside(const std::string& path) {
  const std::filesystem::path target(path);
  std::string name = target.parent_path().string();
  if (!name.empty()) name += '/';
  name += '.';
  name += target.filename().string();
  name += ".XXXXXX";
  const int fd = mkstemp(name.data());
  if (fd < 0) return "";
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  close(fd);
  return name;
}

}  // namespace

Status write_workbook(const ReportContents& r, const std::string& path,
                      const inputs::LensView* lens, int row_limit, int bulk_rows) {
  const Result<std::vector<SheetPlan>> plans = plan_sheets(r, row_limit);
  if (!plans.ok()) return Status::failure("cannot write " + path + ": " + plans.reason());
  // libxlsxwriter writes its workbook under a temporary name beside the
  // target; the final workbook then replaces the target whole, so a failed
  // export leaves no half workbook, and a symlink standing under the name
  // is replaced, not written through.
  const std::string temporary = temporary_beside(path);
  if (temporary.empty())
    return Status::failure("cannot create " + path + ": " + describe_file_error(errno), errno);
  const Result<Archive> book = workbook_bytes(r, plans.value(), temporary, lens, bulk_rows);
  const Status written = book.ok() ? report_input::replace_whole_file(path, book.value().pieces())
                                   : Status::failure(book.reason(), book.error());
  if (!written.ok())
    return Status::failure("cannot write " + path + ": " + written.reason(), written.error());
  return Done{};
}

}  // namespace lumaveil::cli::workbook

#else

namespace lumaveil::cli::workbook {

bool workbooks_available() { return false; }

Status write_workbook(const report_input::ReportContents&, const std::string&,
                      const inputs::LensView*, int, int) {
  return Status::failure(
      "this lumaveil was built without libxlsxwriter, ISA-L or zlib (Debian packages "
      "libxlsxwriter-dev, libisal-dev and zlib1g-dev), so it writes no workbooks; --csv works");
}

}  // namespace lumaveil::cli::workbook

#endif
