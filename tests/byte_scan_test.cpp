// The bulk scans: the block scans must give exactly what the portable
// byte-at-a-time scans give, wherever in and across a 16-byte block a run
// ends, for every byte on either side of each class's boundary.
#include "byte_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::size_t kSpan = 48;  // three blocks

// Every start offset within a block, every stop position up to three
// blocks on, and every length that ends the buffer before, at or after the
// stop: `check(p, n, stop)` is called on each.
template <class Check>
void for_each_placement(unsigned char fill, unsigned char stop, Check check) {
  for (std::size_t offset = 0; offset < 16; ++offset) {
    for (std::size_t at = 0; at <= kSpan; ++at) {
      std::vector<unsigned char> buffer(offset + kSpan + 1, fill);
      buffer[offset + at] = stop;
      for (std::size_t n : {at, at + 1, kSpan + 1}) {
        check(buffer.data() + offset, n, at);
      }
    }
  }
}

// Bytes on both sides of each class's edges.
const std::string kSpaces = " \t\n\v\f\r";
const std::string kNotSpaces =
    std::string("\x08\x0e\x1f!a\x7f\x80\xff", 8) + std::string(1, '\0');
const std::string kDigits = "0123456789";
const std::string kNotDigits = std::string("/:.e x\xb0", 7) + '\0';

using run_scan = std::size_t (*)(const unsigned char*, std::size_t);

TEST(ByteScan, SpaceAndWordRunsAgreeAtEveryPlacement) {
  struct scan_case {
    const char* name;
    run_scan portable, best;
    const std::string &fills, &stops;
  };
  const scan_case cases[] = {
      {"space", byte_scan::portable::space_run, byte_scan::space_run, kSpaces,
       kNotSpaces},
      {"word", byte_scan::portable::word_run, byte_scan::word_run, kNotSpaces,
       kSpaces},
  };
  for (const scan_case& c : cases) {
    for (unsigned char fill : c.fills) {
      for (unsigned char stop : c.stops) {
        for_each_placement(fill, stop,
                           [&](auto* p, std::size_t n, std::size_t at) {
                             const std::size_t expected = n <= at ? n : at;
                             ASSERT_EQ(c.portable(p, n), expected) << c.name;
                             ASSERT_EQ(c.best(p, n), expected)
                                 << c.name << " " << int(fill) << " "
                                 << int(stop) << " " << at << " " << n;
                           });
      }
    }
  }
}

TEST(ByteScan, DigitRunsAgreeOnLengthAndOnNonZeroDigits) {
  for (unsigned char stop : kNotDigits) {
    for (unsigned char digit : kDigits) {
      // Zeros with one `digit` at `mark`: the run is non-zero exactly when
      // that digit is not 0 and lies inside the run.
      for (std::size_t mark = 0; mark < kSpan; mark += 5) {
        for_each_placement(
            '0', stop, [&](auto* p, std::size_t n, std::size_t at) {
              std::vector<unsigned char> copy(p, p + kSpan + 1);
              if (mark != at) copy[mark] = digit;
              const std::size_t length = n <= at ? n : at;
              const bool nonzero = digit != '0' && mark != at && mark < length;
              const byte_scan::digit_run portable =
                  byte_scan::portable::decimal_run(copy.data(), n);
              const byte_scan::digit_run best =
                  byte_scan::decimal_run(copy.data(), n);
              ASSERT_EQ(portable.length, length);
              ASSERT_EQ(portable.nonzero, nonzero);
              ASSERT_EQ(best.length, length) << int(stop) << " " << at;
              ASSERT_EQ(best.nonzero, nonzero)
                  << int(stop) << " " << digit << " " << mark << " " << at;
            });
      }
    }
  }
}

TEST(ByteScan, HexRunsTakeBothCases) {
  const std::string text = "09afAF0x";
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const byte_scan::digit_run run = byte_scan::hex_run(p, text.size());
  EXPECT_EQ(run.length, 7u);
  EXPECT_TRUE(run.nonzero);
  EXPECT_FALSE(byte_scan::hex_run(p, 1).nonzero);
}

}  // namespace
