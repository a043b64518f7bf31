#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "number_grammar.h"

namespace {

using number_grammar::parse_number;

constexpr std::uint32_t kNaN = 0x7FC00000;      // any NaN, sign ignored
constexpr std::size_t kNone = ~std::size_t{0};  // no number found

struct number_case {
  std::string text;
  std::size_t consumed;  // kNone: nothing found
  std::uint32_t bits;
};

void expect_parses(const number_case& c) {
  const number_grammar::number_parse r = parse_number(c.text);
  SCOPED_TRACE("text: \"" + c.text.substr(0, 60) + "\"");
  if (c.consumed == kNone) {
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.consumed, 0u);
    EXPECT_TRUE(std::isnan(r.value));
    return;
  }
  EXPECT_TRUE(r.found);
  EXPECT_EQ(r.consumed, c.consumed);
  if (c.bits == kNaN) {
    EXPECT_TRUE(std::isnan(r.value));
  } else {
    EXPECT_EQ(std::bit_cast<std::uint32_t>(r.value), c.bits);
  }
}

TEST(NumberReader, TakesTheLongestPrefixThatFormsANumber) {
  const number_case cases[] = {
      {"2", 1, 0x40000000},
      {"-2", 2, 0xC0000000},
      {"+2.5", 4, 0x40200000},
      {"1e1", 3, 0x41200000},
      {"1E+5", 4, 0x47C35000},
      {"5.", 2, 0x40A00000},
      {"5.e2", 4, 0x43FA0000},
      {"+.5", 3, 0x3F000000},
      {"-0", 2, 0x80000000},
      {"0.0000", 6, 0x00000000},
      {" \t\n\v\f\r7", 7, 0x40E00000},
      {"0x1p3", 5, 0x41000000},
      {"0X.8", 4, 0x3F000000},
      {"0x1.8p1", 7, 0x40400000},
      {"-0xAbP-4", 8, 0xC12B0000},
      {"INF", 3, 0x7F800000},
      {"Infinity", 8, 0x7F800000},
      {"-inFINity", 9, 0xFF800000},
      {"nan", 3, kNaN},
      {"-NaN", 4, kNaN},
      {"1e39", 4, 0x7F800000},
      {"-1e39", 5, 0xFF800000},
      // Where the prefix ends, the rest stays unread.
      {"1e", 1, 0x3F800000},
      {"1e+", 1, 0x3F800000},
      {"1e-x", 1, 0x3F800000},
      {"1,5", 1, 0x3F800000},
      {"2.5.5", 3, 0x40200000},
      {"0x", 1, 0x00000000},
      {"0x.", 1, 0x00000000},
      {"0x.p1", 1, 0x00000000},
      {"0xg", 1, 0x00000000},
      {"0x1p", 3, 0x3F800000},
      {"0x1p-", 3, 0x3F800000},
      {"0x1e3", 5, 0x43F18000},  // e is a hexadecimal digit
      {"infinit", 3, 0x7F800000},
      {"infx", 3, 0x7F800000},
      {"nan(123)", 3, kNaN},
      {"3abc", 1, 0x40400000},
      // No number: nothing is taken, not even the sign.
      {"", kNone, 0},
      {"   ", kNone, 0},
      {".", kNone, 0},
      {"+", kNone, 0},
      {"-x", kNone, 0},
      {"-.e1", kNone, 0},
      {"e5", kNone, 0},
      {"in", kNone, 0},
      {"na", kNone, 0},
      {"x1", kNone, 0},
      {"+-1", kNone, 0},
  };
  for (const number_case& c : cases) expect_parses(c);
}

TEST(NumberReader, RoundsOnceToNearestEven) {
  const number_case cases[] = {
      // 2^24 + 1 lies halfway between two floats.
      {"16777217", 8, 0x4B800000},
      {"16777219", 8, 0x4B800002},
      {"16777217.000000000000000000000000000001", 39, 0x4B800001},
      // Just above the midpoint 1 + 2^-24. Rounding to double first lands
      // exactly on the midpoint, and then to float goes down: wrong.
      {"1.0000000596046447753906250001", 30, 0x3F800001},
      {"1.000000059604644775390625", 26, 0x3F800000},
      {"0x1.000001p0", 12, 0x3F800000},
      {"0x1.000003p0", 12, 0x3F800002},
      // Subnormals and the ends of the range.
      {"1.4e-45", 7, 0x00000001},
      {"7e-46", 5, 0x00000000},
      {"7.1e-46", 7, 0x00000001},
      {"0x1p-149", 8, 0x00000001},
      {"0x1p-150", 8, 0x00000000},
      {"0x3p-151", 8, 0x00000001},
      {"1.17549421e-38", 14, 0x007FFFFF},
      {"3.4028235e38", 12, 0x7F7FFFFF},
      {"3.40282356779733661637539395458142568447e38", 43, 0x7F7FFFFF},
      {"3.40282356779733661637539395458142568448e38", 43, 0x7F800000},
      {"1e-9223372036854775809", 22, 0x00000000},
      {"1e9223372036854775809", 21, 0x7F800000},
  };
  for (const number_case& c : cases) expect_parses(c);
}

