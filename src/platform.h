// The few operating-system calls the console makes: reading and writing a
// descriptor, waiting until a non-blocking one is ready, and the text of an
// error. Everything that differs between POSIX and Windows is behind this
// interface, in platform_posix.cpp or platform_windows.cpp.
#pragma once

#include <cstddef>

namespace platform {

// The descriptors of the standard streams.
inline constexpr int kStandardInput = 0;
inline constexpr int kStandardOutput = 1;
inline constexpr int kStandardError = 2;

// Makes the standard streams carry bytes unchanged: no line-end translation.
void use_binary_standard_streams();

enum class outcome {
  done,         // `bytes` were transferred, at least one
  end,          // reading: the end of input
  would_block,  // non-blocking and not ready: wait, then try again
  failed,       // `error` says why
};

struct transfer {
  outcome what;
  std::size_t bytes = 0;
  int error = 0;  // for outcome::failed, an error code for error_text()
};

// One read or write, at most `size` bytes, interrupted calls retried. A
// failed transfer always carries a non-zero error.
transfer read(int fd, void* data, std::size_t size);
transfer write(int fd, const void* data, std::size_t size);

// Waits until a descriptor that answered would_block may be ready.
void wait_readable(int fd);
void wait_writable(int fd);

// The system's text for an error code of a failed transfer.
const char* error_text(int error);

}  // namespace platform
