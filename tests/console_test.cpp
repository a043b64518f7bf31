#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "console_io.h"
#include "support.h"

namespace {

using console_io::console;
using console_io::kWordCapacity;
using console_io::word;

// A console with storage of its own, kept off the test's stack.
struct owned_console {
  owned_console(int in, int out, int err) : io({in, out, err}, buffers) {}
  console_io::console_buffers buffers;
  console io;
};

std::unique_ptr<owned_console> make_console(int in, int out, int err) {
  return std::make_unique<owned_console>(in, out, err);
}

// A console reading `input` and writing to anonymous files.
struct fixture {
  explicit fixture(std::string_view input)
      : in(support::file_with(input)),
        out(support::file_with("")),
        err(support::file_with("")),
        owned(make_console(in, out, err)),
        io(&owned->io) {}
  ~fixture() {
    close(in);
    close(out);
    close(err);
  }
  std::string next_word() const {
    word w;
    io->read_word(w);
    return std::string(w.view()) + (w.truncated ? "..." : "");
  }
  int in, out, err;
  std::unique_ptr<owned_console> owned;
  console* io;
};

TEST(ConsoleWords, AreSplitAtAnyOfTheSixWhiteSpaces) {
  fixture f(" \t\n\v\f\rcircle\tarea\v\fx\ry\n\n  z");
  for (const char* expected : {"circle", "area", "x", "y", "z", "", ""}) {
    EXPECT_EQ(f.next_word(), expected);
  }
}

TEST(ConsoleWords, LongRunsOfMixedWhiteSpaceAndWordBytes) {
  const std::string spaces = " \t\n\v\f\r";
  std::string input;
  std::vector<std::string> words;
  for (std::size_t n = 1; n < 60; n += 7) {
    for (std::size_t i = 0; i < 3 * n; ++i) input += spaces[i % 6];
    // Bytes just outside the white-space range must stay in the word.
    std::string w;
    for (std::size_t i = 0; i < n; ++i) w += "\x08\x0e\x1f!a\x7f\xff"[i % 7];
    input += w;
    words.push_back(w);
  }
  fixture f(input + spaces);
  for (const std::string& w : words) EXPECT_EQ(f.next_word(), w);
  EXPECT_EQ(f.next_word(), "");
}

TEST(ConsoleWords, KeepOtherBytesAsTheyAre) {
  using namespace std::string_literals;
  fixture f("circle\0 \xff\xfe \x1b[0m"s);
  EXPECT_EQ(f.next_word(), "circle\0"s);
  EXPECT_EQ(f.next_word(), "\xff\xfe");
  EXPECT_EQ(f.next_word(), "\x1b[0m");
}

TEST(ConsoleWords, LongerThanTheStoreAreConsumedWhole) {
  const std::string fits(kWordCapacity, 'a');
  const std::string huge = std::string(kWordCapacity, 'b') + "circle" +
                           std::string(200'000, 'c');  // spans refills
  fixture f(fits + " " + fits + "x " + huge + "\narea");
  EXPECT_EQ(f.next_word(), fits);
  EXPECT_EQ(f.next_word(), fits + "...");
  EXPECT_EQ(f.next_word(), std::string(kWordCapacity, 'b') + "...");
  EXPECT_EQ(f.next_word(), "area");
}

TEST(ConsoleWords, MessageQuotesTheWordAsRead) {
  using namespace std::string_literals;
  fixture f("cir\0cle "s + std::string(300, 'q'));
  word w;
  f.io->read_word(w);
  f.io->write_message("Shape `%s` does not exist!\n", w);
  f.io->read_word(w);
  f.io->write_message("Attribute `%s` does not exist!\n", w);
  EXPECT_EQ(f.io->finish(1), 1);
  EXPECT_EQ(support::contents(f.out),
            "Shape `cir\0cle` does not exist!\n"s + "Attribute `" +
                std::string(kWordCapacity, 'q') + "...` does not exist!\n");
}

std::uint32_t bits(float f) { return std::bit_cast<std::uint32_t>(f); }

TEST(ConsoleDimensions, LeaveWhatEndsTheNumberUnread) {
  fixture f("1e+ 2.5.5 0x1p -inf.\n7");
  EXPECT_EQ(f.io->read_dimension(), 1.0f);
  EXPECT_EQ(f.next_word(), "e+");
  EXPECT_EQ(f.io->read_dimension(), 2.5f);
  EXPECT_EQ(f.next_word(), ".5");
  EXPECT_EQ(f.io->read_dimension(), 1.0f);
  EXPECT_EQ(f.next_word(), "p");
  EXPECT_EQ(f.io->read_dimension(), -INFINITY);
  EXPECT_EQ(f.next_word(), ".");
  EXPECT_EQ(f.io->read_dimension(), 7.0f);
  EXPECT_TRUE(std::isnan(f.io->read_dimension()));  // end of input
}

TEST(ConsoleDimensions, FailedReadIsNaNAndConsumesNothing) {
  fixture f("  -x 5");
  EXPECT_TRUE(std::isnan(f.io->read_dimension()));
  EXPECT_TRUE(std::isnan(f.io->read_dimension()));
  EXPECT_EQ(f.next_word(), "-x");
  EXPECT_EQ(f.io->read_dimension(), 5.0f);
}

TEST(ConsoleDimensions, LookAheadWorksAcrossBufferRefills) {
  // Put each interesting spot right at the end of a pipe's load (64 KiB)
  // and of the full input buffer (128 KiB).
  for (std::size_t at : {65530, 65532, 65534, 65536, 65538, 131062, 131064,
                         131066, 131068, 131070, 131072, 131074}) {
    SCOPED_TRACE(at);
    fixture f(std::string(at, ' ') + "-0x1.8p+1e+x infinity");
    EXPECT_EQ(f.io->read_dimension(), -3.0f);
    EXPECT_EQ(f.next_word(), "e+x");
    EXPECT_EQ(f.io->read_dimension(), INFINITY);
    EXPECT_EQ(f.next_word(), "");
  }
}

// Input that arrives in pieces, as from a pipe or a terminal: a number
// split anywhere is read as if it had come whole. A socket of records
// hands out one piece per read, with no second thread or process (which
// some emulators do not run).
TEST(ConsoleDimensions, LookAheadWaitsForTheNextPieceOfInput) {
  const std::string text = "-0x1.8p+1e+x +infinity";
  for (std::size_t split = 1; split < text.size(); ++split) {
    SCOPED_TRACE(split);
    int sv[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET, 0, sv), 0);
    const std::size_t rest = text.size() - split;
    ASSERT_EQ(write(sv[1], text.data(), split), static_cast<ssize_t>(split));
    ASSERT_EQ(write(sv[1], text.data() + split, rest),
              static_cast<ssize_t>(rest));
    close(sv[1]);
    const auto owned = make_console(sv[0], 2, 2);
    EXPECT_EQ(owned->io.read_dimension(), -3.0f);
    word w;
    owned->io.read_word(w);
    EXPECT_EQ(w.view(), "e+x");
    EXPECT_EQ(owned->io.read_dimension(), INFINITY);
    close(sv[0]);
  }
}

TEST(ConsoleDimensions, ReadVeryLongNumbersInFixedMemory) {
  const std::string zeros(10'000'000, '0');
  fixture f("0." + zeros + "1e10000002 16777217." + zeros + "1 " +
            std::string(10'000'000, '9') + " x");
  EXPECT_EQ(f.io->read_dimension(), 10.0f);
  EXPECT_EQ(bits(f.io->read_dimension()), 0x4B800001u);
  EXPECT_EQ(bits(f.io->read_dimension()), 0x7F800000u);
  EXPECT_EQ(f.next_word(), "x");
}

// Output waits in the buffer until the reader has to go to the input for
// more; a prompt is then always out before its answer is awaited.
TEST(ConsoleOutput, IsFlushedExactlyWhenTheReaderMustWait) {
  int out_pipe[2];
  ASSERT_EQ(pipe2(out_pipe, O_NONBLOCK), 0);
  const int in = support::file_with("circle area\n");
  const auto owned = make_console(in, out_pipe[1], 2);
  console* io = &owned->io;
  auto pending = [&] {
    char buf[256];
    const ssize_t n = read(out_pipe[0], buf, sizeof buf);
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n))
                 : std::string();
  };
  word w;
  io->write_text("first? ");
  EXPECT_EQ(pending(), "");
  io->read_word(w);  // nothing buffered yet: must read, so flushes
  EXPECT_EQ(pending(), "first? ");
  io->write_text("second? ");
  io->read_word(w);  // "area" is already buffered: no flush
  EXPECT_EQ(pending(), "");
  io->write_result(2.25);
  EXPECT_EQ(io->finish(0), 0);
  EXPECT_EQ(pending(), "second? 2.250000\n");
  for (int fd : {in, out_pipe[0], out_pipe[1]}) close(fd);
}

TEST(ConsoleOutput, FailedWriteIsReportedOnce) {
  struct failure {
    const char* what;
    int (*open_out)();
    const char* message;
  };
  const failure failures[] = {
      {"full disk", [] { return open("/dev/full", O_WRONLY); },
       "shapecalc: write error: No space left on device\n"},
      {"closed descriptor",
       [] {
         close(900);  // far above anything the test has open
         return 900;
       },
       "shapecalc: write error: Bad file descriptor\n"},
      {"read-only descriptor", [] { return open("/dev/null", O_RDONLY); },
       "shapecalc: write error: Bad file descriptor\n"},
  };
  for (const failure& c : failures) {
    SCOPED_TRACE(c.what);
    const int in = support::file_with("circle");
    const int out = c.open_out();
    const int err = support::file_with("");
    const auto owned = make_console(in, out, err);
    console* io = &owned->io;
    io->write_text("Enter what shape you want to calc: \n");
    word w;
    io->read_word(w);
    io->write_text(std::string(20'000, 'x'));
    EXPECT_EQ(io->finish(0), 2);
    EXPECT_EQ(support::contents(err), c.message);
    for (int fd : {in, out, err}) close(fd);
  }
}

}  // namespace
