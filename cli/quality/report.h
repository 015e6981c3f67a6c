// The results of `lumaveil quality` as text: the table on standard output
// and the CSV files.
#ifndef LUMAVEIL_CLI_QUALITY_REPORT_H
#define LUMAVEIL_CLI_QUALITY_REPORT_H

#include <ostream>
#include <string>
#include <vector>

#include "analysis.h"

namespace lumaveil::quality {

// One analysed field and wavelength with what the reader needs to name it.
struct Entry {
  std::string field_text;   // the field as given, with its unit ("10 deg")
  double wavelength_nm = 0;
  QualityResult result;
  std::string tag;          // file-name part, e.g. "f1-w2"
};

// A number in C-locale "%.*g" form.
std::string format_number(double value, int digits = 6);

void write_table(std::ostream& out, const std::vector<Entry>& entries, double frequency);

// The CSV files: one summary line per entry, and per entry its wavefront,
// Zernike terms, PSF, MTF and energy.
std::string summary_csv(const std::vector<Entry>& entries, double frequency);
std::string wavefront_csv(const QualityResult& r);
std::string zernike_csv(const QualityResult& r);
std::string psf_csv(const QualityResult& r);
std::string mtf_csv(const QualityResult& r);
std::string energy_csv(const QualityResult& r);

}  // namespace lumaveil::quality

#endif
