// Room for the large arrays of a dense report (a million and more spot
// rows) in the processor's large pages where the system offers them: such
// an array is then filled with a few hundred page faults instead of tens of
// thousands, which otherwise take a good part of reading and drawing it.
#ifndef LUMAVEIL_CLI_REPORT_INPUT_LARGE_PAGES_H
#define LUMAVEIL_CLI_REPORT_INPUT_LARGE_PAGES_H

#include <cstddef>
#include <vector>

namespace lumaveil::cli::report_input {

// Asks the system to back the untouched memory [data, data + bytes) with
// large pages; a hint only, which changes nothing but the speed (and does
// nothing where there are no transparent large pages).
void advise_large_pages(void* data, std::size_t bytes);

// v.reserve(count), the new room advised as above when it is large.
template <class T>
void reserve_in_large_pages(std::vector<T>& v, std::size_t count) {
  if (count <= v.capacity()) return;
  v.reserve(count);
  advise_large_pages(v.data(), v.capacity() * sizeof(T));
}

}  // namespace lumaveil::cli::report_input

#endif
