// "Settings.dat": ten plain lines, one path per preset slot.
#include "settings/preset_list.h"

#include <cstdint>

#include "settings/file_read.h"
#include "settings/file_save.h"
#include "settings/ini_file.h"
#include "settings/paths.h"

namespace roarmark {
namespace {

std::string PresetPath(const std::string& data_folder) {
  return FilesFolder(data_folder) + kPresetFileName;
}

}  // namespace

std::vector<std::string> LoadPresetList(const std::string& data_folder, std::string* refused) {
  const std::string path = PresetPath(data_folder);
  const TFileRead read = ReadLimitedFile(path, kMaxPresetFileBytes);
  std::vector<std::string> entries;
  if (read.Result == TFileRead::TResult::Read) {
    entries = TIniFile::Parse(read.Bytes).Lines();
  } else if (read.Result != TFileRead::TResult::Missing && refused != nullptr) {
    *refused = "Preset list not read -  \n\r" + path + "\n\r" + read.Reason +
               "\n\rThe preset slots are empty.";
  }
  entries.resize(kPresetSlots);
  return entries;
}

TThumbnailSize ThumbnailSize(int w, int h) {
  if (w <= 0 || h <= 0) return {};
  const std::int64_t W = w;
  const std::int64_t H = h;
  if (240 * H <= 200 * W) return {240, static_cast<int>(H * 240 / W)};
  return {static_cast<int>(W * 200 / H), 200};
}

bool FitsPresetList(const std::string& path) {
  return path.find_first_of("\r\n") == std::string::npos;
}

void SavePresetList(const std::string& data_folder, const std::vector<std::string>& entries) {
  std::string text;
  for (int i = 0; i < kPresetSlots; ++i) {
    if (static_cast<std::size_t>(i) < entries.size()) {
      const std::string& entry = entries[static_cast<std::size_t>(i)];
      if (!FitsPresetList(entry)) {
        throw TFileWriteError("Cannot save the preset list: a file name holds a line break");
      }
      text += entry;
    }
    text += "\r\n";
  }
  // Replaced whole, so a failed write leaves the previous list.
  SaveFileWhole(PresetPath(data_folder), text);
}

}  // namespace roarmark
