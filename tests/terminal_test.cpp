// shapecalc under a real pseudo-terminal, answered the way a person would:
// each answer typed only once its prompt is on the screen. A program run
// through a launcher (an emulator, Wine) cannot be given our terminal as
// its own, so there the "terminal" is a pair of pipes: the same
// conversation, without the terminal's line discipline.
#include <fcntl.h>
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
    if (support::runs_natively()) {
      termios settings{};
      cfmakeraw(&settings);
      settings.c_lflag |= ICANON | ECHO;  // a line-editing terminal, as usual
      settings.c_oflag |= OPOST | ONLCR;
      settings.c_iflag |= ICRNL;
      settings.c_cc[VEOF] = 4;  // Ctrl-D
      settings.c_cc[VMIN] = 1;
      settings.c_cc[VTIME] = 0;
      const std::string program = support::program();
      pid_ = forkpty(&master_, nullptr, &settings, nullptr);
      if (pid_ == 0) {
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
      }
      keys_ = master_;
      return;
    }
    int to[2], from[2];
    if (pipe2(to, O_CLOEXEC) != 0 || pipe2(from, O_CLOEXEC) != 0) return;
    pid_ = support::start(to[0], from[1]);
    close(to[0]);
    close(from[1]);
    master_ = from[0];
    keys_ = to[1];
  }
  ~terminal() {
    if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0) kill(pid_, SIGKILL);
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
    if (master_ >= 0) close(master_);
    if (keys_ != master_ && keys_ >= 0) close(keys_);
  }
  bool started() const { return pid_ > 0; }

  // A terminal ends each line shown with CR LF; a pipe as written.
  std::string line(const std::string& text) const {
    return text + (keys_ == master_ ? "\r\n" : "\n");
  }
  // Ctrl-D on an empty line; the end of the pipe.
  void type_end_of_file() {
    if (keys_ == master_) return type("\x04");
    close(keys_);
    keys_ = -1;
  }

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
    ASSERT_EQ(write(keys_, keys.data(), keys.size()),
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
  int master_ = -1;  // the screen
  int keys_ = -1;    // the keyboard: the same descriptor on a terminal
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
      {"Enter what shape you want to calc: ", "cuboid\n"},
      {"Enter what attribute you want to calc: ", "volume\n"},
      {"Enter width of the cuboid: ", "2\n"},
      {"Enter length of the cuboid: ", "3\n"},
      {"Enter height of the cuboid: ", "4\n"},
  };
  for (const step& s : steps) {
    ASSERT_TRUE(t.shows(t.line(s.prompt))) << "screen so far:\n" << t.screen();
    t.type(s.answer);
  }
  EXPECT_TRUE(t.shows(t.line("24.000000"))) << t.screen();
  EXPECT_EQ(t.exit_status(), 0);
}

TEST(Terminal, EndOfFileKeyEndsTheInput) {
  terminal t;
  ASSERT_TRUE(t.started());
  ASSERT_TRUE(t.shows(t.line("Enter what shape you want to calc: ")));
  t.type("circle\n");
  ASSERT_TRUE(t.shows(t.line("Enter what attribute you want to calc: ")));
  t.type("area\n");
  ASSERT_TRUE(t.shows(t.line("Enter radius of the circle: ")));
  t.type_end_of_file();
  EXPECT_TRUE(t.shows(t.line("nan"))) << t.screen();
  EXPECT_EQ(t.exit_status(), 0);
}

}  // namespace
