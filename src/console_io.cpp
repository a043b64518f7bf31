#include "console_io.h"

#include <errno.h>
#include <poll.h>
#include <unistd.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace console_io {

namespace {

// The six white-space characters of the C locale.
constexpr bool is_space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

constexpr bool is_digit(int c) { return c >= '0' && c <= '9'; }

constexpr int hex_value(int c) {
  if (is_digit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// ASCII lower case for letters; other bytes, and -1 for the end, unchanged.
constexpr int to_lower(int c) {
  return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

// Bulk scans: long runs of white space, word bytes and digits are what
// hostile or generated input is made of, so they are measured sixteen bytes
// at a time where SSE2 is there (every x86-64), a byte at a time elsewhere.

// Length of the leading run of bytes that `pred` accepts.
template <class Pred>
std::size_t leading_run(const unsigned char* p, std::size_t n, Pred pred) {
  std::size_t i = 0;
  for (; i < n && pred(p[i]); ++i) {
  }
  return i;
}

constexpr bool is_word_byte(int c) { return !is_space(c); }

// Length of the leading run of digits that `pred` accepts, a byte at a
// time, and whether any of them is not 0.
template <class Pred>
std::size_t digits_by_byte(const unsigned char* p, std::size_t n, Pred pred,
                           bool& nonzero) {
  const std::size_t run = leading_run(p, n, pred);
  for (std::size_t i = 0; i < run; ++i) nonzero |= p[i] != '0';
  return run;
}

#if defined(__SSE2__)
// Bit i set where byte i of `v` is one of the six white-space characters.
inline unsigned space_mask(__m128i v) {
  const __m128i t = _mm_sub_epi8(v, _mm_set1_epi8('\t'));  // \t..\r -> 0..4
  const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(t, _mm_set1_epi8(4)), t);
  const __m128i blank = _mm_cmpeq_epi8(v, _mm_set1_epi8(' '));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(control, blank)));
}

inline unsigned digit_mask(__m128i v) {
  const __m128i t = _mm_sub_epi8(v, _mm_set1_epi8('0'));
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(t, _mm_set1_epi8(9)), t)));
}

inline unsigned zero_mask(__m128i v) {
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('0'))));
}

// Length of the leading run of bytes that `pred` accepts, where
// `rejects(v)` masks the bytes of a 16-byte block that `pred` rejects.
template <class Rejects, class Pred>
std::size_t block_run(const unsigned char* p, std::size_t n, Rejects rejects,
                      Pred pred) {
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const unsigned m = rejects(v) & 0xFFFFu;
    if (m != 0) return i + static_cast<std::size_t>(__builtin_ctz(m));
  }
  return i + leading_run(p + i, n - i, pred);
}

std::size_t space_run(const unsigned char* p, std::size_t n) {
  return block_run(
      p, n, [](__m128i v) { return ~space_mask(v); }, is_space);
}

std::size_t word_run(const unsigned char* p, std::size_t n) {
  return block_run(p, n, space_mask, is_word_byte);
}

// Length of the leading run of decimal digits, and whether any is not 0.
std::size_t digit_run(const unsigned char* p, std::size_t n, bool& nonzero) {
  std::size_t i = 0;
  unsigned zeros = 0xFFFFu;
  for (; i + 16 <= n; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const unsigned digits = digit_mask(v);
    if (digits != 0xFFFFu) {
      const unsigned run = (1u << __builtin_ctz(~digits & 0xFFFFu)) - 1;
      nonzero |= (zero_mask(v) & run) != run;
      return i + static_cast<std::size_t>(__builtin_ctz(~digits & 0xFFFFu));
    }
    zeros &= zero_mask(v);
  }
  nonzero |= zeros != 0xFFFFu;
  return i + digits_by_byte(p + i, n - i, is_digit, nonzero);
}
#else
std::size_t space_run(const unsigned char* p, std::size_t n) {
  return leading_run(p, n, is_space);
}
std::size_t word_run(const unsigned char* p, std::size_t n) {
  return leading_run(p, n, is_word_byte);
}
std::size_t digit_run(const unsigned char* p, std::size_t n, bool& nonzero) {
  return digits_by_byte(p, n, is_digit, nonzero);
}
#endif

// A float is decided by at most 113 significant decimal digits (the exact
// decimal of a midpoint between two subnormals), or by its 24 bits and a
// rounding bit: at most 8 hexadecimal digits.
// Keeping more than that and remembering whether anything non-zero was
// dropped (the sticky digit) rounds exactly like the full text would.
constexpr std::size_t kKeptDecimalDigits = 200;
constexpr std::size_t kKeptHexDigits = 32;

