#include "report/format.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "report/decimal.h"

namespace lumaveil {
namespace {

// The spelling of a value that is not finite: inf with its sign, nan
// without one. The sign bit of a not-a-number carries no meaning and differs
// between processors for the same calculation, so it is not shown.
int non_finite(char* out, double v, bool upper) {
  const bool nan = std::isnan(v);
  const char* text = nan ? (upper ? "NAN" : "nan") : (upper ? "INF" : "inf");
  int n = 0;
  if (!nan && std::signbit(v)) out[n++] = '-';
  for (const char* p = text; *p != '\0'; ++p) out[n++] = *p;
  return n;
}

}  // namespace

int format_number_exact(char* out, char kind, int precision, const FormatArg& arg) {
  char* last = out + kNumberBytes;
  if (kind == 'd') {
    long long v = arg.is_int ? arg.i : static_cast<long long>(arg.d);
    return static_cast<int>(std::to_chars(out, last, v).ptr - out);
  }
  double v = arg.is_int ? static_cast<double>(arg.i) : arg.d;
  bool upper = kind == 'E' || kind == 'G';
  if (!std::isfinite(v)) return non_finite(out, v, upper);
  if (precision < 0) precision = 6;
  std::chars_format style = std::chars_format::fixed;
  if (kind == 'E') style = std::chars_format::scientific;
  if (kind == 'G') style = std::chars_format::general;
  int n = static_cast<int>(std::to_chars(out, last, v, style, precision).ptr - out);
  if (upper)
    for (int j = 0; j < n; ++j)
      if (out[j] == 'e') out[j] = 'E';
  return n;
}

int format_number(char* out, char kind, int precision, const FormatArg& arg) {
  if (kind == 'd' && arg.is_int) return integer_text(out, arg.i);
  if (!arg.is_int && (precision == 6 || precision < 0) && std::isfinite(arg.d)) {
    int n = -1;
    if (kind == 'f') n = fixed6(out, arg.d);
    else if (kind == 'E') n = scientific6(out, arg.d);
    else if (kind == 'G') n = general6(out, arg.d);
    if (n >= 0) return n;
  }
  return format_number_exact(out, kind, precision, arg);
}

namespace {

// Gathers the pieces of a format and hands them to the sink together: a
// report row reaches it in one piece instead of one per field and tab.
// The sink receives the same bytes in the same order either way.
class Gathered {
 public:
  explicit Gathered(FormatSink& sink) : sink_(sink) {}
  Gathered(const Gathered&) = delete;
  Gathered& operator=(const Gathered&) = delete;

  void add(const char* text, int length) {
    if (length > kBytes - used_) flush();
    if (length > kBytes) {
      sink_.append(text, length);
      return;
    }
    if (length == 1) buffer_[used_] = *text;  // a tab or a line end
    else std::memcpy(buffer_ + used_, text, static_cast<std::size_t>(length));
    used_ += length;
  }
  // Room for `length` bytes at the end, to be taken with commit.
  char* room(int length) {
    if (length > kBytes - used_) flush();
    return buffer_ + used_;
  }
  void commit(int length) { used_ += length; }
  void flush() {
    if (used_ > 0) sink_.append(buffer_, used_);
    used_ = 0;
  }

  // Room for the rows of the reports with every number at its longest.
  static constexpr int kBytes = 8192;

 private:
  FormatSink& sink_;
  char buffer_[kBytes];
  int used_ = 0;
};

// One conversion of `piece` into `out`, with spaces in front up to its
// width; `out` holds the width and kNumberBytes. "%10.6f", the conversion of
// the long tables, writes its spaces before the digits; the others are moved
// behind their spaces.
int padded_number(char* out, const ParsedFormat::Piece& piece, const FormatArg& arg) {
  if (piece.kind == 'd' && arg.is_int && piece.width == 0) return integer_text(out, arg.i);
  if (piece.kind == 'f' && !arg.is_int && (piece.precision == 6 || piece.precision < 0)) {
    const int n = fixed6(out, arg.d, piece.width);
    if (n >= 0) return n;
  }
  const int n = format_number(out, piece.kind, piece.precision, arg);
  const int pad = piece.width - n;
  if (pad <= 0) return n;
  std::memmove(out + pad, out, static_cast<std::size_t>(n));
  std::memset(out, ' ', static_cast<std::size_t>(pad));
  return pad + n;
}

// One conversion through the gathered text's checks, the spaces one at a
// time: for formats too long to be taken at once.
void put_number_by_pieces(Gathered& out, const ParsedFormat::Piece& piece, const FormatArg& arg) {
  char number[kNumberBytes];
  const int n = format_number(number, piece.kind, piece.precision, arg);
  for (int j = n; j < piece.width; ++j) out.add(" ", 1);
  out.add(number, n);
}

// The pieces of a format whose longest text fits the gathered buffer, with
// room taken once for all of them: a report row.
void put_pieces_at_once(Gathered& out, const ParsedFormat& format, const FormatArg*& next,
                        const FormatArg* end) {
  char* const start = out.room(format.bound());
  char* p = start;
  for (int j = 0; j < format.count(); ++j) {
    const ParsedFormat::Piece& piece = format.piece(j);
    if (piece.text == nullptr) {
      if (next != end) p += padded_number(p, piece, *next++);
    } else if (piece.length == 1) {
      *p++ = *piece.text;  // a tab or a line end
    } else {
      std::memcpy(p, piece.text, static_cast<std::size_t>(piece.length));
      p += piece.length;
    }
  }
  out.commit(static_cast<int>(p - start));
}

// The pieces of one parsed format, conversions taking their values from
// `next` on while there are any.
void put_pieces(Gathered& out, const ParsedFormat& format, const FormatArg*& next,
                const FormatArg* end) {
  if (format.bound() <= Gathered::kBytes) {
    put_pieces_at_once(out, format, next, end);
    return;
  }
  for (int j = 0; j < format.count(); ++j) {
    const ParsedFormat::Piece& piece = format.piece(j);
    if (piece.text != nullptr) {
      out.add(piece.text, piece.length);
      continue;
    }
    if (next != end) put_number_by_pieces(out, piece, *next++);
  }
}

}  // namespace

void format_to(FormatSink& sink, const char* format, std::initializer_list<FormatArg> args) {
  Gathered out(sink);
  const FormatArg* next = args.begin();
  // A format of more pieces than one parse holds is taken in parts.
  for (const char* p = format; p != nullptr;) {
    const ParsedFormat part(p);
    put_pieces(out, part, next, args.end());
    p = part.rest();
  }
  out.flush();
}

void format_to(FormatSink& sink, const ParsedFormat& format, std::initializer_list<FormatArg> args) {
  Gathered out(sink);
  const FormatArg* next = args.begin();
  put_pieces(out, format, next, args.end());
  out.flush();
}

}  // namespace lumaveil
