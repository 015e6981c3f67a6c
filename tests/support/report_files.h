// Every report among the test data: the reference reports and the golden
// reports of the examples, in a fixed order.
#ifndef LUMAVEIL_TESTS_CLI_REPORT_FILES_H
#define LUMAVEIL_TESTS_CLI_REPORT_FILES_H

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace lumaveil::testing {

inline std::vector<std::string> every_report() {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(test_data_dir() + "/reference"))
    files.push_back((entry.path() / "expected.xls").string());
  for (const auto& entry : fs::directory_iterator(test_data_dir() + "/examples"))
    for (const auto& report : fs::directory_iterator(entry.path()))
      files.push_back(report.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace lumaveil::testing

#endif
