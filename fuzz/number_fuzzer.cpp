// Differential fuzzer: the number reader against the C library's strtof on
// the same bytes. Both must take the same number of bytes and give the same
// value, bit for bit (any NaN equals any NaN).
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "number_grammar.h"

namespace {

// strtof also reads "nan(chars)"; that form is not part of our grammar, so
// the count of bytes taken is not compared after a "nan" followed by "(".
bool nan_with_payload(std::string_view text, std::size_t consumed) {
  return consumed >= 3 && consumed < text.size() && text[consumed] == '(' &&
         (text[consumed - 1] | 0x20) == 'n';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  // strtof stops at the first NUL; so does the grammar, as NUL is no part
  // of a number.
  const std::string_view view(text.c_str(), std::strlen(text.c_str()));
  const number_grammar::number_parse ours = number_grammar::parse_number(view);

  char* end = nullptr;
  const float theirs = std::strtof(text.c_str(), &end);
  const std::size_t their_count = static_cast<std::size_t>(end - text.c_str());

  if (!ours.found) {
    if (their_count != 0) std::abort();
    return 0;
  }
  if (nan_with_payload(view, ours.consumed)) {
    if (!std::isnan(theirs)) std::abort();
    return 0;
  }
  if (ours.consumed != their_count) std::abort();
  if (std::isnan(ours.value) || std::isnan(theirs)) {
    if (std::isnan(ours.value) != std::isnan(theirs)) std::abort();
  } else if (std::bit_cast<std::uint32_t>(ours.value) !=
             std::bit_cast<std::uint32_t>(theirs)) {
    std::abort();
  }
  return 0;
}
