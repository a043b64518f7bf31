// measure_run INPUT PROGRAM [ARGS...]
//
// Runs PROGRAM with standard input from INPUT and standard output thrown
// away, and prints "SECONDS PEAK_RSS_KIB EXIT_STATUS".
//
// The peak resident size a parent sees for its child includes the memory
// of the process image the child started as: a child forked from a large
// process (a Python interpreter, a test binary) reports that process's
// size. This launcher is small, so what it reports is the program's own.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: measure_run INPUT PROGRAM [ARGS...]\n");
    return 2;
  }
  timespec start{}, end{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open(argv[1], O_RDONLY);
    const int out = open("/dev/null", O_WRONLY);
    if (in < 0 || out < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0) _exit(127);
    execv(argv[2], argv + 2);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) < 0) return 2;
  clock_gettime(CLOCK_MONOTONIC, &end);
  const double seconds = static_cast<double>(end.tv_sec - start.tv_sec) +
                         static_cast<double>(end.tv_nsec - start.tv_nsec) / 1e9;
  std::printf("%.6f %ld %d\n", seconds, usage.ru_maxrss,
              WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
  return 0;
}
