// The arguments of `lumaveil quality`.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>

#include "command.h"

namespace lumaveil::quality {
namespace {

constexpr const char* kUsage =
    "usage: lumaveil quality [-C DIR] --stop K [--field LIST] [--unit deg|rad|mm]\n"
    "                        [--wavelength Q] [--grid N] [--frequency NU] [-o OUTDIR]\n";

constexpr const char* kHelp =
    "\n"
    "Traces an N x N grid of rays over the pupil of each field with the library's\n"
    "own tracer (chief ray aimed through the stop), and prints per field and\n"
    "wavelength the wavefront's RMS and peak-to-valley, the Strehl ratio, the MTF\n"
    "at NU cycles per mm and the 80 % encircled-energy radius; writes the wavefront,\n"
    "Zernike terms (Fringe and Standard), PSF, MTF and energy as CSV, SVG figures\n"
    "and index.html.\n"
    "\n"
    "Options:\n"
    "  -C DIR          read IN_FM.txt in DIR\n"
    "  --stop K        the surface that is the aperture stop (1..NUMB-2); required\n"
    "  --field LIST    comma-separated fields along x: angles for aperture kind 1\n"
    "                  (object at infinity), object heights for kind 2; default 0\n"
    "  --unit U        deg (default) or rad for angles, mm for heights\n"
    "  --wavelength Q  only wavelength Q (1..NW); default every wavelength\n"
    "  --grid N        pupil samples across the diameter, 8..1024 (default 64)\n"
    "  --frequency NU  the table's MTF frequency in cycles/mm (default 50)\n"
    "  -o OUTDIR       where the files go (default DIR/quality; a relative OUTDIR\n"
    "                  is taken inside DIR)\n"
    "  --no-files      print the table only\n"
    "  --help          this text\n";

int usage(std::ostream& err, const std::string& message) {
  err << "lumaveil quality: " << message << "\n" << kUsage;
  return 2;
}

bool parse_int(const std::string& text, int& value) {
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

bool parse_number(const std::string& text, double& value) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && *end == '\0' && std::isfinite(value);
}

// A comma-separated list of finite numbers.
bool parse_list(const std::string& text, std::vector<double>& values) {
  values.clear();
  std::size_t begin = 0;
  while (begin <= text.size()) {
    const std::size_t comma = std::min(text.find(',', begin), text.size());
    double v;
    if (!parse_number(text.substr(begin, comma - begin), v)) return false;
    values.push_back(v);
    begin = comma + 1;
  }
  return !values.empty();
}

// One option with its value; an empty string when it is fine, else the message.
std::string take(const std::string& arg, const std::string& value, QualityOptions& o,
                 bool& stop_given) {
  if (arg == "-C") o.directory = value;
  else if (arg == "-o") o.output = value;
  else if (arg == "--stop") {
    if (!parse_int(value, o.stop)) return "--stop needs a surface number, not " + value;
    stop_given = true;
  } else if (arg == "--field") {
    if (!parse_list(value, o.fields)) return "--field needs numbers separated by commas, not " + value;
  } else if (arg == "--unit") {
    if (value != "deg" && value != "rad" && value != "mm") return "--unit is deg, rad or mm, not " + value;
    o.unit = value == "deg" ? FieldUnit::kDegrees : value == "rad" ? FieldUnit::kRadians : FieldUnit::kLength;
  } else if (arg == "--wavelength") {
    if (!parse_int(value, o.wavelength) || o.wavelength < 1) return "--wavelength needs a number from 1, not " + value;
  } else if (arg == "--grid") {
    if (!parse_int(value, o.grid) || o.grid < 8 || o.grid > 1024) return "--grid needs a number of samples from 8 to 1024, not " + value;
  } else if (arg == "--frequency") {
    if (!parse_number(value, o.frequency) || o.frequency < 0) return "--frequency needs a frequency >= 0, not " + value;
  } else {
    return "unknown argument " + arg;
  }
  return "";
}

}  // namespace

int parse_quality_options(int argc, const char* const* argv, QualityOptions& o, std::ostream& out,
                          std::ostream& err) {
  bool stop_given = false;
  for (int a = 0; a < argc; ++a) {
    const std::string arg = argv[a];
    if (arg == "--help" || arg == "-h") {
      out << kUsage << kHelp;
      return 0;
    }
    if (arg == "--no-files") {
      o.write_files = false;
      continue;
    }
    if (arg.size() < 2 || arg[0] != '-') return usage(err, "unknown argument " + arg);
    if (a + 1 >= argc) return usage(err, arg + " needs a value");
    const std::string message = take(arg, argv[++a], o, stop_given);
    if (!message.empty()) return usage(err, message);
  }
  if (!stop_given) return usage(err, "--stop K is required: the surface that is the aperture stop");
  return -1;
}

int quality_command(int argc, char** argv) {
  QualityOptions options;
  const int status = parse_quality_options(argc, argv, options, std::cout, std::cerr);
  if (status >= 0) return status;
  return run_quality_command(options, std::cout, std::cerr);
}

}  // namespace lumaveil::quality
