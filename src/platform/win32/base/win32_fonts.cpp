// The installed fonts as the registry lists them ("Arial Bold (TrueType)" = "arialbd.ttf"): the
// machine's under HKLM, relative names taken from the Windows font folder, then the fonts the
// user installed alone (Windows 10 1809 and later) under HKCU, full paths, usually in
// %LOCALAPPDATA%\Microsoft\Windows\Fonts. A family without the style asked for falls back to
// its regular face, then to the usual sans faces, then to any font there is.
#include "platform/win32/base/win32_fonts.h"

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/win32/base/win32_text.h"

namespace roarmark::platform::win32 {

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::wstring FontsFolder() {
  wchar_t windows[MAX_PATH] = {};
  const UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return L"C:\\Windows\\Fonts";
  return std::wstring(windows) + L"\\Fonts";
}

// Where a relative name under HKCU would lie.
std::wstring UserFontsFolder() {
  wchar_t local[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local)))
    return FontsFolder();
  return std::wstring(local) + L"\\Microsoft\\Windows\\Fonts";
}

constexpr wchar_t kFontsKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Whether `file` is a face FreeType draws outlines from (not a bitmap .fon).
bool Scalable(const std::string& file) {
  const std::string lower = Lower(file);
  for (const char* ext : {".ttf", ".ttc", ".otf"})
    if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ext) == 0) return true;
  return false;
}

}  // namespace

void TWin32Fonts::Load() {
  loaded_ = true;
  Load(HKEY_LOCAL_MACHINE, FontsFolder());
  Load(HKEY_CURRENT_USER, UserFontsFolder());
}

void TWin32Fonts::Load(HKEY root, const std::wstring& folder) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, kFontsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  DWORD longest_name = 0, longest_data = 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   &longest_name, &longest_data, nullptr, nullptr);
  std::vector<wchar_t> name(longest_name + 1);
  // Room for a terminating null the registry may not have stored.
  std::vector<wchar_t> data(longest_data / sizeof(wchar_t) + 2);
  for (DWORD i = 0;; ++i) {
    DWORD name_len = static_cast<DWORD>(name.size());
    DWORD data_len = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
    DWORD type = 0;
    std::fill(data.begin(), data.end(), L'\0');
    const LONG r = RegEnumValueW(key, i, name.data(), &name_len, nullptr, &type,
                                 reinterpret_cast<BYTE*>(data.data()), &data_len);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) continue;
    std::wstring file(data.data());
    if (type == REG_EXPAND_SZ) {
      const DWORD n = ExpandEnvironmentStringsW(file.c_str(), nullptr, 0);
      std::wstring expanded(n, L'\0');
      if (n == 0 || ExpandEnvironmentStringsW(file.c_str(), expanded.data(), n) != n) continue;
      expanded.resize(n - 1);
      file = expanded;
    }
    if (!Scalable(Narrow(file))) continue;
    const bool absolute = file.size() > 2 && (file[1] == L':' || file[0] == L'\\');
    if (!absolute) file = folder + L"\\" + file;
    std::string display = Narrow(std::wstring(name.data(), name_len));
    if (auto paren = display.find(" ("); paren != std::string::npos) display.resize(paren);
    entries_.push_back({Lower(display), Narrow(file)});
  }
  RegCloseKey(key);
}

std::string TWin32Fonts::Match(const std::string& family, bool bold, bool italic) const {
  if (italic) {
    // Some families call their slanted faces oblique.
    for (const char* slant : {" italic", " oblique"}) {
      std::string path = MatchName(Lower(family) + (bold ? " bold" : "") + slant);
      if (!path.empty()) return path;
    }
    return {};
  }
  return MatchName(Lower(family) + (bold ? " bold" : ""));
}

std::string TWin32Fonts::MatchName(const std::string& wanted) const {
  for (const TEntry& e : entries_) {
    // A collection lists its faces joined by " & ".
    std::size_t start = 0;
    while (start <= e.Name.size()) {
      const std::size_t end = std::min(e.Name.find(" & ", start), e.Name.size());
      if (e.Name.compare(start, end - start, wanted) == 0 && IsFile(e.Path)) return e.Path;
      start = end + 3;
    }
  }
  return {};
}

std::string TWin32Fonts::FindFontFile(const std::string& family, bool bold, bool italic) {
  const auto key = std::make_tuple(family, bold, italic);
  if (auto it = found_.find(key); it != found_.end()) return it->second;
  if (!loaded_) Load();
  std::string path = Match(family, bold, italic);
  if (path.empty()) path = Match(family, false, false);
  for (const char* sans : {"Arial", "Tahoma", "Liberation Sans", "DejaVu Sans", "Verdana"}) {
    if (!path.empty()) break;
    path = Match(sans, bold, italic);
    if (path.empty()) path = Match(sans, false, false);
  }
  for (const TEntry& e : entries_) {
    if (!path.empty()) break;
    if (IsFile(e.Path)) path = e.Path;
  }
  if (path.empty()) path = Narrow(FontsFolder()) + "\\arial.ttf";
  found_[key] = path;
  return path;
}

}  // namespace roarmark::platform::win32
