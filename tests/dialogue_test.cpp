// The built shapecalc, run as a user or a script would run it: standard
// input in, standard output, standard error and the exit status out.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support.h"

namespace {

using namespace std::string_literals;
using support::run;
using support::run_with;

using support::kAttrQ;
using support::kCuboidQs;
using support::kRadiusQ;
using support::kShapeQ;
using support::kWidthQ;
using support::kWords;

struct transcript {
  std::string input;
  std::string output;
  int status;
};

void expect_transcripts(const std::vector<transcript>& cases) {
  for (const transcript& t : cases) {
    SCOPED_TRACE("input: \"" + t.input.substr(0, 80) + "\"");
    const support::result r = run(t.input);
    EXPECT_EQ(r.out, t.output);
    EXPECT_EQ(r.status, t.status);
    EXPECT_EQ(r.err, "");
  }
}

TEST(Dialogue, ComputesEachQuantity) {
  expect_transcripts({
      {"circle\narea\n2\n", kWords + kRadiusQ + "12.566371\n", 0},
      {"circle circumference 1", kWords + kRadiusQ + "6.283185\n", 0},
      {"square perimeter 2.5\n", kWords + kWidthQ + "10.000000\n", 0},
      {"square area 3.3", kWords + kWidthQ + "10.889999\n", 0},
      {"cuboid volume 0.1 4.3 8.1", kWords + kCuboidQs + "3.483001\n", 0},
      {"cuboid surface 0.1 0.3 8.3", kWords + kCuboidQs + "6.700001\n", 0},
      {"\n\n   circle \t  area\r\n\n 2\n\n", kWords + kRadiusQ + "12.566371\n",
       0},
      {"circle area 1e39", kWords + kRadiusQ + "inf\n", 0},
      {"circle circumference -inf", kWords + kRadiusQ + "-inf\n", 0},
      {"square perimeter 0x1p3", kWords + kWidthQ + "32.000000\n", 0},
      {"circle area -0", kWords + kRadiusQ + "0.000000\n", 0},
      {"circle circumference -0", kWords + kRadiusQ + "-0.000000\n", 0},
      {"square area -nan", kWords + kWidthQ + "nan\n", 0},
  });
}

TEST(Dialogue, RefusesUnknownWords) {
  expect_transcripts({
      {"cube volume 1 2 3", kWords + "Shape `cube` does not exist!\n", 1},
      {"Circle area 2", kWords + "Shape `Circle` does not exist!\n", 1},
      {"circle diameter 3",
       kWords + kRadiusQ + "Attribute `diameter` does not exist!\n", 1},
      {"cuboid area 1 2 3",
       kWords + kCuboidQs + "Attribute `area` does not exist!\n", 1},
      {"circle volume 1",
       kWords + kRadiusQ + "Attribute `volume` does not exist!\n", 1},
      // Every dimension is asked for first, read or not.
      {"cuboid Volume",
       kWords + kCuboidQs + "Attribute `Volume` does not exist!\n", 1},
  });
}

// Where a plain reading of the dialogue would overflow, mislead or hang,
// shapecalc does the safe thing.
TEST(Dialogue, HandlesHostileInputSafely) {
  const std::string long_word(300, 'w');
  const std::string quoted = std::string(255, 'w') + "...";
  expect_transcripts({
      // Long words: kept in part, consumed whole, never matching.
      {long_word + " area 2",
       kWords + "Shape `" + quoted + "` does not exist!\n", 1},
      {"circle " + long_word + " 2",
       kWords + kRadiusQ + "Attribute `" + quoted + "` does not exist!\n", 1},
      {std::string(255, 'c') + "circle area 2",
       kWords + "Shape `" + std::string(255, 'c') + "...` does not exist!\n",
       1},
      // A NUL byte is part of the word.
      {"circle\0 area 2"s, kWords + "Shape `circle\0` does not exist!\n"s, 1},
      {"circle area\0 2"s,
       kWords + kRadiusQ + "Attribute `area\0` does not exist!\n"s, 1},
      // Unreadable dimensions give nan, not an invented number.
      {"circle area", kWords + kRadiusQ + "nan\n", 0},
      {"circle area abc", kWords + kRadiusQ + "nan\n", 0},
      {"cuboid volume 2 x 4", kWords + kCuboidQs + "nan\n", 0},
      {"square area .", kWords + kWidthQ + "nan\n", 0},
      // End of input before a word.
      {"", kWords + "Shape `` does not exist!\n", 1},
      {"  \n\n", kWords + "Shape `` does not exist!\n", 1},
      {"circle", kWords + kRadiusQ + "Attribute `` does not exist!\n", 1},
  });
}

TEST(Dialogue, IgnoresCommandLineArguments) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--help"}, {"-v", "square", "area"}, {""}}) {
    const support::result r = run("circle area 2\n", args);
    EXPECT_EQ(r.out, kWords + kRadiusQ + "12.566371\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
  }
}

