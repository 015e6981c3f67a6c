// The field analysis as text: the table for the terminal (UTF-8) and the
// CSV. Numbers only come from the analysis; nothing is computed here.
#ifndef LUMAVEIL_CLI_FIELDS_TABLE_H
#define LUMAVEIL_CLI_FIELDS_TABLE_H

#include <ostream>
#include <string>

#include "cli/fields/analysis.h"

namespace lumaveil::fields {

// How fields are shown: angles in degrees or radians (kind 1), heights in
// the lens unit (kind 2).
struct FieldUnit {
  std::string name;     // "deg", "rad" or "mm"
  double per_value;     // shown value = field / per_value
};

std::string field_text(const FieldUnit& unit, double field);

void write_table(std::ostream& out, const Analysis& a, const FieldUnit& unit);

// One row per field and wavelength, with a header line; every number with
// 17 significant digits (reads back exactly), empty where there is none.
std::string csv_text(const Analysis& a, const FieldUnit& unit);

}  // namespace lumaveil::fields

#endif
