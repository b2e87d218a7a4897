#include "engine/files/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "tests/engine/files/file_test_support.h"

namespace {

namespace fs = std::filesystem;
using vek::cFileSystem;
using vek::filename;

mode_t ModeOf(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

TEST(FileSystemTest, ListsEveryEntryOnce) {
  filetest::TokenFolders tokens;
  fs::create_directories(tokens / "list/sub");
  vektest::WriteFileText(tokens / "list/a.txt", "a");
  vektest::WriteFileText(tokens / "list/b.dat", "b");

  cFileSystem search;
  filename folder("{UserPath}/list");
  std::set<std::string> seen;
  for (filename f = search.GetFirst(folder); !f.empty(); f = search.GetNext()) {
    EXPECT_TRUE(seen.insert(f.file()).second) << f.path;
    EXPECT_EQ(f.dir(), folder.path + "\\");
  }
  EXPECT_EQ(seen, (std::set<std::string>{"a.txt", "b.dat", "sub"}));
  EXPECT_TRUE(search.GetNext().empty());  // exhausted stays exhausted

  EXPECT_TRUE(search.GetFirst("{UserPath}/missing").empty());
  EXPECT_TRUE(search.GetNext().empty());
  EXPECT_TRUE(search.GetFirst("{UserPath}/list/sub").empty());  // empty folder
}

TEST(FileSystemTest, ExistAndIsFolder) {
  filetest::TokenFolders tokens;
  vektest::WriteFileText(tokens / "plain.txt", "x");
  cFileSystem fsys;
  EXPECT_TRUE(fsys.Exist("{UserPath}/plain.txt"));
  EXPECT_FALSE(fsys.IsFolder("{UserPath}/plain.txt"));
  EXPECT_TRUE(fsys.Exist("{UserPath}"));
  EXPECT_TRUE(fsys.IsFolder("{UserPath}/"));
  EXPECT_FALSE(fsys.Exist("{UserPath}/none"));
  EXPECT_FALSE(fsys.IsFolder("{UserPath}/none"));
  EXPECT_FALSE(fsys.Exist(filename()));
}

TEST(FileSystemTest, CreateFolderMakesTheChainAndReportsOnlyANewLastFolder) {
  filetest::TokenFolders tokens;
  cFileSystem fsys;
  EXPECT_TRUE(fsys.CreateFolder("{AppPath}/profile/plr001"));
  EXPECT_TRUE(fs::is_directory(tokens / "App/profile/plr001"));
  EXPECT_EQ(ModeOf(tokens / "App/profile/plr001"), 0755u);
  EXPECT_EQ(ModeOf(tokens / "App/profile"), 0755u);

  // An existing folder: false, and its permissions are left alone.
  ::chmod((tokens / "App/profile/plr001").c_str(), 0700);
  EXPECT_FALSE(fsys.CreateFolder("{AppPath}/profile/plr001/"));
  EXPECT_EQ(ModeOf(tokens / "App/profile/plr001"), 0700u);

  // A file in the way.
  vektest::WriteFileText(tokens / "App/blocker", "x");
  EXPECT_FALSE(fsys.CreateFolder("{AppPath}/blocker/x"));
  EXPECT_FALSE(fsys.CreateFolder(filename()));
}

TEST(FileSystemTest, FullAccessGivesTheEnginePermissions) {
  filetest::TokenFolders tokens;
  vektest::WriteFileText(tokens / "f.txt", "x");
  fs::create_directories(tokens / "d");
  ::chmod((tokens / "f.txt").c_str(), 0666);
  ::chmod((tokens / "d").c_str(), 0777);
  cFileSystem fsys;
  EXPECT_TRUE(fsys.FullAccess("{UserPath}/f.txt"));
  EXPECT_TRUE(fsys.FullAccess("{UserPath}/d"));
  EXPECT_EQ(ModeOf(tokens / "f.txt"), 0644u);
  EXPECT_EQ(ModeOf(tokens / "d"), 0755u);
  EXPECT_FALSE(fsys.FullAccess("{UserPath}/none"));
}

TEST(FileSystemTest, DeleteFolderRemovesTheTreeButNeverFollowsLinks) {
  filetest::TokenFolders tokens;
  fs::create_directories(tokens / "tree/a/b/c");
  fs::create_directories(tokens / "outside");
  vektest::WriteFileText(tokens / "tree/f1", "1");
  vektest::WriteFileText(tokens / "tree/a/b/f2", "2");
  vektest::WriteFileText(tokens / "outside/keep", "k");
  fs::create_directory_symlink(tokens / "outside", tokens / "tree/a/link");

  cFileSystem fsys;
  fsys.DeleteFolder("{UserPath}/tree");
  EXPECT_FALSE(fs::exists(tokens / "tree"));
  EXPECT_TRUE(fs::exists(tokens / "outside/keep"));
  fsys.DeleteFolder("{UserPath}/tree");  // already gone: nothing happens

  // A folder that is itself a link: the link goes, what it points to stays whole.
  fs::create_directory_symlink(tokens / "outside", tokens / "linked");
  fsys.DeleteFolder("{UserPath}/linked/");
  EXPECT_FALSE(fs::is_symlink(tokens / "linked"));
  EXPECT_TRUE(fs::exists(tokens / "outside/keep"));
}

// Runs the deletion of a folder that holds an entry its user cannot remove: it must end,
// log, and leave what it could not delete.
TEST(FileSystemTest, DeleteFolderThatCannotBeEmptiedEnds) {
  filetest::TokenFolders tokens;
  ::chmod(tokens.root().c_str(), 0777);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::alarm(20);  // a deletion that loops is killed and fails the test
    // Permissions do not stop the superuser: drop to an ordinary user first.
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(10);
    fs::create_directories(tokens / "victim/locked");
    vektest::WriteFileText(tokens / "victim/locked/stuck", "s");
    vektest::WriteFileText(tokens / "victim/loose", "l");
    ::chmod((tokens / "victim/locked").c_str(), 0555);
    filetest::LogCapture log;
    cFileSystem fsys;
    fsys.DeleteFolder("{UserPath}/victim");
    bool ok = fs::exists(tokens / "victim/locked/stuck") && !fs::exists(tokens / "victim/loose") &&
              log.Text().find("not deleted") != std::string::npos;
    ::chmod((tokens / "victim/locked").c_str(), 0755);
    ::_exit(ok ? 0 : 11);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the deletion did not end";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
