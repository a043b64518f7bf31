// Small helpers for tests that need real file descriptors.
#pragma once

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>
#include <string_view>

namespace test_files {

// An anonymous file holding `bytes`, positioned at its start. Its
// descriptor is never 0, 1 or 2, even when the test runs with those
// closed, so it cannot be mistaken for a standard stream of a child.
inline int file_with(std::string_view bytes) {
  int fd = memfd_create("shapecalc-test", 0);
  if (fd >= 0 && fd < 3) {
    const int high = fcntl(fd, F_DUPFD, 3);
    close(fd);
    fd = high;
  }
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

}  // namespace test_files
