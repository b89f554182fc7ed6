// The ten preset slots and their file "Files/Settings.dat".
#pragma once

#include <string>
#include <vector>

namespace roarmark {

inline constexpr int kPresetSlots = 10;
inline constexpr const char* kPresetFileName = "Settings.dat";

// Ten entries: the file's first ten lines, missing lines empty; ten empty entries without a file.
std::vector<std::string> LoadPresetList(const std::string& data_folder);

// Thumbnail size for a window of W x H: within 240 x 200, by the smaller of 240 / W and
// 200 / H, divisions truncated (1920 x 1080 gives 240 x 135).
struct TThumbnailSize {
  int Width = 0;
  int Height = 0;
};
TThumbnailSize ThumbnailSize(int window_width, int window_height);

// Writes ten lines, each ended by CR LF, replacing the file whole. Throws TFileWriteError.
void SavePresetList(const std::string& data_folder, const std::vector<std::string>& entries);

}  // namespace roarmark
