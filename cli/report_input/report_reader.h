// Reading a report (OUT_M.xls) back into typed blocks (report_blocks.h).
//
// The report is tab-separated text whose Japanese headings are Shift_JIS
// (code page 932) bytes. The reader recognises the mode from the layout of
// the lines, decodes the headings to UTF-8 and returns the numbers of every
// block. It never runs a calculation. Anything that is not a report, or a
// report cut short, gives a failed result whose reason names the line.
#ifndef LUMAVEIL_CLI_REPORT_INPUT_REPORT_READER_H
#define LUMAVEIL_CLI_REPORT_INPUT_REPORT_READER_H

#include <cstddef>
#include <string>
#include <string_view>

#include "cli/report_input/report_blocks.h"
#include "cli/result.h"

namespace lumaveil::cli::report_input {

// How much of a report the reader keeps. The file is read line by line;
// what stays in memory is the typed blocks and, when `keep_lines`, every
// line's text (ReportContents::cells, which the workbook and the CSV need;
// the plots do not). A report that would need more than `memory_limit`
// bytes is refused with a reason that says so.
struct ReadOptions {
  bool keep_lines = true;
  std::size_t memory_limit = std::size_t{1} << 30;
};

// Reads report text. `name` is used in the reasons only.
Result<ReportContents> read_report(std::string_view text, const std::string& name = "OUT_M.xls",
                                   const ReadOptions& options = {});
// Reads a report file, under the regular-file rule; `name` as above (the
// path when empty).
Result<ReportContents> read_report_file(const std::string& path, const std::string& name = "",
                                        const ReadOptions& options = {});

// A whole cell as a number: the printf forms of the report, NAN and INF
// spellings included, leading blanks allowed. Locale-independent.
bool parse_number(std::string_view cell, double& value);

}  // namespace lumaveil::cli::report_input

#endif
