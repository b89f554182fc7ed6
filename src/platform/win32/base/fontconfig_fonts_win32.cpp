// The system font lookup that shared backends (the sim) use, on Windows: the font folder.
#include "platform/fontconfig/fontconfig_fonts.h"

#include "platform/win32/base/win32_fonts.h"

namespace roarmark::platform {

struct TFontconfigFonts::TConfig {
  win32::TWin32Fonts Fonts;
};

TFontconfigFonts::TFontconfigFonts() : config_(new TConfig) {}

TFontconfigFonts::~TFontconfigFonts() {
  delete config_;
}

std::string TFontconfigFonts::Match(const std::string& family, bool bold, bool italic) {
  return config_->Fonts.FindFontFile(family, bold, italic);
}

std::string TFontconfigFonts::FindFontFile(const std::string& family, bool bold, bool italic) {
  return Match(family, bold, italic);
}

}  // namespace roarmark::platform
