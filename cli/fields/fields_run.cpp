#include "cli/fields/fields_run.h"

#include "cli/fields/figures.h"

namespace lumaveil::cli::fields {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The unit fields are given and shown in, checked against the aperture kind.
Result<FieldUnit> field_unit(const State& s, Unit unit) {
  if (s.IAP == 2) {
    if (unit == Unit::kDegrees || unit == Unit::kRadians)
      return Result<FieldUnit>::failure(
          "the aperture kind is 2 (object on the start plane): fields are object heights "
          "(--unit mm), not angles");
    return FieldUnit{"mm", 1};
  }
  if (unit == Unit::kLength)
    return Result<FieldUnit>::failure("the aperture kind is " + std::to_string(s.IAP) +
                                      " (object at infinity): fields are angles (--unit deg or "
                                      "rad), not heights");
  return unit == Unit::kRadians ? FieldUnit{"rad", 1} : FieldUnit{"deg", kPi / 180};
}

}  // namespace

// The fields in radians or lens units: as given, or 0, 0.7 and 1 of the
// central ray's field (its start angle U for kind 1, its height X for kind 2).
Result<FieldSet> field_set(const State& s, const FieldsOptions& o) {
  const Result<FieldUnit> unit = field_unit(s, o.unit);
  if (!unit.ok()) return Result<FieldSet>::failure(unit.reason());
  FieldSet set{unit.value(), {}};
  for (double f : o.fields) set.values.push_back(f * set.unit.per_value);
  if (!set.values.empty()) return set;
  const double full = s.IAP == 2 ? s.XI[0] : s.UI[0];
  if (full == 0)
    return Result<FieldSet>::failure(
        "the central ray of IN_FM.txt is on the axis; give the fields with --field");
  set.values = {0, 0.7 * full, full};
  return set;
}

std::vector<std::string> bundle_problems(const Analysis& a, const FieldUnit& unit) {
  std::vector<std::string> problems;
  for (const FieldPoint& f : a.fields)
    for (const Bundle& b : f.bundles)
      if (!b.problem.empty())
        problems.push_back("field " + field_text(unit, f.field) + " " + unit.name +
                           ", wavelength " + std::to_string(b.q) + ": " + b.problem);
  return problems;
}

std::vector<report_input::NamedFile> field_files(const Analysis& a, const State& lens,
                                                 const FieldUnit& unit, const std::string& title) {
  const std::vector<drawing::Figure> figures = field_figures(a, lens, unit);
  std::vector<report_input::NamedFile> files = {{"fields.csv", csv_text(a, unit)}};
  for (const drawing::Figure& f : figures) files.push_back({f.file, f.svg});
  files.push_back({"index.html", fields_page(a, figures, title)});
  return files;
}

}  // namespace lumaveil::cli::fields
