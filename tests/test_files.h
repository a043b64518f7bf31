// Small helpers for tests that need real file descriptors.
#pragma once

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>
#include <string_view>

namespace test_files {

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

}  // namespace test_files
