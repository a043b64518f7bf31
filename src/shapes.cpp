#include "shapes.h"

#include <array>
#include <bit>
#include <cstdint>

#include "float_width.h"

namespace shapes {

namespace {

// The double nearest to pi, and exactly twice it.
constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
static_assert(std::bit_cast<std::uint64_t>(kPi) == 0x400921FB54442D18);
static_assert(std::bit_cast<std::uint64_t>(kTwoPi) == 0x401921FB54442D18);

// Each formula rounds once per operation, in the order written: the circle
// in double precision on the widened radius, the square and the cuboid in
// single precision. The order and the width show in the printed digits
// (3.3 squared is 10.889999), so neither may be "improved"; float_width.h
// keeps every machine to them.
using float_width::add;
using float_width::mul;

double circle_area(const dimensions& d) {
  const double r = d[0];
  return mul(mul(r, kPi), r);
}

double circle_circumference(const dimensions& d) {
  return mul(kTwoPi, static_cast<double>(d[0]));
}

double square_area(const dimensions& d) { return mul(d[0], d[0]); }

double square_perimeter(const dimensions& d) { return mul(4.0f, d[0]); }

double cuboid_volume(const dimensions& d) {
  const float w = d[0], l = d[1], h = d[2];
  return mul(mul(w, l), h);
}

// 2wl + 2lh + 2hw, each term a doubled dimension times the next one,
// summed left to right.
double cuboid_surface(const dimensions& d) {
  const float w = d[0], l = d[1], h = d[2];
  const float a = mul(add(w, w), l);
  const float b = mul(add(l, l), h);
  const float c = mul(add(h, h), w);
  return add(add(a, b), c);
}

constexpr std::array<std::string_view, 1> kCirclePrompts{
    "Enter radius of the circle: \n"};
constexpr std::array<attribute, 2> kCircleAttributes{{
    {"area", circle_area},
    {"circumference", circle_circumference},
}};

constexpr std::array<std::string_view, 1> kSquarePrompts{
    "Enter width of the square: \n"};
constexpr std::array<attribute, 2> kSquareAttributes{{
    {"area", square_area},
    {"perimeter", square_perimeter},
}};

constexpr std::array<std::string_view, 3> kCuboidPrompts{
    "Enter width of the cuboid: \n",
    "Enter length of the cuboid: \n",
    "Enter height of the cuboid: \n",
};
constexpr std::array<attribute, 2> kCuboidAttributes{{
    {"volume", cuboid_volume},
    {"surface", cuboid_surface},
}};

// The shapes, in the order the shape word is compared with them.
constexpr std::array<shape, 3> kCatalogue{{
    {"circle", kCirclePrompts, kCircleAttributes},
    {"square", kSquarePrompts, kSquareAttributes},
    {"cuboid", kCuboidPrompts, kCuboidAttributes},
}};

static_assert([] {
  for (const shape& s : kCatalogue) {
    if (s.prompts.size() > kMaxDimensions) return false;
  }
  return true;
}());

// Byte-for-byte equality, by hand: string_view's == calls the C library's
// memcmp, whose first use in a run costs a page fault and a symbol lookup
// that are worth more than these few bytes.
bool same_bytes(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

}  // namespace

const shape* find_shape(std::string_view keyword) {
  for (const shape& s : kCatalogue) {
    if (same_bytes(s.keyword, keyword)) return &s;
  }
  return nullptr;
}

double attribute::compute(const dimensions& d) const {
  [[maybe_unused]] const float_width::precision_scope scope;
  return formula(d);
}

const attribute* find_attribute(const shape& s, std::string_view keyword) {
  for (const attribute& a : s.attributes) {
    if (same_bytes(a.keyword, keyword)) return &a;
  }
  return nullptr;
}

}  // namespace shapes
