#include "engine/files/filename.h"

#include <gtest/gtest.h>

#include "engine/core/path_tokens.h"
#include "tests/support/temp_dir.h"

#include <sys/stat.h>

namespace {

using vek::filename;

class FilenameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int t = 0; t < 4; ++t) m_Saved[t] = vek::GetPathToken(t);
    vek::SetPathToken(vek::e_ExePath, "/opt/Orchardia/bin");
    vek::SetPathToken(vek::e_StaticPath, "data");
    vek::SetPathToken(vek::e_AppPath, "C:\\ProgramData\\Kelvra\\Orchardia");
    vek::SetPathToken(vek::e_UserPath, "/home/Tester");
  }
  void TearDown() override {
    for (int t = 0; t < 4; ++t) vek::SetPathToken(t, m_Saved[t]);
  }
  std::string m_Saved[4];
};

struct PathCase {
  const char* text;
  const char* path;
  const char* drive;
  const char* archive;
  const char* folder;
  const char* name;
  const char* ext;
};

TEST_F(FilenameTest, ExpandsAndSplitsPaths) {
  const PathCase cases[] = {
      {"{StaticPath}/conf/system.lua", "data\\conf\\system.lua", "", "", "data\\conf", "system",
       "lua"},
      // A token value keeps its case; the rest is lower-cased.
      {"{AppPath}/Conf/Settings.LUA", "C:\\ProgramData\\Kelvra\\Orchardia\\conf\\settings.lua",
       "C", "", "ProgramData\\Kelvra\\Orchardia\\conf", "settings", "lua"},
      {"{UserPath}/Saves/Game.DAT", "\\home\\Tester\\saves\\game.dat", "/", "",
       "home\\Tester\\saves", "game", "dat"},
      {"{ExePath}", "\\opt\\Orchardia\\bin", "/", "", "opt\\Orchardia", "bin", ""},
      {"{StaticPath}/texture/gfx.zip/ui/a.png", "data\\texture\\gfx.zip\\ui\\a.png", "",
       "data\\texture\\gfx.zip", "ui", "a", "png"},
      {"{StaticPath}/GFX.ZIP/Sub/Deep/A.PNG", "data\\gfx.zip\\sub\\deep\\a.png", "",
       "data\\gfx.zip", "sub\\deep", "a", "png"},
      {"{StaticPath}/gfx.zip/a.png", "data\\gfx.zip\\a.png", "", "data\\gfx.zip", "", "a", "png"},
      // The search is for the text ".zip" alone.
      {"{StaticPath}/old.zipped/x.png", "data\\old.zip\\ped\\x.png", "", "data\\old.zip", "ped",
       "x", "png"},
      {"readme", "readme", "", "", "", "readme", ""},
      {"a.b.c", "a.b.c", "", "", "", "a.b", "c"},
      // A path without a token keeps its case: the file system needs it.
      {"{Foo}/x", "{Foo}\\x", "", "", "{Foo}", "x", ""},
      {"\\\\?\\D:\\Games\\X.Txt", "D:\\Games\\X.Txt", "D", "", "Games", "X", "Txt"},
      {"Data\\Sub/File.DAT", "Data\\Sub\\File.DAT", "", "", "Data\\Sub", "File", "DAT"},
      {"/home/Ann Lee/My Game.lua", "\\home\\Ann Lee\\My Game.lua", "/", "", "home\\Ann Lee",
       "My Game", "lua"},
      {"", "", "", "", "", "", ""},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.text);
    filename f(c.text);
    EXPECT_EQ(f.path, c.path);
    EXPECT_EQ(f.drive, c.drive);
    EXPECT_EQ(f.archive, c.archive);
    EXPECT_EQ(f.folder, c.folder);
    EXPECT_EQ(f.name, c.name);
    EXPECT_EQ(f.ext, c.ext);
  }
}

