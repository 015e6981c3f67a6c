#include "cli/diagnosis/findings.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/diagnosis/finding_text.h"
#include "model/codes.h"
#include "model/numbers.h"

namespace lumaveil::cli::diagnosis {

namespace {

// One numeric cell that a reader uses.
struct NumericCell {
  int line, column;
  bool integer;
  std::string name;
  // What an empty cell does where it matters ("" where 0 is a fine reading).
  std::string when_empty = "";
};

Finding cell_text_finding(const char* file, const InputGrid& grid, const NumericCell& cell) {
  const char* text = grid.cell(cell.line, cell.column);
  std::string quoted(1, '"');
  quoted.append(text).push_back('"');
  const std::string reads =
      cell.integer ? printed(parse_int(text)) : printed("%.17g", parse_real(text));
  std::string message;
  switch (classify_cell(text, cell.integer)) {
    case CellText::kNumber:
      return {};
    case CellText::kEmpty:
      if (cell.when_empty.empty()) return {};
      message = cell.name + ": the cell is empty and reads as 0" + cell.when_empty;
      break;
    case CellText::kNoNumber:
      message = cell.name + ": the text " + quoted + " holds no number and reads as 0";
      break;
    case CellText::kTrailingText:
      message = cell.name + ": " + quoted + " reads as " + reads +
                "; the text after the number is ignored";
      break;
    case CellText::kDecimalComma: {
      std::string suggested = text;
      suggested[suggested.find(',')] = '.';
      message = cell.name + ": " + quoted + " reads as " + reads +
                ": the decimal point is a full stop; write \"" +
                std::string(skip_blanks(suggested.c_str())) + "\"";
      break;
    }
    case CellText::kFraction:
      message = cell.name + ": " + quoted + " is not a whole number and reads as " + reads;
      break;
  }
  return {file, cell.line, cell.column, message};
}

std::vector<Finding> cell_findings(const char* file, const InputGrid& grid,
                                   const std::vector<NumericCell>& cells) {
  std::vector<Finding> found;
  for (const NumericCell& cell : cells) {
    Finding f = cell_text_finding(file, grid, cell);
    if (!f.message.empty()) found.push_back(f);
  }
  return found;
}

}  // namespace

CellText classify_cell(const char* text, bool integer) {
  const char* p = skip_blanks(text);
  if (*p == '\0') return CellText::kEmpty;
  const char* q = p;
  if (*q == '+' || *q == '-') ++q;
  // The extent of the number as a real reading takes it.
  double value = 0;
  auto [end, error] = std::from_chars(q, q + std::strlen(q), value);
  if (error == std::errc::invalid_argument)
    return *q == ',' && is_digit(q[1]) ? CellText::kDecimalComma : CellText::kNoNumber;
  const char* rest = end;
  if (integer) {
    const char* digits_end = q;
    while (is_digit(*digits_end)) ++digits_end;
    if (digits_end == q) return CellText::kFraction;  // ".5": reads as 0
    // "3.0" means 3; "3.9" or "1e3" read as 3 and 1.
    const double whole = static_cast<double>(std::abs(static_cast<long long>(parse_int(q))));
    if (end != digits_end && value != whole) return CellText::kFraction;
  }
  if (*rest == ',' && is_digit(rest[1])) return CellText::kDecimalComma;
  return *skip_blanks(rest) == '\0' ? CellText::kNumber : CellText::kTrailingText;
}

std::vector<Finding> lens_cell_findings(const State& s, const InputGrid& grid) {
  std::vector<NumericCell> cells = {
      {2, 2, true, "aperture kind"}, {3, 2, true, "NS"},       {4, 2, false, "RH"},
      {5, 2, false, "RU"},           {6, 2, false, "start U"}, {7, 2, false, "start V"},
      {8, 2, false, "start X"},      {9, 2, false, "start Y"}, {12, 1, true, "NUMB"},
      {13, 1, true, "NW"},           {13, 3, true, "ND1"},     {13, 4, true, "ND2"},
  };
  for (int q = 1; q <= s.NW; ++q) {
    cells.push_back({15, 7 + q, false, "wavelength " + std::to_string(q),
                     " nm: mode 4 divides by the wavelength and prints INF and NAN for it; write "
                     "the wavelength in nm (587.6, say)"});
    cells.push_back({16, 7 + q, false, "weight of wavelength " + std::to_string(q),
                     ": the wavelength adds nothing to the merit of modes 2, 3, 5 and 6; write its "
                     "weight (1 for an equal share), or 0 on purpose"});
  }
  for (int k = 0; k <= s.NUMB; ++k) {
    const int line = 17 + k;
    const std::string name = surface_name(k);
    cells.push_back({line, 1, true, "type of " + name});
    cells.push_back({line, 2, false, "curvature of " + name});
    cells.push_back({line, 3, false, "distance D of " + name});
    cells.push_back({line, 4, false, "shift or slope x of " + name});
    cells.push_back({line, 5, false, "shift or slope y of " + name});
    cells.push_back({line, 7, true, "LINK of " + name});
    for (int q = 1; q <= s.NW; ++q)
      cells.push_back({line, 7 + q, false,
                       "index after " + name + " at wavelength " + std::to_string(q),
                       ": a medium of index 0 bends every ray out of the lens; write the index "
                       "(1.0 for air, negative after a mirror)"});
  }
  return cell_findings(kLensFile, grid, cells);
}

std::vector<Finding> ray_set_cell_findings(const State& s, const InputGrid& grid) {
  std::vector<NumericCell> cells = {
      {2, 2, true, "NIT"},  {3, 2, false, "H"},   {4, 2, true, "NRAY"}, {5, 2, false, "WXY"},
      {6, 2, false, "WUV"}, {7, 2, true, "NITC"}, {8, 2, true, "NITD"}, {9, 2, false, "HD"},
  };
  static const char* const kRayColumns[] = {"start X",  "start Y",  "start U",  "start V",
                                            "target X", "target Y", "target U", "target V"};
  for (int r = 0; r <= wide(s.NRAY) - 1; ++r) {
    // A ray line missing altogether, or a ray skipped for its zero start,
    // has a finding of its own (ray_set_value_findings); its empty cells do not.
    const bool in_use = ray_line_present(grid, r) && !ray_skipped(s, r);
    for (int c = 1; c <= 8; ++c)
      cells.push_back({15 + r, c, false,
                       std::string(kRayColumns[c - 1]) + " of ray " + std::to_string(r),
                       in_use ? "; write 0 if 0 is meant" : ""});
  }
  return cell_findings(kRaySetFile, grid, cells);
}

}  // namespace lumaveil::cli::diagnosis
