// The one option parser of the host. Every command declares its options as
// one table of OptionDef; the global options (-C DIR, --quiet, --help,
// --version) are a table too, accepted before or after the command.
#ifndef LUMAVEIL_CLI_COMMANDS_OPTIONS_H
#define LUMAVEIL_CLI_COMMANDS_OPTIONS_H

#include <map>
#include <set>
#include <string>
#include <vector>

namespace lumaveil::cli::commands {

struct OptionDef {
  const char* name;        // "-o", "--csv"
  const char* alias;       // another spelling ("-q" for "--quiet"), or nullptr
  const char* value_name;  // "DIR" for an option that takes a value; nullptr for a switch
  const char* help;        // one line for the help text
};

// The options given, by their def's name.
struct ParsedOptions {
  std::map<std::string, std::string> values;
  std::set<std::string> switches;

  bool has(const std::string& name) const;
  // The value given for `name`, or `fallback`.
  std::string value(const std::string& name, const std::string& fallback = "") const;
};

// The def among `defs` that `arg` spells, or nullptr.
const OptionDef* find_option(const std::vector<OptionDef>& defs, const std::string& arg);

// Whether `arg` is a whole decimal number within the range of int (a mode;
// negative numbers are modes, not options).
bool is_mode_number(const std::string& arg);

// The options of a table as help lines: "  -o OUTDIR     what it does".
std::string option_lines(const std::vector<OptionDef>& defs);

// "[-o OUTDIR] [--residuals]" for a usage line.
std::string option_synopsis(const std::vector<OptionDef>& defs);

}  // namespace lumaveil::cli::commands

#endif
