#include "cli/findings.h"

#include <charconv>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include "model/numbers.h"
#include "model/codes.h"
#include "report/trace_and_spot.h"

namespace lumaveil::cli {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_blank(char c) { return c == ' ' || c == '\v' || c == '\f' || c == '\t' || c == '\r'; }

const char* skip_blanks(const char* p) {
  while (is_blank(*p)) ++p;
  return p;
}

std::string printed(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string printed(long long value) { return std::to_string(value); }

// One numeric cell that a reader uses.
struct NumericCell {
  int line, column;
  bool integer;
  std::string name;
};

Finding cell_text_finding(const char* file, const InputGrid& grid, const NumericCell& cell) {
  const char* text = grid.cell(cell.line, cell.column);
  std::string quoted(1, '"');
  quoted.append(text).push_back('"');
  const std::string reads = cell.integer ? printed(parse_int(text))
                                         : printed("%.17g", parse_real(text));
  std::string message;
  switch (classify_cell(text, cell.integer)) {
    case CellText::kNumber:
    case CellText::kEmpty:
      return {};
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

std::string surface_name(int k) { return "surface " + std::to_string(k); }

}  // namespace

std::string cell_name(int line, int column) {
  std::string letters;
  for (int c = column + 1; c > 0; c = (c - 1) / 26)
    letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
  return letters + std::to_string(line + 1);
}

std::string location(const Finding& f) {
  if (f.line < 0) return f.file;
  return f.file + ", line " + std::to_string(f.line) + ", column " + std::to_string(f.column) +
         " (cell " + cell_name(f.line, f.column) + ")";
}

std::vector<Finding> file_shape_findings(const std::string& file, const std::string& bytes) {
  std::vector<Finding> found;
  auto whole = [&](const std::string& message) { found.push_back({file, -1, 0, message}); };
  if (bytes.find_first_not_of(" \t\r\n\v\f") == std::string::npos) {
    whole("the file is empty: every value reads as 0");
    return found;
  }
  const bool bom16 = bytes.size() >= 2 && ((bytes[0] == '\xff' && bytes[1] == '\xfe') ||
                                           (bytes[0] == '\xfe' && bytes[1] == '\xff'));
  if (bom16 || bytes.find('\0') != std::string::npos) {
    whole(std::string(bom16 ? "the file is UTF-16" : "the file holds NUL bytes (UTF-16?)") +
          ": every cell reads as 0; save it as plain text (UTF-8, Shift_JIS or ASCII)");
    return found;
  }
  if (bytes.find('\r') != std::string::npos && bytes.find('\n') == std::string::npos)
    whole("the lines end in CR alone: the file reads as one line and every value as 0; "
          "save it with LF or CR LF line ends");
  if (bytes.find('\t') == std::string::npos) {
    // No tab at all: every line is one cell. Name the separator it seems to use.
    const char* separator = nullptr;
    char mark = 0;
    if (bytes.find(';') != std::string::npos) {
      separator = "semicolons";
      mark = ';';
    } else if (bytes.find(',') != std::string::npos) {
      separator = "commas";
      mark = ',';
    } else {
      separator = "spaces";
      mark = ' ';
    }
    const std::size_t at = bytes.find(mark);
    int line = 0;
    for (std::size_t i = 0; i < at && at != std::string::npos; ++i)
      if (bytes[i] == '\n') ++line;
    found.push_back({file, line, 0,
                     std::string("the file has no tabs; its cells seem separated by ") +
                         separator + ", so every line is one cell and every value reads as 0: "
                         "separate the cells with tabs"});
  }
  return found;
}

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
      {2, 2, true, "aperture kind"}, {3, 2, true, "NS"},           {4, 2, false, "RH"},
      {5, 2, false, "RU"},           {6, 2, false, "start U"},     {7, 2, false, "start V"},
      {8, 2, false, "start X"},      {9, 2, false, "start Y"},     {12, 1, true, "NUMB"},
      {13, 1, true, "NW"},           {13, 3, true, "ND1"},         {13, 4, true, "ND2"},
  };
  for (int q = 1; q <= s.NW; ++q) {
    cells.push_back({15, 7 + q, false, "wavelength " + std::to_string(q)});
    cells.push_back({16, 7 + q, false, "weight of wavelength " + std::to_string(q)});
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
                       "index after " + name + " at wavelength " + std::to_string(q)});
  }
  return cell_findings(kLensFile, grid, cells);
}

