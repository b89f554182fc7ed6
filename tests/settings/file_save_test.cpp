// Whole-file saves: what is on disk is never lost, protected files stay as they are, a replaced
// file keeps its mode and owner, links are saved through.
#include "settings/file_save.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "temp_folder.h"

namespace roarmark {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

void Write(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

struct stat Stat(const fs::path& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st;
}

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

// Mode bits decide for every user, the superuser included.
TEST(FileSave, AFileThatMayNotBeReadOrWrittenIsNeverReplaced) {
  const struct {
    const char* name;
    mode_t mode;
  } cases[] = {
      {"write-only", 0200},
  };
  for (const auto& c : cases) {
    test::TTempFolder dir;
    const fs::path file = dir.Path() / "Current.dat";
    Write(file, "[Form]\nStyle=3\n");
    ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
    EXPECT_THROW(ReadFileForSave(file.string()), TFileWriteError) << c.name;
    EXPECT_THROW(SaveFileWhole(file.string(), "[Form]\nStyle=1\n"), TFileWriteError) << c.name;
    EXPECT_EQ(Stat(file).st_mode & 07777, c.mode) << c.name;
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    EXPECT_EQ(Read(file), "[Form]\nStyle=3\n") << c.name;
    EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"Current.dat"}) << c.name;
  }
}

TEST(FileSave, AFolderInPlaceOfTheFileIsNeitherReadNorReplaced) {
  test::TTempFolder dir;
  fs::create_directory(dir.Path() / "Settings.dat");
  EXPECT_THROW(ReadFileForSave((dir.Path() / "Settings.dat").string()), TFileWriteError);
  EXPECT_THROW(SaveFileWhole((dir.Path() / "Settings.dat").string(), "x"), TFileWriteError);
  EXPECT_TRUE(fs::is_directory(dir.Path() / "Settings.dat"));
}

TEST(FileSave, AReplacedFileKeepsItsModeAndOwner) {
  test::TTempFolder dir;
  const fs::path file = dir.Path() / "Roarmark.ini";
  Write(file, "old");
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(file.c_str(), kNobody, kNobody), 0);
  }
  const struct stat before = Stat(file);
  SaveFileWhole(file.string(), "new");
  const struct stat after = Stat(file);
  EXPECT_EQ(Read(file), "new");
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(after.st_gid, before.st_gid);
  EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"Roarmark.ini"});
}

// An ordinary user in a folder open to all must not replace the superuser's file.
TEST(FileSave, AnotherUsersFileIsNotReplacedByAnOrdinaryUser) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to make a file of another owner";
  test::TTempFolder dir;
  ASSERT_EQ(::chmod(dir.Path().c_str(), 0777), 0);
  const fs::path file = dir.Path() / "Roarmark.ini";
  Write(file, "[Form]\nleft=5\n");
  ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(3);
    try {
      SaveFileWhole(file.string(), "[Form]\nleft=0\n");
    } catch (const TFileWriteError&) {
      ::_exit(0);
    }
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: replaced, 3: could not drop privileges";
  EXPECT_EQ(Read(file), "[Form]\nleft=5\n");
  EXPECT_EQ(Stat(file).st_uid, 0u);
}

TEST(FileSave, ALinkIsSavedThroughAndStays) {
  test::TTempFolder dir;
  fs::create_directory(dir.Path() / "show");
  Write(dir.Path() / "show" / "real.ini", "old");
  fs::create_symlink("show/real.ini", dir.Path() / "Roarmark.ini");
  fs::create_symlink("show/later.cfg", dir.Path() / "dangling.cfg");

  EXPECT_EQ(ReadFileForSave((dir.Path() / "Roarmark.ini").string()), "old");
  SaveFileWhole((dir.Path() / "Roarmark.ini").string(), "new");
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "Roarmark.ini"));
  EXPECT_EQ(Read(dir.Path() / "show" / "real.ini"), "new");

  EXPECT_EQ(ReadFileForSave((dir.Path() / "dangling.cfg").string()), std::nullopt);
  SaveFileWhole((dir.Path() / "dangling.cfg").string(), "made");
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "dangling.cfg"));
  EXPECT_EQ(Read(dir.Path() / "show" / "later.cfg"), "made");
  EXPECT_EQ(Names(dir.Path() / "show"), (std::set<std::string>{"later.cfg", "real.ini"}));
}

TEST(FileSave, LeftoversNamedLikeATemporaryFileDoNotStopASave) {
  test::TTempFolder dir;
  const fs::path file = dir.Path() / "Roarmark.ini";
  fs::create_directory(dir.Path() / "Roarmark.ini.tmp~");
  fs::create_directory(dir.Path() / ".Roarmark.ini.tmp");
  for (int i = 0; i < 20; ++i)
    SaveFileWhole(file.string(), "save " + std::to_string(i));
  EXPECT_EQ(Read(file), "save 19");
  EXPECT_EQ(Names(dir.Path()),
            (std::set<std::string>{".Roarmark.ini.tmp", "Roarmark.ini", "Roarmark.ini.tmp~"}));
}

TEST(FileSave, FailuresNameTheFileAsGiven) {
  test::TTempFolder dir;
  const std::string missing_folder = (dir.Path() / "gone" / "Settings.dat").string();
  try {
    SaveFileWhole(missing_folder, "x");
    ADD_FAILURE() << "saved into a missing folder";
  } catch (const TFileWriteError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot create file \"" + missing_folder + "\". No such file or directory");
  }
}

}  // namespace
}  // namespace roarmark
