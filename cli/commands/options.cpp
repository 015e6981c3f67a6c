#include "cli/commands/options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace lumaveil::cli::commands {

bool ParsedOptions::has(const std::string& name) const {
  return switches.count(name) != 0 || values.count(name) != 0;
}

std::string ParsedOptions::value(const std::string& name, const std::string& fallback) const {
  const auto it = values.find(name);
  return it == values.end() ? fallback : it->second;
}

const OptionSpec* find_option(const std::vector<OptionSpec>& specs, const std::string& arg) {
  for (const OptionSpec& spec : specs)
    if (arg == spec.name || (spec.alias != nullptr && arg == spec.alias)) return &spec;
  return nullptr;
}

bool is_mode_number(const std::string& arg) {
  if (arg.empty() || arg[0] == ' ' || arg[0] == '\t') return false;
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(arg.c_str(), &end, 10);
  return *end == '\0' && errno != ERANGE && value >= INT_MIN && value <= INT_MAX;
}

namespace {

std::string spelled(const OptionSpec& spec) {
  std::string text = spec.name;
  if (spec.value_name != nullptr) text += std::string(" ") + spec.value_name;
  return text;
}

}  // namespace

std::string option_lines(const std::vector<OptionSpec>& specs) {
  std::string lines;
  for (const OptionSpec& spec : specs) {
    std::string left = "  " + spelled(spec);
    if (spec.alias != nullptr) left += std::string(", ") + spec.alias;
    if (left.size() < 16)
      left.resize(16, ' ');
    else
      left += "  ";
    lines += left + spec.help + "\n";
  }
  return lines;
}

std::string option_synopsis(const std::vector<OptionSpec>& specs) {
  std::string text;
  for (const OptionSpec& spec : specs) {
    text += text.empty() ? "[" : " [";
    text += spelled(spec);
    text += ']';
  }
  return text;
}

}  // namespace lumaveil::cli::commands
