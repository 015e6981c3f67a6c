#include "cli/workbook/bulk_rows.h"

#ifdef LUMAVEIL_HAVE_XLSXWRITER

#include <xlsxwriter.h>
#include <xlsxwriter/xmlwriter.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cli/report_input/report_reader.h"
#include "cli/workbook/csv.h"

namespace lumaveil::cli::workbook {

using report_input::ReportContents;

namespace {

std::string column_name(int column) {
  std::string name;
  for (int c = column + 1; c > 0; c = (c - 1) / 26)
    name.insert(name.begin(), static_cast<char>('A' + (c - 1) % 26));
  return name;
}

void append_number(std::string& out, long long n) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
  out.append(digits, end);
}

// Whether `text` is a decimal number as XML writes a double: sign, digits
// with at most one point, an optional exponent. The report prints its
// numbers so; the text then stands in the sheet as it is.
bool plain_decimal(std::string_view text) {
  std::size_t k = 0;
  if (k < text.size() && (text[k] == '-' || text[k] == '+')) ++k;
  std::size_t digits = 0, points = 0;
  for (; k < text.size() && text[k] != 'e' && text[k] != 'E'; ++k) {
    if (text[k] == '.') {
      ++points;
    } else if (std::isdigit(static_cast<unsigned char>(text[k]))) {
      ++digits;
    } else {
      return false;
    }
  }
  if (digits == 0 || points > 1) return false;
  if (k == text.size()) return true;
  if (++k < text.size() && (text[k] == '-' || text[k] == '+')) ++k;
  if (k == text.size()) return false;
  return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(k), text.end(),
                     [](char ch) { return std::isdigit(static_cast<unsigned char>(ch)); });
}

// The value of a number cell: the printed text without its padding, or,
// for a form XML does not read, the value as libxlsxwriter prints it.
void append_value(std::string& out, std::string_view cell) {
  const std::size_t first = cell.find_first_not_of(' ');
  const std::size_t last = cell.find_last_not_of(' ');
  const std::string_view text = cell.substr(first, last + 1 - first);
  if (plain_decimal(text)) {
    out += text;
    return;
  }
  double value = 0;
  report_input::parse_number(cell, value);
  char printed[40];
  std::snprintf(printed, sizeof printed, "%.16G", value);
  out += printed;
}

// A text cell as libxlsxwriter writes it in constant-memory mode: control
// characters as _xHHHH_, then & < > escaped, blanks at either end kept.
void append_text(std::string& out, std::string_view cell) {
  char* controls = lxw_escape_control_characters(std::string(cell).c_str());
  char* escaped = controls == nullptr ? nullptr : lxw_escape_data(controls);
  std::free(controls);
  if (escaped == nullptr) throw std::bad_alloc();
  const std::string text(escaped);
  std::free(escaped);
  const bool blank_ends =
      !text.empty() && (std::isspace(static_cast<unsigned char>(text.front())) ||
                        std::isspace(static_cast<unsigned char>(text.back())));
  out +=
      blank_ends ? " t=\"inlineStr\"><is><t xml:space=\"preserve\">" : " t=\"inlineStr\"><is><t>";
  out += text;
  out += "</t></is></c>";
}

// The style of a plain decimal cell by its count of decimals, looked up
// in `styles` once per count.
class DecimalStyles {
 public:
  explicit DecimalStyles(const StyleIds& styles) : styles_(styles) {}
  int of(std::string_view cell, int decimals) {
    const auto d = static_cast<std::size_t>(decimals);
    if (d >= by_decimals_.size()) by_decimals_.resize(d + 1, -1);
    if (by_decimals_[d] < 0) {
      const auto found = styles_.find(number_format(cell));
      by_decimals_[d] = found == styles_.end() ? 0 : found->second;
    }
    return by_decimals_[d];
  }

 private:
  const StyleIds& styles_;
  std::vector<int> by_decimals_;
};

// Appends `text` at `at`, returning the end.
char* put(char* at, std::string_view text) {
  std::memcpy(at, text.data(), text.size());
  return at + text.size();
}

// A number cell the report printed as a plain decimal, assembled in one
// buffer and appended at once (the bulk of a dense grid's cells).
void append_decimal(std::string& out, std::string_view column, std::string_view row, int style,
                    std::string_view text) {
  char cell[128];
  if (text.size() + column.size() + row.size() + 40 > sizeof cell) {
    std::string slow = "<c r=\"" + std::string(column) + std::string(row) + "\"";
    if (style != 0) slow += " s=\"" + std::to_string(style) + "\"";
    out += slow + "><v>" + std::string(text) + "</v></c>";
    return;
  }
  char* at = put(cell, "<c r=\"");
  at = put(at, column);
  at = put(at, row);
  if (style != 0) {
    at = put(at, "\" s=\"");
    at = std::to_chars(at, at + 12, style).ptr;
  }
  at = put(at, "\"><v>");
  at = put(at, text);
  at = put(at, "</v></c>");
  out.append(cell, static_cast<std::size_t>(at - cell));
}

