// Bulk scans over buffered input: how long a run of white space, of word
// bytes or of digits is. Long runs are what generated or hostile input is
// made of, so where SSE2 is there (every x86-64) a run is measured sixteen
// bytes at a time. The portable scans are always compiled: they serve every
// other machine, the tails of the block scans, and the tests that hold the
// two to the same answers.
#pragma once

#include <cstddef>

#include "byte_class.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace byte_scan {

// A run of digits: its length, and whether any of its digits is not 0 (a
// digit past the kept ones then still moves the rounding).
struct digit_run {
  std::size_t length = 0;
  bool nonzero = false;
};

namespace portable {

// Length of the leading run of bytes that `accepts` accepts.
template <class Accepts>
std::size_t run_of(const unsigned char* p, std::size_t n, Accepts accepts) {
  std::size_t i = 0;
  for (; i < n && accepts(p[i]); ++i) {
  }
  return i;
}

template <class Accepts>
digit_run digits_of(const unsigned char* p, std::size_t n, Accepts accepts) {
  digit_run run{run_of(p, n, accepts), false};
  for (std::size_t i = 0; i < run.length; ++i) run.nonzero |= p[i] != '0';
  return run;
}

inline std::size_t space_run(const unsigned char* p, std::size_t n) {
  return run_of(p, n, byte_class::is_space);
}
inline std::size_t word_run(const unsigned char* p, std::size_t n) {
  return run_of(p, n, byte_class::is_word_byte);
}
inline digit_run decimal_run(const unsigned char* p, std::size_t n) {
  return digits_of(p, n, byte_class::is_digit);
}

}  // namespace portable

#if defined(__SSE2__)
namespace sse2 {

inline __m128i load(const unsigned char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

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

// Length of the leading run of bytes that `accepts` accepts, where
// `rejects(v)` masks the bytes of a block that `accepts` rejects.
template <class Rejects, class Accepts>
std::size_t block_run(const unsigned char* p, std::size_t n, Rejects rejects,
                      Accepts accepts) {
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const unsigned m = rejects(load(p + i)) & 0xFFFFu;
    if (m != 0) return i + static_cast<std::size_t>(__builtin_ctz(m));
  }
  return i + portable::run_of(p + i, n - i, accepts);
}

inline std::size_t space_run(const unsigned char* p, std::size_t n) {
  return block_run(
      p, n, [](__m128i v) { return ~space_mask(v); }, byte_class::is_space);
}

inline std::size_t word_run(const unsigned char* p, std::size_t n) {
  return block_run(p, n, space_mask, byte_class::is_word_byte);
}

inline digit_run decimal_run(const unsigned char* p, std::size_t n) {
  std::size_t i = 0;
  unsigned zeros = 0xFFFFu;  // bytes that were '0' in every full block
  for (; i + 16 <= n; i += 16) {
    const __m128i v = load(p + i);
    const unsigned digits = digit_mask(v);
    if (digits != 0xFFFFu) {
      const unsigned end = static_cast<unsigned>(__builtin_ctz(~digits));
      const unsigned in_run = (1u << end) - 1;
      return {i + end, zeros != 0xFFFFu || (zero_mask(v) & in_run) != in_run};
    }
    zeros &= zero_mask(v);
  }
  const digit_run tail = portable::decimal_run(p + i, n - i);
  return {i + tail.length, zeros != 0xFFFFu || tail.nonzero};
}

}  // namespace sse2

using sse2::decimal_run;
using sse2::space_run;
using sse2::word_run;
#else
using portable::decimal_run;
using portable::space_run;
using portable::word_run;
#endif

// Hexadecimal digits are rare enough in bulk that a byte at a time does.
inline digit_run hex_run(const unsigned char* p, std::size_t n) {
  return portable::digits_of(p, n, byte_class::is_hex_digit);
}

}  // namespace byte_scan
