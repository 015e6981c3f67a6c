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

const OptionDef* find_option(const std::vector<OptionDef>& defs, const std::string& arg) {
  for (const OptionDef& def : defs)
    if (arg == def.name || (def.alias != nullptr && arg == def.alias)) return &def;
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

std::string spelled(const OptionDef& def) {
  std::string text = def.name;
  if (def.value_name != nullptr) text += std::string(" ") + def.value_name;
  return text;
}

}  // namespace

std::string option_lines(const std::vector<OptionDef>& defs) {
  std::string lines;
  for (const OptionDef& def : defs) {
    std::string left = "  " + spelled(def);
    if (def.alias != nullptr) left += std::string(", ") + def.alias;
    if (left.size() < 16)
      left.resize(16, ' ');
    else
      left += "  ";
    lines += left + def.help + "\n";
  }
  return lines;
}

std::string option_synopsis(const std::vector<OptionDef>& defs) {
  std::string text;
  for (const OptionDef& def : defs) {
    text += text.empty() ? "[" : " [";
    text += spelled(def);
    text += ']';
  }
  return text;
}

}  // namespace lumaveil::cli::commands
