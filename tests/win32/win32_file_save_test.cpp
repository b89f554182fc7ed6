// A save while another program holds the file (a virus scanner, the search indexer): retried for
// about a second, so a short hold only delays it; a hold that lasts is reported, with the old
// file as it was and no temporary file left behind.
#include <gtest/gtest.h>

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "platform/file_path.h"
#include "platform/win32/base/win32_text.h"
#include "settings/file_save.h"
#include "win32_test_folder.h"

namespace roarmark {
namespace {

using platform::win32::Wide;

struct HoldCase {
  const char* name;
  DWORD share;    // what the other program lets others do meanwhile
  DWORD hold_ms;  // INFINITE: it keeps the file until the save has given up
  bool saved;
};

// Opened without any sharing the file cannot be opened for the save; opened without
// FILE_SHARE_DELETE it can, but not replaced.
const HoldCase kCases[] = {
    {"ExclusiveForAMoment", 0, 300, true},
    {"ExclusiveForGood", 0, INFINITE, false},
    {"NotDeletableForAMoment", FILE_SHARE_READ | FILE_SHARE_WRITE, 300, true},
    {"NotDeletableForGood", FILE_SHARE_READ | FILE_SHARE_WRITE, INFINITE, false},
};

std::string Contents(const std::string& path) {
  std::ifstream in(platform::FilePath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The save's own temporary files ("rmk....tmp") left in `folder`. (wine's ReplaceFileW leaves
// an empty file of its own behind when it fails; Windows' does not.)
int SaveLeftovers(const std::string& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Wide(folder + "\\rmk*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int files = 0;
  do {
    ++files;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return files;
}

class SaveWhileHeld : public testing::TestWithParam<HoldCase> {};

TEST_P(SaveWhileHeld, ASaveWaitsForAShortHoldAndReportsALongOne) {
  const HoldCase& c = GetParam();
  test::TNonAsciiFolder folder("win32-save");
  const std::string path = folder / "Roarmark.ini";
  SaveFileWhole(path, "old");
  HANDLE held = CreateFileW(Wide(path).c_str(), GENERIC_READ, c.share, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::thread other;
  if (c.hold_ms != INFINITE) {
    other = std::thread([&] {
      Sleep(c.hold_ms);
      CloseHandle(held);
    });
  }
  if (c.saved) {
    EXPECT_NO_THROW(SaveFileWhole(path, "new"));
    other.join();
    EXPECT_EQ(Contents(path), "new");
  } else {
    try {
      SaveFileWhole(path, "new");
      ADD_FAILURE() << "the save succeeded while the file was held";
    } catch (const TFileWriteError& error) {
      EXPECT_EQ(std::string(error.what()),
                "Cannot create file \"" + path + "\". Permission denied");
    }
    CloseHandle(held);
    EXPECT_EQ(Contents(path), "old");
  }
  EXPECT_EQ(SaveLeftovers(folder.Path()), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, SaveWhileHeld, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<HoldCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace roarmark
