// Reading a picture file whole, with a bound on its size, and writing one in a single step.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace roarmark {

// Larger than any picture within the pixel limit needs, even uncompressed at 32 bits.
inline constexpr std::uint64_t kMaxPictureFileBytes = 256ull * 1024 * 1024;

// Reads the whole file. False when it is missing, unreadable, empty or larger than
// kMaxPictureFileBytes.
bool ReadPictureFile(const std::string& path, std::vector<std::uint8_t>& bytes);

// Writes `bytes` to a temporary file beside `path` and then puts it in place of `path`, so a
// failed write leaves any previous file untouched. False when anything fails.
bool WritePictureFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace roarmark
