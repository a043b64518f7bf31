#include "console_io.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "byte_scan.h"
#include "number_grammar.h"
#include "platform.h"

namespace console_io {

std::size_t format_result(double value, char (&line)[kResultLineMax]) {
  // The C library writes "-nan" for a NaN with its sign bit set, as x86's
  // default NaN has.
  if (std::isnan(value)) value = std::fabs(value);
  const int n = std::snprintf(line, sizeof line, "%f\n", value);
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

// The number grammar's view of the console's input buffer.
class console::input_cursor {
 public:
  explicit input_cursor(console& c) : c_(c) {}
  int peek(std::size_t ahead) {
    return c_.in_pos_ + ahead < c_.in_end_ ? c_.buf_.in[c_.in_pos_ + ahead]
                                           : c_.peek_more(ahead);
  }
  std::string_view available() {
    if (c_.in_pos_ == c_.in_end_) c_.fill();
    return {reinterpret_cast<const char*>(c_.buf_.in + c_.in_pos_),
            c_.in_end_ - c_.in_pos_};
  }
  void skip(std::size_t count) { c_.in_pos_ += count; }

 private:
  console& c_;
};

// Slow path of a peek: the byte `ahead` is not buffered yet.
int console::peek_more(std::size_t ahead) {
  while (in_pos_ + ahead >= in_end_) {
    if (!fill()) return -1;
  }
  return buf_.in[in_pos_ + ahead];
}

// Reads more input behind what is buffered. Returns false at the end of
// input, which stays the end: a terminal's end-of-file is not asked again.
bool console::fill() {
  if (in_eof_) return false;
  if (in_pos_ == in_end_) {
    in_pos_ = in_end_ = 0;
  } else if (in_end_ == sizeof buf_.in) {
    // A look-ahead reached the end of a full buffer: its few unread bytes
    // go to the front. They are fewer than the grammar's look-ahead and the
    // buffer is far larger, so the two ranges cannot overlap.
    static_assert(sizeof buf_.in > 2 * number_grammar::kMaxLookahead);
    const std::size_t unread = in_end_ - in_pos_;
    std::memcpy(buf_.in, buf_.in + in_pos_, unread);
    in_pos_ = 0;
    in_end_ = unread;
  }
  // Otherwise the unread bytes stay where they are and more are read
  // behind them.
  // The reader may block here, so whatever was written so far, such as
  // the prompt being answered, must be out first.
  flush();
  for (;;) {
    const platform::transfer t =
        platform::read(fds_.in, buf_.in + in_end_, sizeof buf_.in - in_end_);
    switch (t.what) {
      case platform::outcome::done:
        in_end_ += t.bytes;
        return true;
      case platform::outcome::would_block:
        platform::wait_readable(fds_.in);
        continue;
      case platform::outcome::end:
      case platform::outcome::failed:
        // An input that cannot be read at all (closed, a directory) has
        // no more words either.
        in_eof_ = true;
        return false;
    }
  }
}

void console::skip_space() {
  do {
    in_pos_ += byte_scan::space_run(buf_.in + in_pos_, in_end_ - in_pos_);
  } while (in_pos_ == in_end_ && fill());
}

void console::read_word(word& w) {
  w.size = 0;
  w.truncated = false;
  skip_space();
  do {
    const std::size_t taken =
        byte_scan::word_run(buf_.in + in_pos_, in_end_ - in_pos_);
    const std::size_t room = kWordCapacity - w.size;
    const std::size_t kept = taken < room ? taken : room;
    std::memcpy(w.bytes + w.size, buf_.in + in_pos_, kept);
    w.size += kept;
    w.truncated |= taken > kept;
    in_pos_ += taken;
  } while (in_pos_ == in_end_ && fill());
  w.bytes[w.size] = '\0';
}

float console::read_dimension() {
  skip_space();
  input_cursor in(*this);
  return number_grammar::scan_number(in).value;
}

void console::write_out(const char* data, std::size_t size) {
  while (size > 0 && write_error_ == 0) {
    const platform::transfer t = platform::write(fds_.out, data, size);
    switch (t.what) {
      case platform::outcome::done:
        data += t.bytes;
        size -= t.bytes;
        break;
      case platform::outcome::would_block:
        platform::wait_writable(fds_.out);
        break;
      case platform::outcome::end:
      case platform::outcome::failed:
        write_error_ = t.error;
        break;
    }
  }
}

void console::flush() {
  write_out(buf_.out, out_len_);
  out_len_ = 0;
}

void console::put(std::string_view bytes) {
  if (bytes.size() > sizeof buf_.out - out_len_) {
    flush();
    if (bytes.size() > sizeof buf_.out) {
      write_out(bytes.data(), bytes.size());
      return;
    }
  }
  std::memcpy(buf_.out + out_len_, bytes.data(), bytes.size());
  out_len_ += bytes.size();
}

void console::write_text(std::string_view text) { put(text); }

void console::write_message(std::string_view format, const word& w) {
  // Found by hand, like the split below: one C library function fewer to
  // bind at every start.
  std::size_t at = 0;
  while (at + 1 < format.size() &&
         !(format[at] == '%' && format[at + 1] == 's')) {
    ++at;
  }
  if (at + 1 >= format.size()) return put(format);
  // Split by hand: substr() could throw, and merely linking the exception
  // machinery costs every run a static constructor and a malloc.
  put({format.data(), at});
  put(w.view());
  if (w.truncated) put("...");
  put({format.data() + at + 2, format.size() - at - 2});
}

void console::write_result(double value) {
  char line[kResultLineMax];
  put({line, format_result(value, line)});
}

int console::finish(int status) {
  flush();
  if (write_error_ == 0) return status;
  char message[256];
  const int n =
      std::snprintf(message, sizeof message, "shapecalc: write error: %s\n",
                    platform::error_text(write_error_));
  if (n > 0) {
    const std::size_t size = static_cast<std::size_t>(n) < sizeof message
                                 ? static_cast<std::size_t>(n)
                                 : sizeof message - 1;
    // Nothing more can be done if standard error fails too.
    platform::write(fds_.err, message, size);
  }
  return 2;
}

}  // namespace console_io
