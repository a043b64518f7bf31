// The number grammar: the longest prefix of the input that forms a number,
// rounded once to the nearest float. One template serves every source of
// bytes (the console's buffer, a plain string), so both read exactly alike.
//
// The stages: the sign and the kind of number are decided by looking
// ahead; the digits go into a significand that keeps as many as can matter
// and folds the rest into a sticky flag; the exponent saturates; the
// result is the kept digits handed to strtof as one short text.
#pragma once

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "byte_class.h"
#include "byte_scan.h"

namespace number_grammar {

// What reading a number found.
struct number_scan {
  float value = std::numeric_limits<float>::quiet_NaN();
  bool found = false;  // false: no number starts there and nothing was taken
};

// What scanning a text found; `consumed` counts leading white space too.
struct number_parse {
  float value = std::numeric_limits<float>::quiet_NaN();  // NaN if not found
  std::size_t consumed = 0;
  bool found = false;
};

// Reads the longest prefix of `text` that forms a number, after any white
// space: an optional sign, then decimal digits with optional fraction and
// exponent, "0x" hexadecimal digits with optional fraction and binary
// exponent, or inf, infinity or nan in any case.
number_parse parse_number(std::string_view text);

// Everything the radix decides, in one place per radix.
struct radix {
  std::size_t kept_digits;  // significant digits that can matter
  int digit_power;          // a digit scales the value by base^digit_power
  const char* prefix;       // how strtof is told the radix
  char exponent_mark;       // lower case
  bool (*is_digit)(int c);
  byte_scan::digit_run (*run)(const unsigned char* p, std::size_t n);
};

// A float is decided by at most 113 significant decimal digits (the exact
// decimal of a midpoint between two subnormals), or by its 24 bits and a
// rounding bit: at most 8 hexadecimal digits. Keeping more than that and
// remembering whether anything non-zero was dropped (the sticky digit)
// rounds exactly like the full text would.
inline constexpr radix kDecimal{
    200, 1, "", 'e', byte_class::is_digit, byte_scan::decimal_run};
inline constexpr radix kHexadecimal{
    32, 4, "0x", 'p', byte_class::is_hex_digit, byte_scan::hex_run};

// Which side of the point a digit stands on.
enum class digit_place { integer, fraction };

// The exponent written stops growing here, which keeps the sum of it and
// the shift from the digits (bounded by the length of the input) far from
// overflow.
inline constexpr std::int64_t kExponentSaturation = 100'000'000'000'000'000;

// The exponent handed to strtof is clamped here: with the few hundred
// digits kept, anything this far out is zero or infinity either way.
inline constexpr std::int64_t kExponentLimit = 1'000'000;

// The significant digits of a number as read, and the power of the radix
// by which the integer they spell is scaled.
template <const radix& R>
class significand {
 public:
  bool full() const { return count_ == R.kept_digits; }

  void add(char d, digit_place place) {
    if (count_ == 0 && d == '0') {
      if (place == digit_place::fraction) exponent_ -= R.digit_power;
    } else if (count_ < R.kept_digits) {
      digits_[count_++] = d;
      if (place == digit_place::fraction) exponent_ -= R.digit_power;
    } else {
      drop({1, d != '0'}, place);
    }
  }

  // Digits past the kept ones only scale the value and set the sticky bit.
  void drop(byte_scan::digit_run run, digit_place place) {
    if (place == digit_place::integer) {
      exponent_ += static_cast<std::int64_t>(run.length) * R.digit_power;
    }
    dropped_nonzero_ |= run.nonzero;
  }

  void add_exponent(std::int64_t e) { exponent_ += e; }

  // The value, rounded once: the kept digits, a sticky 1 for anything
  // dropped, and the exponent are handed to strtof as one short text.
  float value(bool negative) const {
    if (count_ == 0) return negative ? -0.0f : 0.0f;
    char text[R.kept_digits + 40];
    char* p = text;
    if (negative) *p++ = '-';
    for (const char* q = R.prefix; *q; ++q) *p++ = *q;
    for (std::size_t i = 0; i < count_; ++i) *p++ = digits_[i];
    std::int64_t e = exponent_;
    if (dropped_nonzero_) {
      *p++ = '1';
      e -= R.digit_power;
    }
    e = e < -kExponentLimit ? -kExponentLimit
                            : (e > kExponentLimit ? kExponentLimit : e);
    *p++ = R.exponent_mark;
    p = std::to_chars(p, text + sizeof text - 1, e).ptr;
    *p = '\0';
    return std::strtof(text, nullptr);
  }

