// Reading a picture file whole, with a bound on its size.
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

}  // namespace roarmark
