// Reading one of the program's own files when whatever lies at its path may be anything: only
// a regular file within a size limit is read, so a FIFO, a device or a runaway file never
// blocks or floods the start.
#pragma once

#include <cstddef>
#include <string>

namespace roarmark {

inline constexpr std::size_t kMaxSettingsFileBytes = 16u << 20;  // "Roarmark.ini", ".cfg" files
inline constexpr std::size_t kMaxPresetFileBytes = 1u << 20;     // "Settings.dat"

struct TFileRead {
  // Refused: not a regular file, or larger than the limit; it is not opened (or not read on
  // past the limit). Unreadable: a regular file whose reading failed.
  enum class TResult { Read, Missing, Refused, Unreadable };
  TResult Result = TResult::Missing;
  std::string Bytes;
  // Why a file that is there was not read, as a sentence for the operator.
  std::string Reason;
};

// The bytes of the file at `path` (links followed), or why there are none.
TFileRead ReadLimitedFile(const std::string& path, std::size_t max_bytes);

}  // namespace roarmark
