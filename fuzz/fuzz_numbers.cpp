// The number reader against the C library: every text must read exactly as
// strtod and atoi read it in the "C" locale (the one known rounding fault of
// this C library in the hexadecimal denormals aside, see number_oracle.h).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/numbers.h"
#include "support/number_oracle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);  // read up to a NUL
  const double got = lumaveil::parse_real(text.c_str());
  const double want = lumaveil::testing::reference_real(text.c_str());
  const int got_int = lumaveil::parse_int(text.c_str());
  const int want_int = lumaveil::testing::reference_int(text.c_str());
  if (lumaveil::testing::bits_of(got) != lumaveil::testing::bits_of(want) || got_int != want_int) {
    std::fprintf(stderr, "\"%s\" reads %a and %d, the C library %a and %d\n", text.c_str(), got,
                 got_int, want, want_int);
    std::abort();
  }
  return 0;
}
