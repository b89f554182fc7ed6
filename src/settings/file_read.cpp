// Bounded reads of the program's own files: the kind and size are checked before the file is
// opened, and never more than the limit is read should it grow meanwhile.
#include "settings/file_read.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/file_path.h"

namespace roarmark {

namespace fs = std::filesystem;

namespace {

TFileRead Refused(std::string reason) {
  TFileRead read;
  read.Result = TFileRead::TResult::Refused;
  read.Reason = std::move(reason);
  return read;
}

TFileRead Unreadable(const std::string& why) {
  TFileRead read;
  read.Result = TFileRead::TResult::Unreadable;
  read.Reason = "It cannot be read" + (why.empty() ? std::string() : ": " + why) + ".";
  return read;
}

std::string TooLarge(std::size_t max_bytes) {
  return "It is larger than " + std::to_string(max_bytes >> 20) + " MB.";
}

}  // namespace

TFileRead ReadLimitedFile(const std::string& path, std::size_t max_bytes) {
  std::error_code ec;
  const fs::file_status status = fs::status(platform::FilePath(path), ec);
  if (status.type() == fs::file_type::not_found) return TFileRead{};
  if (ec) return Unreadable(ec.message());
  if (status.type() != fs::file_type::regular) return Refused("It is not a regular file.");
  const std::uintmax_t size = fs::file_size(platform::FilePath(path), ec);
  if (!ec && size > max_bytes) return Refused(TooLarge(max_bytes));

  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    if (errno == ENOENT) return TFileRead{};
    return Unreadable(std::strerror(errno));
  }
  TFileRead read;
  read.Result = TFileRead::TResult::Read;
  char buf[8192];
  std::size_t n = 0;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    read.Bytes.append(buf, n);
    if (read.Bytes.size() > max_bytes) {
      std::fclose(f);
      return Refused(TooLarge(max_bytes));
    }
  }
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return Unreadable("");
  return read;
}

}  // namespace roarmark
