#include "cli/commands/command_line.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace lumaveil::cli::commands {

namespace {

// The short usage that follows a usage error of lumaveil itself.
std::string short_usage() {
  std::string names;
  for (const Command& command : command_table())
    names += std::string(names.empty() ? "" : ", ") +
             (std::strcmp(command.name, "MODE") == 0 ? "a mode number" : command.name);
  return "usage: lumaveil [-C DIR] [--quiet] COMMAND [OPTIONS]\n"
         "COMMAND: " +
         names + " (lumaveil help COMMAND)\n";
}

Result<Invocation> usage_error(const Command* command, const std::string& message) {
  if (command == nullptr)
    return Result<Invocation>::failure("lumaveil: " + message + "\n" + short_usage());
  const std::string name = std::strcmp(command->name, "MODE") == 0 ? "mode" : command->name;
  return Result<Invocation>::failure("lumaveil " + name + ": " + message +
                                     "\nusage: " + usage_line(*command) + "\n");
}

// Stores an option of `def`, taking its value from the next argument.
bool take_option(const OptionDef& def, const std::vector<std::string>& args, std::size_t& i,
                 Invocation& call) {
  if (def.value_name == nullptr) {
    call.options.switches.insert(def.name);
    return true;
  }
  if (i + 1 >= args.size()) return false;
  call.options.values[def.name] = args[++i];
  return true;
}

bool looks_like_option(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-' && !is_mode_number(arg);
}

}  // namespace

Result<Invocation> parse_command_line(const std::vector<std::string>& args) {
  Invocation call;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const OptionDef* def = find_option(global_options(), arg);
    if (def == nullptr && call.command != nullptr) def = find_option(call.command->options, arg);
    if (def != nullptr) {
      if (!take_option(*def, args, i, call))
        return usage_error(call.command, arg + " needs " + def->value_name);
      // Help and version answer at once, whatever follows.
      if (call.options.has("--help") || call.options.has("--version")) break;
      continue;
    }
    if (looks_like_option(arg)) return usage_error(call.command, "unknown option " + arg);
    if (call.command == nullptr) {
      call.command = find_command(arg);
      if (call.command == nullptr) return usage_error(nullptr, "unknown command '" + arg + "'");
      call.word = arg;
      continue;
    }
    if (static_cast<int>(call.operands.size()) >= call.command->max_operands)
      return usage_error(call.command, is_mode_number(call.word) && is_mode_number(arg)
                                           ? "more than one mode given"
                                           : "unexpected argument '" + arg + "'");
    call.operands.push_back(arg);
  }
  call.directory = call.options.value("-C");
  call.quiet = call.options.has("--quiet");
  if (call.command == nullptr && !call.options.has("--help") && !call.options.has("--version"))
    return usage_error(nullptr, "no command given");
  return call;
}

std::string general_help() {
  std::string text =
      "usage: lumaveil [-C DIR] [--quiet] COMMAND [OPTIONS]\n"
      "       lumaveil help COMMAND   (or lumaveil COMMAND --help)\n"
      "\n"
      "Runs one lens-design calculation in the current directory (or in DIR), and\n"
      "checks, draws and exports its files.\n"
      "\n"
      "Files:\n"
      "  IN_FM.txt   the lens: surfaces, indices per wavelength, aperture, central ray\n"
      "  IN_FM2.txt  for modes 2, 3, 5, 6: optimisation settings and the ray set\n"
      "  OUT_M.xls   the report, tab-separated Shift_JIS text (written anew)\n"
      "\n"
      "Commands:\n";
  for (const Command& command : command_table()) {
    std::string name = command.name;
    name.resize(9, ' ');
    text += "  ";
    text += name;
    text += command.summary;
    text += '\n';
  }
  text += '\n';
  text += command_table().front().description;
  text += "\nGlobal options (before or after the command):\n";
  text += option_lines(global_options());
  return text;
}

std::string command_help(const Command& command) {
  std::string text = "usage: ";
  text += usage_line(command);
  text += "\n\n";
  text += command.description;
  if (!command.options.empty()) {
    text += "\nOptions:\n";
    text += option_lines(command.options);
  }
  text += "\nGlobal options (before or after the command):\n";
  text += option_lines(global_options());
  return text;
}

std::string shown_path(const Invocation& call, const std::string& path) {
  if (call.directory.empty() || (!path.empty() && path[0] == '/')) return path;
  return call.directory + (call.directory.back() == '/' ? "" : "/") + path;
}

int run_command_line(int argc, char** argv, const char* version) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const Result<Invocation> parsed = parse_command_line(args);
  if (!parsed.ok()) {
    std::fputs(parsed.reason().c_str(), stderr);
    return 2;
  }
  const Invocation& call = parsed.value();
  if (call.options.has("--version")) {
    std::printf("lumaveil %s\n", version);
    return 0;
  }
  if (call.options.has("--help")) {
    std::fputs((call.command != nullptr ? command_help(*call.command) : general_help()).c_str(),
               stdout);
    return 0;
  }
  if (!call.directory.empty() && chdir(call.directory.c_str()) != 0) {
    std::fprintf(stderr, "lumaveil: cannot enter %s: %s\n", call.directory.c_str(),
                 std::strerror(errno));
    return 1;
  }
  return call.command->run(call);
}

int finish_standard_output(int status) {
  std::cout.flush();
  errno = 0;
  const bool flushed = std::fflush(stdout) == 0;
  const int error = errno;
  if (flushed && !std::ferror(stdout) && std::cout.good()) return status;
  std::fprintf(stderr, "lumaveil: cannot write standard output: %s\n",
               error != 0 ? std::strerror(error) : "write error");
  return status != 0 ? status : 1;
}

int usage_failure(const Invocation& call, const std::string& message) {
  std::fputs(usage_error(call.command, message).reason().c_str(), stderr);
  return 2;
}

int command_failure(const Invocation& call, const std::string& message, int status) {
  std::fprintf(stderr, "lumaveil %s: %s\n", call.command->name, message.c_str());
  return status;
}

int help_command(const Invocation& call) {
  if (call.operands.empty()) {
    std::fputs(general_help().c_str(), stdout);
    return 0;
  }
  const Command* command = find_command(call.operands[0]);
  if (command == nullptr) {
    std::fprintf(stderr, "lumaveil help: no command '%s'\nusage: %s\n", call.operands[0].c_str(),
                 usage_line(*call.command).c_str());
    return 2;
  }
  std::fputs(command_help(*command).c_str(), stdout);
  return 0;
}

}  // namespace lumaveil::cli::commands
