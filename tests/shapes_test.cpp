#include "shapes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "result_line.h"

namespace {

struct formula_case {
  const char* shape;
  const char* attribute;
  shapes::dimensions dims;
  const char* line;
};

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Cases where the width or the order of the arithmetic shows in the digits
// are marked: computing them any other way prints something else.
const formula_case kFormulaCases[] = {
    {"circle", "area", {2}, "12.566371\n"},
    {"circle", "circumference", {2}, "12.566371\n"},
    {"circle", "area", {1}, "3.141593\n"},
    {"circle", "circumference", {1}, "6.283185\n"},
    {"square", "area", {1.5f}, "2.250000\n"},
    {"square", "perimeter", {1.5f}, "6.000000\n"},
    {"square", "perimeter", {2.5f}, "10.000000\n"},
    {"cuboid", "volume", {2, 3, 4}, "24.000000\n"},
    {"cuboid", "surface", {2, 3, 4}, "52.000000\n"},
    // single precision
    {"square", "area", {3.3f}, "10.889999\n"},
    {"square", "area", {2.1f}, "4.409999\n"},
    {"square", "area", {4097}, "16785408.000000\n"},
    {"cuboid", "volume", {257, 257, 257}, "16974592.000000\n"},
    {"square", "perimeter", {1e38f}, "inf\n"},
    {"square", "area", {1e20f}, "inf\n"},
    // order of operations
    {"cuboid", "volume", {0.1f, 4.3f, 8.1f}, "3.483001\n"},
    {"cuboid", "surface", {0.1f, 0.3f, 8.3f}, "6.700001\n"},
    {"circle", "area", {3863}, "46881261.461617\n"},
    // double precision on the single-precision radius
    {"circle", "area", {3.3f}, "34.211943\n"},
    {"circle", "area", {4097}, "52732917.601900\n"},
    {"circle",
     "area",
     {1e20f},
     "31415927795103401791948557623369211576320.000000\n"},
    // Radii where rounding each double product twice (to the x87's 64-bit
    // significand, then to 53 bits) prints other digits; found with exact
    // arithmetic by tools/double_rounding_radii.py 3.
    {"circle", "circumference", {2.8716598e+13f}, "180431706842125.343750\n"},
    {"circle", "area", {1.0877693e+09f}, "3717264832494054912.000000\n"},
    {"circle",
     "area",
     {1.2700742e+15f},
     "5067666693194969623564721848320.000000\n"},
    {"circle", "area", {9.3220506e+08f}, "2730063702546149888.000000\n"},
    {"circle", "circumference", {9.622403e+13f}, "604593398105295.875000\n"},
    {"circle", "circumference", {6.426466e+16f}, "403786763381086784.000000\n"},
    // values are not validated
    {"circle", "area", {-2}, "12.566371\n"},
    {"circle", "circumference", {-2}, "-12.566371\n"},
    {"circle", "area", {0}, "0.000000\n"},
    {"circle", "circumference", {0}, "0.000000\n"},
    {"circle", "area", {kInf}, "inf\n"},
    {"circle", "area", {kNaN}, "nan\n"},
    {"square", "perimeter", {-kNaN}, "nan\n"},
    {"cuboid", "surface", {1, kNaN, 1}, "nan\n"},
    {"circle", "circumference", {-kInf}, "-inf\n"},
};

TEST(Formulas, GiveTheDigitsOfTheirWidthAndOrder) {
  for (const formula_case& c : kFormulaCases) {
    SCOPED_TRACE(std::string(c.shape) + " " + c.attribute + " " +
                 std::to_string(c.dims[0]));
    const shapes::shape* s = shapes::find_shape(c.shape);
    ASSERT_NE(s, nullptr);
    const shapes::attribute* a = shapes::find_attribute(*s, c.attribute);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(result_line(a->compute(c.dims)), c.line);
  }
}

TEST(Catalogue, MatchesWholeKeywordsOfTheRightShapeOnly) {
  using namespace std::string_view_literals;
  for (const auto word : {"Circle"sv, "cube"sv, "circles"sv, "circl"sv, ""sv,
                          "circle\0"sv, " circle"sv, "area"sv}) {
    EXPECT_EQ(shapes::find_shape(word), nullptr) << word;
  }
  const shapes::shape* circle = shapes::find_shape("circle");
  const shapes::shape* cuboid = shapes::find_shape("cuboid");
  ASSERT_NE(circle, nullptr);
  ASSERT_NE(cuboid, nullptr);
  EXPECT_EQ(shapes::find_attribute(*circle, "volume"), nullptr);
  EXPECT_EQ(shapes::find_attribute(*circle, "perimeter"), nullptr);
  EXPECT_EQ(shapes::find_attribute(*circle, "Area"), nullptr);
  EXPECT_EQ(shapes::find_attribute(*cuboid, "area"), nullptr);
  EXPECT_EQ(shapes::find_attribute(*cuboid, "surface\0"sv), nullptr);
}

}  // namespace