TEST_F(FilenameTest, TokenValuesAreNeverArchivesAndKeepTheirCaseWhenExpandedAgain) {
  vek::SetPathToken(vek::e_UserPath, "/home/Ann.Zipper");
  filename plain("{UserPath}/Notes/a.txt");
  EXPECT_EQ(plain.archive, "");
  EXPECT_EQ(plain.path, "\\home\\Ann.Zipper\\notes\\a.txt");

  filename inside("{UserPath}/Pack.zip/A.txt");
  EXPECT_EQ(inside.archive, "home\\Ann.Zipper\\pack.zip");
  EXPECT_EQ(inside.folder, "");

  // An expanded path handed back (as CombinePath and the folder listing do) keeps its case.
  filename again(plain.path);
  EXPECT_EQ(again.path, plain.path);
  EXPECT_EQ(vek::CombinePath(plain.dir(), "B.TXT").path, "\\home\\Ann.Zipper\\notes\\b.txt");
  // Only whole folder names match a token value.
  vek::SetPathToken(vek::e_UserPath, "/home/Tester");
  EXPECT_EQ(filename("/home/Tester/Y").path, "\\home\\Tester\\y");
  EXPECT_EQ(filename("/home/TesterX/Y").path, "\\home\\TesterX\\Y");
}

TEST_F(FilenameTest, PartsAndRebuilding) {
  filename f("{StaticPath}/conf/system.lua");
  EXPECT_EQ(f.dir(), "data\\conf\\");
  EXPECT_EQ(f.file(), "system.lua");
  EXPECT_STREQ(f.c_str(), "data\\conf\\system.lua");
  EXPECT_FALSE(f.empty());
  EXPECT_TRUE(filename().empty());

  filename x("data\\x.dat");
  x.replace_ext("bak");
  EXPECT_EQ(x.path, "data\\x.bak");

  EXPECT_EQ(vek::MakePath("C", "a.zip", "f", "n", "e"), "C:\\a.zip\\f\\n.e");
  EXPECT_EQ(vek::MakePath(vek::kRootDrive, "", "home", "n", ""), "\\home\\n");
  EXPECT_EQ(vek::MakePath("", "", "", "", ""), "");
  EXPECT_EQ(vek::NativePath("\\home\\Tester\\a.txt"), "/home/Tester/a.txt");
}

TEST_F(FilenameTest, CombinePath) {
  EXPECT_EQ(vek::CombinePath("data\\conf", "x.lua").path, "data\\conf\\x.lua");
  EXPECT_EQ(vek::CombinePath("data\\conf\\", "x.lua").path, "data\\conf\\x.lua");
  // A name beginning with "." is a suffix of the folder text.
  EXPECT_EQ(vek::CombinePath("data\\x", ".bak").path, "data\\x.bak");
  EXPECT_EQ(vek::CombinePath("data", vek::string()).path, "data\\");
  // An empty folder gives the name alone, never a path at the root.
  EXPECT_EQ(vek::CombinePath("", "x.lua").path, "x.lua");
  EXPECT_EQ(vek::CombinePath("{AppPath}/profile", "plr001").path,
            "C:\\ProgramData\\Kelvra\\Orchardia\\profile\\plr001");
}

TEST_F(FilenameTest, NativePathFindsALowerCasedDataPathCaseBlindOnlyWhenTheExactOneIsMissing) {
  vektest::TempDir tmp;  // a folder with capitals and a space, as a user's may be
  const std::string root = tmp / "Ann Lee";
  ASSERT_EQ(::mkdir(root.c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((root + "/Conf").c_str(), 0755), 0);
  ASSERT_TRUE(vektest::WriteFileText(root + "/Conf/System.LUA", "x"));
  ASSERT_TRUE(vektest::WriteFileText(root + "/Conf/a.txt", "lower"));
  ASSERT_TRUE(vektest::WriteFileText(root + "/Conf/A.txt", "upper"));

  vek::SetPathToken(vek::e_UserPath, root);
  const struct {
    const char* text;
    std::string native;
  } cases[] = {
      {"{UserPath}/conf/system.lua", root + "/Conf/System.LUA"},  // lower-cased: found case-blind
      {"{UserPath}/Conf/A.txt", root + "/Conf/a.txt"},  // lower-cased to an exact match: kept
      {"{UserPath}/conf/new.dat", root + "/Conf/new.dat"},  // missing: the rest stays as written
      {"{UserPath}/nowhere/x", root + "/nowhere/x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(vek::NativePath(filename(c.text).path), c.native);
  }
  // An absolute path with capitals, outside every token, is found as written.
  vek::SetPathToken(vek::e_UserPath, "/home/Tester");
  EXPECT_EQ(vektest::ReadFileText(vek::NativePath(filename(root + "/Conf/A.txt").path)), "upper");
}

}  // namespace
