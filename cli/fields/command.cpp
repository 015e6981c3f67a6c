#include "cli/fields/command.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "cli/fields/analysis.h"
#include "cli/fields/figures.h"
#include "cli/fields/table.h"
#include "model/input_grid.h"
#include "model/lens_data.h"
#include "trace/vertex_positions.h"

namespace lumaveil::fields {
namespace {

namespace fs = std::filesystem;

constexpr double kPi = 3.14159265358979323846;

// Reads DIR/IN_FM.txt with the library's grid reader and stores it as the
// library does.
bool read_lens(const fs::path& path, State& s, std::ostream& err) {
  auto grid = std::make_unique<InputGrid>();
  FileOutcome outcome;
  if (!grid->read(path.string().c_str(), kLensDataGrid, outcome)) {
    err << "lumaveil fields: cannot " << (outcome.failure ? outcome.failure : "read") << " "
        << path.string() << ": " << describe_file_error(outcome.error) << "\n";
    return false;
  }
  store_lens_data(s, *grid);
  return true;
}

// The unit fields are given and shown in, checked against the aperture kind.
bool field_unit(const State& s, Unit unit, FieldUnit& shown, std::ostream& err) {
  if (s.IAP == 2) {
    if (unit == Unit::kDegrees || unit == Unit::kRadians) {
      err << "lumaveil fields: the aperture kind is 2 (object on the start plane): fields are "
             "object heights (--unit mm), not angles\n";
      return false;
    }
    shown = {"mm", 1};
    return true;
  }
  if (unit == Unit::kLength) {
    err << "lumaveil fields: the aperture kind is " << s.IAP
        << " (object at infinity): fields are angles (--unit deg or rad), not heights\n";
    return false;
  }
  shown = unit == Unit::kRadians ? FieldUnit{"rad", 1} : FieldUnit{"deg", kPi / 180};
  return true;
}

// The fields in radians or lens units: as given, or 0, 0.7 and 1 of the
// central ray's field (its start angle U for kind 1, its height X for kind 2).
bool field_values(const State& s, const FieldsOptions& o, const FieldUnit& unit,
                  std::vector<double>& fields, std::ostream& err) {
  for (double f : o.fields) fields.push_back(f * unit.per_value);
  if (!fields.empty()) return true;
  const double full = s.IAP == 2 ? s.XI[0] : s.UI[0];
  if (full == 0) {
    err << "lumaveil fields: the central ray of IN_FM.txt is on the axis; give the fields "
           "with --field\n";
    return false;
  }
  fields = {0, 0.7 * full, full};
  return true;
}

// Writes under a temporary name in the same folder, then renames it into
// place: a failed run never leaves half a file, and a symlink standing
// under the name is replaced, not written through.
bool write_output(const fs::path& path, const std::string& text, std::ostream& err) {
  const fs::path temporary = path.string() + ".tmp" + std::to_string(getpid());
  std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  std::error_code ec;
  if (file) fs::rename(temporary, path, ec);
  if (!file || ec) {
    fs::remove(temporary, ec);
    err << "lumaveil fields: cannot write " << path.string() << "\n";
    return false;
  }
  return true;
}

bool write_outputs(const fs::path& folder, const Analysis& a, const State& lens,
                   const FieldUnit& unit, const std::string& title, std::ostream& out,
                   std::ostream& err) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    err << "lumaveil fields: cannot create " << folder.string() << ": " << ec.message() << "\n";
    return false;
  }
  const std::vector<plot::Figure> figures = field_figures(a, lens, unit);
  bool ok = write_output(folder / "fields.csv", csv_text(a, unit), err);
  for (const plot::Figure& f : figures) ok = write_output(folder / f.file, f.svg, err) && ok;
  ok = write_output(folder / "index.html", fields_page(a, figures, title), err) && ok;
  if (ok) out << "\n" << folder.string() << ": fields.csv, " << figures.size() << " figures and index.html\n";
  return ok;
}

}  // namespace

int run_fields_command(const FieldsOptions& o, std::ostream& out, std::ostream& err) {
  const fs::path dir(o.directory);
  auto lens = std::make_unique<State>();
  if (!read_lens(dir / "IN_FM.txt", *lens, err)) return 1;
  FieldUnit unit;
  std::vector<double> fields;
  if (!field_unit(*lens, o.unit, unit, err)) return 2;
  if (!field_values(*lens, o, unit, fields, err)) return 2;
  const Analysis a = analyse_fields(*lens, o.stop, fields, o.fan_points, o.reference);
  if (!a.error.empty()) {
    err << "lumaveil fields: " << a.error << "\n";
    return 2;
  }
  const std::string title = lens_title(dir / "IN_FM.txt");
  out << "Fields of " << (title.empty() ? (dir / "IN_FM.txt").string() : title) << "\n";
  write_table(out, a, unit);
  int status = 0;
  for (const FieldPoint& f : a.fields)
    for (const Bundle& b : f.bundles)
      if (!b.problem.empty()) {
        err << "lumaveil fields: field " << field_text(unit, f.field) << " " << unit.name
            << ", wavelength " << b.q << ": " << b.problem << "\n";
        status = 1;
      }
  if (o.write_files) {
    vertex_positions(*lens, lens->D);  // where the layout draws the surfaces
    const fs::path folder = o.output.empty() ? dir / "fields" : dir / fs::path(o.output);
    if (!write_outputs(folder, a, *lens, unit, title, out, err)) status = 1;
  }
  return status;
}

int fields_command(int argc, char** argv) {
  FieldsOptions options;
  const int parsed = parse_fields_options(argc, argv, options, std::cout, std::cerr);
  if (parsed >= 0) return parsed;
  return run_fields_command(options, std::cout, std::cerr);
}

}  // namespace lumaveil::fields
