// A temporary folder of the test's own: made fresh with a unique name and removed with
// everything in it when the test is done, so that runs by different users (a folder left by root
// cannot be reused) and parallel runs never meet.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace roarmark::test {

// Makes a new empty folder named "roarmark-" + `name` + a random suffix under the system's
// temporary folder (characters that cannot stand in a file name become '_'); the caller removes
// it. A name already taken is never reused, whoever made it. Throws when no folder can be made.
inline std::filesystem::path MakeUniqueTempFolder(const std::string& name) {
  std::string safe = name;
  for (char& c : safe) {
    if (c == '/' || c == '\\' || c == ':') c = '_';
  }
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  std::error_code ec;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string suffix(8, 'a');
    for (char& c : suffix)
      c = kLetters[random() % (sizeof(kLetters) - 1)];
    const std::filesystem::path folder = base / ("roarmark-" + safe + "-" + suffix);
    // create_directory makes the folder only when nothing has that name yet.
    if (std::filesystem::create_directory(folder, ec)) return folder;
  }
  throw std::filesystem::filesystem_error("cannot make a temporary folder", base, ec);
}

// Such a folder, removed with everything in it when the object goes.
class TScratchFolder {
 public:
  explicit TScratchFolder(const std::string& name) : path_(MakeUniqueTempFolder(name)) {}
  ~TScratchFolder() {
    std::error_code ec;
    // A test may have taken the write permission away; give it back so the removal succeeds.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string String() const { return path_.string(); }
  // The path of `file` inside the folder.
  std::string operator/(const std::string& file) const { return (path_ / file).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace roarmark::test
