// Fonts the user installed alone (Windows 10 1809 and later) are listed under HKCU, by full path
// or by a name in the user's own font folder; they are found like the machine's fonts, and
// their path opens through the C library, as FreeType opens it, whatever letters it holds.
#include <gtest/gtest.h>

// clang-format off
#include "platform/win32/base/win32_windows.h"
#include <shlobj.h>
// clang-format on

#include <cstdio>
#include <string>

#include "platform/win32/base/win32_fonts.h"
#include "platform/win32/base/win32_text.h"
#include "win32_test_folder.h"

namespace roarmark::platform::win32 {
namespace {

constexpr wchar_t kFontsKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

std::string UserFontsFolder() {
  wchar_t local[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local);
  return Narrow(local) + "\\Microsoft\\Windows\\Fonts";
}

struct UserFontCase {
  const char* name;
  const char* family;
  bool full_path;  // the registry holds the full path; otherwise the file's name alone
};

const UserFontCase kCases[] = {
    {"FullPathBeyondAscii", "Roarmark Test Crème", true},
    {"NameInTheUsersFontFolder", "Roarmark Test Plain", false},
};

class UserFonts : public testing::TestWithParam<UserFontCase> {};

TEST_P(UserFonts, AFontInstalledForTheUserIsFound) {
  const UserFontCase& c = GetParam();
  test::TNonAsciiFolder folder("win32-fonts");
  std::string file;
  std::string listed;
  if (c.full_path) {
    file = folder / "Crème Test.ttf";
    listed = file;
  } else {
    CreateDirectoryW(Wide(UserFontsFolder()).c_str(), nullptr);
    listed = "roarmark-test-" + std::to_string(GetCurrentProcessId()) + ".ttf";
    file = UserFontsFolder() + "\\" + listed;
  }
  // Only the registry entry and the file's presence count; its bytes are not read.
  HANDLE made = CreateFileW(Wide(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(made, INVALID_HANDLE_VALUE);
  CloseHandle(made);
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kFontsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  const std::wstring value = Wide(std::string(c.family) + " (TrueType)");
  const std::wstring data = Wide(listed);
  RegSetValueExW(key, value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));

  TWin32Fonts fonts;
  const std::string found = fonts.FindFontFile(c.family, false, false);
  std::FILE* opened = std::fopen(found.c_str(), "rb");

  RegDeleteValueW(key, value.c_str());
  RegCloseKey(key);
  if (opened) std::fclose(opened);
  DeleteFileW(Wide(file).c_str());
  EXPECT_EQ(found, file);
  EXPECT_NE(opened, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Table, UserFonts, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<UserFontCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace roarmark::platform::win32
