#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>

#include "result_line.h"

namespace {

struct format_case {
  double value;
  const char* line;
};

constexpr double kInf = std::numeric_limits<double>::infinity();

const format_case kCases[] = {
    {12.566370614359172, "12.566371\n"},
    {-12.566370614359172, "-12.566371\n"},
    {2.25, "2.250000\n"},
    {0.0000004, "0.000000\n"},
    {-0.0000004, "-0.000000\n"},
    {0.0, "0.000000\n"},
    {-0.0, "-0.000000\n"},
    {1e20, "100000000000000000000.000000\n"},
    // Exactly halfway in binary: ties go to the even digit.
    {0.0078125, "0.007812\n"},
    {0.0234375, "0.023438\n"},
    {2.5e-7, "0.000000\n"},     // not a tie: the double is below 2.5e-7
    {0.0000005, "0.000000\n"},  // the double lies just below the half
    {0.0000015, "0.000002\n"},
    {kInf, "inf\n"},
    {-kInf, "-inf\n"},
    {std::numeric_limits<double>::denorm_min(), "0.000000\n"},
    {16777216.0, "16777216.000000\n"},
};

TEST(ResultLine, IsFixedNotationWithSixExactDecimals) {
  for (const format_case& c : kCases) {
    EXPECT_EQ(result_line(c.value), c.line) << c.value;
  }
}

TEST(ResultLine, WritesTheLargestDoubleInFull) {
  const std::string line = result_line(-std::numeric_limits<double>::max());
  EXPECT_EQ(line.size(), 1 + 309 + 1 + 6 + 1u);
  EXPECT_EQ(line.substr(0, 8), "-1797693");
  EXPECT_EQ(line.substr(line.size() - 8), ".000000\n");
}

TEST(ResultLine, NaNHasNoSignWhateverItsSignBit) {
  for (const std::uint64_t bits :
       {0x7FF8000000000000ull, 0xFFF8000000000000ull, 0x7FF0000000000001ull,
        0xFFFFFFFFFFFFFFFFull}) {
    EXPECT_EQ(result_line(std::bit_cast<double>(bits)), "nan\n") << bits;
  }
}

}  // namespace
