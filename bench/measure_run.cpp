// measure_run REPORT PROGRAM [ARGS...]
//
// Runs PROGRAM with this process's standard input, output and error, then
// writes "SECONDS PEAK_RSS_KIB EXIT_STATUS" to the file REPORT and exits
// with PROGRAM's status.
//
// The peak resident size a parent sees for its child includes the memory
// of the process image the child started as: a child forked from a large
// process (a Python interpreter, a test binary) reports that process's
// size. This launcher is small, so what it reports is the program's own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: measure_run REPORT PROGRAM [ARGS...]\n");
    return 125;
  }
  timespec start{}, end{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  const pid_t pid = fork();
  if (pid == 0) {
    execv(argv[2], argv + 2);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) < 0) return 125;
  clock_gettime(CLOCK_MONOTONIC, &end);
  const double seconds = static_cast<double>(end.tv_sec - start.tv_sec) +
                         static_cast<double>(end.tv_nsec - start.tv_nsec) / 1e9;
  const int exit_status =
      WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::FILE* report = std::fopen(argv[1], "w");
  if (report == nullptr) return 125;
  std::fprintf(report, "%.6f %ld %d\n", seconds, usage.ru_maxrss, exit_status);
  std::fclose(report);
  return exit_status;
}
