// `lumaveil export` of an arbitrary report as a workbook, through
// libxlsxwriter into a temporary file that each run removes. A workbook
// that cannot be written must say why; one that is written must be there,
// a zip file whose parts all read back. Odd sizes split the blocks over
// sheets of 40 rows; sizes 2 and 3 modulo 4 write every row after a
// sheet's first ones as bulk rows.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/workbook/workbook.h"
#include "cli/workbook/zip_archive.h"
#include "host_checks.h"

#ifndef LUMAVEIL_HAVE_XLSXWRITER
#error "fuzz_workbook needs libxlsxwriter (sh scripts/install-deps.sh fuzz)"
#endif

namespace {

std::string folder, book;

void remove_folder() {
  std::remove(book.c_str());
  rmdir(folder.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char name[] = "/tmp/lumaveil-fuzz-XXXXXX";
  if (mkdtemp(name) == nullptr) std::abort();
  folder = name;
  book = folder + "/OUT_M.xlsx";
  std::atexit(remove_folder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto report =
      lumaveil::fuzzing::report_to_show({reinterpret_cast<const char*>(data), size});
  if (!report) return 0;
  // Inputs of odd size continue each block on sheets of 40 rows, so that the
  // split of long blocks is reached by short reports.
  const int row_limit = size % 2 == 1 ? 40 : lumaveil::cli::workbook::kSheetRows;
  const int bulk_rows = size % 4 >= 2 ? 1 : lumaveil::cli::workbook::kBulkRows;
  const lumaveil::cli::Status written =
      lumaveil::cli::workbook::write_workbook(*report, book, nullptr, row_limit, bulk_rows);
  struct stat st {};
  const bool there = stat(book.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
  if (written.ok() ? !there : written.reason().empty()) std::abort();
  if (written.ok()) {
    std::ostringstream bytes;
    bytes << std::ifstream(book, std::ios::binary).rdbuf();
    if (!lumaveil::cli::workbook::read_zip(bytes.str()).ok()) std::abort();
  }
  std::remove(book.c_str());
  return 0;
}
