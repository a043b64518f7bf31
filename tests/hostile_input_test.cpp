// Input that ends anywhere, or is far larger than anything sensible: each
// run must still give the right answer or the right refusal, in memory
// that does not grow with the input.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "console_io.h"
#include "run_shapecalc.h"
#include "shapes.h"

namespace {

const std::string kWords =
    "Enter what shape you want to calc: \n"
    "Enter what attribute you want to calc: \n";

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::vector<std::string> split(const std::string& input) {
  std::vector<std::string> tokens;
  std::string current;
  for (char c : input + " ") {
    if (!is_space(c)) {
      current += c;
    } else if (!current.empty()) {
      tokens.push_back(current);
      current.clear();
    }
  }
  return tokens;
}

// What a run on a short, well-spaced input must print: missing words are
// empty, missing dimensions NaN.
std::string expected_output(const std::string& input, int& status) {
  const std::vector<std::string> t = split(input);
  auto token = [&](std::size_t i) { return i < t.size() ? t[i] : ""; };
  std::string out = kWords;
  const shapes::shape* shape = shapes::find_shape(token(0));
  if (shape == nullptr) {
    status = 1;
    return out + "Shape `" + token(0) + "` does not exist!\n";
  }
  shapes::dimensions dims{};
  for (std::size_t i = 0; i < shape->prompts.size(); ++i) {
    out += shape->prompts[i];
    dims[i] = i + 2 < t.size() ? console_io::parse_number(t[i + 2]).value
                               : std::numeric_limits<float>::quiet_NaN();
  }
  const shapes::attribute* attribute = shapes::find_attribute(*shape, token(1));
  if (attribute == nullptr) {
    status = 1;
    return out + "Attribute `" + token(1) + "` does not exist!\n";
  }
  status = 0;
  char line[console_io::kResultLineMax];
  return out + std::string(line, console_io::format_result(
                                     attribute->compute(dims), line));
}

TEST(HostileInput, EndOfInputAtEveryByte) {
  for (const std::string dialogue :
       {"cuboid surface 2 3 4\n", "circle area 2\n",
        "square perimeter 1e+1\n"}) {
    for (std::size_t cut = 0; cut <= dialogue.size(); ++cut) {
      const std::string input = dialogue.substr(0, cut);
      SCOPED_TRACE("input: \"" + input + "\"");
      int status = -1;
      const std::string expected = expected_output(input, status);
      const run_shapecalc::result r = run_shapecalc::run(input);
      EXPECT_EQ(r.out, expected);
      EXPECT_EQ(r.status, status);
      EXPECT_EQ(r.err, "");
    }
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
    const run_shapecalc::result r =
        run_shapecalc::run_with(in, {.measure = true});
    close(in);
    EXPECT_EQ(r.out, c.output);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, "");
#ifndef SHAPECALC_SANITIZED
    EXPECT_GT(r.peak_rss_kib, 0);
    EXPECT_LE(r.peak_rss_kib, kPeakRssBoundKib);
#endif
  }
}

}  // namespace
