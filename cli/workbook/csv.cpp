#include "cli/workbook/csv.h"

#include <cmath>
#include <string_view>

#include "cli/report_input/report_reader.h"

namespace lumaveil::cli::workbook {

using report_input::ReportContents;

namespace {

// A spreadsheet takes a field that starts with = + - @ (or a tab or CR
// before them) for a formula. Such text is written after an apostrophe,
// which shows it as text; a number ("-1.5E-03") stays as it is.
bool read_as_formula(const std::string& cell) {
  double value = 0;
  return !cell.empty() && std::string_view("=+-@\t\r").find(cell[0]) != std::string_view::npos &&
         !report_input::parse_number(cell, value);
}

std::string csv_field(const std::string& text) {
  const std::string cell = read_as_formula(text) ? "'" + text : text;
  if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
  std::string out = "\"";
  for (char ch : cell) {
    if (ch == '"') out += '"';
    out += ch;
  }
  return out + "\"";
}

}  // namespace

std::string csv_text(const ReportContents& r) {
  std::string out = "\xEF\xBB\xBF";
  for (const auto& line : r.cells) {
    for (std::size_t c = 0; c < line.size(); ++c) {
      if (c > 0) out += ',';
      out += csv_field(line[c]);
    }
    out += "\r\n";
  }
  return out;
}

std::string number_format(std::string_view printed) {
  double value = 0;
  if (!report_input::parse_number(printed, value) || !std::isfinite(value)) return "";
  std::size_t e = printed.find_first_of("eE");
  std::size_t point = printed.find('.');
  std::size_t end = e == std::string_view::npos ? printed.size() : e;
  std::size_t decimals = point == std::string_view::npos || point > end ? 0 : end - point - 1;
  std::string format = "0";
  if (decimals > 0) {
    format += '.';
    format.append(decimals, '0');
  }
  if (e != std::string_view::npos) format += "E+00";
  return format;
}

}  // namespace lumaveil::cli::workbook
