// fontconfig lookup: the best match for a family and style, falling back to the sans face and
// then to any scalable font, so a font name never leaves the readout without a face.
#include "platform/fontconfig/fontconfig_fonts.h"

#include <fontconfig/fontconfig.h>

namespace roarmark::platform {

struct TFontconfigFonts::TConfig {
  FcConfig* Config = nullptr;
};

TFontconfigFonts::TFontconfigFonts() : config_(new TConfig) {
  config_->Config = FcInitLoadConfigAndFonts();
}

TFontconfigFonts::~TFontconfigFonts() {
  if (config_->Config != nullptr) FcConfigDestroy(config_->Config);
  delete config_;
}

std::string TFontconfigFonts::Match(const std::string& family, bool bold, bool italic) {
  FcConfig* config = config_->Config;
  if (config == nullptr) return {};
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return {};
  if (!family.empty()) {
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  }
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  std::string path;
  if (match != nullptr) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
      path = reinterpret_cast<const char*>(file);
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return path;
}

std::string TFontconfigFonts::FindFontFile(const std::string& family, bool bold, bool italic) {
  const auto key = std::make_tuple(family, bold, italic);
  if (auto it = found_.find(key); it != found_.end()) return it->second;
  std::string path = Match(family, bold, italic);
  if (path.empty()) path = Match("sans-serif", bold, italic);
  if (path.empty()) path = Match("sans-serif", false, false);
  if (path.empty()) path = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
  found_[key] = path;
  return path;
}

}  // namespace roarmark::platform