TEST(NumberReader, ReadsDigitStringsOfAnyLength) {
  const std::string zeros(2'000'000, '0');
  const number_case cases[] = {
      {"0." + zeros + "1e2000010", zeros.size() + 11, 0x4E6E6B28},  // 1e9
      {"1" + zeros + "e-2000000", zeros.size() + 10, 0x3F800000},
      {"-" + zeros + "2", zeros.size() + 2, 0xC0000000},
      // A midpoint followed by a million zeros stays a midpoint; anything
      // non-zero at the very end decides it.
      {"16777217." + zeros, zeros.size() + 9, 0x4B800000},
      {"16777217." + zeros + "1", zeros.size() + 10, 0x4B800001},
      {"16777217" + zeros + "1e-2000001", zeros.size() + 18, 0x4B800001},
      {std::string(1'000'000, '9') + "e-999999", 1'000'008, 0x41200000},
      {"0x1.000001" + zeros + "1p0", zeros.size() + 13, 0x3F800001},
      {"0x" + zeros + "1p-4", zeros.size() + 6, 0x3D800000},
  };
  for (const number_case& c : cases) expect_parses(c);
}

// Digits past those kept are scanned sixteen at a time; a single non-zero
// digit anywhere among them, on either side of a block edge, must count.
TEST(NumberReader, FindsTheStickyDigitAnywhere) {
  const std::string kept = "16777217." + std::string(250, '0');
  for (std::size_t before = 0; before < 40; ++before) {
    for (std::size_t after = 0; after < 40; after += 3) {
      const std::string zeros_around =
          kept + std::string(before, '0') + "%" + std::string(after, '0');
      std::string with_one = zeros_around, all_zero = zeros_around;
      with_one[kept.size() + before] = '1';
      all_zero[kept.size() + before] = '0';
      // The run ends at the end of the text, or in a block of its own,
      // where the block scan must still remember the blocks before it.
      for (const std::string trailer :
           {"", " and more words to fill a block"}) {
        expect_parses({with_one + trailer, with_one.size(), 0x4B800001});
        expect_parses({all_zero + trailer, all_zero.size(), 0x4B800000});
      }
    }
  }
}

// Public decimal-to-binary test vectors: every string must give the
// float32 bits of its line.
TEST(NumberReader, AgreesWithPublicTestVectors) {
  std::size_t checked = 0;
  for (const char* name :
       {"freetype-2-7.txt", "google-wuffs.txt", "lemire-fast-float.txt",
        "more-test-cases.txt", "tencent-rapidjson.txt"}) {
    std::ifstream file(std::string(SHAPECALC_TESTDATA) + "/parse-number-fxx/" +
                       name);
    ASSERT_TRUE(file) << name;
    std::string line;
    int mismatches = 0;
    while (std::getline(file, line)) {
      ASSERT_GT(line.size(), 64u) << name << ": " << line;
      const std::uint32_t expected = static_cast<std::uint32_t>(
          std::stoul(line.substr(5, 8), nullptr, 16));
      const std::string text = line.substr(64);
      const number_grammar::number_parse r = parse_number(text);
      ++checked;
      if (r.found && r.consumed == text.size() &&
          std::bit_cast<std::uint32_t>(r.value) == expected) {
        continue;
      }
      if (++mismatches <= 10) {
        ADD_FAILURE() << name << ": " << text << " gives "
                      << std::bit_cast<std::uint32_t>(r.value) << " after "
                      << r.consumed << " bytes, expected " << expected;
      }
    }
    EXPECT_EQ(mismatches, 0) << name;
  }
  EXPECT_EQ(checked, 21232u);
}

}  // namespace
