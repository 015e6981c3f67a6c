

#include <cerrno>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "cli/commands/check.h"
#include "cli/commands/command_table.h"
#include "cli/diagnosis/findings.h"
#include "cli/diagnosis/first_order.h"
#include "cli/inputs/input_files.h"
#include "cli/report_input/text.h"
#include "model/codes.h"
#include "model/state.h"

namespace lumaveil::cli::commands {
namespace {

using namespace diagnosis;
using inputs::Inputs;

std::string number(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.10g", v);
  return text;
}

const char* surface_kind(const State& s, int k, int q) {
  if (s.TYPE[k] == 1) return "ideal";
  if (s.TYPE[k] == 2) return "tilted";
  const bool mirror = q >= 1 && !(s.N[q][k] >= 0);
  if (mirror) return s.C[k] == 0 ? "plane mirror" : "mirror";
  return s.C[k] == 0 ? "plane" : "sphere";
}

std::string code_text(const State& s, int k) {
  const char c = s.CODE[k][0];
  if (c == 'V') {
    if (k <= s.NUMB - 1) return "V (variable " + std::to_string(s.IV[k]) + ")";
    return "V (ignored)";
  }
  if (c == 'P' || c == 'M')
    return std::string(1, c) + " (tied to surface " + std::to_string(s.LINK[k]) + ")";
  return "-";
}

void print_lens(std::FILE* out, const Inputs& in) {
  const State& s = in.lens;
  std::fprintf(out, "IN_FM.txt as the library reads it\n");
  std::fprintf(out, "  aperture: kind %d (%s), NS = %d, RH = %s, RU = %s\n", s.IAP,
               s.IAP == 1   ? "the grids spread heights"
               : s.IAP == 2 ? "the grids spread angles"
                            : "every grid ray is the central ray",
               s.NS, number(s.RH).c_str(), number(s.RU).c_str());
  std::fprintf(out, "  central ray: U = %s, V = %s, X = %s, Y = %s\n", number(s.UI[0]).c_str(),
               number(s.VI[0]).c_str(), number(s.XI[0]).c_str(), number(s.YI[0]).c_str());
  std::fprintf(out, "  NUMB = %d, NW = %d, ND1 = %d, ND2 = %d\n", s.NUMB, s.NW, s.ND[1], s.ND[2]);
  for (int q = 1; q <= s.NW; ++q)
    std::fprintf(out, "  wavelength %d: %s nm, weight %s\n", q, number(s.WL[q]).c_str(),
                 number(s.WQ[q]).c_str());
  std::fprintf(out, "  %-4s %-20s %-14s %-14s %-12s %-12s %-12s %-26s", "k", "type", "C", "R = 1/C",
               "D", "shift/slope x", "shift/slope y", "code");
  for (int q = 1; q <= s.NW; ++q) std::fprintf(out, " n%-11d", q);
  std::fprintf(out, " comment\n");
  for (int k = 0; k <= s.NUMB; ++k) {
    std::string kind = std::to_string(s.TYPE[k]) + " " + surface_kind(s, k, s.NW >= 1 ? 1 : 0);
    if (k == 0)
      kind = "start plane";
    else if (k == s.NUMB - 1)
      kind += " (image)";
    else if (k == s.NUMB)
      kind = "closing";
    const std::string radius = s.C[k] == 0 ? "inf" : number(1 / s.C[k]);
    std::fprintf(out, "  %-4d %-20s %-14s %-14s %-12s %-12s %-12s %-26s", k, kind.c_str(),
                 number(s.C[k]).c_str(), radius.c_str(), number(s.D[k]).c_str(),
                 number(s.Xd[k]).c_str(), number(s.Yd[k]).c_str(), code_text(s, k).c_str());
    for (int q = 1; q <= s.NW; ++q) std::fprintf(out, " %-12s", number(s.N[q][k]).c_str());
    std::fprintf(
        out, " %s\n",
        report_input::as_utf8(in.lens_file.grid->cell(17 + k, 8 + (s.NW > 0 ? s.NW : 0))).c_str());
  }
  std::fprintf(out, "  variables: %d", s.NV);
  for (int k = 0; k <= wide(s.NUMB) - 1; ++k)
    if (is_variable(s, k)) std::fprintf(out, ", %d = surface %d", s.IV[k], k);
  std::fprintf(out, "\n");
}

// The ray set from its own state: ray 0 here is the ray set's, not the
// central ray of the lens data.
void print_ray_set(std::FILE* out, const Inputs& in) {
  const State& s = in.ray_set;
  if (!in.ray_set_file.read) {
    if (in.ray_set_file.error == ENOENT)
      std::fprintf(out, "\nIN_FM2.txt: absent (modes 2, 3, 5 and 6 need it)\n");
    else
      std::fprintf(out, "\nIN_FM2.txt: cannot be opened (%s)\n", in.ray_set_file.reason.c_str());
    return;
  }
  std::fprintf(out, "\nIN_FM2.txt as the library reads it\n");
  std::fprintf(out,
               "  NIT = %d, H = %s, NRAY = %d, WXY = %s, WUV = %s, NITC = %d, NITD = %d, HD = %s\n",
               s.NIT, number(s.H).c_str(), s.NRAY, number(s.WXY).c_str(), number(s.WUV).c_str(),
               s.NITC, s.NITD, number(s.HD).c_str());
  std::fprintf(out, "  %-4s %-12s %-12s %-12s %-12s %-12s %-12s %-12s %-12s\n", "ray", "X", "Y",
               "U", "V", "target X", "target Y", "target U", "target V");
  for (int r = 0; r <= wide(s.NRAY) - 1; ++r) {
    const bool skipped = s.XI[r] == 0 && s.YI[r] == 0 && s.UI[r] == 0 && s.VI[r] == 0;
    std::fprintf(out, "  %-4d", r);
    for (double v : {s.XI[r], s.YI[r], s.UI[r], s.VI[r], s.XT[r], s.YT[r], s.UT[r], s.VT[r]})
      std::fprintf(out, " %-12s", number(v).c_str());
    std::fprintf(out, "%s\n", skipped ? " (all start values 0: skipped)" : "");
  }
}

void print_first_order(std::FILE* out, const State& s) {
  std::fprintf(out,
               "\nFirst-order data (paraxial trace of the centred system: axis shifts and the "
               "slopes of tilted planes are ignored)\n");
  if (s.NUMB < 3) {
    std::fprintf(out, "  none: the lens has no surface before the image plane\n");
    return;
  }
  const int lens_end = s.NUMB - 2;
  if (object_kind(s) == ObjectKind::kInfinity)
    std::fprintf(out, "  object: at infinity (the rays start parallel to one another)\n");
  else
    std::fprintf(out,
                 "  object: the central ray's start point on the start plane, %s before "
                 "surface 1 (the rays fan out from it)\n",
                 number(s.D[0]).c_str());
  for (int q = 1; q <= s.NW; ++q) {
    const FirstOrder f = first_order(s, q);
    std::fprintf(out, "  wavelength %d (%s nm):\n", q, number(s.WL[q]).c_str());
    if (f.afocal) {
      std::fprintf(out, "    afocal: no power, the focal lengths are infinite\n");
    } else {
      std::fprintf(out, "    effective focal length  %s\n", number(f.efl).c_str());
      std::fprintf(out, "    back focal distance     %s (from surface %d)\n", number(f.bfd).c_str(),
                   lens_end);
      std::fprintf(out, "    front focal distance    %s (in front of surface 1)\n",
                   number(f.ffd).c_str());
    }
    if (f.image_at_infinity) {
      std::fprintf(out, "    paraxial image          at infinity\n");
    } else {
      std::fprintf(out, "    paraxial image          %s from surface %d\n", number(f.image).c_str(),
                   lens_end);
      std::fprintf(out, "    image plane (surface %d) %s from the paraxial image (%s)\n",
                   s.NUMB - 1, number(f.defocus).c_str(),
                   f.defocus > 0    ? "behind it"
                   : f.defocus < 0  ? "in front of it"
                   : f.defocus == 0 ? "on it"
                                    : "not a number");
    }
    if (f.has_f_number)
      std::fprintf(out, "    f-number EFL/(2 RH)     %s\n", number(f.f_number).c_str());
  }
}

void print_work(std::FILE* out, const State& s, bool ray_set) {
  std::fprintf(out, "\nWork of each mode (traced ray-surface steps)\n ");
  for (int mode = 1; mode <= 6; ++mode) {
    const long double work = mode_work(s, mode, ray_set);
    if (work > 0) std::fprintf(out, " mode %d: %.3g", mode, static_cast<double>(work));
  }
  std::fprintf(out, "\n  mode 1: %.0f spot rays per wavelength, a report of about %.2g MB, %s\n",
               static_cast<double>(spot_rays_per_wavelength(s)),
               static_cast<double>(report_bytes(s, 1) / 1e6L),
               plain_duration(expected_seconds(s, 1, ray_set)).c_str());
  std::fprintf(out, "  mode 4: a report of about %.2g MB, %s\n",
               static_cast<double>(report_bytes(s, 4) / 1e6L),
               plain_duration(expected_seconds(s, 4, ray_set)).c_str());
}

void append(std::vector<Finding>& to, const std::vector<Finding>& from) {
  to.insert(to.end(), from.begin(), from.end());
}

// The findings of both files: the lens data from its own state, the ray set
// from its own, the work of the optimising modes from the state they run on.
std::vector<Finding> all_findings(const Inputs& in, const std::vector<RayCheck>& failures) {
  std::vector<Finding> found;
  const bool ray_set = in.ray_set_file.read;
  const InputGrid& lens_grid = *in.lens_file.grid;
  const InputGrid& ray_grid = *in.ray_set_file.grid;
  append(found, file_shape_findings(kLensFile, in.lens_file.bytes));
  if (ray_set) append(found, file_shape_findings(kRaySetFile, in.ray_set_file.bytes));
  append(found, lens_cell_findings(in.lens, lens_grid));
  if (ray_set) append(found, ray_set_cell_findings(in.ray_set, ray_grid));
  append(found, lens_value_findings(in.lens, lens_grid, ray_set));
  if (ray_set) append(found, ray_set_value_findings(in.ray_set, ray_grid));
  append(found, ray_findings(unexplained_failures(in.lens, lens_grid, failures, found)));
  append(found, work_findings(*inputs::optimising_state(in), ray_set));
  return found;
}

// An input that stands but cannot be opened or read, each with its reason;
// a missing IN_FM2.txt is no finding, as modes 1 and 4 do without it.
std::vector<Finding> unopened_inputs(const Inputs& in) {
  std::vector<Finding> found;
  if (!in.lens_file.read)
    found.push_back(
        {kLensFile, -1, 0, "cannot be opened (" + in.lens_file.reason + "): no mode can run"});
  if (!in.ray_set_file.read && in.ray_set_file.error != ENOENT)
    found.push_back(
        {kRaySetFile, -1, 0,
         "cannot be opened (" + in.ray_set_file.reason + "): modes 2, 3, 5 and 6 cannot run"});
  return found;
}

}  // namespace

int run_check(std::FILE* out) {
  const std::unique_ptr<Inputs> in = inputs::read_inputs("", true);
  std::vector<Finding> found = unopened_inputs(*in);
  if (in->lens_file.read) {
    const State& s = in->lens;
    const std::vector<RayCheck> failures = real_ray_check(s);
    append(found, all_findings(*in, failures));
    print_lens(out, *in);
    print_ray_set(out, *in);
    print_first_order(out, s);
    std::fprintf(out,
                 "\nReal rays (central, two rim rays, four extreme grid points, every "
                 "wavelength): %s\n",
                 failures.empty() ? "all reach the image plane" : "see the findings");
    print_work(out, *inputs::optimising_state(*in), in->ray_set_file.read);
  }
  std::fprintf(out, "\nFindings: %zu\n", found.size());
  for (const Finding& f : found)
    std::fprintf(out, "  %s: %s\n", location(f).c_str(), f.message.c_str());
  return found.empty() ? 0 : 1;
}

int check_command(const Invocation&) { return run_check(stdout); }

}  // namespace lumaveil::cli::commands
