// Font files of the machine's and the user's installed fonts, found through the registry's lists.
#pragma once

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

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
  // The list under `root`; relative file names lie in `folder`.
  void Load(HKEY root, const std::wstring& folder);
  std::string Match(const std::string& family, bool bold, bool italic) const;
  // The file of the face listed as `wanted` (lower case, the " (TrueType)" dropped), or empty.
  std::string MatchName(const std::string& wanted) const;

  bool loaded_ = false;
  std::vector<TEntry> entries_;
  std::map<std::tuple<std::string, bool, bool>, std::string> found_;
};

}  // namespace roarmark::platform::win32
