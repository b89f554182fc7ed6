// Whole-file saves through a unique temporary file and a rename, refusing to replace a file the
// operator protected.
#include "settings/file_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

namespace roarmark {
namespace {

constexpr int kMaxLinkHops = 40;
constexpr int kMaxTempTries = 100;

[[noreturn]] void Fail(const char* verb, const std::string& path, const std::string& reason) {
  throw TFileWriteError(std::string("Cannot ") + verb + " file \"" + path + "\". " + reason);
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links to the path that is really written; a dangling link gives the path of
// the missing target.
std::string ResolveLinks(const std::string& path) {
  std::string current = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
    if (n < 0) Fail("create", path, std::strerror(errno));
    target.resize(static_cast<std::size_t>(n));
    current =
        (!target.empty() && target.front() == '/') ? target : FolderOf(current) + "/" + target;
  }
  Fail("create", path, std::strerror(ELOOP));
}

struct TExisting {
  bool exists = false;
  struct stat st {};
};

// Refuses a file that may not be replaced; `shown` is the name the operator knows.
TExisting CheckReplaceable(const std::string& real, const std::string& shown) {
  TExisting e;
  if (::stat(real.c_str(), &e.st) != 0) {
    if (errno == ENOENT) return e;
    Fail("open", shown, std::strerror(errno));
  }
  e.exists = true;
  if (!S_ISREG(e.st.st_mode))
    Fail("create", shown, std::strerror(S_ISDIR(e.st.st_mode) ? EISDIR : EINVAL));
  if (::access(real.c_str(), R_OK) != 0 || (e.st.st_mode & 0444) == 0) {
    Fail("open", shown, std::strerror(EACCES));
  }
  if (::access(real.c_str(), W_OK) != 0) Fail("create", shown, std::strerror(errno));
  if ((e.st.st_mode & 0222) == 0) Fail("create", shown, std::strerror(EACCES));
  return e;
}

std::string RandomSuffix() {
  static std::mt19937_64 generator{std::random_device{}() ^ static_cast<std::uint64_t>(::getpid())
                                                                << 32};
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string s(8, 'x');
  for (char& c : s)
    c = kLetters[generator() % (sizeof kLetters - 1)];
  return s;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

std::optional<std::string> ReadFileForSave(const std::string& path) {
  const std::string real = ResolveLinks(path);
  if (!CheckReplaceable(real, path).exists) return std::nullopt;
  const int fd = ::open(real.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("open", path, std::strerror(errno));
  std::string text;
  char buf[8192];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      Fail("read", path, std::strerror(err));
    }
    text.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return text;
}

void SaveFileWhole(const std::string& path, std::string_view bytes) {
  const std::string real = ResolveLinks(path);
  const TExisting old = CheckReplaceable(real, path);

  const std::string folder = FolderOf(real);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < kMaxTempTries && fd < 0; ++attempt) {
    temp = folder + "/." + NameOf(real) + "." + RandomSuffix() + ".tmp";
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) Fail("create", path, std::strerror(errno));

  auto give_up = [&](int err) {
    ::close(fd);
    ::unlink(temp.c_str());
    Fail("create", path, std::strerror(err));
  };
  if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) give_up(errno);
  if (old.exists) {
    struct stat mine {};
    if (::fstat(fd, &mine) != 0) give_up(errno);
    if ((mine.st_uid != old.st.st_uid || mine.st_gid != old.st.st_gid) &&
        ::fchown(fd, old.st.st_uid, old.st.st_gid) != 0) {
      give_up(errno);  // the file would change hands: rather keep the old one
    }
    if (::fchmod(fd, old.st.st_mode & 07777) != 0) give_up(errno);
  }
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    Fail("create", path, std::strerror(err));
  }
  if (::rename(temp.c_str(), real.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    Fail("create", path, std::strerror(err));
  }
  // The rename itself reaches the disk with the folder.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    (void)::fsync(dir);
    ::close(dir);
  }
}

}  // namespace roarmark
