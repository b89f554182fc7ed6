// The ten preset slots and their file "Files/Settings.dat".
#pragma once

#include <string>
#include <vector>

namespace roarmark {

inline constexpr int kPresetSlots = 10;
inline constexpr const char* kPresetFileName = "Settings.dat";

// Ten entries: the file's first ten lines, missing lines empty; ten empty entries without a file.
std::vector<std::string> LoadPresetList(const std::string& data_folder);

// Writes ten lines, each ended by CR LF, replacing the file whole. Throws TFileWriteError.
void SavePresetList(const std::string& data_folder, const std::vector<std::string>& entries);

}  // namespace roarmark
