// mkdtemp on Windows: the trailing XXXXXX replaced until a new folder can be made.
#include "platform/win32/base/posix_shim.h"

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

#include <cerrno>
#include <cstring>
#include <random>

#include "platform/win32/base/win32_text.h"

extern "C" char* mkdtemp(char* pattern) {
  const std::size_t n = std::strlen(pattern);
  if (n < 6 || std::strcmp(pattern + n - 6, "XXXXXX") != 0) {
    errno = EINVAL;
    return nullptr;
  }
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device seed;
  std::mt19937 pick(seed() ^ GetTickCount() ^ GetCurrentProcessId());
  for (int attempt = 0; attempt < 100; ++attempt) {
    for (std::size_t i = n - 6; i < n; ++i)
      pattern[i] = kLetters[pick() % 36];
    if (CreateDirectoryW(roarmark::platform::win32::Wide(pattern).c_str(), nullptr)) return pattern;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  errno = EEXIST;
  return nullptr;
}
