// The commands of `lumaveil`, in one table: each command's name, its
// operands and options, its help, and the function that runs it.
//
//   lumaveil [-C DIR] [--quiet] COMMAND [OPTIONS]
//
// A new command: write `int name_command(const Invocation&)` in
// cli/commands/name_command.cpp (arguments in, messages and an exit status
// out; the work itself in a library folder of its own), declare it below and
// add its row to the table in command_table.cpp. Its help and usage lines
// come from the row.
#ifndef LUMAVEIL_CLI_COMMANDS_COMMAND_TABLE_H
#define LUMAVEIL_CLI_COMMANDS_COMMAND_TABLE_H

#include <string>
#include <vector>

#include "cli/commands/options.h"

namespace lumaveil::cli::commands {

struct Invocation;

struct Command {
  const char* name;         // "plot"; "MODE" stands for the mode numbers
  const char* operands;     // the operands for the usage line ("" when none)
  int max_operands;         // how many operands it takes
  const char* summary;      // one line in the list of commands
  const char* description;  // the text of `lumaveil help NAME`
  std::vector<OptionDef> options;
  int (*run)(const Invocation&);
};

// What the command line asks for, parsed.
struct Invocation {
  const Command* command = nullptr;
  std::string word;                   // the command as typed ("plot", "-1")
  std::vector<std::string> operands;  // operands after the command
  ParsedOptions options;              // global and command options
  std::string directory;              // -C DIR, "" when not given
  bool quiet = false;
};

// The global options, accepted before or after the command.
const std::vector<OptionDef>& global_options();

// Every command, in the order of the help text.
const std::vector<Command>& command_table();

// The command a word names: a mode number names the mode command.
const Command* find_command(const std::string& word);

// "lumaveil [-C DIR] [--quiet] plot [-o OUTDIR] [--residuals]"
std::string usage_line(const Command& command);

// The commands.
int mode_command(const Invocation& call);
int check_command(const Invocation& call);
int plot_command(const Invocation& call);
int export_command(const Invocation& call);
int fields_command(const Invocation& call);
int quality_command(const Invocation& call);  // says so when built without FFTW
int help_command(const Invocation& call);

}  // namespace lumaveil::cli::commands

#endif
