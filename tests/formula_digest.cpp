// Digests of the formulas over many dimensions, for comparing machines: the
// same digest means the same result bits for every input tried.
//
//   formula_digest one STRIDE    circle area and circumference, square area
//                                and perimeter, for every STRIDE-th of the
//                                2^32 bit patterns of the dimension
//   formula_digest cuboid COUNT  cuboid volume and surface for COUNT
//                                triples of bit patterns from a fixed
//                                generator
//
// Each result is folded in as its bits, with every NaN as one NaN (the
// result line reads "nan" whatever the payload, and machines differ in the
// payload they produce). The work is split into 256 chunks, in two threads;
// the chunks' digests are folded in order, so the digest does not depend on
// the split.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "platform.h"
#include "shapes.h"

namespace {

std::uint64_t fold(std::uint64_t h, std::uint64_t x) {
  return (std::rotl(h, 5) ^ x) * 0x9E3779B97F4A7C15ull;
}

std::uint64_t result_bits(double r) {
  return std::isnan(r) ? 0x7FF8000000000000ull
                       : std::bit_cast<std::uint64_t>(r);
}

// splitmix64: a small generator whose sequence is fixed everywhere.
std::uint64_t mix(std::uint64_t i) {
  std::uint64_t z = i * 0x9E3779B97F4A7C15ull + 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

struct quantity {
  const char* shape;
  const char* attribute;
  const shapes::attribute* formula = nullptr;
};

constexpr int kChunks = 256;

// digests[q][c]: quantity q over chunk c.
using chunk_digests = std::vector<std::vector<std::uint64_t>>;

template <class Dims>
void run_chunks(std::vector<quantity>& qs, std::uint64_t count, Dims dims_of,
                chunk_digests& digests) {
  for (quantity& q : qs) {
    const shapes::shape* s = shapes::find_shape(q.shape);
    q.formula =
        s != nullptr ? shapes::find_attribute(*s, q.attribute) : nullptr;
    if (q.formula == nullptr) std::abort();
  }
  digests.assign(qs.size(), std::vector<std::uint64_t>(kChunks));
  auto work = [&](int first) {
    for (int c = first; c < kChunks; c += 2) {
      std::vector<std::uint64_t> h(qs.size(), 0);
      const std::uint64_t begin = count * c / kChunks;
      const std::uint64_t end = count * (c + 1) / kChunks;
      for (std::uint64_t i = begin; i < end; ++i) {
        shapes::dimensions d = {};
        dims_of(i, d);
        for (std::size_t q = 0; q < qs.size(); ++q) {
          h[q] = fold(h[q], result_bits(qs[q].formula->compute(d)));
        }
      }
      for (std::size_t q = 0; q < qs.size(); ++q) digests[q][c] = h[q];
    }
  };
  std::thread other(work, 1);
  work(0);
  other.join();
}

void print(const std::vector<quantity>& qs, const chunk_digests& digests) {
  for (std::size_t q = 0; q < qs.size(); ++q) {
    std::uint64_t h = 0;
    for (std::uint64_t d : digests[q]) h = fold(h, d);
    std::printf("%s %s %016llx\n", qs[q].shape, qs[q].attribute,
                static_cast<unsigned long long>(h));
  }
}

}  // namespace

int main(int argc, char** argv) {
  platform::use_binary_standard_streams();  // the same lines everywhere
  if (argc != 3) {
    std::fprintf(stderr, "usage: formula_digest one STRIDE | cuboid COUNT\n");
    return 2;
  }
  const std::uint64_t n = std::strtoull(argv[2], nullptr, 10);
  chunk_digests digests;
  if (std::strcmp(argv[1], "one") == 0 && n > 0) {
    std::vector<quantity> qs = {{"circle", "area"},
                                {"circle", "circumference"},
                                {"square", "area"},
                                {"square", "perimeter"}};
    const std::uint64_t count = ((std::uint64_t{1} << 32) + n - 1) / n;
    run_chunks(
        qs, count,
        [n](std::uint64_t i, shapes::dimensions& d) {
          d[0] = std::bit_cast<float>(static_cast<std::uint32_t>(i * n));
        },
        digests);
    print(qs, digests);
    return 0;
  }
  if (std::strcmp(argv[1], "cuboid") == 0) {
    std::vector<quantity> qs = {{"cuboid", "volume"}, {"cuboid", "surface"}};
    run_chunks(
        qs, n,
        [](std::uint64_t i, shapes::dimensions& d) {
          const std::uint64_t a = mix(2 * i), b = mix(2 * i + 1);
          const std::uint32_t bits[3] = {static_cast<std::uint32_t>(a),
                                         static_cast<std::uint32_t>(a >> 32),
                                         static_cast<std::uint32_t>(b)};
          for (int k = 0; k < 3; ++k) {
            std::uint32_t x = bits[k];
            // Every other triple of a size people compute with (2^-27 to
            // 2^27), where products neither overflow nor vanish.
            if (i % 2 == 0)
              x = (x & 0x807FFFFFu) | ((100u + (x >> 24) % 55u) << 23);
            d[k] = std::bit_cast<float>(x);
          }
        },
        digests);
    print(qs, digests);
    return 0;
  }
  std::fprintf(stderr, "usage: formula_digest one STRIDE | cuboid COUNT\n");
  return 2;
}
