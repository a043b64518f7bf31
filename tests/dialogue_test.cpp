// The built shapecalc, run as a user or a script would run it: standard
// input in, standard output, standard error and the exit status out.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "run_shapecalc.h"
#include "test_files.h"

namespace {

using namespace std::string_literals;
using run_shapecalc::run;
using run_shapecalc::run_with;

const std::string kShapeQ = "Enter what shape you want to calc: \n";
const std::string kAttrQ = "Enter what attribute you want to calc: \n";
const std::string kRadiusQ = "Enter radius of the circle: \n";
const std::string kWidthQ = "Enter width of the square: \n";
const std::string kCuboidQs =
    "Enter width of the cuboid: \n"
    "Enter length of the cuboid: \n"
    "Enter height of the cuboid: \n";
const std::string kWords = kShapeQ + kAttrQ;

struct transcript {
  std::string input;
  std::string output;
  int status;
};

void expect_transcripts(const std::vector<transcript>& cases) {
  for (const transcript& t : cases) {
    SCOPED_TRACE("input: \"" + t.input.substr(0, 80) + "\"");
    const run_shapecalc::result r = run(t.input);
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
    const run_shapecalc::result r = run("circle area 2\n", args);
    EXPECT_EQ(r.out, kWords + kRadiusQ + "12.566371\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
  }
}

TEST(Dialogue, ClosedOrUnreadableStandardInputIsTheEndOfInput) {
  const int in = test_files::file_with("circle area 2");
  const int dir = open("/", O_RDONLY | O_DIRECTORY);
  for (const run_shapecalc::result& r :
       {run_with(in, {.close_in = true}), run_with(dir)}) {
    EXPECT_EQ(r.out, kWords + "Shape `` does not exist!\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
  }
  close(in);
  close(dir);
}

TEST(Dialogue, FailedOutputIsExitStatusTwo) {
  const int in = test_files::file_with("circle area 2\n");
  const int full = open("/dev/full", O_WRONLY);
  run_shapecalc::result r = run_with(in, {.out_fd = full});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "shapecalc: write error: No space left on device\n");

  lseek(in, 0, SEEK_SET);
  r = run_with(in, {.out_fd = full, .close_out = true});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "shapecalc: write error: Bad file descriptor\n");
  close(full);
  close(in);
}

// A program that answers each prompt only once it has seen it, over two
// pipes, must be able to hold the whole conversation.
TEST(Dialogue, ShowsEachPromptBeforeWaitingForItsAnswer) {
  int to_child[2], from_child[2];
  ASSERT_EQ(pipe(to_child), 0);
  ASSERT_EQ(pipe(from_child), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, to_child[0], 0);
  posix_spawn_file_actions_adddup2(&actions, from_child[1], 1);
  posix_spawn_file_actions_addclose(&actions, to_child[1]);
  posix_spawn_file_actions_addclose(&actions, from_child[0]);
  char* argv[] = {const_cast<char*>(SHAPECALC_EXE), nullptr};
  pid_t pid;
  ASSERT_EQ(posix_spawn(&pid, SHAPECALC_EXE, &actions, nullptr, argv, environ),
            0);
  posix_spawn_file_actions_destroy(&actions);
  close(to_child[0]);
  close(from_child[1]);

  // Waits for `expected` to arrive; a generous limit turns a hang into a
  // failure instead of a stuck test.
  auto expect_shown = [&](const std::string& expected) {
    std::string seen;
    while (seen.size() < expected.size()) {
      pollfd p{from_child[0], POLLIN, 0};
      if (poll(&p, 1, 20'000) <= 0) break;
      char buf[256];
      const ssize_t n = read(from_child[0], buf, sizeof buf);
      if (n <= 0) break;
      seen.append(buf, static_cast<std::size_t>(n));
    }
    EXPECT_EQ(seen, expected);
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
  int status;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
