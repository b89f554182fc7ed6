// Path helpers shared by the picture load, settings files and the preset list.
#include "settings/paths.h"

#include <filesystem>

#include "platform/file_path.h"
#include "platform/path_separator.h"

namespace roarmark {

std::string FileNamePart(const std::string& path) {
  std::size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string FilesFolder(const std::string& data_folder) {
  return data_folder + "Files" + platform::kPathSeparator;
}

std::string PortablePath(const std::string& path, const std::string& data_folder) {
  if (path.find(kProjectFolderMarker) == std::string::npos) return path;
  return FilesFolder(data_folder) + FileNamePart(path);
}

std::string ReplaceExtension(const std::string& path, const std::string& extension) {
  const std::size_t name_start = path.size() - FileNamePart(path).size();
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < name_start) return path + extension;
  return path.substr(0, dot) + extension;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(platform::FilePath(path), ec);
}

}  // namespace roarmark
