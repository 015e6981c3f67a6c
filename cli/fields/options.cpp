// The arguments of `lumaveil fields`.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/fields/command.h"

namespace lumaveil::fields {
namespace {

constexpr const char* kUsage =
    "usage: lumaveil fields [-C DIR] --stop K [--field LIST] [--unit deg|rad|mm] [-o OUTDIR]\n"
    "                       [--reference Q] [--no-files]\n";

constexpr const char* kHelp =
    "usage: lumaveil fields [-C DIR] --stop K [--field LIST] [--unit deg|rad|mm] [-o OUTDIR]\n"
    "                       [--reference Q] [--no-files]\n"
    "\n"
    "Aims the chief ray of each field point through the aperture stop (surface K)\n"
    "and traces, per field and wavelength, the chief ray, the spot of the lens's\n"
    "aperture grid and the ray fans with the library's own tracer; prints the\n"
    "distortion, field curvature, lateral and longitudinal colour, the first-order\n"
    "data and the pupils, and writes fields.csv, SVG figures and index.html.\n"
    "\n"
    "Options:\n"
    "  -C DIR         read IN_FM.txt in DIR\n"
    "  --stop K       the surface that is the aperture stop (1..NUMB-2); required\n"
    "  --field LIST   comma-separated fields: angles for aperture kind 1 (object at\n"
    "                 infinity), object heights for kind 2; default 0, 0.7 and 1 of\n"
    "                 the central ray's field when it is off the axis\n"
    "  --unit U       deg (default) or rad for angles, mm for heights\n"
    "  -o OUTDIR      where the CSV, figures and page go (default DIR/fields; a\n"
    "                 relative OUTDIR is taken inside DIR)\n"
    "  --reference Q  the reference wavelength (default 1): pupils, lateral colour\n"
    "                 per wavelength, the centres of the spot matrix, the layout\n"
    "  --no-files     print the table only\n"
    "  --help         this text\n";

int usage(std::ostream& err, const std::string& message) {
  err << "lumaveil fields: " << message << "\n" << kUsage;
  return 2;
}

bool parse_int(const char* text, int& value) {
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (*text == '\0' || *end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

// A comma-separated list of finite numbers (C locale: a full stop).
bool parse_list(const std::string& text, std::vector<double>& values) {
  std::size_t begin = 0;
  while (begin <= text.size()) {
    const std::size_t comma = std::min(text.find(',', begin), text.size());
    const std::string item = text.substr(begin, comma - begin);
    char* end = nullptr;
    const double v = std::strtod(item.c_str(), &end);
    if (item.empty() || *end != '\0' || !std::isfinite(v)) return false;
    values.push_back(v);
    begin = comma + 1;
  }
  return !values.empty();
}

}  // namespace

int parse_fields_options(int argc, const char* const* argv, FieldsOptions& o, std::ostream& out,
                         std::ostream& err) {
  bool stop_given = false;
  for (int a = 0; a < argc; ++a) {
    const std::string arg = argv[a];
    if (arg == "--help" || arg == "-h") {
      out << kHelp;
      return 0;
    }
    if (arg == "--no-files") {
      o.write_files = false;
      continue;
    }
    const bool takes_value =
        arg == "-C" || arg == "-o" || arg == "--stop" || arg == "--field" || arg == "--unit" ||
                             arg == "--reference";
    if (!takes_value) return usage(err, "unknown argument " + arg);
    if (a + 1 >= argc) return usage(err, arg + " needs a value");
    const std::string value = argv[++a];
    if (arg == "-C") {
      o.directory = value;
    } else if (arg == "-o") {
      o.output = value;
    } else if (arg == "--stop") {
      if (!parse_int(value.c_str(), o.stop)) return usage(err, "--stop needs a surface number, not " + value);
      stop_given = true;
    } else if (arg == "--reference") {
      if (!parse_int(value.c_str(), o.reference))
        return usage(err, "--reference needs a wavelength number, not " + value);
    } else if (arg == "--field") {
      o.fields.clear();
      if (!parse_list(value, o.fields)) return usage(err, "--field needs numbers separated by commas, not " + value);
    } else if (value == "deg" || value == "rad" || value == "mm") {
      o.unit = value == "deg" ? Unit::kDegrees : value == "rad" ? Unit::kRadians : Unit::kLength;
    } else {
      return usage(err, "--unit is deg, rad or mm, not " + value);
    }
  }
  if (!stop_given) return usage(err, "--stop K is required: the surface that is the aperture stop");
  return -1;
}

}  // namespace lumaveil::fields
