// Font files found through fontconfig, so "Arial" resolves to a metric-compatible face.
#pragma once

#include <map>
#include <string>
#include <tuple>

#include "platform/fonts.h"

namespace roarmark::platform {

class TFontconfigFonts : public IFonts {
 public:
  TFontconfigFonts();
  ~TFontconfigFonts() override;
  TFontconfigFonts(const TFontconfigFonts&) = delete;
  TFontconfigFonts& operator=(const TFontconfigFonts&) = delete;

  std::string FindFontFile(const std::string& family, bool bold, bool italic) override;

 private:
  std::string Match(const std::string& family, bool bold, bool italic);

  struct TConfig;
  TConfig* config_;
  std::map<std::tuple<std::string, bool, bool>, std::string> found_;
};

}  // namespace roarmark::platform
