// Keeps the projected meter lit on Windows: the display and the machine stay on while held.
#pragma once

namespace roarmark::platform::win32 {

class TWin32KeepAwake {
 public:
  TWin32KeepAwake() = default;
  ~TWin32KeepAwake();  // releases whatever is held
  TWin32KeepAwake(const TWin32KeepAwake&) = delete;
  TWin32KeepAwake& operator=(const TWin32KeepAwake&) = delete;

  void Hold();
  void Release();

 private:
  bool held_ = false;
};

}  // namespace roarmark::platform::win32
