// The number reader and the result writer against the C library, on many
// generated inputs: strtof is correctly rounded in glibc, and printf's %f
// is exact.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "console_io.h"
#include "number_grammar.h"

namespace {

// Compares one text; returns false (and reports) on a difference.
bool agrees_with_strtof(const std::string& text) {
  const number_grammar::number_parse ours = number_grammar::parse_number(text);
  char* end = nullptr;
  const float theirs = std::strtof(text.c_str(), &end);
  const auto their_count = static_cast<std::size_t>(end - text.c_str());
  const std::size_t our_count = ours.found ? ours.consumed : 0;
  // strtof also takes "nan(chars)", which is no part of the grammar.
  const bool nan_payload = ours.found && std::isnan(ours.value) &&
                           our_count < text.size() && text[our_count] == '(';
  const bool same_value = std::isnan(theirs)
                              ? std::isnan(ours.value)
                              : std::bit_cast<std::uint32_t>(ours.value) ==
                                    std::bit_cast<std::uint32_t>(theirs);
  if ((nan_payload || our_count == their_count) &&
      (!ours.found || same_value)) {
    return true;
  }
  ADD_FAILURE() << "\"" << text << "\": took " << our_count << " bytes, bits "
                << std::bit_cast<std::uint32_t>(ours.value) << "; strtof took "
                << their_count << ", bits "
                << std::bit_cast<std::uint32_t>(theirs);
  return false;
}

// How many random cases a test tries: `full`, or a share of it where the
// environment variable SHAPECALC_TEST_SAMPLE_DIVISOR asks for fewer (as
// under an emulator, where each case costs a hundred times more).
int samples(int full) {
  const char* divisor = std::getenv("SHAPECALC_TEST_SAMPLE_DIVISOR");
  const int d = divisor != nullptr ? std::atoi(divisor) : 1;
  return d > 1 ? full / d : full;
}

// Texts on, just below and just above the midpoint between a random float
// and the next one up: where rounding twice, or too few digits, goes wrong.
TEST(Differential, ReaderMatchesStrtofNearMidpoints) {
  std::mt19937_64 rng(20261211);
  int failures = 0;
  for (int i = 0; i < samples(100'000) && failures < 10; ++i) {
    const auto bits = static_cast<std::uint32_t>(rng()) & 0x7F7FFFFFu;
    const float f = std::bit_cast<float>(bits);
    const float next = std::nextafter(f, INFINITY);
    // Exact in double: a float midpoint needs 25 significant bits.
    const double mid = (static_cast<double>(f) + static_cast<double>(next)) / 2;
    char exact[256];
    std::snprintf(exact, sizeof exact, "%.120e", mid);  // exact, zero padded
    std::string text = exact;
    const std::size_t e = text.find('e');
    const std::string mantissa = text.substr(0, e), exponent = text.substr(e);
    char shorter[64];
    std::snprintf(shorter, sizeof shorter, "%.9e", mid);
    for (const std::string& t :
         {mantissa + exponent, mantissa + "1" + exponent,
          mantissa.substr(0, mantissa.find_last_not_of('0') + 1) + exponent,
          std::string(shorter), "-" + mantissa + "0001" + exponent}) {
      failures += !agrees_with_strtof(t);
    }
    // The digit just before the exact tail lowered by one: below the half.
    std::string below = mantissa;
    const std::size_t last = below.find_last_not_of('0');
    if (below[last] > '0') {  // a digit, not the point
      --below[last];
      below += "9999999999";
      failures += !agrees_with_strtof(below + exponent);
    }
  }
}

// Random strings over the bytes the grammar cares about, plus a few it
// does not: the prefix taken and the value must be strtof's.
TEST(Differential, ReaderMatchesStrtofOnJunk) {
  static constexpr char kAlphabet[] =
      "0123456789012345678901234567890123456789..eEeE++--xXpPaAbBfF"
      "iInNtTyY \t\n\v\f\r(),_";
  std::mt19937_64 rng(42);
  int failures = 0;
  for (int i = 0; i < samples(300'000) && failures < 10; ++i) {
    std::string text(rng() % 24, ' ');
    for (char& c : text) c = kAlphabet[rng() % (sizeof kAlphabet - 1)];
    failures += !agrees_with_strtof(text);
  }
}

// Random bit patterns cover subnormals, huge values, both zeros and both
// infinities; NaNs must all read "nan".
TEST(Differential, WriterMatchesPrintfOnRandomDoubles) {
  std::mt19937_64 rng(7);
  char ours[console_io::kResultLineMax];
  char theirs[console_io::kResultLineMax];
  int failures = 0;
  for (int i = 0; i < samples(3'000'000) && failures < 10; ++i) {
    std::uint64_t bits = rng();
    if (i % 2 == 0) {  // every other one of a size people compute with
      bits = (bits & 0x800FFFFFFFFFFFFFull) |
             (static_cast<std::uint64_t>(1000 + rng() % 80) << 52);
    }
    const double value = std::bit_cast<double>(bits);
    const std::size_t n = console_io::format_result(value, ours);
    const std::string got(ours, n);
    std::string expected = "nan\n";
    if (!std::isnan(value)) {
      std::snprintf(theirs, sizeof theirs, "%.6f\n", value);
      expected = theirs;
    }
    if (got != expected) {
      ++failures;
      ADD_FAILURE() << "bits " << bits << ": \"" << got << "\" vs \""
                    << expected << "\"";
    }
  }
}

}  // namespace
