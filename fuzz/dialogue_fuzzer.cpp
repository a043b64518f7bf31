// The whole dialogue on arbitrary standard-input bytes, in-process. Besides
// the sanitizers' checks, the output must be exactly the prompts, then the
// refusal or the result that the words of the input call for.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "console_io.h"
#include "dialogue.h"
#include "shapes.h"

namespace {

int file_with(const std::uint8_t* data, std::size_t size) {
  const int fd = memfd_create("dialogue-fuzz", 0);
  if (fd < 0) std::abort();
  for (std::size_t done = 0; done < size;) {
    const ssize_t n = write(fd, data + done, size - done);
    if (n <= 0) std::abort();
    done += static_cast<std::size_t>(n);
  }
  lseek(fd, 0, SEEK_SET);
  return fd;
}

std::string contents(int fd) {
  std::string all;
  char chunk[4096];
  for (off_t at = 0;;) {
    const ssize_t n = pread(fd, chunk, sizeof chunk, at);
    if (n <= 0) return all;
    all.append(chunk, static_cast<std::size_t>(n));
    at += n;
  }
}

bool is_space(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The first `count` words of the input, as the dialogue quotes them.
std::vector<std::string> first_words(std::string_view in, std::size_t count) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (words.size() < count) {
    while (i < in.size() && is_space(static_cast<unsigned char>(in[i]))) ++i;
    const std::size_t start = i;
    while (i < in.size() && !is_space(static_cast<unsigned char>(in[i]))) ++i;
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
  const int in = file_with(data, size);
  const int out = memfd_create("dialogue-fuzz-out", 0);
  const int err = memfd_create("dialogue-fuzz-err", 0);
  static console_io::console_buffers buffers;
  console_io::console io(in, out, err, buffers);
  const int status = dialogue::run(io);
  const std::string output = contents(out);
  check(contents(err).empty());
  close(in);
  close(out);
  close(err);

  const std::string_view input(reinterpret_cast<const char*>(data), size);
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
