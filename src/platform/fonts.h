// Font files for a family name and style; rasterising is done by the display with FreeType.
#pragma once

#include <string>

namespace roarmark::platform {

class IFonts {
 public:
  virtual ~IFonts() = default;
  // Path of the font file that best renders `family` in the given style. Never empty: falls
  // back to a sans face the system has.
  virtual std::string FindFontFile(const std::string& family, bool bold, bool italic) = 0;
};

}  // namespace roarmark::platform
