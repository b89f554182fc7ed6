// "Settings.dat": read as editors write text, never more than ten slots, and whatever else lies
// at its path (a FIFO, a device, a runaway file) refused at once with a message naming it.
#include "settings/preset_list.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "settings/file_save.h"
#include "temp_folder.h"

namespace roarmark {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kNone(kPresetSlots);

std::vector<std::string> Slots(std::initializer_list<std::string> first) {
  std::vector<std::string> slots(first);
  slots.resize(kPresetSlots);
  return slots;
}

fs::path PresetFile(const test::TTempFolder& folder) {
  fs::create_directories(folder.Path() / "Files");
  return folder.Path() / "Files" / "Settings.dat";
}

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(PresetList, ReadsEveryTextEncodingAndLineEndAndAtMostTenSlots) {
  std::string twelve;
  for (int i = 0; i < 12; ++i)
    twelve += "p" + std::to_string(i) + "\r\n";
  const struct {
    const char* name;
    std::string bytes;
    std::vector<std::string> slots;
  } cases[] = {
      {"CR LF", "C:\\a.cfg\r\n\r\nb.cfg\r\n", Slots({"C:\\a.cfg", "", "b.cfg"})},
      {"LF", "a.cfg\nb.cfg\n", Slots({"a.cfg", "b.cfg"})},
      {"CR only", "a.cfg\r\rc.cfg\r", Slots({"a.cfg", "", "c.cfg"})},
      {"no final line end", "a.cfg\r\nb.cfg", Slots({"a.cfg", "b.cfg"})},
      {"UTF-8 mark",
       "\xEF\xBB\xBF"
       "a.cfg\r\nb.cfg\r\n",
       Slots({"a.cfg", "b.cfg"})},
      {"UTF-16 LE",
       std::string("\xFF\xFE"
                   "a\0\r\0\n\0\xE9\0\r\0\n\0",
                   14),
       Slots({"a", "\xC3\xA9"})},
      {"UTF-16 BE", std::string("\xFE\xFF\0a\0\r\0b", 8), Slots({"a", "b"})},
      {"twelve lines", twelve, Slots({"p0", "p1", "p2", "p3", "p4", "p5", "p6", "p7", "p8", "p9"})},
      {"empty", "", kNone},
  };
  for (const auto& c : cases) {
    test::TTempFolder folder;
    Write(PresetFile(folder), c.bytes);
    std::string refused;
    EXPECT_EQ(LoadPresetList(folder.Folder(), &refused), c.slots) << c.name;
    EXPECT_EQ(refused, "") << c.name;
  }
}

TEST(PresetList, WhatIsNoSmallRegularFileIsRefusedAtOnceWithAMessage) {
  const struct {
    const char* name;
    std::function<void(const fs::path&)> make;
    const char* reason;
  } cases[] = {
      {"FIFO", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); },
       "It is not a regular file."},
      {"link to /dev/zero", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); },
       "It is not a regular file."},
      {"folder", [](const fs::path& p) { fs::create_directory(p); }, "It is not a regular file."},
      {"over 1 MB", [](const fs::path& p) { Write(p, std::string((1 << 20) + 1, '\n')); },
       "It is larger than 1 MB."},
  };
  for (const auto& c : cases) {
    test::TTempFolder folder;
    const fs::path path = PresetFile(folder);
    c.make(path);
    std::string refused;
    EXPECT_EQ(LoadPresetList(folder.Folder(), &refused), kNone) << c.name;
    EXPECT_EQ(refused, "Preset list not read -  \n\r" + path.string() + "\n\r" + c.reason +
                           "\n\rThe preset slots are empty.")
        << c.name;
  }
  // Exactly 1 MB is still a list.
  test::TTempFolder folder;
  Write(PresetFile(folder), "a.cfg\r\n" + std::string((1 << 20) - 7, ' '));
  std::string refused;
  EXPECT_EQ(LoadPresetList(folder.Folder(), &refused)[0], "a.cfg");
  EXPECT_EQ(refused, "");
}

TEST(PresetList, AnEntryHoldingALineBreakIsNeverSaved) {
  test::TTempFolder folder;
  const fs::path path = PresetFile(folder);
  Write(path, "a.cfg\r\n");
  for (const char* entry : {"two\nlines.cfg", "two\rlines.cfg"}) {
    EXPECT_THROW(SavePresetList(folder.Folder(), Slots({"b.cfg", entry})), TFileWriteError);
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "a.cfg\r\n");
  }
}

}  // namespace
}  // namespace roarmark
