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
#include <vector>

#include "cli/report_input/report_reader.h"
#include "cli/report_input/text.h"
#include "cli/workbook/charts.h"
#include "cli/workbook/csv.h"
#include "cli/workbook/sheet_plan.h"
#include "model/file_access.h"

namespace lumaveil::cli::workbook {

using report_input::ReportContents;

bool workbooks_available() { return true; }

namespace {

class Formats {
 public:
  explicit Formats(lxw_workbook* book) : book_(book) {}
  // The format of `number_format`, made once; nullptr when it cannot be made.
  lxw_format* get(const std::string& number_format) {
    auto it = formats_.find(number_format);
    if (it != formats_.end()) return it->second;
    lxw_format* f = workbook_add_format(book_);
    if (f == nullptr) return nullptr;
    format_set_num_format(f, number_format.c_str());
    formats_[number_format] = f;
    return f;
  }

 private:
  lxw_workbook* book_;
  std::map<std::string, lxw_format*> formats_;
};

// One sheet being written: its rows strictly in order (the workbook keeps
// constant memory) and the width each column needs.
struct SheetWriter {
  lxw_worksheet* sheet;
  Formats& formats;
  std::vector<double> widths;

  Status write_line(lxw_row_t row, int line, const std::vector<std::string>& cells);
  Status set_widths();
};

// The characters of UTF-8 text: every byte but the continuation bytes.
std::size_t characters(const std::string& utf8) {
  return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char ch) {
    return (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
  }));
}

std::string where(int line, std::size_t c) {
  return "line " + std::to_string(line + 1) + ", column " + std::to_string(c + 1);
}

Status SheetWriter::write_line(lxw_row_t row, int line, const std::vector<std::string>& cells) {
  if (cells.size() > static_cast<std::size_t>(kSheetColumns))
    return Status::failure("line " + std::to_string(line + 1) + " has " +
                           std::to_string(cells.size()) +
                           " cells, more than the 16384 columns of a sheet");
  for (std::size_t c = 0; c < cells.size(); ++c) {
    const std::string& cell = cells[c];
    if (cell.empty()) continue;
    auto col = static_cast<lxw_col_t>(c);
    double value = 0;
    std::string format = number_format(cell);
    lxw_error error = LXW_NO_ERROR;
    if (!format.empty() && report_input::parse_number(cell, value)) {
      lxw_format* shown = formats.get(format);
      error = shown == nullptr ? LXW_ERROR_MEMORY_MALLOC_FAILED
                               : worksheet_write_number(sheet, row, col, value, shown);
    } else {
      error = worksheet_write_string(sheet, row, col, cell.c_str(), nullptr);
    }
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

Status write_sheet(lxw_workbook* book, Formats& formats, const SheetPlan& plan,
                   const ReportContents& r, const inputs::LensView* lens) {
  lxw_worksheet* sheet = workbook_add_worksheet(book, plan.name.c_str());
  if (sheet == nullptr) return Status::failure("cannot add the sheet " + plan.name);
  SheetWriter writer{sheet, formats, {}};
  // The statistics beside the spot chart are written with the rows they
  // stand in, since a constant-memory sheet takes its rows strictly in order.
  const std::vector<SideCell> side = side_cells(plan, r);
  std::size_t next_side = 0;
  lxw_row_t row = 0;
  auto write_lines = [&](int first, int end) {
    for (int line = first; line < end; ++line, ++row) {
      const Status written = writer.write_line(row, line, r.cells[static_cast<std::size_t>(line)]);
      if (!written.ok()) return written;
      write_side_cells(sheet, side, row, next_side);
    }
    return Status(Done{});
  };
  for (auto [first, end] :
       {std::pair{plan.head_first, plan.head_end}, std::pair{plan.first_line, plan.end_line}}) {
    const Status written = write_lines(first, end);
    if (!written.ok()) return written;
  }
  write_side_cells(sheet, side, LXW_ROW_MAX, next_side);
  const Status widths = writer.set_widths();
  if (!widths.ok()) return widths;
  worksheet_freeze_panes(sheet, 2, 0);
  set_up_printing(sheet, plan, r);
  if (plan.chart == SheetPlan::Chart::Spots) spot_chart(book, sheet, plan, r, lens);
  if (plan.chart == SheetPlan::Chart::Aberration) aberration_chart(book, sheet, plan, r);
  if (plan.chart == SheetPlan::Chart::Merit) merit_chart(book, sheet, plan, r);
  return Done{};
}

// Writes the sheets of `plans` into a workbook at `path`.
Status write_sheets(const ReportContents& r, const std::vector<SheetPlan>& plans,
                    const std::string& path, const inputs::LensView* lens) {
  // Constant memory: each row goes to a temporary file as soon as the next
  // starts, so a dense grid of a million spot rows needs no more memory
  // than one row. The rows are written strictly in order.
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
  if (book == nullptr) return Status::failure("libxlsxwriter cannot start a workbook");
  Formats formats(book);
  for (const SheetPlan& plan : plans) {
    const Status written = write_sheet(book, formats, plan, r, lens);
    if (!written.ok()) {
      workbook_close(book);  // frees the workbook; the caller removes the file
      return written;
    }
  }
  lxw_error result = workbook_close(book);
  if (result != LXW_NO_ERROR) return Status::failure(lxw_strerror(result));
  return Done{};
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
                      const inputs::LensView* lens, int row_limit) {
  const Result<std::vector<SheetPlan>> plans = plan_sheets(r, row_limit);
  if (!plans.ok()) return Status::failure("cannot write " + path + ": " + plans.reason());
  // The workbook is written under a temporary name and renamed into place
  // only when whole, so a failed export leaves no half workbook, and a
  // symlink standing under the name is replaced, not written through.
  const std::string temporary = temporary_beside(path);
  if (temporary.empty())
    return Status::failure("cannot create " + path + ": " + describe_file_error(errno), errno);
  Status written = write_sheets(r, plans.value(), temporary, lens);
  if (written.ok() && std::rename(temporary.c_str(), path.c_str()) != 0)
    written = Status::failure(describe_file_error(errno), errno);
  if (!written.ok()) {
    std::remove(temporary.c_str());
    return Status::failure("cannot write " + path + ": " + written.reason(), written.error());
  }
  return Done{};
}

}  // namespace lumaveil::cli::workbook

#else

namespace lumaveil::cli::workbook {

bool workbooks_available() { return false; }

Status write_workbook(const report_input::ReportContents&, const std::string&,
                      const inputs::LensView*, int) {
  return Status::failure(
      "this lumaveil was built without libxlsxwriter (Debian package libxlsxwriter-dev), so it "
      "writes no workbooks; --csv works");
}

}  // namespace lumaveil::cli::workbook

#endif
