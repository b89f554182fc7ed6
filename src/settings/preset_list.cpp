// "Settings.dat": ten plain lines, one path per preset slot.
#include "settings/preset_list.h"

#include <cstdint>
#include <fstream>
#include <sstream>

#include "settings/file_save.h"
#include "settings/paths.h"

namespace roarmark {
namespace {

std::string PresetPath(const std::string& data_folder) {
  return FilesFolder(data_folder) + kPresetFileName;
}

}  // namespace

std::vector<std::string> LoadPresetList(const std::string& data_folder) {
  std::vector<std::string> entries;
  std::ifstream in(PresetPath(data_folder), std::ios::binary);
  std::string line;
  while (in && entries.size() < static_cast<std::size_t>(kPresetSlots) && std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    entries.push_back(line);
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

void SavePresetList(const std::string& data_folder, const std::vector<std::string>& entries) {
  std::string text;
  for (int i = 0; i < kPresetSlots; ++i) {
    if (static_cast<std::size_t>(i) < entries.size()) text += entries[static_cast<std::size_t>(i)];
    text += "\r\n";
  }
  // Replaced whole, so a failed write leaves the previous list.
  SaveFileWhole(PresetPath(data_folder), text);
}

}  // namespace roarmark
