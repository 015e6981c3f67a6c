#include "cli/workbook/cell_formats.h"

#ifdef LUMAVEIL_HAVE_XLSXWRITER

#include "cli/workbook/csv.h"

namespace lumaveil::cli::workbook {

lxw_format* Formats::get(const std::string& number_format) {
  auto it = formats_.find(number_format);
  if (it != formats_.end()) return it->second;
  lxw_format* f = workbook_add_format(book_);
  if (f == nullptr) return nullptr;
  format_set_num_format(f, number_format.c_str());
  formats_[number_format] = f;
  return f;
}

lxw_format* Formats::of_decimals(std::string_view cell, int decimals) {
  const auto d = static_cast<std::size_t>(decimals);
  if (d >= by_decimals_.size()) by_decimals_.resize(d + 1, nullptr);
  if (by_decimals_[d] == nullptr) {
    by_decimals_[d] = get(number_format(cell));
    if (by_decimals_[d] != nullptr) lxw_format_get_xf_index(by_decimals_[d]);
  }
  return by_decimals_[d];
}

StyleIds Formats::style_ids() const {
  StyleIds ids;
  for (const auto& [number_format, f] : formats_) ids[number_format] = lxw_format_get_xf_index(f);
  return ids;
}

}  // namespace lumaveil::cli::workbook

#endif
