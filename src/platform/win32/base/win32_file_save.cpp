// Saving the program's own files on Windows: the same promise as the POSIX save (never lose
// what is on disk, never replace what may not be replaced), with the Windows calls. The new
// bytes go to a uniquely named file in the same folder, are flushed, and then take the old
// file's place with ReplaceFileW, which keeps its attributes and access rights. Another program
// that holds the file for a moment (a virus scanner, the search indexer, a backup or sync tool)
// only delays a save: the calls it blocks are tried again for about a second before the save
// reports the failure.

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win32/base/win32_text.h"
#include "settings/file_save.h"

namespace roarmark {

namespace {

using platform::win32::Narrow;
using platform::win32::Wide;

// The C library's words for the usual failures, so a save error reads the same on every
// platform; anything else in the system's own words.
std::string Reason(DWORD error) {
  switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
      return std::strerror(EACCES);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return std::strerror(ENOENT);
    case ERROR_DIRECTORY:
      return std::strerror(EISDIR);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::strerror(ENOSPC);
    case ERROR_WRITE_PROTECT:
      return std::strerror(EROFS);
    default:
      break;
  }
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string reason = n ? Narrow(std::wstring(text, n)) : "Error " + std::to_string(error);
  if (text) LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                             reason.back() == ' ' || reason.back() == '.'))
    reason.pop_back();
  return reason;
}

// What another program holding the file gives (ReplaceFileW says it could not remove the old
// file, which then stays as it was).
bool HeldElsewhere(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

// Runs `attempt` (true on success, the reason in GetLastError otherwise) until it succeeds, fails
// for another reason, or has been refused for about a second.
template <class Attempt>
bool Retried(Attempt attempt) {
  static constexpr DWORD kWaitsMs[] = {10, 20, 40, 80, 150, 200, 250, 250};
  for (const DWORD wait : kWaitsMs) {
    if (attempt()) return true;
    if (!HeldElsewhere(GetLastError())) return false;
    Sleep(wait);
  }
  return attempt();
}

HANDLE OpenRetried(const std::wstring& path, DWORD access) {
  HANDLE file = INVALID_HANDLE_VALUE;
  Retried([&] {
    file = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file != INVALID_HANDLE_VALUE;
  });
  return file;
}

// The full path with '\' separators, which every call below accepts.
std::wstring FullPath(const std::string& path) {
  const std::wstring wide = Wide(path);
  const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return wide;
  std::wstring full(n, L'\0');
  const DWORD got = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
  if (got == 0 || got >= n) return wide;
  full.resize(got);
  return full;
}

[[noreturn]] void Fail(const char* verb, const std::string& path, DWORD error) {
  throw TFileWriteError(std::string("Cannot ") + verb + " file \"" + path + "\". " + Reason(error));
}

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t cut = path.find_last_of(L"\\/:");
  if (cut == std::wstring::npos) return L".";
  if (path[cut] == L':') return path.substr(0, cut + 1);
  return cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
}

// Whether a file exists at `path`; throws when one does but may not be replaced.
bool CheckReplaceable(const std::wstring& wide, const std::string& path) {
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return false;
    Fail("open", path, error);
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) Fail("create", path, ERROR_DIRECTORY);
  if (attributes & FILE_ATTRIBUTE_READONLY) Fail("create", path, ERROR_ACCESS_DENIED);
  return true;
}

}  // namespace

std::optional<std::string> ReadFileForSave(const std::string& path) {
  const std::wstring wide = FullPath(path);
  // A folder in the file's place, then a file that cannot be read, are reported as such before
  // asking whether the file may be replaced.
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    Fail("create", path, ERROR_DIRECTORY);
  HANDLE file = OpenRetried(wide, GENERIC_READ);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      if (!CheckReplaceable(wide, path)) return std::nullopt;
    }
    Fail("open", path, error);
  }
  try {
    CheckReplaceable(wide, path);
  } catch (...) {
    CloseHandle(file);
    throw;
  }
  std::string bytes;
  char block[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, block, sizeof block, &got, nullptr)) {
      const DWORD error = GetLastError();
      CloseHandle(file);
      Fail("read", path, error);
    }
    if (got == 0) break;
    bytes.append(block, got);
  }
  CloseHandle(file);
  return bytes;
}

void SaveFileWhole(const std::string& path, std::string_view bytes) {
  const std::wstring wide = FullPath(path);
  const bool had_old = CheckReplaceable(wide, path);
  bool exists = had_old;
  if (exists) {
    // The process must be able to open the old file for writing, or it may not replace it.
    HANDLE probe = OpenRetried(wide, GENERIC_READ | GENERIC_WRITE);
    if (probe == INVALID_HANDLE_VALUE) Fail("create", path, GetLastError());
    CloseHandle(probe);
  }
  wchar_t temp[MAX_PATH + 16] = {};
  if (GetTempFileNameW(FolderOf(wide).c_str(), L"rmk", 0, temp) == 0)
    Fail("create", path, GetLastError());
  HANDLE file =
      CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    DeleteFileW(temp);
    Fail("create", path, error);
  }
  std::size_t done = 0;
  BOOL ok = TRUE;
  while (ok && done < bytes.size()) {
    DWORD wrote = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    ok = WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr);
    done += wrote;
  }
  if (ok) ok = FlushFileBuffers(file);
  const DWORD write_error = ok ? 0 : GetLastError();
  CloseHandle(file);
  if (!ok) {
    DeleteFileW(temp);
    Fail("create", path, write_error);
  }
  ok = Retried([&] {
    if (!exists) return MoveFileExW(temp, wide.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    if (ReplaceFileW(wide.c_str(), temp, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr))
      return true;
    const DWORD error = GetLastError();
    if (error != ERROR_UNABLE_TO_MOVE_REPLACEMENT && error != ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
      return false;
    // The old file is out of the way already; the new one goes in under its name.
    if (MoveFileExW(temp, wide.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    const DWORD move_error = GetLastError();
    exists = GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
    SetLastError(move_error);
    return false;
  });
  if (!ok) {
    const DWORD error = GetLastError();
    // With the old file gone, the new bytes under the temporary name are all there is: kept.
    if (!had_old || GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES) DeleteFileW(temp);
    Fail("create", path, error);
  }
}

}  // namespace roarmark