 private:
  char digits_[R.kept_digits];
  std::size_t count_ = 0;
  std::int64_t exponent_ = 0;
  bool dropped_nonzero_ = false;
};

// No rule of the grammar peeks further ahead than this: "+infinity" is
// decided by its last byte, eight ahead of the sign.
inline constexpr std::size_t kMaxLookahead = 16;

// A cursor is anything with peek(ahead) (a byte, or -1 at the end),
// available() (the bytes at hand, empty only at the end) and skip(count).

template <class Cursor>
bool matches_ignoring_case(Cursor& in, std::size_t at, const char* word) {
  for (; *word; ++word, ++at) {
    if (byte_class::to_lower(in.peek(at)) != *word) return false;
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
  if (!byte_class::is_digit(in.peek(ahead))) return 0;
  in.skip(ahead);
  std::int64_t e = 0;
  for (int c; byte_class::is_digit(c = in.peek(0)); in.skip(1)) {
    if (e < kExponentSaturation) e = e * 10 + (c - '0');
  }
  return sign == '-' ? -e : e;
}

// Takes a run of digits into `s`, a buffer-full at a time; once `s` has all
// the digits it keeps, the rest of the run is only measured. Returns the
// byte after the run, or -1 at the end.
template <const radix& R, class Cursor>
int take_digits(Cursor& in, significand<R>& s, digit_place place) {
  for (;;) {
    const std::string_view ahead = in.available();
    if (ahead.empty()) return -1;
    const auto* p = reinterpret_cast<const unsigned char*>(ahead.data());
    const std::size_t n = ahead.size();
    std::size_t i = 0;
    for (; i < n && !s.full() && R.is_digit(p[i]); ++i) {
      s.add(static_cast<char>(p[i]), place);
    }
    if (i < n && s.full()) {
      const byte_scan::digit_run run = R.run(p + i, n - i);
      s.drop(run, place);
      i += run.length;
    }
    in.skip(i);
    if (i < n) return p[i];
  }
}

// Digits, an optional point and fraction, an optional exponent. The cursor
// stands on a digit, or on a point followed by one.
template <const radix& R, class Cursor>
float scan_digits(Cursor& in, bool negative) {
  significand<R> s;
  int c = take_digits(in, s, digit_place::integer);
  if (c == '.') {
    in.skip(1);
    c = take_digits(in, s, digit_place::fraction);
  }
  if (byte_class::to_lower(c) == R.exponent_mark) {
    s.add_exponent(scan_exponent(in));
  }
  return s.value(negative);
}

// A digit of the radix, or a point followed by one, `at` bytes ahead.
template <const radix& R, class Cursor>
bool digits_start(Cursor& in, std::size_t at) {
  const int c = in.peek(at);
  return R.is_digit(c) || (c == '.' && R.is_digit(in.peek(at + 1)));
}

// The number at the cursor. Nothing is skipped unless a number is found,
// so the caller's cursor still stands on the offending byte.
template <class Cursor>
number_scan scan_number(Cursor& in) {
  std::size_t at = 0;
  const int sign = in.peek(0);
  const bool negative = sign == '-';
  if (sign == '+' || sign == '-') at = 1;

  if (digits_start<kDecimal>(in, at)) {
    if (in.peek(at) == '0' && byte_class::to_lower(in.peek(at + 1)) == 'x' &&
        digits_start<kHexadecimal>(in, at + 2)) {
      in.skip(at + 2);
      return {scan_digits<kHexadecimal>(in, negative), true};
    }
    in.skip(at);
    return {scan_digits<kDecimal>(in, negative), true};
  }
  if (matches_ignoring_case(in, at, "inf")) {
    at += 3;
    if (matches_ignoring_case(in, at, "inity")) at += 5;
    in.skip(at);
    constexpr float kInf = std::numeric_limits<float>::infinity();
    return {negative ? -kInf : kInf, true};
  }
  if (matches_ignoring_case(in, at, "nan")) {
    in.skip(at + 3);
    return {std::copysign(std::numeric_limits<float>::quiet_NaN(),
                          negative ? -1.0f : 1.0f),
            true};
  }
  return {};
}

}  // namespace number_grammar