// The exponent written stops growing here, which keeps the sum of it and
// the shift from the digits (bounded by the length of the input) far from
// overflow.
constexpr std::int64_t kExponentSaturation = 100'000'000'000'000'000;

// The exponent handed to strtof is clamped here: with the few hundred
// digits kept, anything this far out is zero or infinity either way.
constexpr std::int64_t kExponentLimit = 1'000'000;

// The significant digits of a number as read, and the power by which the
// integer they spell is scaled: 10 for decimal, 2 for hexadecimal.
template <std::size_t kKept, int kDigitPower>
struct significand {
  char digits[kKept];
  std::size_t count = 0;
  std::int64_t exponent = 0;
  bool dropped_nonzero = false;

  bool full() const { return count == kKept; }

  void add(char d, bool fraction) {
    if (count == 0 && d == '0') {
      if (fraction) exponent -= kDigitPower;  // a leading zero
    } else if (count < kKept) {
      digits[count++] = d;
      if (fraction) exponent -= kDigitPower;
    } else {
      drop(1, d != '0', fraction);
    }
  }

  // Digits past the kept ones only scale the value and set the sticky bit.
  void drop(std::size_t n, bool nonzero, bool fraction) {
    if (!fraction) exponent += static_cast<std::int64_t>(n) * kDigitPower;
    dropped_nonzero |= nonzero;
  }

  void add_exponent(std::int64_t e) { exponent += e; }

  // The value, rounded once: the kept digits, a sticky 1 for anything
  // dropped, and the exponent are handed to strtof as one short text.
  float value(bool negative, const char* prefix, char exponent_mark) const {
    if (count == 0) return negative ? -0.0f : 0.0f;
    char text[kKept + 40];
    char* p = text;
    if (negative) *p++ = '-';
    for (const char* q = prefix; *q; ++q) *p++ = *q;
    std::memcpy(p, digits, count);
    p += count;
    std::int64_t e = exponent;
    if (dropped_nonzero) {
      *p++ = '1';
      e -= kDigitPower;
    }
    e = e < -kExponentLimit ? -kExponentLimit
                            : (e > kExponentLimit ? kExponentLimit : e);
    *p++ = exponent_mark;
    p = std::to_chars(p, text + sizeof text - 1, e).ptr;
    *p = '\0';
    return std::strtof(text, nullptr);
  }
};

using decimal_significand = significand<kKeptDecimalDigits, 1>;
using hex_significand = significand<kKeptHexDigits, 4>;

template <class Cursor>
bool matches_ignoring_case(Cursor& in, std::size_t at, const char* word) {
  for (; *word; ++word, ++at) {
    if (to_lower(in.peek(at)) != *word) return false;
  }
  return true;
}

// Reads the decimal exponent digits that follow an exponent mark, if a
// digit follows the mark and its optional sign; otherwise consumes nothing
// and returns 0.
template <class Cursor>
std::int64_t scan_exponent(Cursor& in) {
  std::size_t ahead = 1;
  const int sign = in.peek(1);
  if (sign == '+' || sign == '-') ahead = 2;
  if (!is_digit(in.peek(ahead))) return 0;
  in.skip(ahead);
  std::int64_t e = 0;
  for (int c; is_digit(c = in.peek(0)); in.skip(1)) {
    if (e < kExponentSaturation) e = e * 10 + (c - '0');
  }
  return sign == '-' ? -e : e;
}

struct decimal_digits {
  static bool is(int c) { return is_digit(c); }
  static std::size_t run(const unsigned char* p, std::size_t n, bool& nonzero) {
    return digit_run(p, n, nonzero);
  }
};

struct hex_digits {
  static bool is(int c) { return hex_value(c) >= 0; }
  static std::size_t run(const unsigned char* p, std::size_t n, bool& nonzero) {
    return digits_by_byte(p, n, is, nonzero);
  }
};

// Takes a run of digits into `s`, a buffer-full at a time; once `s` has all
// the digits it keeps, the rest of the run is only measured. Returns the
// byte after the run, or -1 at the end.
template <class Digits, class Significand, class Cursor>
int take_digits(Cursor& in, Significand& s, bool fraction) {
  for (;;) {
    const std::string_view ahead = in.available();
    if (ahead.empty()) return -1;
    const auto* p = reinterpret_cast<const unsigned char*>(ahead.data());
    const std::size_t n = ahead.size();
    std::size_t i = 0;
    for (; i < n && !s.full() && Digits::is(p[i]); ++i) {
      s.add(static_cast<char>(p[i]), fraction);
    }
    if (i < n && s.full()) {
      bool nonzero = false;
      const std::size_t run = Digits::run(p + i, n - i, nonzero);
      s.drop(run, nonzero, fraction);
      i += run;
    }
    in.skip(i);
    if (i < n) return p[i];
  }
}

