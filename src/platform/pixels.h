// A plain 32-bit picture (0xAARRGGBB, top-down rows) passed across the platform boundary.
#pragma once

#include <cstdint>
#include <vector>

namespace roarmark::platform {

struct TPixels {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Pixels;  // Width * Height, row-major, top row first
};

// A view of pixels owned elsewhere (the display bitmap shown by an image control).
struct TPixelsView {
  const std::uint32_t* Pixels = nullptr;
  int Width = 0;
  int Height = 0;
};

}  // namespace roarmark::platform