std::vector<Finding> ray_set_cell_findings(const State& s, const InputGrid& grid) {
  std::vector<NumericCell> cells = {
      {2, 2, true, "NIT"},   {3, 2, false, "H"},    {4, 2, true, "NRAY"},
      {5, 2, false, "WXY"},  {6, 2, false, "WUV"},  {7, 2, true, "NITC"},
      {8, 2, true, "NITD"},  {9, 2, false, "HD"},
  };
  static const char* const kRayColumns[] = {"start X", "start Y", "start U", "start V",
                                            "target X", "target Y", "target U", "target V"};
  for (int r = 0; r <= wide(s.NRAY) - 1; ++r)
    for (int c = 1; c <= 8; ++c)
      cells.push_back({15 + r, c, false,
                       std::string(kRayColumns[c - 1]) + " of ray " + std::to_string(r)});
  return cell_findings(kRaySetFile, grid, cells);
}

std::vector<Finding> lens_value_findings(const State& s, const InputGrid& grid, bool ray_set) {
  std::vector<Finding> found;
  auto add = [&](int line, int column, const std::string& message) {
    found.push_back({kLensFile, line, column, message});
  };
  const int numb_written = parse_int(grid.cell(12, 1));
  if (numb_written > kMaxSurfaces)
    add(12, 1, "NUMB = " + printed(numb_written) + " is cut to 100: surfaces beyond 100 are not read");
  if (s.NUMB < 3)
    add(12, 1, "NUMB = " + printed(s.NUMB) +
                   ": a lens needs at least one surface, the image plane and the closing plane "
                   "(NUMB of 3 or more)");
  const int nw_written = parse_int(grid.cell(13, 1));
  if (nw_written > kMaxWavelengths)
    add(13, 1, "NW = " + printed(nw_written) + " is cut to 20: wavelengths beyond 20 are not read");
  if (s.NW < 1) add(13, 1, "NW = " + printed(s.NW) + ": no wavelength, so nothing is traced");
  if (s.NS < 3)
    add(3, 2, "NS = " + printed(s.NS) +
                  ": the degree-6 fits of mode 4 need NS of 3 or more (with less they are singular)");

  if (s.NUMB >= 1 && s.CODE[0][0] == 'V')
    add(17, 6, "surface 0 is coded V: the start plane's curvature is never used, so modes 2, 5 "
               "and 6 find singular normal equations (mode 3 does vary its distance)");
  if (s.NUMB >= 2 && s.CODE[s.NUMB - 1][0] == 'V')
    add(17 + s.NUMB - 1, 6,
        "surface NUMB-1 (the image plane) is coded V: it gets a report column with no values "
        "under it, so the later columns shift, and it moves no ray");
  int variables = 0;
  for (int k = 0; k <= wide(s.NUMB) - 2; ++k) {
    if (is_variable(s, k)) ++variables;
    if (s.CODE[k][0] != 'P' && s.CODE[k][0] != 'M') continue;
    const int g = s.LINK[k];
    if (g < 0 || g > kMaxSurfaces)
      add(17 + k, 7, surface_name(k) + " is tied (" + s.CODE[k][0] + ") to LINK = " + printed(g) +
                         ", outside 0..100: the tie is ignored and the surface stays fixed");
    else if (g > wide(s.NUMB) - 2 || s.CODE[g][0] != 'V')
      add(17 + k, 7, surface_name(k) + " is tied (" + s.CODE[k][0] + ") to surface " + printed(g) +
                         ", which is not a V surface among 0..NUMB-2: it follows no variable "
                         "as intended");
  }
  if (ray_set && variables == 0)
    add(17, 6, "no surface among 0..NUMB-2 is coded V: modes 2, 3, 5 and 6 have nothing to vary");
  if (ray_set) {
    for (int which = 1; which <= 2; ++which) {
      const int surface = s.ND[which];
      if (surface < 0 || surface > wide(s.NUMB) - 2)
        add(13, 2 + which,
            "ND" + printed(which) + " = " + printed(surface) + " is not a surface 0..NUMB-2: mode " +
                (which == 1 ? "5 and 6 stop" : "6 stops") + " with an error line");
    }
    if (s.ND[1] == s.ND[2])
      add(13, 4, "ND1 = ND2 = " + printed(s.ND[1]) + ": mode 6 needs two different distances");
  }
  for (int k = 0; k <= wide(s.NUMB) - 1; ++k) {
    // Before an ideal element D is its focal length, which may be negative.
    if (s.D[k] < 0 && s.TYPE[k + 1] != 1)
      add(17 + k, 3, "distance D of " + surface_name(k) + " is negative (" +
                         printed("%g", s.D[k]) + "): surfaces are placed at increasing z, also "
                         "behind a mirror");
  }
  return found;
}

