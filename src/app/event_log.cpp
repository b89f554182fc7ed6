// The show's event log: line format, appending, and the one-step rotation.
#include "app/event_log.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/file_path.h"

namespace roarmark {

namespace fs = std::filesystem;

namespace {
// A folder that never appears must not make the waiting lines grow without end.
constexpr std::size_t kMaxWaitingLines = 100;
}  // namespace

std::string EventLine(const platform::TLocalTime& time, const std::string& text) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d ", time.Year, time.Month,
                time.Day, time.Hour, time.Minute, time.Second);
  std::string line = stamp;
  // A run of line breaks ("\n\r" in the program's boxes, blank lines too) becomes one " / ";
  // none is kept at the end.
  bool pending_break = false;
  for (const char c : text) {
    if (c == '\n' || c == '\r') {
      pending_break = true;
      continue;
    }
    if (pending_break) line += " / ";
    pending_break = false;
    line += c;
  }
  line += '\n';
  return line;
}

TEventLog::TEventLog(std::string path, const platform::IClock& clock, std::uintmax_t max_bytes)
    : path_(std::move(path)), clock_(clock), max_bytes_(max_bytes) {}

void TEventLog::Write(const std::string& text) {
  if (waiting_.size() >= kMaxWaitingLines) waiting_.erase(waiting_.begin());
  waiting_.push_back(EventLine(clock_.Now(), text));
  std::string lines;
  for (const std::string& line : waiting_)
    lines += line;
  if (Append(lines)) waiting_.clear();
}

bool TEventLog::Append(const std::string& lines) {
  const fs::path file = platform::FilePath(path_);
  std::error_code ec;
  if (!fs::is_directory(file.parent_path(), ec)) return false;
  const std::uintmax_t size = fs::file_size(file, ec);
  if (!ec && size > 0 && size + lines.size() > max_bytes_) {
    const fs::path older = platform::FilePath(path_ + ".1");
    fs::remove(older, ec);
    fs::rename(file, older, ec);
  }
  // Binary: the same bytes on every platform, one "\n" a line.
  std::ofstream out(file, std::ios::binary | std::ios::app);
  out << lines;
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace roarmark
