#include "cli/commands/option_values.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace lumaveil::cli::commands {

std::optional<int> whole_number(const std::string& text) {
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX)
    return std::nullopt;
  return static_cast<int>(v);
}

std::optional<double> finite_number(const std::string& text) {
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<std::vector<double>> number_list(const std::string& text) {
  std::vector<double> values;
  std::size_t begin = 0;
  while (begin <= text.size()) {
    const std::size_t comma = std::min(text.find(',', begin), text.size());
    const std::optional<double> v = finite_number(text.substr(begin, comma - begin));
    if (!v) return std::nullopt;
    values.push_back(*v);
    begin = comma + 1;
  }
  return values;
}

Result<FieldChoice> field_choice(const ParsedOptions& given) {
  using Failure = Result<FieldChoice>;
  FieldChoice choice;
  if (!given.has("--stop"))
    return Failure::failure("--stop K is required: the surface that is the aperture stop");
  const std::optional<int> stop = whole_number(given.value("--stop"));
  if (!stop) return Failure::failure("--stop needs a surface number, not " + given.value("--stop"));
  choice.stop = *stop;
  if (given.has("--field")) {
    choice.fields = number_list(given.value("--field"));
    if (!choice.fields)
      return Failure::failure("--field needs numbers separated by commas, not " +
                              given.value("--field"));
  }
  if (given.has("--unit")) {
    const std::string unit = given.value("--unit");
    if (unit != "deg" && unit != "rad" && unit != "mm")
      return Failure::failure("--unit is deg, rad or mm, not " + unit);
    choice.unit = unit == "deg"   ? fields::Unit::kDegrees
                  : unit == "rad" ? fields::Unit::kRadians
                                  : fields::Unit::kLength;
  }
  return choice;
}

}  // namespace lumaveil::cli::commands
