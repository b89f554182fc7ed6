// The ten preset slots and their file "Files/Settings.dat".
#pragma once

#include <string>
#include <vector>

namespace roarmark {

inline constexpr int kPresetSlots = 10;
inline constexpr const char* kPresetFileName = "Settings.dat";

// Ten entries: the file's first ten lines, missing lines empty; ten empty entries without a
// file. The text is read as INI text is (UTF-8 with or without a byte-order mark, UTF-16 with
// one; CR LF, LF or CR line ends). A file that is there but cannot be used (not a regular file,
// over 1 MB, unreadable) gives ten empty entries and the message that says so in `refused`.
std::vector<std::string> LoadPresetList(const std::string& data_folder,
                                        std::string* refused = nullptr);

// Thumbnail size for a window of W x H: within 240 x 200, by the smaller of 240 / W and
// 200 / H, divisions truncated (1920 x 1080 gives 240 x 135).
struct TThumbnailSize {
  int Width = 0;
  int Height = 0;
};
TThumbnailSize ThumbnailSize(int window_width, int window_height);

// Writes ten lines, each ended by CR LF, replacing the file whole. Throws TFileWriteError, also
// for an entry holding a line break, which would shift every later slot.
void SavePresetList(const std::string& data_folder, const std::vector<std::string>& entries);

// True when `path` can be a preset entry: a line of "Settings.dat" holds no CR or LF.
bool FitsPresetList(const std::string& path);

}  // namespace roarmark
