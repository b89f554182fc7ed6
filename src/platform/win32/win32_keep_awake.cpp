// The thread's execution state: display and system required, until released.
#include "platform/win32/win32_keep_awake.h"

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

namespace roarmark::platform::win32 {

TWin32KeepAwake::~TWin32KeepAwake() {
  Release();
}

void TWin32KeepAwake::Hold() {
  if (held_) return;
  held_ = true;
  SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED);
}

void TWin32KeepAwake::Release() {
  if (!held_) return;
  held_ = false;
  SetThreadExecutionState(ES_CONTINUOUS);
}

}  // namespace roarmark::platform::win32
