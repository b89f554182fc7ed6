// Saving one of the program's own files without ever losing what is on disk.
//
// Every writer of "Roarmark.ini", the settings files, "Current.dat" and "Settings.dat" goes
// through these two calls:
//
//   std::optional<std::string> old = ReadFileForSave(path);  // before changing keys in place
//   ... build the new bytes (TIniFile keeps the file's encoding and line ends) ...
//   SaveFileWhole(path, bytes);
//
// TIniFile::LoadForSave and TIniFile::Save wrap them for INI text. A file written whole without
// looking at its old contents (the ten lines of "Settings.dat") calls SaveFileWhole alone; it
// still refuses to replace a file it may not read or write.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace roarmark {

// A save that could not be completed; what() names the file as the caller gave it and the
// reason, as the user-interface framework's standard error box shows it.
class TFileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The current bytes of a file that is about to be rewritten, or nothing when it does not exist
// (a dangling symbolic link counts as missing: the save creates its target). Throws
// TFileWriteError when the file exists but may not be replaced (see SaveFileWhole) or cannot be
// read, so a save never builds new text on a file it could not see.
std::optional<std::string> ReadFileForSave(const std::string& path);

// Puts `bytes` in place of the file at `path`: written whole to a uniquely named temporary file
// in the same folder, flushed to disk, given the old file's mode bits and owner, then renamed
// over the old file. A symbolic link is saved through: its target is replaced, the link stays.
// A new file gets the usual mode (0666 less the umask).
//
// An existing file is never replaced when it is not a regular file, when the process may not
// read or write it, or when its mode bits grant no reading or no writing to anyone (the
// superuser passes every access check, so the bits decide for it), or when its owner cannot be
// kept. Throws TFileWriteError; on every failure the old file is left as it was and no temporary
// file remains.
void SaveFileWhole(const std::string& path, std::string_view bytes);

}  // namespace roarmark
