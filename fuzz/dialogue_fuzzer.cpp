// The whole dialogue on arbitrary standard-input bytes, in-process. Besides
// the sanitizers' checks, the output must be exactly the prompts, then the
// refusal or the result that the words of the input call for.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "console_io.h"
#include "dialogue.h"
#include "shapes.h"
#include "support.h"

namespace {

// The first `count` words of the input, as the dialogue quotes them.
std::vector<std::string> first_words(std::string_view in, std::size_t count) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (words.size() < count) {
    while (i < in.size() &&
           support::is_space(static_cast<unsigned char>(in[i])))
      ++i;
    const std::size_t start = i;
    while (i < in.size() &&
           !support::is_space(static_cast<unsigned char>(in[i])))
      ++i;
    std::string w(in.substr(start, i - start));
    if (w.size() > console_io::kWordCapacity) {
      w.resize(console_io::kWordCapacity);
      w += "...";
    }
    words.push_back(w);
  }
  return words;
}

bool is_result_line(std::string_view s) {
  if (s == "nan\n" || s == "inf\n" || s == "-inf\n") return true;
  if (!s.empty() && s.front() == '-') s.remove_prefix(1);
  const std::size_t point = s.find('.');
  if (point == 0 || point == std::string_view::npos) return false;
  if (s.size() != point + 8 || s.back() != '\n') return false;
  for (std::size_t i = 0; i + 1 < s.size(); ++i) {
    if (i != point && (s[i] < '0' || s[i] > '9')) return false;
  }
  return true;
}

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const int in = support::file_with(input);
  const int out = support::file_with("");
  const int err = support::file_with("");
  static console_io::console_buffers buffers;
  console_io::console io({in, out, err}, buffers);
  const int status = dialogue::run(io);
  const std::string output = support::contents(out);
  check(support::contents(err).empty());
  close(in);
  close(out);
  close(err);

  const std::vector<std::string> words = first_words(input, 2);
  std::string_view rest(output);
  auto expect = [&](std::string_view text) {
    check(rest.substr(0, text.size()) == text);
    rest.remove_prefix(text.size());
  };
  expect("Enter what shape you want to calc: \n");
  expect("Enter what attribute you want to calc: \n");
  const shapes::shape* shape = shapes::find_shape(words[0]);
  if (shape == nullptr) {
    check(status == 1);
    expect("Shape `" + words[0] + "` does not exist!\n");
    check(rest.empty());
    return 0;
  }
  for (std::string_view prompt : shape->prompts) expect(prompt);
  if (shapes::find_attribute(*shape, words[1]) == nullptr) {
    check(status == 1);
    expect("Attribute `" + words[1] + "` does not exist!\n");
    check(rest.empty());
    return 0;
  }
  check(status == 0);
  check(is_result_line(rest));
  return 0;
}