TEST(Dialogue, ClosedOrUnreadableStandardInputIsTheEndOfInput) {
  const int in = support::file_with("circle area 2");
  const int dir = open("/", O_RDONLY | O_DIRECTORY);
  for (const support::result& r :
       {run_with(in, {.close_in = true}), run_with(dir)}) {
    EXPECT_EQ(r.out, kWords + "Shape `` does not exist!\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
  }
  close(in);
  close(dir);
}

// The reason is the system's own text: exact here, and one line of
// whatever the system says where the program runs on another (Wine).
void expect_write_error(const std::string& err, const std::string& reason) {
  const std::string prefix = "shapecalc: write error: ";
  if (support::runs_natively()) {
    EXPECT_EQ(err, prefix + reason + "\n");
    return;
  }
  EXPECT_EQ(err.substr(0, prefix.size()), prefix) << err;
  EXPECT_GT(err.size(), prefix.size() + 1) << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
}

TEST(Dialogue, FailedOutputIsExitStatusTwo) {
  const int in = support::file_with("circle area 2\n");
  const int full = open("/dev/full", O_WRONLY);
  support::result r = run_with(in, {.out_fd = full});
  EXPECT_EQ(r.status, 2);
  expect_write_error(r.err, "No space left on device");

  lseek(in, 0, SEEK_SET);
  r = run_with(in, {.out_fd = full, .close_out = true});
  EXPECT_EQ(r.status, 2);
  expect_write_error(r.err, "Bad file descriptor");
  close(full);
  close(in);
}

// Whoever starts us may leave a descriptor non-blocking. Input that
// arrives late is then waited for, not taken for the end of input.
TEST(Dialogue, WaitsForLateInputOnANonBlockingPipe) {
  int in[2];
  ASSERT_EQ(pipe2(in, O_NONBLOCK | O_CLOEXEC), 0);
  const int out = support::file_with("");
  const pid_t pid = support::start(in[0], out);
  ASSERT_GT(pid, 0);
  close(in[0]);
  usleep(200'000);
  const std::string answer = "circle area 2\n";
  ASSERT_EQ(write(in[1], answer.data(), answer.size()),
            static_cast<ssize_t>(answer.size()));
  close(in[1]);
  EXPECT_EQ(support::wait_status(pid), 0);
  EXPECT_EQ(support::contents(out), kWords + kRadiusQ + "12.566371\n");
  close(out);
}

// ... and output that does not fit waits until the reader makes room.
TEST(Dialogue, WaitsForRoomOnAFullNonBlockingPipe) {
  int out[2];
  ASSERT_EQ(pipe2(out, O_NONBLOCK | O_CLOEXEC), 0);
  fcntl(out[1], F_SETPIPE_SZ, 4096);
  std::string filler;
  for (char block[512] = {}; write(out[1], block, sizeof block) > 0;) {
    filler.append(sizeof block, '\0');
  }
  const int in = support::file_with("circle area 1e20");
  const pid_t pid = support::start(in, out[1]);
  ASSERT_GT(pid, 0);
  close(out[1]);
  usleep(200'000);
  const std::string expected =
      filler + kWords + kRadiusQ +
      "31415927795103401791948557623369211576320.000000\n";
  EXPECT_EQ(support::read_up_to(out[0], expected.size() + 1), expected);
  close(out[0]);
  close(in);
  EXPECT_EQ(support::wait_status(pid), 0);
}

// A program that answers each prompt only once it has seen it, over two
// pipes, must be able to hold the whole conversation.
TEST(Dialogue, ShowsEachPromptBeforeWaitingForItsAnswer) {
  int to_child[2], from_child[2];
  ASSERT_EQ(pipe2(to_child, O_CLOEXEC), 0);
  ASSERT_EQ(pipe2(from_child, O_CLOEXEC), 0);
  const pid_t pid = support::start(to_child[0], from_child[1]);
  ASSERT_GT(pid, 0);
  close(to_child[0]);
  close(from_child[1]);

  auto expect_shown = [&](const std::string& expected) {
    EXPECT_EQ(support::read_up_to(from_child[0], expected.size()), expected);
  };
  auto answer = [&](const std::string& line) {
    ASSERT_EQ(write(to_child[1], line.data(), line.size()),
              static_cast<ssize_t>(line.size()));
  };
  expect_shown(kShapeQ);
  answer("cuboid\n");
  expect_shown(kAttrQ);
  answer("surface\n");
  for (const char* q :
       {"Enter width of the cuboid: \n", "Enter length of the cuboid: \n",
        "Enter height of the cuboid: \n"}) {
    expect_shown(q);
    answer("2\n");
  }
  expect_shown("24.000000\n");
  close(to_child[1]);
  close(from_child[0]);
  EXPECT_EQ(support::wait_status(pid), 0);
}

}  // namespace
