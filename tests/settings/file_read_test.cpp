// Bounded reads: a regular file the reader may not open is told apart from a missing one and
// from one that is refused for its kind or size, with the system's reason.
#include "settings/file_read.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "temp_folder.h"

namespace roarmark {
namespace {

constexpr uid_t kNobody = 65534;

// The superuser reads anything, so the read is made as nobody when the test runs as root.
TEST(FileRead, AFileThatMayNotBeReadIsUnreadableWithTheSystemsReason) {
  test::TTempFolder dir;
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);  // the file itself is what may not be read
  const std::string path = (dir.Path() / "gala.cfg").string();
  std::ofstream(path) << "[Form]\nStyle=2\n";
  ASSERT_EQ(::chmod(path.c_str(), 0000), 0);
  auto read_as_user = [&] {
    const TFileRead read = ReadLimitedFile(path, kMaxSettingsFileBytes);
    return read.Result == TFileRead::TResult::Unreadable &&
           read.Reason == "It cannot be read: Permission denied." && read.Bytes.empty();
  };
  if (::geteuid() != 0) {
    EXPECT_TRUE(read_as_user());
    return;
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(3);
    ::_exit(read_as_user() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: not told as unreadable, 3: could not drop privileges";
}

}  // namespace
}  // namespace roarmark
