#include "report.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace lumaveil::quality {
namespace {

// The figures of the table and the summary, in order.
struct Row {
  double rms, pv, rms_tilt, rms_focus, strehl, marechal, mtf_t, mtf_s, ee80_um;
};

Row row_of(const QualityResult& r, double frequency) {
  const MtfCurves& m = r.mtf;
  return {r.stats.raw.rms,
          r.stats.raw.pv,
          r.stats.no_tilt.rms,
          r.stats.no_focus.rms,
          r.psf.strehl,
          r.marechal,
          interpolate(m.frequency, m.tangential, frequency),
          interpolate(m.frequency, m.sagittal, frequency),
          encircled_radius(r.energy, 0.8) * 1000};
}

std::string fixed(double value, int decimals) {
  if (!std::isfinite(value)) return "-";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

}  // namespace

std::string format_number(double value, int digits) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
  return buffer;
}

void write_table(std::ostream& out, const std::vector<Entry>& entries, double frequency) {
  char line[256];
  std::snprintf(line, sizeof line, "%-12s %8s %6s %5s %8s %8s %8s %8s %7s %7s %7s %7s %8s\n",
                "field", "wl(nm)", "rays", "vign", "RMS", "PV", "RMS-tlt", "RMS-t,f", "Strehl",
                "Marech", "MTF-T", "MTF-S", "EE80(um)");
  out << line;
  for (const Entry& e : entries) {
    const QualityResult& r = e.result;
    const Row w = row_of(r, frequency);
    std::snprintf(line, sizeof line, "%-12s %8.1f %6d %5d %8s %8s %8s %8s %7s %7s %7s %7s %8s\n",
                  e.field_text.c_str(), e.wavelength_nm, r.wavefront.valid, r.wavefront.vignetted,
                  fixed(w.rms, 4).c_str(), fixed(w.pv, 4).c_str(), fixed(w.rms_tilt, 4).c_str(),
                  fixed(w.rms_focus, 4).c_str(), fixed(w.strehl, 4).c_str(),
                  fixed(w.marechal, 4).c_str(), fixed(w.mtf_t, 4).c_str(),
                  fixed(w.mtf_s, 4).c_str(), fixed(w.ee80_um, 2).c_str());
    out << line;
  }
  out << "RMS, PV: wavefront in waves (RMS-tlt: tilt removed; RMS-t,f: tilt and focus removed);"
         " Strehl from the PSF, Marech = exp(-(2 pi RMS-tlt)^2);\nMTF-T, MTF-S: tangential and"
         " sagittal MTF at "
      << format_number(frequency) << " cycles/mm; EE80: radius holding 80 % of the energy.\n";
}

std::string summary_csv(const std::vector<Entry>& entries, double frequency) {
  std::ostringstream out;
  out << "field,wavelength_nm,rays,vignetted,rms_waves,pv_waves,rms_no_tilt,pv_no_tilt,"
         "rms_no_tilt_focus,pv_no_tilt_focus,strehl,strehl_at_chief_ray,marechal,mtf_tangential,"
         "mtf_sagittal,mtf_frequency,ee80_radius_um,psf_spacing_um,exit_pupil_z,reference_radius,"
         "working_na,largest_step_waves\n";
  for (const Entry& e : entries) {
    const QualityResult& r = e.result;
    const Row w = row_of(r, frequency);
    out << '"' << e.field_text << "\"," << format_number(e.wavelength_nm) << ',' << r.wavefront.valid
        << ',' << r.wavefront.vignetted;
    for (double v : {w.rms, w.pv, w.rms_tilt, r.stats.no_tilt.pv, w.rms_focus, r.stats.no_focus.pv,
                     w.strehl, r.psf.strehl_at_reference, w.marechal, w.mtf_t, w.mtf_s, frequency,
                     w.ee80_um, r.psf.spacing * 1000, r.reference.exit_pupil_z,
                     r.reference.radius, r.wavefront.na, r.largest_step})
      out << ',' << format_number(v, 9);
    out << '\n';
  }
  return out.str();
}

std::string wavefront_csv(const QualityResult& r) {
  std::ostringstream out;
  out << "px,py,w_waves,state\n";
  const Wavefront& wf = r.wavefront;
  for (int j = 0; j < wf.n; ++j)
    for (int i = 0; i < wf.n; ++i) {
      const std::size_t c = static_cast<std::size_t>(j) * wf.n + i;
      if (wf.state[c] == Sample::kOutside) continue;
      const bool valid = wf.state[c] == Sample::kValid;
      out << format_number(wf.coord[i]) << ',' << format_number(wf.coord[j]) << ','
          << (valid ? format_number(wf.w[c], 9) : "") << ',' << (valid ? "valid" : "vignetted")
          << '\n';
    }
  return out.str();
}

std::string zernike_csv(const QualityResult& r) {
  std::ostringstream out;
  out << "term,fringe_waves,fringe_name,standard_waves,standard_name\n";
  for (int j = 1; j < static_cast<int>(r.fringe.size()) && j < static_cast<int>(r.standard.size()); ++j)
    out << j << ',' << format_number(r.fringe[j], 9) << ',' << zernike_name(ZernikeSet::kFringe, j)
        << ',' << format_number(r.standard[j], 9) << ','
        << zernike_name(ZernikeSet::kStandard, j) << '\n';
  return out.str();
}

std::string psf_csv(const QualityResult& r) {
  std::ostringstream out;
  out << "x_um,y_um,intensity\n";
  const Psf& p = r.psf;
  for (int j = 0; j < p.m; ++j)
    for (int i = 0; i < p.m; ++i)
      out << format_number((i - p.m / 2) * p.spacing * 1000) << ','
          << format_number((j - p.m / 2) * p.spacing * 1000) << ','
          << format_number(p.intensity[static_cast<std::size_t>(j) * p.m + i]) << '\n';
  return out.str();
}

std::string mtf_csv(const QualityResult& r) {
  std::ostringstream out;
  out << "frequency_per_mm,tangential,sagittal,diffraction_limit,geometric_tangential,"
         "geometric_sagittal\n";
  const MtfCurves& m = r.mtf;
  for (std::size_t k = 0; k < m.frequency.size(); ++k)
    out << format_number(m.frequency[k]) << ',' << format_number(m.tangential[k]) << ','
        << format_number(m.sagittal[k]) << ',' << format_number(m.limit[k]) << ','
        << format_number(m.geometric_tangential[k]) << ','
        << format_number(m.geometric_sagittal[k]) << '\n';
  return out.str();
}

std::string energy_csv(const QualityResult& r) {
  std::ostringstream out;
  out << "radius_um,encircled,ensquared_half_width\n";
  const EnergyCurves& e = r.energy;
  for (std::size_t k = 0; k < e.radius.size(); ++k)
    out << format_number(e.radius[k] * 1000) << ',' << format_number(e.encircled[k]) << ','
        << format_number(e.ensquared[k]) << '\n';
  return out.str();
}

}  // namespace lumaveil::quality
