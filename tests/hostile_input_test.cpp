// Input that ends anywhere, or is far larger than anything sensible: each
// run must still give the right answer or the right refusal, in memory
// that does not grow with the input.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support.h"

namespace {

using support::kCuboidQs;
using support::kRadiusQ;
using support::kWidthQ;
using support::kWords;

// The outcome of a dialogue cut short anywhere within a range of bytes.
// "{}" stands for the input's last word, which the cut may have shortened.
struct cut_outcome {
  std::size_t first, last;  // the cuts, as byte counts, both included
  std::string output;
  int status;
};

struct cut_dialogue {
  std::string dialogue;
  std::vector<cut_outcome> outcomes;
};

std::string last_word(const std::string& input) {
  std::size_t end = input.size();
  while (end > 0 && support::is_space(input[end - 1])) --end;
  std::size_t start = end;
  while (start > 0 && !support::is_space(input[start - 1])) --start;
  return input.substr(start, end - start);
}

TEST(HostileInput, EndOfInputAtEveryByte) {
  const std::string shape_refused = kWords + "Shape `{}` does not exist!\n";
  const std::string no_attribute = "Attribute `` does not exist!\n";
  const std::string attribute_refused = "Attribute `{}` does not exist!\n";
  const cut_dialogue dialogues[] = {
      {"circle area 2\n",
       {{0, 0, kWords + "Shape `` does not exist!\n", 1},
        {1, 5, shape_refused, 1},
        {6, 7, kWords + kRadiusQ + no_attribute, 1},
        {8, 10, kWords + kRadiusQ + attribute_refused, 1},
        {11, 12, kWords + kRadiusQ + "nan\n", 0},
        {13, 14, kWords + kRadiusQ + "12.566371\n", 0}}},
      {"cuboid surface 2 3 4\n",
       {{0, 0, kWords + "Shape `` does not exist!\n", 1},
        {1, 5, shape_refused, 1},
        {6, 7, kWords + kCuboidQs + no_attribute, 1},
        {8, 13, kWords + kCuboidQs + attribute_refused, 1},
        {14, 19, kWords + kCuboidQs + "nan\n", 0},
        {20, 21, kWords + kCuboidQs + "52.000000\n", 0}}},
      {"square perimeter 1e+1\n",
       {{0, 0, kWords + "Shape `` does not exist!\n", 1},
        {1, 5, shape_refused, 1},
        {6, 7, kWords + kWidthQ + no_attribute, 1},
        {8, 15, kWords + kWidthQ + attribute_refused, 1},
        {16, 17, kWords + kWidthQ + "nan\n", 0},
        {18, 20, kWords + kWidthQ + "4.000000\n", 0},
        {21, 22, kWords + kWidthQ + "40.000000\n", 0}}},
  };
  for (const cut_dialogue& d : dialogues) {
    std::size_t next_cut = 0;
    for (const cut_outcome& o : d.outcomes) {
      ASSERT_EQ(o.first, next_cut) << "the rows must cover every cut";
      next_cut = o.last + 1;
      for (std::size_t cut = o.first; cut <= o.last; ++cut) {
        const std::string input = d.dialogue.substr(0, cut);
        SCOPED_TRACE("input: \"" + input + "\"");
        std::string expected = o.output;
        if (const std::size_t at = expected.find("{}");
            at != std::string::npos) {
          expected.replace(at, 2, last_word(input));
        }
        const support::result r = support::run(input);
        EXPECT_EQ(r.out, expected);
        EXPECT_EQ(r.status, o.status);
        EXPECT_EQ(r.err, "");
      }
    }
    EXPECT_EQ(next_cut, d.dialogue.size() + 1);
  }
}

// An input file built from repeated pieces, without holding it in memory.
struct piece {
  std::string text;
  std::size_t times = 1;
};

int file_of(const std::vector<piece>& pieces) {
  const int fd = memfd_create("shapecalc-huge", 0);
  for (const piece& p : pieces) {
    const std::size_t per_chunk = p.times < 65536 ? p.times : 65536;
    std::string chunk;
    for (std::size_t i = 0; i < per_chunk; ++i) chunk += p.text;
    for (std::size_t done = 0; done < p.times; done += per_chunk) {
      const std::size_t n =
          (p.times - done < per_chunk ? p.times - done : per_chunk) *
          p.text.size();
      if (write(fd, chunk.data(), n) != static_cast<ssize_t>(n)) return -1;
    }
  }
  lseek(fd, 0, SEEK_SET);
  return fd;
}

#ifndef SHAPECALC_SANITIZED
// Peak resident memory allowed to a run, whatever its input: the C
// library and the program's fixed buffers need about 1.5 MiB.
constexpr long kPeakRssBoundKib = 4L * 1024;
#endif

TEST(HostileInput, HugeInputsInFlatMemory) {
  constexpr std::size_t MiB = 1 << 20;
  const std::string quoted = std::string(255, 'w') + "...";
  struct huge_case {
    const char* what;
    std::vector<piece> input;
    std::string output;
    int status;
  };
  const huge_case cases[] = {
      {"200 MiB of white space",
       {{" \t\n\v\f\r", 200 * MiB / 6}, {"circle area 2"}},
       kWords + "Enter radius of the circle: \n12.566371\n",
       0},
      {"a 50 MiB number",
       {{"square perimeter 0."}, {"0", 50 * MiB}, {"25e52428801"}},
       kWords + "Enter width of the square: \n10.000000\n",
       0},
      {"a 50 MiB number too large for a float",
       {{"circle area "}, {"9", 50 * MiB}},
       kWords + "Enter radius of the circle: \ninf\n",
       0},
      {"a 100 MiB shape word",
       {{"w", 100 * MiB}, {" area 2"}},
       kWords + "Shape `" + quoted + "` does not exist!\n",
       1},
      {"a 100 MiB attribute word",
       {{"cuboid "}, {"w", 100 * MiB}, {" 1 2 3"}},
       kWords +
           "Enter width of the cuboid: \nEnter length of the cuboid: \n"
           "Enter height of the cuboid: \nAttribute `" +
           quoted + "` does not exist!\n",
       1},
  };
  for (const huge_case& c : cases) {
    SCOPED_TRACE(c.what);
    const int in = file_of(c.input);
    ASSERT_GE(in, 0);
    // Under an emulator the memory measured would be the emulator's.
    const bool measure = support::runs_natively();
    const support::result r = support::run_with(in, {.measure = measure});
    close(in);
    EXPECT_EQ(r.out, c.output);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, "");
#ifndef SHAPECALC_SANITIZED
    if (measure) {
      EXPECT_GT(r.peak_rss_kib, 0);
      EXPECT_LE(r.peak_rss_kib, kPeakRssBoundKib);
    }
#endif
  }
}

}  // namespace
