// Paths are kept as UTF-8 text everywhere in the program. std::filesystem reads a plain char
// string in the C library's locale, which on Windows is not UTF-8, so every path handed to it,
// or taken back from it, goes through these two.
#pragma once

#include <filesystem>
#include <string>

namespace roarmark::platform {

inline std::filesystem::path FilePath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace roarmark::platform
