// The places a command writes to, looked at before it writes anything: an
// output must never be one of the files the command reads.
#ifndef LUMAVEIL_CLI_COMMANDS_OUTPUT_PATHS_H
#define LUMAVEIL_CLI_COMMANDS_OUTPUT_PATHS_H

#include <string>
#include <vector>

#include "cli/commands/command_table.h"
#include "cli/result.h"

namespace lumaveil::cli::commands {

// Whether `a` and `b` name the same file: the same device and inode when
// both exist, or the same path once made absolute and normalised
// ("./x/../IN_FM.txt" is "IN_FM.txt"), links in the folders resolved.
bool same_file(const std::string& a, const std::string& b);

// The usage error when one of `outputs` names IN_FM.txt, IN_FM2.txt or the
// report OUT_M.xls ("-o IN_FM.txt would overwrite the lens file ..."); done
// otherwise. `option` is how the user gave the place ("-o").
Status outputs_spare_inputs(const Invocation& call, const std::string& option,
                            const std::vector<std::string>& outputs);

}  // namespace lumaveil::cli::commands

#endif
