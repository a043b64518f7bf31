// The console of one run: buffered reading of words and numbers from
// standard input, buffered writing of prompts, messages and the result line
// to standard output, and the report of a failed write.
//
// Input and output go through fixed buffers straight over the descriptors;
// nothing is allocated and no C++ stream is touched, so a run costs little
// more than starting the process.
#pragma once

#include <cstddef>
#include <string_view>

namespace console_io {

// How many bytes of a word are kept. A longer word is still consumed whole;
// only its first bytes are kept, to quote it back.
inline constexpr std::size_t kWordCapacity = 255;

struct word {
  char bytes[kWordCapacity + 1];  // NUL-terminated for debuggers; `size` rules
  std::size_t size = 0;
  bool truncated = false;  // the word went on past kWordCapacity bytes

  // The kept bytes. A truncated word is longer than any keyword, so
  // comparing this view never lets it match one.
  std::string_view view() const { return {bytes, size}; }
};

// Room for the longest result line: a sign, the 309 integer digits of the
// largest double, the point, six decimals, the line feed and a NUL.
inline constexpr std::size_t kResultLineMax = 320;

// Writes `value` as the result line "%f\n" would, except that every NaN
// reads "nan" whatever its sign bit. Returns the length, without the NUL.
std::size_t format_result(double value, char (&line)[kResultLineMax]);

// The fixed storage a console reads and writes through, apart from the
// console so that the program can keep it in static storage: zero pages
// that cost nothing until used, and a stack that stays small.
//
// A short run touches the start of each buffer only; aligned to a page,
// with the small output buffer first, both starts share one page.
struct alignas(4096) console_buffers {
  char out[2 * 1024];
  unsigned char in[128 * 1024];
};

// The three descriptors a console talks through.
struct descriptors {
  int in, out, err;
};

// Standard input and output of one run. Output is held back until the
// reader has to wait for input or the run finishes, so a person at a
// terminal, or a program answering prompts over pipes, sees every prompt
// before it is expected to answer it.
class console {
 public:
  // `buffers` must outlive the console.
  console(descriptors fds, console_buffers& buffers)
      : fds_(fds), buf_(buffers) {}
  console(const console&) = delete;
  console& operator=(const console&) = delete;

  void write_text(std::string_view text);
  // Writes `format` with its one "%s" replaced by the bytes of `w`; a
  // truncated word is followed by "...".
  void write_message(std::string_view format, const word& w);
  void write_result(double value);

  // Skips white space and reads the word up to the next white space or the
  // end of input; at the end of input the word is empty.
  void read_word(word& w);
  // Skips white space and reads one number (see number_grammar.h). When no
  // number starts there, nothing is consumed and the value is NaN.
  float read_dimension();

  // Flushes what is left. Returns `status`, or 2 after telling standard
  // error why, if any write to standard output failed.
  int finish(int status);

 private:
  class input_cursor;  // the number grammar's view of the input buffer

  int peek_more(std::size_t ahead);
  bool fill();
  void skip_space();
  void flush();
  void write_out(const char* data, std::size_t size);
  void put(std::string_view bytes);

  descriptors fds_;
  int write_error_ = 0;  // error code of the first failed write, or 0
  std::size_t in_pos_ = 0, in_end_ = 0, out_len_ = 0;
  bool in_eof_ = false;
  console_buffers& buf_;
};

}  // namespace console_io
