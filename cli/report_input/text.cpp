#include "cli/report_input/text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace lumaveil::cli::report_input {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Without a converter on this system: ASCII kept, the rest marked.
std::string ascii_only(std::string_view bytes) {
  std::string out;
  for (unsigned char ch : bytes) {
    if (ch < 0x80)
      out += static_cast<char>(ch);
    else
      out += kReplacement;
  }
  return out;
}

}  // namespace

bool is_ascii(std::string_view bytes) {
  for (unsigned char ch : bytes)
    if (ch >= 0x80) return false;
  return true;
}

std::size_t sequence_length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead >> 5) == 6) return 2;
  if ((lead >> 4) == 14) return 3;
  if ((lead >> 3) == 30) return 4;
  return 0;
}

bool valid_utf8(std::string_view s) {
  // The smallest code point each length may carry (shorter forms are
  // overlong and not UTF-8), and the largest of all.
  constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  std::size_t k = 0;
  while (k < s.size()) {
    const auto lead = static_cast<unsigned char>(s[k]);
    const std::size_t length = sequence_length(lead);
    if (length == 0 || k + length > s.size()) return false;
    std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t j = 1; j < length; ++j) {
      const auto next = static_cast<unsigned char>(s[k + j]);
      if ((next >> 6) != 2) return false;
      code = code << 6 | (next & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code < 0xE000;
    if (code < kLeast[length] || code > 0x10FFFF || surrogate) return false;
    k += length;
  }
  return true;
}

std::string decode_cp932(std::string_view bytes) {
  if (is_ascii(bytes)) return std::string(bytes);
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return ascii_only(bytes);
  std::string out;
  std::string in(bytes);
  char* src = in.data();
  std::size_t left = in.size();
  char buffer[256];
  while (left > 0) {
    char* dst = buffer;
    std::size_t room = sizeof buffer;
    std::size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      // An invalid or cut-off sequence: one replacement, skip one byte.
      out += kReplacement;
      ++src;
      --left;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

std::string as_utf8(std::string_view bytes) {
  return valid_utf8(bytes) ? std::string(bytes) : decode_cp932(bytes);
}

double display_width(std::string_view utf8) {
  double width = 0;
  for (std::size_t k = 0; k < utf8.size();) {
    const std::size_t length = sequence_length(static_cast<unsigned char>(utf8[k]));
    width += length >= 3 ? 2 : 1;
    k += length == 0 ? 4 : length;
  }
  return width;
}

}  // namespace lumaveil::cli::report_input
