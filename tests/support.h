// What the tests and the fuzzers share: anonymous files with given
// contents, the expected result line, the white-space rule written
// independently of the program's, and running the built shapecalc as a
// script would.
//
// The program run is SHAPECALC_EXE, or the path in the environment variable
// SHAPECALC_TEST_PROGRAM; SHAPECALC_TEST_LAUNCHER, when set, is a command
// (words split at blanks) that runs it, such as an emulator. So one driver
// built for this machine tests a program built for another.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace support {

// Tests hand the descriptors they open to children as 0, 1 and 2. Were the
// test started with one of those closed, the first file it opened would
// take that number and be overwritten in the child; so they are kept
// occupied, by /dev/null, before any test runs.
inline const bool kStandardDescriptorsOpen = [] {
  for (int fd = 0; fd < 3; ++fd) {
    if (fcntl(fd, F_GETFD) < 0) open("/dev/null", O_RDWR);  // takes `fd`
  }
  return true;
}();

// The six white-space bytes that separate words: blank, \t \n \v \f \r.
constexpr bool is_space(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

// An anonymous file holding `bytes`, positioned at its start.
inline int file_with(std::string_view bytes) {
  const int fd = memfd_create("shapecalc-test", 0);
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  lseek(fd, 0, SEEK_SET);
  return fd;
}

// Everything in the file behind `fd`, from its start.
inline std::string contents(int fd) {
  std::string all;
  char chunk[65536];
  for (off_t at = 0;;) {
    const ssize_t n = pread(fd, chunk, sizeof chunk, at);
    if (n <= 0) break;
    all.append(chunk, static_cast<std::size_t>(n));
    at += n;
  }
  return all;
}

#ifdef SHAPECALC_EXE  // drivers that run the built program

// The prompts, as the program writes them.
inline const std::string kShapeQ = "Enter what shape you want to calc: \n";
inline const std::string kAttrQ = "Enter what attribute you want to calc: \n";
inline const std::string kWords = kShapeQ + kAttrQ;
inline const std::string kRadiusQ = "Enter radius of the circle: \n";
inline const std::string kWidthQ = "Enter width of the square: \n";
inline const std::string kCuboidQs =
    "Enter width of the cuboid: \n"
    "Enter length of the cuboid: \n"
    "Enter height of the cuboid: \n";

// The program under test and the words that start it.
inline std::string program() {
  const char* p = std::getenv("SHAPECALC_TEST_PROGRAM");
  return p != nullptr && *p != '\0' ? p : SHAPECALC_EXE;
}

inline std::vector<std::string> launcher() {
  std::vector<std::string> words;
  if (const char* l = std::getenv("SHAPECALC_TEST_LAUNCHER")) {
    std::istringstream in(l);
    for (std::string w; in >> w;) words.push_back(w);
  }
  return words;
}

// True when the program runs natively, so that what is measured of the
// process (its memory, a terminal) is the program's own.
inline bool runs_natively() { return launcher().empty(); }

struct result {
  std::string out, err;
  int status = -1;
  long peak_rss_kib = -1;  // with options::measure only
};

struct options {  // every field has a default
  std::vector<std::string> args = {};
  int out_fd = -1;  // < 0: an anonymous file, read back into `out`
  bool close_in = false, close_out = false;
  // Start it through the measuring launcher, for its true peak memory.
  bool measure = false;
};

// Starts the program with the descriptors that `actions` arranges.
// Returns the child, or -1.
inline pid_t spawn(const posix_spawn_file_actions_t& actions,
                   const std::vector<std::string>& args = {},
                   const std::vector<std::string>& before = {}) {
  std::vector<std::string> words = before;
  const std::vector<std::string> l = launcher();
  words.insert(words.end(), l.begin(), l.end());
  words.push_back(program());
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid;
  return posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) ==
                 0
             ? pid
             : -1;
}

// The exit status of a child, or 128 + the signal that ended it.
inline int wait_status(pid_t pid) {
  int status;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Starts the program reading `in` and writing `out`; its standard error is
// the test's. Descriptors the test opened close-on-exec stay out of it.
inline pid_t start(int in, int out) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in, 0);
  posix_spawn_file_actions_adddup2(&actions, out, 1);
  const pid_t pid = spawn(actions);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Reads `fd` until `size` bytes have come, the end, or 20 s of silence (a
// limit that turns a hang into a failure instead of a stuck test).
inline std::string read_up_to(int fd, std::size_t size) {
  std::string seen;
  while (seen.size() < size) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 20'000) <= 0) break;
    char buf[4096];
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) break;
    seen.append(buf, static_cast<std::size_t>(n));
  }
  return seen;
}

// Runs the program with `in_fd` as standard input.
inline result run_with(int in_fd, const options& o = {}) {
  const int out = o.out_fd >= 0 ? o.out_fd : file_with("");
  const int err = file_with("");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in_fd, 0);
  posix_spawn_file_actions_adddup2(&actions, out, 1);
  posix_spawn_file_actions_adddup2(&actions, err, 2);
  if (o.close_in) posix_spawn_file_actions_addclose(&actions, 0);
  if (o.close_out) posix_spawn_file_actions_addclose(&actions, 1);

  const std::string report = "/tmp/shapecalc-rss-" + std::to_string(getpid());
  std::vector<std::string> before;
  if (o.measure) before = {SHAPECALC_MEASURE_RUN, report};
  result r;
  r.status = wait_status(spawn(actions, o.args, before));
  posix_spawn_file_actions_destroy(&actions);
  if (o.out_fd < 0) {
    r.out = contents(out);
    close(out);
  }
  r.err = contents(err);
  close(err);
  if (o.measure) {
    if (std::FILE* f = std::fopen(report.c_str(), "r")) {
      double seconds;
      int status;
      if (std::fscanf(f, "%lf %ld %d", &seconds, &r.peak_rss_kib, &status) !=
          3) {
        r.peak_rss_kib = -1;
      }
      std::fclose(f);
    }
    std::remove(report.c_str());
  }
  return r;
}

inline result run(const std::string& input,
                  const std::vector<std::string>& args = {}) {
  const int in = file_with(input);
  result r = run_with(in, {.args = args});
  close(in);
  return r;
}

#endif  // SHAPECALC_EXE

}  // namespace support
