// Number formatting for the reports: the printf conversions %d, %f, %E and %G
// with an optional width and precision (as in "%10.6f"), exactly as C's printf
// writes them in the "C" locale, whatever locale the host process has set. A
// full stop is always the decimal point.
#ifndef LUMAVEIL_REPORT_FORMAT_H
#define LUMAVEIL_REPORT_FORMAT_H

#include <initializer_list>

namespace lumaveil {

// One value handed to a format: an integer for %d, a double for the others.
struct FormatArg {
  FormatArg(int v) : is_int(true), i(v), d(0) {}
  FormatArg(long long v) : is_int(true), i(v), d(0) {}
  FormatArg(double v) : is_int(false), i(0), d(v) {}
  bool is_int;
  long long i;
  double d;
};

// Receives the formatted text piece by piece.
class FormatSink {
 public:
  virtual void append(const char* text, int length) = 0;

 protected:
  ~FormatSink() = default;
};

// The longest text of one conversion: %f of the largest double has 309
// integer digits.
constexpr int kNumberBytes = 512;

// The text of one value for the conversion `kind` ('d', 'f', 'E' or 'G')
// with `precision` digits (-1: printf's default of 6) into `out`, which
// holds kNumberBytes; returns its length. The report's conversions (6
// digits) go through the integer routines of decimal.h, the rest, and the
// values those leave undecided, through format_number_exact.
int format_number(char* out, char kind, int precision, const FormatArg& arg);

// The same through the standard library's exact conversion (std::to_chars)
// alone, as the reports were first printed: the fallback of format_number
// and the oracle its tests hold it to.
int format_number_exact(char* out, char kind, int precision, const FormatArg& arg);

// A format taken apart into its pieces: runs of text, each copied as it
// stands (Shift_JIS bytes included; "%%" gives the run "%"), and
// conversions. Parsing stops after kMaxPieces pieces, at the format's end,
// or at a conversion cut short by the end ("%", "%5."), which writes nothing
// and ends the format; rest() is where a further parse goes on (nullptr
// when the format is done). A format the reports print for every row is
// parsed once, at compile time.
class ParsedFormat {
 public:
  static constexpr int kMaxPieces = 24;

  struct Piece {
    const char* text;  // a run of text, or nullptr for a conversion
    int length;
    char kind;  // 'd', 'f', 'E', 'G' (any other letter prints as 'f')
    int width;
    int precision;  // -1: none given
  };

  constexpr explicit ParsedFormat(const char* format) { parse(format); }

  constexpr int count() const { return count_; }
  // The most bytes the pieces can write: the text, and for each conversion
  // its width and the longest number (kept below 2^30).
  constexpr int bound() const { return bound_; }
  constexpr const Piece& piece(int j) const { return pieces_[j]; }
  constexpr const char* rest() const { return rest_; }

 private:
  constexpr void parse(const char* p);
  constexpr void add_text(const char* text, int length) {
    pieces_[count_++] = {text, length, '\0', 0, -1};
    add_bound(length);
  }
  constexpr void add_bound(int bytes) {
    constexpr int kMost = 1 << 30;
    bound_ = bytes > kMost - bound_ ? kMost : bound_ + bytes;
  }

  Piece pieces_[kMaxPieces] = {};
  int count_ = 0;
  int bound_ = 0;
  const char* rest_ = nullptr;
};

constexpr void ParsedFormat::parse(const char* p) {
  while (*p != '\0') {
    if (count_ == kMaxPieces) {
      rest_ = p;
      return;
    }
    // Plain text up to the next conversion.
    const char* start = p;
    while (*p != '\0' && *p != '%') ++p;
    if (p > start) {
      add_text(start, static_cast<int>(p - start));
      continue;
    }
    ++p;
    if (*p == '%') {
      add_text(p, 1);
      ++p;
      continue;
    }
    // Width and precision.
    Piece c{nullptr, 0, '\0', 0, -1};
    while (*p >= '0' && *p <= '9') c.width = c.width * 10 + (*p++ - '0');
    if (*p == '.') {
      ++p;
      c.precision = 0;
      while (*p >= '0' && *p <= '9') c.precision = c.precision * 10 + (*p++ - '0');
    }
    c.kind = *p;
    if (c.kind == '\0') return;
    ++p;
    pieces_[count_++] = c;
    add_bound(c.width);
    add_bound(kNumberBytes);
  }
}

// Writes `format` with its conversions filled from `args` in order into the
// sink. Text between conversions, Shift_JIS bytes included, is copied as it
// stands; "%%" writes one '%'. A conversion without an argument writes
// nothing.
void format_to(FormatSink& sink, const char* format, std::initializer_list<FormatArg> args);
// The same with a format parsed before (it must be whole: rest() nullptr).
void format_to(FormatSink& sink, const ParsedFormat& format, std::initializer_list<FormatArg> args);

}  // namespace lumaveil

#endif
