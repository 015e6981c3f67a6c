// `lumaveil export --csv` on an arbitrary report: the CSV, read back by the
// rules it is written under (RFC 4180), gives every line and cell of the
// report, each as it is or behind the apostrophe that keeps a spreadsheet
// from taking it for a formula, and no field a spreadsheet would take for one.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli/workbook/csv.h"
#include "host_checks.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

// The records of a CSV text after its byte-order mark, CR LF ending each.
Rows read_csv(std::string_view text) {
  if (text.substr(0, 3) != "\xEF\xBB\xBF") std::abort();
  Rows rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 3; i < text.size(); ++i) {
    const char ch = text[i];
    std::string& field = rows.back().back();
    if (quoted && ch == '"' && i + 1 < text.size() && text[i + 1] == '"') {
      field += '"';
      ++i;
    } else if (ch == '"' && (quoted || field.empty())) {
      quoted = !quoted;
    } else if (quoted) {
      field += ch;
    } else if (ch == ',') {
      rows.back().emplace_back();
    } else if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.emplace_back(1);
      ++i;
    } else {
      field += ch;
    }
  }
  if (quoted || rows.back().size() != 1 || !rows.back()[0].empty()) std::abort();
  rows.pop_back();  // the empty record after the last line end
  return rows;
}

// Whether a spreadsheet takes the field for a formula: text (not a number)
// that starts with = + - @, or a tab or CR before them.
bool read_as_formula(const std::string& field) {
  double value = 0;
  return !field.empty() && std::string_view("=+-@\t\r").find(field[0]) != std::string_view::npos &&
         !lumaveil::cli::report_input::parse_number(field, value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto report =
      lumaveil::fuzzing::report_to_show({reinterpret_cast<const char*>(data), size});
  if (!report) return 0;
  const std::string csv = lumaveil::cli::workbook::csv_text(*report);
  lumaveil::fuzzing::require_utf8(csv);
  const Rows rows = read_csv(csv);
  if (rows.size() != report->cells.size()) std::abort();
  for (std::size_t l = 0; l < rows.size(); ++l) {
    if (rows[l].size() != report->cells[l].size()) std::abort();
    for (std::size_t c = 0; c < rows[l].size(); ++c)
      if (rows[l][c] != report->cells[l][c] && rows[l][c] != "'" + report->cells[l][c])
        std::abort();
      else if (read_as_formula(rows[l][c]))
        std::abort();
  }
  return 0;
}
