// Runs the built shapecalc as a child process, as a script would.
#pragma once

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "test_files.h"

namespace run_shapecalc {

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

// Runs shapecalc with `in_fd` as standard input.
inline result run_with(int in_fd, const options& o = {}) {
  const int out = o.out_fd >= 0 ? o.out_fd : test_files::file_with("");
  const int err = test_files::file_with("");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in_fd, 0);
  posix_spawn_file_actions_adddup2(&actions, out, 1);
  posix_spawn_file_actions_adddup2(&actions, err, 2);
  if (o.close_in) posix_spawn_file_actions_addclose(&actions, 0);
  if (o.close_out) posix_spawn_file_actions_addclose(&actions, 1);

  const std::string report = "/tmp/shapecalc-rss-" + std::to_string(getpid());
  std::vector<std::string> words;
  if (o.measure) words = {SHAPECALC_MEASURE_RUN, report};
  words.push_back(SHAPECALC_EXE);
  words.insert(words.end(), o.args.begin(), o.args.end());
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  pid_t pid;
  result r;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) ==
      0) {
    int status;
    waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  if (o.out_fd < 0) {
    r.out = test_files::contents(out);
    close(out);
  }
  r.err = test_files::contents(err);
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
  const int in = test_files::file_with(input);
  result r = run_with(in, {.args = args});
  close(in);
  return r;
}

}  // namespace run_shapecalc
