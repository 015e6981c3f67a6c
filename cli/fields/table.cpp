#include "cli/fields/table.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace lumaveil::fields {
namespace {

// printf-style formatting into a string (the C library's, locale "C" in
// the host).
std::string format(const char* pattern, ...) {
  char buffer[512];
  va_list args;
  va_start(args, pattern);
  std::vsnprintf(buffer, sizeof buffer, pattern, args);
  va_end(args);
  return buffer;
}

// A number for the table: fixed with `decimals`, or "-" when there is none.
std::string fixed(double v, int decimals = 6) {
  if (!std::isfinite(v)) return "-";
  return format("%.*f", decimals, v);
}

std::string exact(double v) { return std::isfinite(v) ? format("%.17g", v) : ""; }

std::string wavelength_text(const Analysis& a, int q) {
  return format("%g nm", a.wavelengths[static_cast<std::size_t>(q - 1)]);
}

void write_first_order(std::ostream& out, const Analysis& a) {
  out << format("%-12s %14s %14s %16s %8s\n", "wavelength", "EFL", "BFD", "paraxial image", "F/#");
  for (const cli::FirstOrder& f : a.first_order) {
    out << format("%-12s %14s %14s %16s %8s\n", wavelength_text(a, f.q).c_str(),
                  fixed(f.afocal ? NAN : f.efl).c_str(), fixed(f.afocal ? NAN : f.bfd).c_str(),
                  fixed(f.image_at_infinity ? NAN : f.image).c_str(),
                  f.has_f_number ? fixed(f.f_number, 3).c_str() : "-");
  }
  out << "  (BFD and the paraxial image measured from the last lens surface)\n";
  out << format("longitudinal colour (%s − %s): %s\n", wavelength_text(a, a.shortest).c_str(),
                wavelength_text(a, a.longest).c_str(), fixed(a.longitudinal_colour).c_str());
  out << "pupils at the reference wavelength\n";
  out << format("entrance pupil: z = %s (%s from surface 1), radius %s\n",
                fixed(a.pupils.entrance_z).c_str(),
                fixed(a.pupils.entrance_z - a.first_vertex_z).c_str(),
                fixed(a.pupils.entrance_radius).c_str());
  out << format("exit pupil:     z = %s (%s from the image surface), radius %s\n",
                fixed(a.pupils.exit_z).c_str(), fixed(a.pupils.exit_z - a.image_vertex_z).c_str(),
                fixed(a.pupils.exit_radius).c_str());
}

void write_chief_rays(std::ostream& out, const Analysis& a, const FieldUnit& unit) {
  out << "\nchief rays (start values on the start plane, exact; image point on surface NUMB-1)\n";
  out << format("%10s %-10s %24s %24s %24s %24s %12s %12s\n", ("field " + unit.name).c_str(),
                "wavelength", "X", "Y", "U", "V", "image X", "image Y");
  for (const FieldPoint& f : a.fields) {
    for (const Bundle& b : f.bundles) {
      const StartRay& r = b.chief.start;
      out << format("%10s %-10s %24.17g %24.17g %24.17g %24.17g %12s %12s",
                    field_text(unit, f.field).c_str(), wavelength_text(a, b.q).c_str(), r.x,
                    r.y, r.u, r.v, b.reaches_image ? fixed(b.x).c_str() : "-",
                    b.reaches_image ? fixed(b.y).c_str() : "-");
      if (!b.problem.empty()) out << "  " << b.problem;
      out << "\n";
    }
  }
}

void write_aberrations(std::ostream& out, const Analysis& a, const FieldUnit& unit) {
  out << "\nover the field (foci: z of the focus minus z of the chief ray on the image "
         "surface; spot about its centroid)\n";
  out << format("%10s %-10s %12s %12s %11s %11s %11s %12s %12s %10s %10s\n",
                ("field " + unit.name).c_str(), "wavelength", "image X", "paraxial X",
                "distortion%", "tangential", "sagittal", "centroid X", "centroid Y", "RMS",
                "radius");
  for (const FieldPoint& f : a.fields) {
    for (std::size_t i = 0; i < f.bundles.size(); ++i) {
      const Bundle& b = f.bundles[i];
      const bool ok = b.reaches_image;
      out << format("%10s %-10s %12s %12s %11s %11s %11s %12s %12s %10s %10s\n",
                    field_text(unit, f.field).c_str(), wavelength_text(a, b.q).c_str(),
                    ok ? fixed(b.x).c_str() : "-", fixed(f.paraxial_height[i]).c_str(),
                    fixed(f.distortion[i], 4).c_str(), ok ? fixed(b.tangential_focus).c_str() : "-",
                    ok ? fixed(b.sagittal_focus).c_str() : "-",
                    ok ? fixed(b.spot_stats.cx).c_str() : "-", ok ? fixed(b.spot_stats.cy).c_str() : "-",
                    ok ? fixed(b.spot_stats.rms).c_str() : "-",
                    ok ? fixed(b.spot_stats.geometric).c_str() : "-");
    }
  }
  out << format("\nlateral colour (chief ray's image X at %s minus at %s)\n",
                wavelength_text(a, a.shortest).c_str(), wavelength_text(a, a.longest).c_str());
  for (const FieldPoint& f : a.fields)
    out << format("%10s %12s\n", field_text(unit, f.field).c_str(), fixed(f.lateral_colour).c_str());
}

}  // namespace

