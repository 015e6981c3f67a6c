// The values of options, read as numbers: whole numbers within int, finite
// numbers, and comma-separated lists of finite numbers (a full stop for the
// decimal point, whatever the locale); and the field options that `fields`
// and `quality` share.
#ifndef LUMAVEIL_CLI_COMMANDS_OPTION_VALUES_H
#define LUMAVEIL_CLI_COMMANDS_OPTION_VALUES_H

#include <optional>
#include <string>
#include <vector>

#include "cli/commands/options.h"
#include "cli/fields/fields_run.h"
#include "cli/result.h"

namespace lumaveil::cli::commands {

std::optional<int> whole_number(const std::string& text);
std::optional<double> finite_number(const std::string& text);
// "0,10.5,-3": at least one number, none empty.
std::optional<std::vector<double>> number_list(const std::string& text);

// --stop K (required), --field LIST and --unit deg|rad|mm.
struct FieldChoice {
  int stop = 0;
  std::optional<std::vector<double>> fields;  // when --field is given
  fields::Unit unit = fields::Unit::kDefault;
};
// The choice, or the usage error in words.
Result<FieldChoice> field_choice(const ParsedOptions& given);

}  // namespace lumaveil::cli::commands

#endif