std::vector<Finding> ray_set_value_findings(const State& s, const InputGrid& grid) {
  std::vector<Finding> found;
  auto add = [&](int line, const std::string& message) {
    found.push_back({kRaySetFile, line, 2, message});
  };
  const int nray_written = parse_int(grid.cell(4, 2));
  if (nray_written > kMaxRays)
    add(4, "NRAY = " + printed(nray_written) + " is cut to 100: rays beyond 100 are not read");
  if (s.NIT <= 0) add(2, "NIT = " + printed(s.NIT) + ": modes 2 and 3 run no iteration");
  if (s.H == 0) add(3, "H = 0: the derivatives divide by zero");
  if (s.NITC <= 0)
    add(7, "NITC = " + printed(s.NITC) +
               ": modes 5 and 6 re-optimise no curvature and their Newton step divides 0 by 0");
  if (s.NITD < 0) add(8, "NITD = " + printed(s.NITD) + ": modes 5 and 6 run no pass");
  if (s.HD == 0) add(9, "HD = 0: the distance search of modes 5 and 6 divides by zero");
  return found;
}

long double mode_work(const State& s, int mode, bool ray_set) {
  const long double surfaces = s.NUMB > 0 ? s.NUMB : 0;
  const long double wavelengths = s.NW > 0 ? s.NW : 0;
  auto at_least_0 = [](long double v) { return v > 0 ? v : 0.0L; };
  const long double ns = s.NS;
  if (mode == 1) {
    // A huge NS is counted by the area of its disc rather than point by point.
    const long double points = s.NS < 0 ? 0 : s.NS <= 2000 ? spot_count(s.NS)
                                                         : 3.14159265358979L * ns * ns;
    return wavelengths * (4 + points) * surfaces;
  }
  if (mode == 4) return s.NUMB < 2 ? 0 : wavelengths * at_least_0(1 + 2 * (2 * ns + 1)) * surfaces;
  if (!ray_set || mode < 2 || mode > 6) return 0;
  long double rays = 0;
  for (int r = 0; r <= wide(s.NRAY) - 1; ++r)
    if (!(s.XI[r] == 0 && s.YI[r] == 0 && s.UI[r] == 0 && s.VI[r] == 0)) ++rays;
  // One merit evaluation: each ray at each wavelength, plus two traces per variable.
  const long double evaluation = rays * wavelengths * (1 + 2.0L * s.NV) * surfaces;
  if (mode == 2 || mode == 3) return at_least_0(s.NIT) * evaluation;
  const long double samples = mode == 5 ? 5 : 25;
  return at_least_0(s.NITD + 1.0L) * samples * at_least_0(s.NITC) * evaluation;
}

std::vector<Finding> work_findings(const State& s, bool ray_set) {
  std::vector<Finding> found;
  for (int mode = 1; mode <= 6; ++mode) {
    const long double work = mode_work(s, mode, ray_set);
    if (work <= kLargeWork) continue;
    const bool lens = mode == 1 || mode == 4;
    const int line = lens ? 3 : (mode <= 3 ? 2 : 8);  // NS, NIT or NITD
    found.push_back({lens ? kLensFile : kRaySetFile, line, 2,
                     "mode " + printed(mode) + " would trace about " +
                         printed("%.2g", static_cast<double>(work)) +
                         " ray-surface steps: expect minutes or more"});
  }
  return found;
}

}  // namespace lumaveil::cli
