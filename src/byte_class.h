// The byte classes of the input: white space, decimal and hexadecimal
// digits, and ASCII case folding. Plain functions of one byte, shared by
// the bulk scans and the number grammar.
#pragma once

namespace byte_class {

// The six white-space characters of the C locale: blank and \t \n \v \f \r.
constexpr bool is_space(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

constexpr bool is_word_byte(int c) { return !is_space(c); }

constexpr bool is_digit(int c) { return c >= '0' && c <= '9'; }

// The value of a hexadecimal digit, or -1 for any other byte.
constexpr int hex_value(int c) {
  if (is_digit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

constexpr bool is_hex_digit(int c) { return hex_value(c) >= 0; }

// ASCII lower case for letters; other bytes, and -1 for the end, unchanged.
constexpr int to_lower(int c) {
  return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

}  // namespace byte_class