// Digits, an optional point and fraction, an optional exponent. The cursor
// stands on a digit, or on a point followed by one.
template <class Digits, class Significand, class Cursor>
void scan_digits(Cursor& in, Significand& s, int exponent_mark) {
  int c = take_digits<Digits>(in, s, false);
  if (c == '.') {
    in.skip(1);
    c = take_digits<Digits>(in, s, true);
  }
  if (to_lower(c) == exponent_mark) s.add_exponent(scan_exponent(in));
}

// The number grammar, over any cursor with peek(ahead) (a byte, or -1 at
// the end), available() (the bytes at hand, empty only at the end) and
// skip(count). Nothing is skipped unless a number is found,
// so the caller's cursor still stands on the offending byte.
template <class Cursor>
bool scan_number(Cursor& in, float& value) {
  std::size_t at = 0;
  int c = in.peek(0);
  const bool negative = c == '-';
  if (c == '+' || c == '-') c = in.peek(at = 1);

  if (is_digit(c) || (c == '.' && is_digit(in.peek(at + 1)))) {
    if (c == '0' && to_lower(in.peek(at + 1)) == 'x') {
      const int h = in.peek(at + 2);
      if (hex_value(h) >= 0 || (h == '.' && hex_value(in.peek(at + 3)) >= 0)) {
        in.skip(at + 2);
        hex_significand s;
        scan_digits<hex_digits>(in, s, 'p');
        value = s.value(negative, "0x", 'p');
        return true;
      }
    }
    in.skip(at);
    decimal_significand s;
    scan_digits<decimal_digits>(in, s, 'e');
    value = s.value(negative, "", 'e');
    return true;
  }
  if (matches_ignoring_case(in, at, "inf")) {
    at += 3;
    if (matches_ignoring_case(in, at, "inity")) at += 5;
    in.skip(at);
    value = negative ? -std::numeric_limits<float>::infinity()
                     : std::numeric_limits<float>::infinity();
    return true;
  }
  if (matches_ignoring_case(in, at, "nan")) {
    in.skip(at + 3);
    value = std::copysign(std::numeric_limits<float>::quiet_NaN(),
                          negative ? -1.0f : 1.0f);
    return true;
  }
  return false;
}

