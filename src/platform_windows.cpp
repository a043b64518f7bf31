// The console's system calls on Windows. The descriptors are the C
// runtime's; each is turned into its handle and used with ReadFile and
// WriteFile, so no text-mode translation can touch the bytes.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <initializer_list>

#include "platform.h"

namespace platform {

namespace {

// At most this much in one call: the byte count of ReadFile is a DWORD.
DWORD clamp(std::size_t size) {
  return size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
}

// What one ReadFile or WriteFile did.
struct call {
  bool ok;
  DWORD bytes;
  DWORD error;  // when not ok
};

// Makes `io(handle, bytes)` on the handle behind `fd`, if it has one.
template <class Io>
call on_handle(int fd, Io io) {
  const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (h == INVALID_HANDLE_VALUE || h == nullptr) {
    return {false, 0, ERROR_INVALID_HANDLE};
  }
  DWORD n = 0;
  if (io(h, n)) return {true, n, 0};
  return {false, 0, GetLastError()};
}

}  // namespace

void use_binary_standard_streams() {
  // For anything that still goes through the C runtime's streams.
  for (int fd : {kStandardInput, kStandardOutput, kStandardError}) {
    _setmode(fd, _O_BINARY);
  }
}

transfer read(int fd, void* data, std::size_t size) {
  const call c = on_handle(fd, [&](HANDLE h, DWORD& n) {
    return ReadFile(h, data, clamp(size), &n, nullptr);
  });
  if (c.ok)
    return c.bytes > 0 ? transfer{outcome::done, c.bytes}
                       : transfer{outcome::end};
  // The writer of a pipe closed its end: that is the end of input.
  if (c.error == ERROR_BROKEN_PIPE || c.error == ERROR_HANDLE_EOF) {
    return {outcome::end};
  }
  if (c.error == ERROR_NO_DATA) return {outcome::would_block};
  return {outcome::failed, 0, static_cast<int>(c.error)};
}

transfer write(int fd, const void* data, std::size_t size) {
  const call c = on_handle(fd, [&](HANDLE h, DWORD& n) {
    return WriteFile(h, data, clamp(size), &n, nullptr);
  });
  // A pipe in non-blocking mode takes nothing while it is full.
  if (c.ok)
    return c.bytes > 0 ? transfer{outcome::done, c.bytes}
                       : transfer{outcome::would_block};
  return {outcome::failed, 0, static_cast<int>(c.error)};
}

// Anonymous pipes, files and consoles cannot be polled; a pipe in
// non-blocking mode is simply tried again after a short sleep.
void wait_readable(int) { Sleep(1); }
void wait_writable(int) { Sleep(1); }

const char* error_text(int error) {
  static char text[256];
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(error), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
      text, sizeof text, nullptr);
  if (n == 0) return "Unknown error";
  // The system's texts end in a full stop and CR LF; the message ends in LF.
  DWORD end = n;
  while (end > 0 && (text[end - 1] == '\r' || text[end - 1] == '\n' ||
                     text[end - 1] == '.')) {
    --end;
  }
  text[end] = '\0';
  return text;
}

}  // namespace platform
