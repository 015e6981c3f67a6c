// The grammar of the command line, and the road from main to a command:
//
//   lumaveil [-C DIR] [--quiet] COMMAND [OPTIONS]
//
// COMMAND is a mode number (negative numbers included), or a name of the
// command table. The global options may stand before or after the command;
// a command's own options after it. `lumaveil help COMMAND` and
// `lumaveil COMMAND --help` print the command's help. A usage error names
// the command and gives exit status 2.
#ifndef LUMAVEIL_CLI_COMMANDS_COMMAND_LINE_H
#define LUMAVEIL_CLI_COMMANDS_COMMAND_LINE_H

#include <string>
#include <vector>

#include "cli/commands/command_table.h"
#include "cli/result.h"

namespace lumaveil::cli::commands {

// The invocation the arguments (after the program name) ask for, or the
// usage error: its message names the command and ends with its usage line.
Result<Invocation> parse_command_line(const std::vector<std::string>& args);

// Parses, answers --help and --version, enters DIR and runs the command.
// Returns the exit status.
int run_command_line(int argc, char** argv, const char* version);

// Writes out what standard output still holds; when any write to it failed
// (a full disk, a closed pipe), says so on standard error and returns 1,
// else `status`.
int finish_standard_output(int status);

// A usage error that a command finds in the values of its options: the
// message, naming the command, and its usage line on standard error.
// Returns exit status 2.
int usage_failure(const Invocation& call, const std::string& message);

// "lumaveil NAME: message" on standard error; returns `status`.
int command_failure(const Invocation& call, const std::string& message, int status);

// The overview (`lumaveil --help`) and a command's help.
std::string general_help();
std::string command_help(const Command& command);

// A path as the user knows it: inside DIR when -C DIR was given.
std::string shown_path(const Invocation& call, const std::string& path);

}  // namespace lumaveil::cli::commands

#endif