class text_cursor {
 public:
  explicit text_cursor(std::string_view text) : text_(text) {}
  int peek(std::size_t ahead) const {
    return pos_ + ahead < text_.size()
               ? static_cast<unsigned char>(text_[pos_ + ahead])
               : -1;
  }
  std::string_view available() const {
    return {text_.data() + pos_, text_.size() - pos_};
  }
  void skip(std::size_t count) { pos_ += count; }
  std::size_t position() const { return pos_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// Waits until `fd` is ready, for descriptors left in non-blocking mode.
void wait_until_ready(int fd, short events) {
  pollfd p{fd, events, 0};
  while (poll(&p, 1, -1) < 0 && errno == EINTR) {
  }
}

}  // namespace

number_parse parse_number(std::string_view text) {
  text_cursor in(text);
  while (is_space(in.peek(0))) in.skip(1);
  number_parse result;
  result.found = scan_number(in, result.value);
  if (result.found) {
    result.consumed = in.position();
  } else {
    result.value = std::numeric_limits<float>::quiet_NaN();
  }
  return result;
}

std::size_t format_result(double value, char (&line)[kResultLineMax]) {
  // The C library writes "-nan" for a NaN with its sign bit set, as x86's
  // default NaN has.
  if (std::isnan(value)) value = std::fabs(value);
  const int n = std::snprintf(line, sizeof line, "%f\n", value);
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

// The number scanner's view of the console's input buffer.
class input_cursor {
 public:
  explicit input_cursor(console& c) : c_(c) {}
  int peek(std::size_t ahead) {
    return c_.in_pos_ + ahead < c_.in_end_ ? c_.buf_.in[c_.in_pos_ + ahead]
                                           : c_.peek_more(ahead);
  }
  std::string_view available() {
    if (c_.in_pos_ == c_.in_end_) c_.fill();
    return {reinterpret_cast<const char*>(c_.buf_.in + c_.in_pos_),
            c_.in_end_ - c_.in_pos_};
  }
  void skip(std::size_t count) { c_.in_pos_ += count; }

 private:
  console& c_;
};

// Slow path of a peek: the byte `ahead` is not buffered yet.
int console::peek_more(std::size_t ahead) {
  while (in_pos_ + ahead >= in_end_) {
    if (!fill()) return -1;
  }
  return buf_.in[in_pos_ + ahead];
}

// Reads more input behind what is buffered. Returns false at the end of
// input, which stays the end: a terminal's end-of-file is not asked again.
bool console::fill() {
  if (in_eof_) return false;
  // Keep the unread bytes (a look-ahead's) at the front; usually none.
  if (in_pos_ == in_end_) {
    in_pos_ = in_end_ = 0;
  } else if (in_pos_ > 0) {
    std::memmove(buf_.in, buf_.in + in_pos_, in_end_ - in_pos_);
    in_end_ -= in_pos_;
    in_pos_ = 0;
  }
  // The reader may block here, so whatever was written so far, such as
  // the prompt being answered, must be out first.
  flush();
  for (;;) {
    const ssize_t n =
        ::read(in_fd_, buf_.in + in_end_, sizeof buf_.in - in_end_);
    if (n > 0) {
      in_end_ += static_cast<std::size_t>(n);
      return true;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      wait_until_ready(in_fd_, POLLIN);
      continue;
    }
    // The end of input, or an input that cannot be read at all (closed,
    // a directory): both mean no more words.
    in_eof_ = true;
    return false;
  }
}

void console::skip_space() {
  do {
    in_pos_ += space_run(buf_.in + in_pos_, in_end_ - in_pos_);
  } while (in_pos_ == in_end_ && fill());
}

void console::read_word(word& w) {
  w.size = 0;
  w.truncated = false;
  skip_space();
  do {
    const std::size_t taken = word_run(buf_.in + in_pos_, in_end_ - in_pos_);
    const std::size_t room = kWordCapacity - w.size;
    const std::size_t kept = taken < room ? taken : room;
    std::memcpy(w.bytes + w.size, buf_.in + in_pos_, kept);
    w.size += kept;
    w.truncated |= taken > kept;
    in_pos_ += taken;
  } while (in_pos_ == in_end_ && fill());
  w.bytes[w.size] = '\0';
}

float console::read_dimension() {
  skip_space();
  input_cursor in(*this);
  float value;
  if (!scan_number(in, value)) value = std::numeric_limits<float>::quiet_NaN();
  return value;
}

void console::write_out(const char* data, std::size_t size) {
  while (size > 0 && write_error_ == 0) {
    const ssize_t n = ::write(out_fd_, data, size);
    if (n > 0) {
      data += n;
      size -= static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      wait_until_ready(out_fd_, POLLOUT);
    } else {
      write_error_ = n < 0 ? errno : EIO;
    }
  }
}

void console::flush() {
  write_out(buf_.out, out_len_);
  out_len_ = 0;
}

void console::put(std::string_view bytes) {
  if (bytes.size() > sizeof buf_.out - out_len_) {
    flush();
    if (bytes.size() > sizeof buf_.out) {
      write_out(bytes.data(), bytes.size());
      return;
    }
  }
  std::memcpy(buf_.out + out_len_, bytes.data(), bytes.size());
  out_len_ += bytes.size();
}

void console::write_text(std::string_view text) { put(text); }

void console::write_message(std::string_view format, const word& w) {
  const std::size_t at = format.find("%s");
  if (at == std::string_view::npos) return put(format);
  // Split by hand: substr() could throw, and merely linking the exception
  // machinery costs every run a static constructor and a malloc.
  put({format.data(), at});
  put(w.view());
  if (w.truncated) put("...");
  put({format.data() + at + 2, format.size() - at - 2});
}

void console::write_result(double value) {
  char line[kResultLineMax];
  put({line, format_result(value, line)});
}

int console::finish(int status) {
  flush();
  if (write_error_ == 0) return status;
  char message[256];
  const int n =
      std::snprintf(message, sizeof message, "shapecalc: write error: %s\n",
                    std::strerror(write_error_));
  if (n > 0) {
    const std::size_t size = static_cast<std::size_t>(n) < sizeof message
                                 ? static_cast<std::size_t>(n)
                                 : sizeof message - 1;
    // Nothing more can be done if standard error fails too.
    [[maybe_unused]] const ssize_t ignored = ::write(err_fd_, message, size);
  }
  return 2;
}

}  // namespace console_io
