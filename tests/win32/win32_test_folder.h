// A scratch folder for the wine tests whose path holds letters beyond ASCII ("Jörg"), made fresh
// under the system's temporary folder and removed with everything in it at the end.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include "../temp_folder.h"
#include "platform/file_path.h"

namespace roarmark::test {

class TNonAsciiFolder {
 public:
  explicit TNonAsciiFolder(const std::string& name)
      : base_(MakeUniqueTempFolder(name)), path_(base_ / platform::FilePath("Jörg Éclair")) {
    std::filesystem::create_directory(path_);
  }
  ~TNonAsciiFolder() {
    std::error_code ec;
    std::filesystem::remove_all(base_, ec);
  }
  TNonAsciiFolder(const TNonAsciiFolder&) = delete;
  TNonAsciiFolder& operator=(const TNonAsciiFolder&) = delete;

  // The folder's UTF-8 path, with Windows separators.
  std::string Path() const {
    return platform::PathText(std::filesystem::path(path_).make_preferred());
  }
  // The UTF-8 path of `file` inside the folder, with Windows separators.
  std::string operator/(const std::string& file) const {
    return platform::PathText((path_ / platform::FilePath(file)).make_preferred());
  }

 private:
  std::filesystem::path base_;
  std::filesystem::path path_;
};

}  // namespace roarmark::test
