// The platform's system colours, addressed by index (a settings colour with its top bit set).
#pragma once

#include <cstdint>

namespace roarmark::platform {

class ISystemColours {
 public:
  virtual ~ISystemColours() = default;
  // The colour of system colour `index` as a settings colour 0x00BBGGRR; an index beyond the
  // platform's table gives black.
  virtual std::uint32_t SystemColour(int index) const = 0;
};

// Index of the normal window background, the colour the setup fields return to when valid.
inline constexpr int kSystemColourWindow = 5;

}  // namespace roarmark::platform
