#include "export.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "cli/text.h"
#include "plot.h"

#ifdef LUMAVEIL_HAVE_XLSXWRITER
#include <xlsxwriter.h>
#endif

namespace lumaveil::exporting {

using report::Report;

std::vector<SheetPlan> plan_sheets(const Report& r) {
  std::vector<SheetPlan> plans;
  if (r.mode == 1) {
    for (std::size_t b = 0; b < r.trajectories.size(); ++b) {
      const auto& block = r.trajectories[b];
      std::string q = std::to_string(block.wavelength);
      // The heading, four tables of NUMB + 1 lines, the empty line; then the spot diagram.
      int spot_line = block.first_line + 2 + 4 * (static_cast<int>(block.tables[0].size()) + 1);
      plans.push_back({"Trajectory" + q, block.first_line, spot_line, SheetPlan::Chart::None, static_cast<int>(b)});
      plans.push_back({"Spots" + q, spot_line, block.end_line, SheetPlan::Chart::Spots, static_cast<int>(b)});
    }
  } else if (r.mode == 4) {
    for (std::size_t b = 0; b < r.aberrations.size(); ++b) {
      const auto& block = r.aberrations[b];
      plans.push_back({"Aberration" + std::to_string(b + 1), block.first_line, block.end_line,
                       SheetPlan::Chart::Aberration, static_cast<int>(b)});
    }
  } else if (r.mode != 0) {
    plans.push_back({"Optimisation", 0, static_cast<int>(r.cells.size()), SheetPlan::Chart::Merit, 0});
  }
  return plans;
}

namespace {

std::string csv_field(const std::string& cell) {
  if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
  std::string out = "\"";
  for (char ch : cell) {
    if (ch == '"') out += '"';
    out += ch;
  }
  return out + "\"";
}

}  // namespace

std::string csv_text(const Report& r) {
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

std::string number_format(const std::string& printed) {
  double value = 0;
  if (!report::parse_number(printed, value) || !std::isfinite(value)) return "";
  std::size_t e = printed.find_first_of("eE");
  std::size_t point = printed.find('.');
  std::size_t end = e == std::string::npos ? printed.size() : e;
  std::size_t decimals = point == std::string::npos || point > end ? 0 : end - point - 1;
  std::string format = "0";
  if (decimals > 0) {
    format += '.';
    format.append(decimals, '0');
  }
  if (e != std::string::npos) format += "E+00";
  return format;
}

#ifdef LUMAVEIL_HAVE_XLSXWRITER

bool workbooks_available() { return true; }

namespace {

// Formats by their number-format text, made once per workbook.
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
double round_step(double target) {
  double power = std::pow(10.0, std::floor(std::log10(target)));
  double f = target / power;
  return (f < 1.5 ? 1 : f < 3.5 ? 2 : f < 7.5 ? 5 : 10) * power;
}

lxw_chart_line no_line() {
  lxw_chart_line line{};
  line.none = LXW_TRUE;
  return line;
}

// The series colours of the SVG plots, so both show a scan alike.
constexpr lxw_color_t kSeriesColours[] = {0x0060C0, 0xD04000, 0x00A060, 0xC000A0, 0xE0A000, 0x40B0F0};

lxw_color_t series_colour(std::size_t k) { return kSeriesColours[k % (sizeof kSeriesColours / sizeof kSeriesColours[0])]; }

void colour_markers(lxw_chart_series* series, lxw_color_t colour) {
  lxw_chart_fill fill{};
  fill.color = colour;
  lxw_chart_line border{};
  border.color = colour;
  chart_series_set_marker_fill(series, &fill);
  chart_series_set_marker_line(series, &border);
  chart_series_set_marker_size(series, 6);
}

void spot_chart(lxw_workbook* book, lxw_worksheet* sheet, const SheetPlan& plan, const Report& r) {
  const auto& block = r.trajectories[static_cast<std::size_t>(plan.block)];
  if (block.spots.empty()) return;
  double lo_x = INFINITY, hi_x = -INFINITY, lo_y = INFINITY, hi_y = -INFINITY;
  for (const auto& s : block.spots) {
    if (!std::isfinite(s.x) || !std::isfinite(s.y)) continue;
    lo_x = std::min(lo_x, s.x);
    hi_x = std::max(hi_x, s.x);
    lo_y = std::min(lo_y, s.y);
    hi_y = std::max(hi_y, s.y);
  }
  lxw_chart* chart = workbook_add_chart(book, LXW_CHART_SCATTER);
  lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
  auto first = static_cast<lxw_row_t>(2);
  auto last = static_cast<lxw_row_t>(1 + block.spots.size());
  chart_series_set_categories(series, plan.name.c_str(), first, 3, last, 3);
  chart_series_set_values(series, plan.name.c_str(), first, 4, last, 4);
  chart_series_set_name(series, ("wavelength " + std::to_string(block.wavelength)).c_str());
  chart_series_set_marker_type(series, LXW_CHART_MARKER_CIRCLE);
  colour_markers(series, series_colour(static_cast<std::size_t>(plan.block)));
  chart_title_set_name(chart, ("Spot diagram, wavelength " + std::to_string(block.wavelength)).c_str());
  chart_axis_set_name(chart->x_axis, "X (mm)");
  chart_axis_set_name(chart->y_axis, "Y (mm)");
  if (lo_x <= hi_x) {
    // Equal scales: both axes as many round steps long, the axes at the
    // lower left instead of through zero.
    double half = std::max(hi_x - lo_x, hi_y - lo_y) * 0.55;
    if (!(half > 0)) half = std::max(std::fabs(lo_x), std::fabs(lo_y)) * 1e-3 + 1e-6;
    double step = round_step(2 * half / 6);
    double x0 = std::floor((lo_x + hi_x) / 2 / step - 3.5) * step;
    double y0 = std::floor((lo_y + hi_y) / 2 / step - 3.5) * step;
    double steps = std::max(std::ceil((hi_x - x0) / step), std::ceil((hi_y - y0) / step));
    for (auto [axis, low] : {std::pair{chart->x_axis, x0}, std::pair{chart->y_axis, y0}}) {
      chart_axis_set_min(axis, low);
      chart_axis_set_max(axis, low + steps * step);
      chart_axis_set_major_unit(axis, step);
      chart_axis_set_crossing_min(axis);
    }
  }
  chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
  lxw_chart_options options{};
  options.x_scale = 1.2;
  options.y_scale = 2.0;  // 576 x 576 pixels: a square plot
  worksheet_insert_chart_opt(sheet, 1, 6, chart, &options);
}

// The fit sheet: t and AB of both scans, then the fitted polynomials at 101 t.
void aberration_chart(lxw_workbook* book, lxw_worksheet* sheet, const SheetPlan& plan, const Report& r) {
  const auto& block = r.aberrations[static_cast<std::size_t>(plan.block)];
  std::string fit_name = "Fit" + std::to_string(plan.block + 1);
  lxw_worksheet* fit = workbook_add_worksheet(book, fit_name.c_str());
  const char* heads[] = {"t", "AB U scan", "AB V scan", "", "t", "fit U scan", "fit V scan"};
  for (int c = 0; c < 7; ++c)
    if (*heads[c] != '\0') worksheet_write_string(fit, 0, static_cast<lxw_col_t>(c), heads[c], nullptr);
  std::size_t n = std::max(block.u_scan.rows.size(), block.v_scan.rows.size());
  for (std::size_t k = 0; k < n; ++k) {
    auto row = static_cast<lxw_row_t>(k + 1);
    const report::Scan& longer = block.u_scan.rows.size() >= block.v_scan.rows.size() ? block.u_scan : block.v_scan;
    worksheet_write_number(fit, row, 0, longer.t(k), nullptr);
    if (k < block.u_scan.rows.size() && std::isfinite(block.u_scan.rows[k].ab))
      worksheet_write_number(fit, row, 1, block.u_scan.rows[k].ab, nullptr);
    if (k < block.v_scan.rows.size() && std::isfinite(block.v_scan.rows[k].ab))
      worksheet_write_number(fit, row, 2, block.v_scan.rows[k].ab, nullptr);
  }
  for (int k = 0; k <= 100; ++k) {
    double t = -1 + k / 50.0;
    auto row = static_cast<lxw_row_t>(k + 1);
    worksheet_write_number(fit, row, 4, t, nullptr);
    double u = plot::polynomial(block.u_scan.fit, t);
    double v = plot::polynomial(block.v_scan.fit, t);
    if (std::isfinite(u)) worksheet_write_number(fit, row, 5, u, nullptr);
    if (std::isfinite(v)) worksheet_write_number(fit, row, 6, v, nullptr);
  }
  worksheet_freeze_panes(fit, 1, 0);

  lxw_chart* chart = workbook_add_chart(book, LXW_CHART_SCATTER);
  auto last = static_cast<lxw_row_t>(n);
  lxw_chart_line none = no_line();
  const char* names[] = {"AB, U scan", "AB, V scan"};
  for (int s = 0; s < 2; ++s) {
    if (n == 0) break;
    lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
    chart_series_set_categories(series, fit_name.c_str(), 1, 0, last, 0);
    chart_series_set_values(series, fit_name.c_str(), 1, static_cast<lxw_col_t>(1 + s), last, static_cast<lxw_col_t>(1 + s));
    chart_series_set_name(series, names[s]);
    chart_series_set_marker_type(series, LXW_CHART_MARKER_CIRCLE);
    colour_markers(series, series_colour(static_cast<std::size_t>(s)));
    chart_series_set_line(series, &none);
  }
  const char* fit_names[] = {"fit, U scan", "fit, V scan"};
  for (int s = 0; s < 2; ++s) {
    lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
    chart_series_set_categories(series, fit_name.c_str(), 1, 4, 101, 4);
    chart_series_set_values(series, fit_name.c_str(), 1, static_cast<lxw_col_t>(5 + s), 101, static_cast<lxw_col_t>(5 + s));
    chart_series_set_name(series, fit_names[s]);
    chart_series_set_marker_type(series, LXW_CHART_MARKER_NONE);
    lxw_chart_line line{};
    line.color = series_colour(static_cast<std::size_t>(s));
    line.width = 2;
    line.dash_type = s == 0 ? LXW_CHART_LINE_DASH_SOLID : LXW_CHART_LINE_DASH_DASH;
    chart_series_set_line(series, &line);
    chart_series_set_smooth(series, LXW_TRUE);
  }
  chart_title_set_name(chart, "Wavefront aberration AB against t = l / M");
  chart_axis_set_name(chart->x_axis, "t");
  chart_axis_set_name(chart->y_axis, "AB (wavelengths)");
  chart_axis_set_min(chart->x_axis, -1);
  chart_axis_set_max(chart->x_axis, 1);
  chart_axis_set_crossing_min(chart->x_axis);
  chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
  lxw_chart_options options{};
  options.x_scale = 1.5;
  options.y_scale = 1.5;
  worksheet_insert_chart_opt(sheet, 1, 6, chart, &options);
}

void merit_chart(lxw_workbook* book, lxw_worksheet* sheet, const SheetPlan& plan, const Report& r) {
  const auto& opt = r.optimisation;
  if (opt.rows.empty()) return;
  auto first = static_cast<lxw_row_t>(opt.first_line + 1);
  auto last = static_cast<lxw_row_t>(first + opt.rows.size() - 1);
  auto e_column = static_cast<lxw_col_t>(1 + opt.distance_names.size());
  lxw_chart* chart = workbook_add_chart(book, LXW_CHART_SCATTER_STRAIGHT_WITH_MARKERS);
  lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
  chart_series_set_categories(series, plan.name.c_str(), first, 0, last, 0);
  chart_series_set_values(series, plan.name.c_str(), first, e_column, last, e_column);
  chart_series_set_name(series, "E");
  bool positive = std::all_of(opt.rows.begin(), opt.rows.end(), [](const auto& row) { return row.e > 0; });
  if (positive) chart_axis_set_log_base(chart->y_axis, 10);
  chart_title_set_name(chart, r.mode == 5 || r.mode == 6 ? "Merit E per outer pass" : "Merit E per iteration");
  chart_axis_set_name(chart->x_axis, r.mode == 5 || r.mode == 6 ? "outer pass" : "iteration");
  chart_axis_set_name(chart->y_axis, "E");
  chart_legend_set_position(chart, LXW_CHART_LEGEND_NONE);
  lxw_chart_options options{};
  options.x_scale = 1.5;
  options.y_scale = 1.5;
  worksheet_insert_chart_opt(sheet, last + 2, 0, chart, &options);
}

}  // namespace

bool write_workbook(const Report& r, const std::string& path, std::string& error) {
  lxw_workbook* book = workbook_new(path.c_str());
  if (book == nullptr) {
    error = "cannot create " + path;
    return false;
  }
  Formats formats(book);
  for (const SheetPlan& plan : plan_sheets(r)) {
    lxw_worksheet* sheet = workbook_add_worksheet(book, plan.name.c_str());
    std::vector<double> widths;
    for (int line = plan.first_line; line < plan.end_line; ++line) {
      const auto& cells = r.cells[static_cast<std::size_t>(line)];
      auto row = static_cast<lxw_row_t>(line - plan.first_line);
      for (std::size_t c = 0; c < cells.size(); ++c) {
        const std::string& cell = cells[c];
        if (cell.empty()) continue;
        auto col = static_cast<lxw_col_t>(c);
        double value = 0;
        std::string format = number_format(cell);
        if (!format.empty() && report::parse_number(cell, value))
          worksheet_write_number(sheet, row, col, value, formats.get(format));
        else
          worksheet_write_string(sheet, row, col, cell.c_str(), nullptr);
        if (widths.size() <= c) widths.resize(c + 1, 8);
        // Long headings stand alone in their line: they need not widen the column.
        if (cells.size() > 1 || c > 0) widths[c] = std::max(widths[c], cli::text::display_width(cell));
      }
    }
    for (std::size_t c = 0; c < widths.size(); ++c)
      worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), widths[c] + 2, nullptr);
    worksheet_freeze_panes(sheet, 2, 0);
    if (plan.chart == SheetPlan::Chart::Spots) spot_chart(book, sheet, plan, r);
    if (plan.chart == SheetPlan::Chart::Aberration) aberration_chart(book, sheet, plan, r);
    if (plan.chart == SheetPlan::Chart::Merit) merit_chart(book, sheet, plan, r);
  }
  lxw_error result = workbook_close(book);
  if (result != LXW_NO_ERROR) {
    error = "cannot write " + path + ": " + lxw_strerror(result);
    return false;
  }
  return true;
}

#else

bool workbooks_available() { return false; }

bool write_workbook(const Report&, const std::string&, std::string& error) {
  error = "this lumaveil was built without libxlsxwriter (Debian package libxlsxwriter-dev), so it "
          "writes no workbooks; --csv works";
  return false;
}

#endif

}  // namespace lumaveil::exporting
