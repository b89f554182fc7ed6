// Shared helpers of the display tests: sentinel-filled bitmaps, a fixed font provider and a
// small system colour table.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "display/bitmap32.h"
#include "platform/fonts.h"
#include "platform/system_colours.h"

namespace roarmark::testing {

// A colour no operation under test draws with, filling every bitmap before the operation.
inline constexpr TColor32 kSentinel = 0xFF5A6B7C;

// The Liberation Sans files, named directly so the pixel tests do not depend on fontconfig.
class TLiberationFonts : public platform::IFonts {
 public:
  std::string FindFontFile(const std::string&, bool bold, bool italic) override {
    const std::string dir = "/usr/share/fonts/truetype/liberation/LiberationSans-";
    if (bold && italic) return dir + "BoldItalic.ttf";
    if (bold) return dir + "Bold.ttf";
    if (italic) return dir + "Italic.ttf";
    return dir + "Regular.ttf";
  }
};

// Index 5 (window background) is a light grey-blue; any other index is black.
class TTestSystemColours : public platform::ISystemColours {
 public:
  std::uint32_t SystemColour(int index) const override { return index == 5 ? 0x00E0D0C0 : 0; }
};

inline TBitmap32 SentinelBitmap(int width, int height) {
  TBitmap32 b;
  b.SetSize(width, height);
  b.Clear(kSentinel);
  return b;
}

// Checks every pixel against `expected(x, y)`; reports the first few mismatches.
inline void ExpectPixels(const TBitmap32& b, const std::function<TColor32(int, int)>& expected) {
  int reported = 0;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      const TColor32 want = expected(x, y);
      if (b.Pixel(x, y) != want && reported < 5) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is 0x" << std::hex << b.Pixel(x, y)
                      << ", expected 0x" << want << std::dec;
        ++reported;
      }
    }
  }
}

inline bool Inside(int x, int y, std::int64_t l, std::int64_t t, std::int64_t r,
                   std::int64_t bottom) {
  return x >= l && x < r && y >= t && y < bottom;
}

}  // namespace roarmark::testing
