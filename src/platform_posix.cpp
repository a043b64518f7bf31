// The console's system calls on POSIX systems.
#include <errno.h>
#include <poll.h>
#include <unistd.h>

#include <cstring>

#include "platform.h"

namespace platform {

namespace {

// Descriptors left in non-blocking mode by whoever started us answer
// EAGAIN; poll sleeps until they are ready instead of spinning.
void wait_for(int fd, short events) {
  pollfd p{fd, events, 0};
  while (poll(&p, 1, -1) < 0 && errno == EINTR) {
  }
}

transfer outcome_of(ssize_t n) {
  if (n > 0) return {outcome::done, static_cast<std::size_t>(n)};
  if (n == 0) return {outcome::end};
  if (errno == EAGAIN || errno == EWOULDBLOCK) return {outcome::would_block};
  return {outcome::failed, 0, errno};
}

}  // namespace

void use_binary_standard_streams() {}  // POSIX never translates bytes

transfer read(int fd, void* data, std::size_t size) {
  ssize_t n;
  while ((n = ::read(fd, data, size)) < 0 && errno == EINTR) {
  }
  return outcome_of(n);
}

transfer write(int fd, const void* data, std::size_t size) {
  ssize_t n;
  while ((n = ::write(fd, data, size)) < 0 && errno == EINTR) {
  }
  // A write that takes nothing would be retried for ever.
  if (n == 0) return {outcome::failed, 0, EIO};
  return outcome_of(n);
}

void wait_readable(int fd) { wait_for(fd, POLLIN); }
void wait_writable(int fd) { wait_for(fd, POLLOUT); }

const char* error_text(int error) { return std::strerror(error); }

}  // namespace platform