// Any other cell: a number in another form, or text.
void append_cell(std::string& out, std::string_view column, std::string_view row,
                 std::string_view cell, const StyleIds& styles) {
  out += "<c r=\"";
  out += column;
  out += row;
  out += '"';
  const std::string format = number_format(cell);
  if (format.empty()) {
    append_text(out, cell);
    return;
  }
  const auto style = styles.find(format);
  if (style != styles.end() && style->second != 0) {
    out += " s=\"";
    append_number(out, style->second);
    out += '"';
  }
  out += "><v>";
  append_value(out, cell);
  out += "</v></c>";
}

}  // namespace

void append_rows(std::string& out, const ReportContents& r, const BulkRows& rows, int from_line,
                 int to_line, const StyleIds& styles) {
  std::vector<std::string> columns;
  for (int c = 0; c <= rows.last_column; ++c) columns.push_back(column_name(c));
  DecimalStyles decimal_styles(styles);
  long long row = rows.first_row + 1 + (from_line - rows.first_line);
  std::vector<std::string_view> cells;
  for (int line = from_line; line < to_line; ++line, ++row) {
    report_input::split_cells(r.cells.text(static_cast<std::size_t>(line)), cells);
    // A row without cells is left out, as libxlsxwriter leaves it out.
    if (std::all_of(cells.begin(), cells.end(), [](std::string_view c) { return c.empty(); }))
      continue;
    char digits[24];
    const std::string_view number(
        digits, static_cast<std::size_t>(std::to_chars(digits, digits + 24, row).ptr - digits));
    out += "<row r=\"";
    out += number;
    out += "\">";
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const std::string_view cell = cells[c];
      if (cell.empty()) continue;
      const int decimals = printed_decimals(cell);
      if (decimals >= 0) {
        const std::string_view text = cell.substr(cell.find_first_not_of(' '));
        append_decimal(out, columns[c], number, decimal_styles.of(cell, decimals), text);
      } else {
        append_cell(out, columns[c], number, cell, styles);
      }
    }
    out += "</row>";
  }
}

namespace {

// Column from 0 and row from 1 of a reference such as "P8".
std::pair<int, long long> parse_reference(std::string_view ref) {
  int column = 0;
  std::size_t k = 0;
  for (; k < ref.size() && std::isupper(static_cast<unsigned char>(ref[k])); ++k)
    column = column * 26 + (ref[k] - 'A' + 1);
  long long row = 0;
  std::from_chars(ref.data() + k, ref.data() + ref.size(), row);
  return {column - 1, row};
}

// `sheet` with its dimension reaching row `last_row` (from 0) and column
// `last_column` at least.
void widen_dimension(std::string& sheet, int last_row, int last_column) {
  const std::string key = "<dimension ref=\"";
  const std::size_t at = sheet.find(key);
  if (at == std::string::npos) return;
  const std::size_t from = at + key.size(), end = sheet.find('"', from);
  if (end == std::string::npos) return;
  const std::string_view ref(sheet.data() + from, end - from);
  const std::size_t colon = ref.find(':');
  const std::string_view first = ref.substr(0, colon);
  const auto [old_column, old_row] =
      parse_reference(colon == std::string_view::npos ? first : ref.substr(colon + 1));
  (void)old_row;
  const std::string widened =
      std::string(first) + ":" + cell_reference(last_row, std::max(last_column, old_column));
  sheet.replace(from, end - from, widened);
}

}  // namespace

int printed_decimals(std::string_view cell) {
  std::size_t k = cell.find_first_not_of(' ');
  if (k == std::string_view::npos) return -1;
  if (cell[k] == '-') ++k;
  auto digits = [&cell, &k] {
    const std::size_t from = k;
    while (k < cell.size() && cell[k] >= '0' && cell[k] <= '9') ++k;
    return k - from;
  };
  if (digits() == 0) return -1;
  int decimals = 0;
  if (k < cell.size() && cell[k] == '.') {
    ++k;
    decimals = static_cast<int>(digits());
    if (decimals == 0) return -1;
  }
  // Short enough that the value is finite (a double reaches 1.8E+308).
  return k == cell.size() && cell.size() < 300 ? decimals : -1;
}

std::string cell_reference(int row, int column) {
  return column_name(column) + std::to_string(row + 1);
}

SheetFrame frame_sheet(const std::string& sheet, const BulkRows& rows) {
  // libxlsxwriter closes the sheet data of a sheet without rows at once.
  std::size_t cut = sheet.find("</sheetData>");
  std::string closing = "</sheetData>";
  if (cut == std::string::npos) {
    cut = sheet.find("<sheetData/>");
    closing = "<sheetData/>";
  }
  if (cut == std::string::npos || rows.last_row < rows.first_row) return {sheet, {}, false};
  SheetFrame frame{sheet.substr(0, cut), "</sheetData>" + sheet.substr(cut + closing.size()), true};
  widen_dimension(frame.head, rows.last_row, rows.last_column);
  if (closing == "<sheetData/>") frame.head += "<sheetData>";
  return frame;
}

}  // namespace lumaveil::cli::workbook

#endif
