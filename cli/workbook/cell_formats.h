// The number formats of a workbook's cells, each made once, and the cell
// style libxlsxwriter numbers for each.
#ifndef LUMAVEIL_CLI_WORKBOOK_CELL_FORMATS_H
#define LUMAVEIL_CLI_WORKBOOK_CELL_FORMATS_H

#ifdef LUMAVEIL_HAVE_XLSXWRITER

#include <xlsxwriter.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "cli/workbook/bulk_rows.h"

namespace lumaveil::cli::workbook {

class Formats {
 public:
  explicit Formats(lxw_workbook* book) : book_(book) {}
  // The format of `number_format`, made once; nullptr when it cannot be made.
  lxw_format* get(const std::string& number_format);
  // The format of a plain decimal cell of `decimals` decimals (see
  // printed_decimals), its style numbered; made once per count.
  lxw_format* of_decimals(std::string_view cell, int decimals);
  // The cell style of each format made: libxlsxwriter numbers a format's
  // style when a cell first uses it (or here, for the bulk rows).
  StyleIds style_ids() const;

 private:
  lxw_workbook* book_;
  std::map<std::string, lxw_format*> formats_;
  std::vector<lxw_format*> by_decimals_;
};

}  // namespace lumaveil::cli::workbook

#endif

#endif
