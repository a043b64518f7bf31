// run_loop ROUNDS RUNS INPUT PROGRAM...
//
// Starts each PROGRAM RUNS times in a row, with standard input from INPUT
// and standard output thrown away, and does so ROUNDS times, the programs
// taking turns so that any drift of the machine hits them alike. Prints one
// line a round: the seconds each program's loop took, in the order given.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

double now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

bool run_once(char* program, const char* input) {
  const int in = open(input, O_RDONLY);
  const int out = open("/dev/null", O_WRONLY);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in, 0);
  posix_spawn_file_actions_adddup2(&actions, out, 1);
  char* argv[] = {program, nullptr};
  pid_t pid = 0;
  const bool ok =
      posix_spawn(&pid, program, &actions, nullptr, argv, environ) == 0 &&
      waitpid(pid, nullptr, 0) == pid;
  posix_spawn_file_actions_destroy(&actions);
  close(in);
  close(out);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: run_loop ROUNDS RUNS INPUT PROGRAM...\n");
    return 2;
  }
  const int rounds = std::atoi(argv[1]);
  const int runs = std::atoi(argv[2]);
  const char* input = argv[3];
  for (int r = 0; r < rounds; ++r) {
    for (int p = 4; p < argc; ++p) {
      const double start = now();
      for (int i = 0; i < runs; ++i) {
        if (!run_once(argv[p], input)) return 1;
      }
      std::printf(p + 1 < argc ? "%.6f " : "%.6f\n", now() - start);
    }
  }
  return 0;
}
