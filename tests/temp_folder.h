// A temporary folder of the test's own: made fresh with a unique name and removed with
// everything in it when the test is done, so that runs by different users (a folder left by root
// cannot be reused) and parallel runs never meet.
#pragma once

#include <stdlib.h>  // mkdtemp

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

namespace roarmark::test {

class TTempFolder {
 public:
  // The folder is named "roarmark-" + `name` + a random suffix under the system's temporary
  // folder; characters that cannot stand in a file name become '_'.
  explicit TTempFolder(const std::string& name) {
    std::string safe = name;
    for (char& c : safe) {
      if (c == '/' || c == '\\') c = '_';
    }
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("roarmark-" + safe + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::filesystem::filesystem_error("cannot make a temporary folder", pattern,
                                              std::error_code(errno, std::generic_category()));
    }
    path_ = pattern;
  }
  ~TTempFolder() {
    std::error_code ec;
    // A test may have taken the write permission away; give it back so the removal succeeds.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string String() const { return path_.string(); }
  // The path of `file` inside the folder.
  std::string operator/(const std::string& file) const { return (path_ / file).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace roarmark::test
