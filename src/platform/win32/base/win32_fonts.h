// Font files in the Windows font folder, found through the registry's list of installed fonts.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/fonts.h"

namespace roarmark::platform::win32 {

class TWin32Fonts : public IFonts {
 public:
  std::string FindFontFile(const std::string& family, bool bold, bool italic) override;

 private:
  struct TEntry {
    std::string Name;  // "Arial Bold Italic", the " (TrueType)" dropped
    std::string Path;
  };
  void Load();
  std::string Match(const std::string& family, bool bold, bool italic) const;
  // The file of the face listed as `wanted` (lower case, the " (TrueType)" dropped), or empty.
  std::string MatchName(const std::string& wanted) const;

  bool loaded_ = false;
  std::vector<TEntry> entries_;
  std::map<std::tuple<std::string, bool, bool>, std::string> found_;
};

}  // namespace roarmark::platform::win32
