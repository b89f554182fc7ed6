// Path helpers: file-name parts and the portability rule for stored paths.
#pragma once

#include <string>

namespace roarmark {

// The folder name the developer keeps the project in; stored paths that contain it were made
// on the developer's machine and are redirected into the data folder's "Files".
inline constexpr const char* kProjectFolderMarker = "RoarmarkDevProject";

// Everything after the last '\', '/' or ':'.
std::string FileNamePart(const std::string& path);

// The data folder's "Files" folder, ending with the platform's separator.
std::string FilesFolder(const std::string& data_folder);

// data folder + "Files" + file-name part when `path` contains the marker (case-sensitive).
std::string PortablePath(const std::string& path, const std::string& data_folder);

// The same path with the extension of its file-name part replaced (or appended).
std::string ReplaceExtension(const std::string& path, const std::string& extension);

bool FileExists(const std::string& path);

}  // namespace roarmark
