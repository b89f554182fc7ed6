// Reading a picture file whole, with a bound on its size, and writing one in a single step.
#include "display/pictures/picture_file.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

namespace roarmark {

bool ReadPictureFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  std::error_code ec;
  const std::filesystem::path file(path);
  if (!std::filesystem::is_regular_file(file, ec)) return false;
  const std::uintmax_t size = std::filesystem::file_size(file, ec);
  if (ec || size == 0 || size > kMaxPictureFileBytes) return false;

  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  try {
    bytes.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    return false;
  }
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
  // The file may have shrunk since its size was taken; keep only what was read.
  const std::streamsize got = in.gcount();
  if (got <= 0) {
    bytes.clear();
    return false;
  }
  bytes.resize(static_cast<std::size_t>(got));
  return true;
}

bool WritePictureFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const std::filesystem::path target(path);
  // A name of its own each time, so a leftover from a crash never blocks later saves.
  std::filesystem::path temporary = target;
  temporary += ".~" + std::to_string(std::random_device{}()) + ".tmp";
  {
    std::error_code exists;
    if (std::filesystem::exists(temporary, exists)) return false;
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, target, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return false;
  }
  return true;
}

}  // namespace roarmark
