// The number grammar over a plain string, for callers that hold the text.
#include "number_grammar.h"

namespace number_grammar {

namespace {

class text_cursor {
 public:
  explicit text_cursor(std::string_view text) : text_(text) {}
  int peek(std::size_t ahead) const {
    return pos_ + ahead < text_.size()
               ? static_cast<unsigned char>(text_[pos_ + ahead])
               : -1;
  }
  std::string_view available() const {
    return {text_.data() + pos_, text_.size() - pos_};
  }
  void skip(std::size_t count) { pos_ += count; }
  std::size_t position() const { return pos_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

number_parse parse_number(std::string_view text) {
  text_cursor in(text);
  while (byte_class::is_space(in.peek(0))) in.skip(1);
  const number_scan scan = scan_number(in);
  if (!scan.found) return {};
  return {scan.value, in.position(), true};
}

}  // namespace number_grammar
