#include "command.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "figures.h"
#include "lens.h"
#include "page.h"
#include "report.h"

namespace lumaveil::quality {
namespace {

namespace fs = std::filesystem;

constexpr double kPi = 3.14159265358979323846;

int fail(std::ostream& err, const std::string& message, int status) {
  err << "lumaveil quality: " << message << "\n";
  return status;
}

// Writes a whole file under a temporary name and renames it into place, so
// that a symlink standing there is replaced, never written through.
bool write_output(const fs::path& path, const std::string& text, std::ostream& err) {
  const fs::path temporary = path.string() + ".tmp";
  std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  std::error_code ec;
  if (file) fs::rename(temporary, path, ec);
  if (!file || ec) {
    fs::remove(temporary, ec);
    err << "lumaveil quality: cannot write " << path.string() << "\n";
    return false;
  }
  return true;
}

// The field as the aim takes it (radians or the lens unit) and as given.
double aim_field(const State& s, FieldUnit unit, double value) {
  const bool degrees = s.IAP != 2 && (unit == FieldUnit::kDefault || unit == FieldUnit::kDegrees);
  return degrees ? value * kPi / 180 : value;
}

std::string field_text(const State& s, FieldUnit unit, double value) {
  if (s.IAP == 2) return format_number(value) + " mm";
  return format_number(value) + (unit == FieldUnit::kRadians ? " rad" : " deg");
}

// A message when the options do not fit the lens; empty when they do.
std::string misfit(const State& s, const QualityOptions& o) {
  if (s.NUMB < 3 || o.stop < 1 || o.stop > s.NUMB - 2)
    return "--stop " + std::to_string(o.stop) + " is no surface 1.." + std::to_string(s.NUMB - 2) +
           " of the lens (NUMB = " + std::to_string(s.NUMB) + ")";
  if (o.wavelength > s.NW) return "--wavelength " + std::to_string(o.wavelength) + ": the lens has " + std::to_string(s.NW);
  if (s.IAP == 2 && (o.unit == FieldUnit::kDegrees || o.unit == FieldUnit::kRadians))
    return "the object stands on the start plane (aperture kind 2): fields are heights (--unit mm)";
  if (s.IAP != 2 && o.unit == FieldUnit::kLength)
    return "the object is at infinity: fields are angles (--unit deg or rad)";
  return "";
}

bool write_files(const fs::path& folder, const std::string& title, const QualityOptions& o,
                 const std::vector<Entry>& entries, const std::vector<std::string>& warnings,
                 std::ostream& out, std::ostream& err) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    err << "lumaveil quality: cannot create " << folder.string() << ": " << ec.message() << "\n";
    return false;
  }
  bool ok = write_output(folder / "quality.csv", summary_csv(entries, o.frequency), err);
  std::vector<PageSection> sections;
  std::size_t files = 2;
  for (const Entry& e : entries) {
    const QualityResult& r = e.result;
    ok = write_output(folder / ("wavefront-" + e.tag + ".csv"), wavefront_csv(r), err) && ok;
    ok = write_output(folder / ("zernike-" + e.tag + ".csv"), zernike_csv(r), err) && ok;
    ok = write_output(folder / ("psf-" + e.tag + ".csv"), psf_csv(r), err) && ok;
    ok = write_output(folder / ("mtf-" + e.tag + ".csv"), mtf_csv(r), err) && ok;
    ok = write_output(folder / ("energy-" + e.tag + ".csv"), energy_csv(r), err) && ok;
    sections.push_back({&e, entry_figures(e)});
    for (const plot::Figure& f : sections.back().figures)
      ok = write_output(folder / f.file, f.svg, err) && ok;
    files += 5 + sections.back().figures.size();
  }
  const std::string page = quality_page(title, o.stop, o.grid, o.frequency, sections, warnings);
  ok = write_output(folder / "index.html", page, err) && ok;
  out << folder.string() << ": " << files << " files, index.html shows them\n";
  return ok;
}

}  // namespace

int run_quality_command(const QualityOptions& o, std::ostream& out, std::ostream& err) {
  Lens lens;
  std::string reason;
  if (!load_lens(o.directory, lens, reason)) return fail(err, reason, 1);
  const State& s = *lens.state;
  const std::string bad = misfit(s, o);
  if (!bad.empty()) return fail(err, bad, 2);
  int status = 0;
  std::vector<Entry> entries;
  std::vector<std::string> warnings;
  for (std::size_t f = 0; f < o.fields.size(); ++f) {
    for (int q = o.wavelength ? o.wavelength : 1; q <= (o.wavelength ? o.wavelength : s.NW); ++q) {
      Entry e;
      e.field_text = field_text(s, o.unit, o.fields[f]);
      e.wavelength_nm = s.WL[q];
      e.tag = std::string("f").append(std::to_string(f + 1)).append("-w").append(std::to_string(q));
      if (!analyse(s, o.stop, aim_field(s, o.unit, o.fields[f]), q, o.grid, e.result, reason)) {
        status = fail(err, "field " + e.field_text + ", wavelength " + std::to_string(q) + ": " + reason, 1);
        continue;
      }
      if (undersampled(e.result))
        warnings.push_back("field " + e.field_text + ", " + format_number(e.wavelength_nm) +
                           " nm: W changes by up to " + format_number(e.result.largest_step, 3) +
                           " waves between neighbouring cells; the PSF and MTF need --grid " +
                           std::to_string(suggested_grid(e.result)) + " or more");
      entries.push_back(std::move(e));
    }
  }
  out << "Image quality: " << lens.title << "\nstop: surface " << o.stop << "; pupil grid " << o.grid
      << " x " << o.grid << "; W in waves, positive where the wavefront leads\n";
  write_table(out, entries, o.frequency);
  for (const std::string& w : warnings) err << "lumaveil quality: warning: " << w << "\n";
  if (o.write_files && !entries.empty()) {
    const fs::path dir(o.directory);
    const fs::path folder = o.output.empty() ? dir / "quality" : dir / fs::path(o.output);
    if (!write_files(folder, lens.title, o, entries, warnings, out, err)) status = 1;
  }
  return status;
}

}  // namespace lumaveil::quality
