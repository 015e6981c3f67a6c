#include "cli/quality/quality_run.h"

#include <sstream>
#include <utility>

#include "cli/quality/figures.h"
#include "cli/quality/page.h"

namespace lumaveil::cli::quality {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The field as the aim takes it (radians or the lens unit) and as given.
double aim_field(const State& s, fields::Unit unit, double value) {
  const bool degrees =
      s.IAP != 2 && (unit == fields::Unit::kDefault || unit == fields::Unit::kDegrees);
  return degrees ? value * kPi / 180 : value;
}

std::string field_text(const State& s, fields::Unit unit, double value) {
  if (s.IAP == 2) return format_number(value) + " mm";
  return format_number(value) + (unit == fields::Unit::kRadians ? " rad" : " deg");
}

// One field at one wavelength into `run`.
void analyse_entry(const State& s, const QualityOptions& o, std::size_t f, int q, QualityRun& run) {
  Entry e;
  e.field_text = field_text(s, o.unit, o.fields[f]);
  e.wavelength_nm = s.WL[q];
  e.tag = std::string("f").append(std::to_string(f + 1)).append("-w").append(std::to_string(q));
  std::string reason;
  if (!analyse(s, o.stop, aim_field(s, o.unit, o.fields[f]), q, o.grid, e.result, reason)) {
    run.failures.push_back("field " + e.field_text + ", wavelength " + std::to_string(q) + ": " +
                           reason);
    return;
  }
  if (undersampled(e.result))
    run.warnings.push_back("field " + e.field_text + ", " + format_number(e.wavelength_nm) +
                           " nm: W changes by up to " + format_number(e.result.largest_step, 3) +
                           " waves between neighbouring cells; the PSF and MTF need --grid " +
                           std::to_string(suggested_grid(e.result)) + " or more");
  run.entries.push_back(std::move(e));
}

}  // namespace

Status check_options(const State& s, const QualityOptions& o) {
  if (s.NUMB < 3 || o.stop < 1 || o.stop > s.NUMB - 2)
    return Status::failure("--stop " + std::to_string(o.stop) + " is no surface 1.." +
                           std::to_string(s.NUMB - 2) +
                           " of the lens (NUMB = " + std::to_string(s.NUMB) + ")");
  if (o.wavelength > s.NW)
    return Status::failure("--wavelength " + std::to_string(o.wavelength) + ": the lens has " +
                           std::to_string(s.NW));
  if (s.IAP == 2 && (o.unit == fields::Unit::kDegrees || o.unit == fields::Unit::kRadians))
    return Status::failure(
        "the object stands on the start plane (aperture kind 2): fields are heights (--unit mm)");
  if (s.IAP != 2 && o.unit == fields::Unit::kLength)
    return Status::failure("the object is at infinity: fields are angles (--unit deg or rad)");
  return Done{};
}

QualityRun analyse_all(const State& s, const QualityOptions& o) {
  QualityRun run;
  const int first = o.wavelength ? o.wavelength : 1, last = o.wavelength ? o.wavelength : s.NW;
  for (std::size_t f = 0; f < o.fields.size(); ++f)
    for (int q = first; q <= last; ++q) analyse_entry(s, o, f, q, run);
  return run;
}

std::string table_heading(const std::string& title, const QualityOptions& o) {
  std::ostringstream out;
  out << "Image quality: " << title << "\nstop: surface " << o.stop << "; pupil grid " << o.grid
      << " x " << o.grid << "; W in waves, positive where the wavefront leads\n";
  return out.str();
}

std::vector<report_input::NamedFile> quality_files(const std::string& title,
                                                   const QualityOptions& o, const QualityRun& run) {
  std::vector<report_input::NamedFile> files = {
      {"quality.csv", summary_csv(run.entries, o.frequency)}};
  std::vector<PageSection> sections;
  for (const Entry& e : run.entries) {
    const QualityResult& r = e.result;
    files.push_back({"wavefront-" + e.tag + ".csv", wavefront_csv(r)});
    files.push_back({"zernike-" + e.tag + ".csv", zernike_csv(r)});
    files.push_back({"psf-" + e.tag + ".csv", psf_csv(r)});
    files.push_back({"mtf-" + e.tag + ".csv", mtf_csv(r)});
    files.push_back({"energy-" + e.tag + ".csv", energy_csv(r)});
    sections.push_back({&e, entry_figures(e)});
    for (const drawing::Figure& f : sections.back().figures) files.push_back({f.file, f.svg});
  }
  files.push_back(
      {"index.html", quality_page(title, o.stop, o.grid, o.frequency, sections, run.warnings)});
  return files;
}

}  // namespace lumaveil::cli::quality
