// Every seam on Win32 in one object.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace roarmark::platform::win32 {

class TWin32Platform {
 public:
  TWin32Platform();
  ~TWin32Platform();
  TWin32Platform(const TWin32Platform&) = delete;
  TWin32Platform& operator=(const TWin32Platform&) = delete;

  const TPlatform& Platform() const { return platform_; }

 private:
  struct TParts;
  std::unique_ptr<TParts> parts_;
  TPlatform platform_;
};

}  // namespace roarmark::platform::win32
