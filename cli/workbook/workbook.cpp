#include "cli/workbook/workbook.h"

#ifdef LUMAVEIL_HAVE_XLSXWRITER

#include <xlsxwriter.h>

#include <algorithm>
#include <map>
#include <vector>

#include "cli/report_input/report_reader.h"
#include "cli/report_input/text.h"
#include "cli/workbook/charts.h"
#include "cli/workbook/csv.h"

namespace lumaveil::cli::workbook {

using report_input::ReportContents;

bool workbooks_available() { return true; }

namespace {

class Formats {
 public:
  explicit Formats(lxw_workbook* book) : book_(book) {}
  lxw_format* get(const std::string& number_format) {
    auto it = formats_.find(number_format);
    if (it != formats_.end()) return it->second;
    lxw_format* f = workbook_add_format(book_);
    format_set_num_format(f, number_format.c_str());
    formats_[number_format] = f;
    return f;
  }

 private:
  lxw_workbook* book_;
  std::map<std::string, lxw_format*> formats_;
};

// 1, 2 or 5 times a power of ten, near `target`.
}  // namespace

Status write_workbook(const ReportContents& r, const std::string& path,
                      const inputs::LensView* lens) {
  // Constant memory: each row goes to a temporary file as soon as the next
  // starts, so a dense grid of a million spot rows needs no more memory
  // than one row. The rows below are written strictly in order.
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
  if (book == nullptr) {
    return Status::failure("cannot create " + path);
  }
  Formats formats(book);
  for (const SheetPlan& plan : plan_sheets(r)) {
    lxw_worksheet* sheet = workbook_add_worksheet(book, plan.name.c_str());
    std::vector<double> widths;
    const std::vector<SideCell> side = side_cells(plan, r);
    std::size_t next_side = 0;
    for (int line = plan.first_line; line < plan.end_line; ++line) {
      const auto& cells = r.cells[static_cast<std::size_t>(line)];
      auto row = static_cast<lxw_row_t>(line - plan.first_line);
      for (std::size_t c = 0; c < cells.size(); ++c) {
        const std::string& cell = cells[c];
        if (cell.empty()) continue;
        auto col = static_cast<lxw_col_t>(c);
        double value = 0;
        std::string format = number_format(cell);
        if (!format.empty() && report_input::parse_number(cell, value))
          worksheet_write_number(sheet, row, col, value, formats.get(format));
        else
          worksheet_write_string(sheet, row, col, cell.c_str(), nullptr);
        if (widths.size() <= c) widths.resize(c + 1, 8);
        // Long headings stand alone in their line: they need not widen the column.
        if (cells.size() > 1 || c > 0)
          widths[c] = std::max(widths[c], report_input::display_width(cell));
      }
      write_side_cells(sheet, side, row, next_side);
    }
    write_side_cells(sheet, side, LXW_ROW_MAX, next_side);
    for (std::size_t c = 0; c < widths.size(); ++c)
      worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                           widths[c] + 2, nullptr);
    worksheet_freeze_panes(sheet, 2, 0);
    set_up_printing(sheet, plan, r);
    if (plan.chart == SheetPlan::Chart::Spots) spot_chart(book, sheet, plan, r, lens);
    if (plan.chart == SheetPlan::Chart::Aberration) aberration_chart(book, sheet, plan, r);
    if (plan.chart == SheetPlan::Chart::Merit) merit_chart(book, sheet, plan, r);
  }
  lxw_error result = workbook_close(book);
  if (result != LXW_NO_ERROR) {
    return Status::failure("cannot write " + path + ": " + lxw_strerror(result));
  }
  return Done{};
}

}  // namespace lumaveil::cli::workbook

#else

namespace lumaveil::cli::workbook {

bool workbooks_available() { return false; }

Status write_workbook(const report_input::ReportContents&, const std::string&,
                      const inputs::LensView*) {
  return Status::failure(
      "this lumaveil was built without libxlsxwriter (Debian package libxlsxwriter-dev), so it "
      "writes no workbooks; --csv works");
}

}  // namespace lumaveil::cli::workbook

#endif
