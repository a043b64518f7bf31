// Small helpers for tests that need real file descriptors.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <string>
#include <string_view>

namespace test_files {

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
