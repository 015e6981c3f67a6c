#include "cli/commands/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace lumaveil::cli::commands {
namespace {

std::vector<std::string> words(const std::string& line) {
  std::vector<std::string> out;
  std::size_t at = 0;
  while ((at = line.find_first_not_of(' ', at)) != std::string::npos) {
    const std::size_t end = line.find(' ', at);
    out.push_back(line.substr(at, end - at));
    at = end;
  }
  return out;
}

// Every accepted form: the command it names, the directory and the options.
TEST(CommandLine, AcceptedForms) {
  struct Case {
    const char* line;
    const char* command;  // "" for none (help or version of lumaveil)
    const char* directory;
    bool quiet;
    const char* option;  // a command option that must be set, or ""
  };
  const Case cases[] = {
      {"1", "MODE", "", false, ""},
      {"-C lens 1", "MODE", "lens", false, ""},
      {"1 -C lens", "MODE", "lens", false, ""},
      {"--quiet -C lens 1", "MODE", "lens", true, ""},
      {"-q 6", "MODE", "", true, ""},
      {"-1", "MODE", "", false, ""},
      {"-C lens -2147483648", "MODE", "lens", false, ""},
      {"check", "check", "", false, ""},
      {"-C lens check", "check", "lens", false, ""},
      {"check -C lens", "check", "lens", false, ""},
      {"-C lens plot", "plot", "lens", false, ""},
      {"plot -C lens -o out", "plot", "lens", false, "-o"},
      {"plot --residuals --quiet", "plot", "", true, "--residuals"},
      {"export -C lens -o f.csv --csv", "export", "lens", false, "--csv"},
      {"-C lens export --csv", "export", "lens", false, "--csv"},
      {"help plot", "help", "", false, ""},
      {"help", "help", "", false, ""},
      {"plot --help", "plot", "", false, "--help"},
      {"--help", "", "", false, "--help"},
      {"--version", "", "", false, "--version"},
      {"--help --bogus", "", "", false, "--help"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const Result<Invocation> parsed = parse_command_line(words(c.line));
    ASSERT_TRUE(parsed.ok()) << parsed.reason();
    const Invocation& call = parsed.value();
    EXPECT_EQ(call.command == nullptr ? "" : call.command->name, std::string(c.command));
    EXPECT_EQ(call.directory, c.directory);
    EXPECT_EQ(call.quiet, c.quiet);
    if (*c.option != '\0') {
      EXPECT_TRUE(call.options.has(c.option));
    }
  }
  EXPECT_EQ(parse_command_line(words("help plot")).value().operands,
            std::vector<std::string>{"plot"});
  EXPECT_EQ(parse_command_line(words("plot -o out")).value().options.value("-o"), "out");
  EXPECT_EQ(parse_command_line(words("-C lens -1")).value().word, "-1");
}

// Every usage error names the command (or lumaveil) and shows its usage.
TEST(CommandLine, UsageErrors) {
  struct Case {
    const char* line;
    const char* message;
    const char* usage;
  };
  const Case cases[] = {
      {"", "lumaveil: no command given\n", "COMMAND [OPTIONS]"},
      {"bogus", "lumaveil: unknown command 'bogus'\n", "COMMAND [OPTIONS]"},
      {"--bogus 1", "lumaveil: unknown option --bogus\n", "COMMAND [OPTIONS]"},
      {"-o out plot", "lumaveil: unknown option -o\n", "COMMAND [OPTIONS]"},
      {"-C", "lumaveil: -C needs DIR\n", "COMMAND [OPTIONS]"},
      {"1 2", "lumaveil mode: more than one mode given\n", "[--quiet] MODE\n"},
      {"1 -2", "lumaveil mode: more than one mode given\n", "[--quiet] MODE\n"},
      {"1 check", "lumaveil mode: unexpected argument 'check'\n", "[--quiet] MODE\n"},
      {"1 -C", "lumaveil mode: -C needs DIR\n", "[--quiet] MODE\n"},
      {"plot --bogus", "lumaveil plot: unknown option --bogus\n",
       "plot [-o OUTDIR] [--residuals] [--force]\n"},
      {"plot -o", "lumaveil plot: -o needs OUTDIR\n", "plot [-o OUTDIR] [--residuals] [--force]\n"},
      {"check --csv", "lumaveil check: unknown option --csv\n", "[--quiet] check\n"},
      {"export out.csv", "lumaveil export: unexpected argument 'out.csv'\n",
       "export [-o FILE] [--csv]\n"},
      {"help plot check", "lumaveil help: unexpected argument 'check'\n", "help [COMMAND]\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const Result<Invocation> parsed = parse_command_line(words(c.line));
    ASSERT_FALSE(parsed.ok());
    EXPECT_EQ(parsed.reason().rfind(c.message, 0), 0u) << parsed.reason();
    EXPECT_NE(parsed.reason().find("usage: lumaveil [-C DIR] [--quiet] "), std::string::npos)
        << parsed.reason();
    EXPECT_NE(parsed.reason().find(c.usage), std::string::npos) << parsed.reason();
  }
}

// The help of every command comes from its row of the table.
TEST(CommandLine, EveryCommandHasItsHelpAndIsListed) {
  const std::string overview = general_help();
  for (const Command& command : command_table()) {
    SCOPED_TRACE(command.name);
    EXPECT_NE(overview.find(std::string("  ") + command.name + " "), std::string::npos);
    const std::string help = command_help(command);
    EXPECT_EQ(help.rfind("usage: " + usage_line(command) + "\n", 0), 0u) << help;
    for (const OptionDef& option : command.options)
      EXPECT_NE(help.find(option.help), std::string::npos);
  }
}

// ---- Through the host program ----------------------------------------------

using testing::run_host;
using testing::ScratchDir;

class HostCommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories("lens");
    for (const char* name : {"IN_FM.txt", "IN_FM2.txt"})
      std::filesystem::copy_file(
          std::filesystem::path(LUMAVEIL_EXAMPLES_DIR) / "cooke_triplet" / name,
          std::filesystem::path("lens") / name);
  }
  ScratchDir scratch_;
};

TEST_F(HostCommandLine, GlobalOptionsBeforeOrAfterTheCommand) {
  struct Case {
    const char* arguments;
    int status;
    const char* creates;  // a file the command writes, or ""
    const char* says;     // in its standard output, or ""
  };
  const Case cases[] = {
      {"--quiet -C lens 1", 0, "lens/OUT_M.xls", ""},
      {"-C lens 1", 0, "", "OUT_M.xls: mode 1, 3 wavelengths"},
      {"-C lens plot", 0, "lens/plots/index.html", "lens/plots: "},
      {"plot -C lens -o pictures", 0, "lens/pictures/layout.svg", "lens/pictures: "},
      {"-C lens check", 0, "", "central ray: U = 0"},
      {"check -C lens", 0, "", "Findings: 0"},
      {"-C lens export --csv", 0, "lens/OUT_M.csv", "lens/OUT_M.csv: mode 1"},
      {"help plot", 0, "", "usage: lumaveil [-C DIR] [--quiet] plot"},
      {"plot --help", 0, "", "usage: lumaveil [-C DIR] [--quiet] plot"},
      {"--help", 0, "", "Commands:"},
      {"-C nowhere 1", 1, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const testing::HostRun run = run_host(LUMAVEIL_HOST, c.arguments);
    EXPECT_EQ(run.status, c.status) << run.err;
    if (*c.creates != '\0') {
      EXPECT_TRUE(testing::file_exists(c.creates));
    }
    EXPECT_NE(run.out.find(c.says), std::string::npos) << run.out;
  }
  EXPECT_EQ(run_host(LUMAVEIL_HOST, "--quiet -C lens 1").out, "");
}

TEST_F(HostCommandLine, UsageErrorsExitWithTwoAndNameTheCommand) {
  for (const char* arguments :
       {"", "bogus", "plot --bogus", "-C lens plot -o", "1 2", "help bogus"}) {
    SCOPED_TRACE(arguments);
    const testing::HostRun run = run_host(LUMAVEIL_HOST, arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("lumaveil", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("usage: "), std::string::npos) << run.err;
  }
  EXPECT_EQ(run_host(LUMAVEIL_HOST, "plot --bogus").err.rfind("lumaveil plot: ", 0), 0u);
}

}  // namespace
}  // namespace lumaveil::cli::commands
