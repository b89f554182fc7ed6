// Copying what the screen shows into a picture.
#pragma once

#include "platform/geometry.h"
#include "platform/pixels.h"

namespace roarmark::platform {

class IScreenCapture {
 public:
  virtual ~IScreenCapture() = default;
  // The pixels of `area` (screen coordinates) as the screen shows them now; parts beyond every
  // monitor are black.
  virtual TPixels CaptureScreen(const TRect& area) = 0;
};

}  // namespace roarmark::platform