std::string field_text(const FieldUnit& unit, double field) {
  return format("%g", field / unit.per_value);
}

void write_table(std::ostream& out, const Analysis& a, const FieldUnit& unit) {
  out << format("stop: surface %d, centre (%s, %s), radius %s (where the axial rim rays meet it)\n",
                a.stop.surface, fixed(a.stop.x).c_str(), fixed(a.stop.y).c_str(),
                fixed(a.stop.radius).c_str());
  out << "reference wavelength: " << wavelength_text(a, a.reference) << "\n";
  write_first_order(out, a);
  write_chief_rays(out, a, unit);
  write_aberrations(out, a, unit);
}

std::string csv_text(const Analysis& a, const FieldUnit& unit) {
  std::string csv =
      "field_" + unit.name +
      ",wavelength_nm,start_x,start_y,start_u,start_v,image_x,image_y,image_z,paraxial_x,"
      "distortion_percent,tangential_focus,sagittal_focus,centroid_x,centroid_y,rms_radius,"
      "geometric_radius,spot_rays,spot_rays_traced,lateral_colour,problem\n";
  for (const FieldPoint& f : a.fields) {
    for (std::size_t i = 0; i < f.bundles.size(); ++i) {
      const Bundle& b = f.bundles[i];
      const bool ok = b.reaches_image;
      const auto value = [ok](double v) { return ok ? exact(v) : std::string(); };
      const StartRay& r = b.chief.start;
      csv += exact(f.field / unit.per_value) + "," + exact(a.wavelengths[i]) + "," + exact(r.x) +
             "," + exact(r.y) + "," + exact(r.u) + "," + exact(r.v) + "," + value(b.x) + "," +
             value(b.y) + "," + value(b.z) + "," + exact(f.paraxial_height[i]) + "," +
             exact(f.distortion[i]) + "," + value(b.tangential_focus) + "," +
             value(b.sagittal_focus) + "," + value(b.spot_stats.cx) + "," +
             value(b.spot_stats.cy) + "," + value(b.spot_stats.rms) + "," +
             value(b.spot_stats.geometric) + "," + std::to_string(b.spot_stats.total) + "," +
             std::to_string(b.spot_stats.used) + "," + exact(f.lateral_colour) + ",\"" +
             b.problem + "\"\n";
    }
  }
  return csv;
}

}  // namespace lumaveil::fields
