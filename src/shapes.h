// The shapes shapecalc knows: the questions each one asks, the quantities
// it offers, and how each quantity is computed, down to the precision of
// every operation. Fixed data and pure functions; nothing here does I/O.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace shapes {

inline constexpr std::size_t kMaxDimensions = 3;

// The dimensions of a shape, in the order they are asked for.
using dimensions = float[kMaxDimensions];

struct attribute {
  std::string_view keyword;
  double (*formula)(const dimensions& d);

  // The quantity, widened to double for the result line, rounded exactly
  // as written on every machine.
  double compute(const dimensions& d) const;
};

struct shape {
  std::string_view keyword;
  std::span<const std::string_view> prompts;  // one per dimension
  std::span<const attribute> attributes;      // in the order compared
};

// The first entry whose keyword equals `keyword` byte for byte, or null.
const shape* find_shape(std::string_view keyword);
const attribute* find_attribute(const shape& s, std::string_view keyword);

}  // namespace shapes
