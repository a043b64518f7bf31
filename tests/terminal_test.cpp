// shapecalc under a real pseudo-terminal, answered the way a person would:
// each answer typed only once its prompt is on the screen.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

#include "support.h"

namespace {

class terminal {
 public:
  terminal() {
    termios settings{};
    cfmakeraw(&settings);
    settings.c_lflag |= ICANON | ECHO;  // a line-editing terminal, as usual
    settings.c_oflag |= OPOST | ONLCR;
    settings.c_iflag |= ICRNL;
    settings.c_cc[VEOF] = 4;  // Ctrl-D
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    // The words are ready before the fork: the child only execs.
    std::vector<std::string> words = support::launcher();
    words.push_back(support::program());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    pid_ = forkpty(&master_, nullptr, &settings, nullptr);
    if (pid_ == 0) {
      execvp(argv[0], argv.data());
      _exit(127);
    }
  }
  ~terminal() {
    if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0) kill(pid_, SIGKILL);
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
    if (master_ >= 0) close(master_);
  }
  bool started() const { return pid_ > 0; }

  // Reads the screen until `text` has appeared after what was seen before.
  // A long limit only turns a program that waits without showing its
  // prompt into a failure rather than a hung test.
  bool shows(const std::string& text) {
    for (;;) {
      const std::size_t at = screen_.find(text, seen_);
      if (at != std::string::npos) {
        seen_ = at + text.size();
        return true;
      }
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, 20'000) <= 0) return false;
      char buf[512];
      const ssize_t n = read(master_, buf, sizeof buf);
      if (n <= 0) return false;
      screen_.append(buf, static_cast<std::size_t>(n));
    }
  }
  void type(const std::string& keys) const {
    ASSERT_EQ(write(master_, keys.data(), keys.size()),
              static_cast<ssize_t>(keys.size()));
  }
  // The exit status, or -1 if the program is still running after a long
  // limit (it is then killed by the destructor).
  int exit_status() {
    int status = 0;
    for (int tries = 0; tries < 2000; ++tries) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      usleep(10'000);
    }
    return -1;
  }
  const std::string& screen() const { return screen_; }

 private:
  int master_ = -1;
  pid_t pid_ = -1;
  std::string screen_;
  std::size_t seen_ = 0;
};

TEST(Terminal, EachPromptIsShownBeforeItsAnswerIsAwaited) {
  terminal t;
  ASSERT_TRUE(t.started());
  struct step {
    const char* prompt;
    const char* answer;
  };
  const step steps[] = {
      {"Enter what shape you want to calc: \r\n", "cuboid\n"},
      {"Enter what attribute you want to calc: \r\n", "volume\n"},
      {"Enter width of the cuboid: \r\n", "2\n"},
      {"Enter length of the cuboid: \r\n", "3\n"},
      {"Enter height of the cuboid: \r\n", "4\n"},
  };
  for (const step& s : steps) {
    ASSERT_TRUE(t.shows(s.prompt)) << "screen so far:\n" << t.screen();
    t.type(s.answer);
  }
  EXPECT_TRUE(t.shows("24.000000\r\n")) << t.screen();
  EXPECT_EQ(t.exit_status(), 0);
}

TEST(Terminal, EndOfFileKeyEndsTheInput) {
  terminal t;
  ASSERT_TRUE(t.started());
  ASSERT_TRUE(t.shows("Enter what shape you want to calc: \r\n"));
  t.type("circle\n");
  ASSERT_TRUE(t.shows("Enter what attribute you want to calc: \r\n"));
  t.type("area\n");
  ASSERT_TRUE(t.shows("Enter radius of the circle: \r\n"));
  t.type("\x04");  // Ctrl-D on an empty line
  EXPECT_TRUE(t.shows("nan\r\n")) << t.screen();
  EXPECT_EQ(t.exit_status(), 0);
}

}  // namespace
