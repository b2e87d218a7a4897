// The profile list: a profile is its folder. Names that differ only in case choose and delete
// the profile asked for, a folder that holds someone else's profile is never deleted, a new
// profile appears whole or not at all (also when the program is killed on the way), and a
// profile without a name gets one.
#include <algorithm>
#include <filesystem>
#include <memory>

#include "engine/files/filename.h"
#include "game/app/player_list.h"
#include "tests/game/app/rules_fixture.h"
#include "tests/support/temp_dir.h"

namespace vektest {
namespace {

namespace fs = std::filesystem;

class PlayerListTest : public RulesFixture {
 protected:
  std::string Profiles() const { return vek::GetPathToken(vek::e_AppPath) + "/profile"; }
  void Write(const std::string& folder, const std::string& name, int progress) {
    cPlayer p(folder);
    p.GetName() = name;
    p.levelProgress = progress;
    ASSERT_TRUE(p.WriteProfile());
  }
  std::vector<std::string> Folders() const {
    std::vector<std::string> out;
    if (fs::exists(Profiles()))
      for (const auto& e : fs::directory_iterator(Profiles())) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
  static std::vector<std::string> Names(const cPlayerList& list) {
    std::vector<std::string> out;
    for (unsigned i = 0; i < list.GetCount(); ++i) out.push_back(list.GetPlayer(i)->GetName());
    return out;
  }
};

TEST_F(PlayerListTest, NamesThatDifferOnlyInCaseAreToldApartByFolder) {
  for (const bool annFirst : {true, false}) {
    SCOPED_TRACE(annFirst ? "Ann first" : "ANN first");
    fs::remove_all(Profiles());
    Write(annFirst ? "plr000" : "plr001", "Ann", 5);
    Write(annFirst ? "plr001" : "plr000", "ANN", 1);
    const std::string annFolder = annFirst ? "plr000" : "plr001";
    const std::string annFile = ReadFileText(ProfileDir(annFolder) + "player.dat");
    cPlayerList list;
    ASSERT_EQ(list.LoadPlayers(), 2u);
    // By name the exact one wins; by folder the folder's.
    ASSERT_TRUE(list.ChangePlayer("ANN"));
    EXPECT_EQ(list.GetCurrent()->levelProgress, 1);
    ASSERT_TRUE(list.ChangePlayer("Ann"));
    EXPECT_EQ(list.GetCurrent()->levelProgress, 5);
    ASSERT_TRUE(list.ChangePlayer("ann"));  // no exact match: the first that differs in case
    ASSERT_TRUE(list.ChangePlayerByFolder(annFolder));
    EXPECT_EQ(list.GetCurrent()->GetName(), "Ann");

    const std::string annsTwin = annFirst ? "plr001" : "plr000";
    ASSERT_TRUE(list.DeletePlayerByFolder(annsTwin));
    EXPECT_EQ(Names(list), std::vector<std::string>{"Ann"});
    EXPECT_EQ(list.GetCurrent()->GetName(), "Ann");
    EXPECT_FALSE(fs::exists(ProfileDir(annsTwin)));
    EXPECT_EQ(ReadFileText(ProfileDir(annFolder) + "player.dat"), annFile);
    EXPECT_FALSE(list.DeletePlayerByFolder(annsTwin));  // gone: warned, nothing else happens
    EXPECT_NE(LogText().find("Can&#39;t find payer &#39;plr00"), std::string::npos);
  }
}

TEST_F(PlayerListTest, AFolderThatHoldsSomeoneElsesProfileIsNotDeleted) {
  struct Case {
    const char* what;
    const char* onDisk;  // the bytes of player.dat; null: the file is missing
    bool deleted;
  };
  const Case cases[] = {
      {"another player's profile", "Eve", false},
      {"a damaged profile", "\x01\x02", false},
      {"no profile at all", nullptr, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(Profiles());
    Write("plr000", "Ann", 2);
    Write("plr001", "Bob", 3);
    cPlayerList list;
    ASSERT_EQ(list.LoadPlayers(), 2u);
    ASSERT_TRUE(list.ChangePlayerByFolder("plr000"));
    // Bob's folder is changed behind the list's back.
    if (c.onDisk && std::string(c.onDisk) == "Eve")
      Write("plr001", "Eve", 7);
    else if (c.onDisk)
      ASSERT_TRUE(WriteFileText(ProfileDir("plr001") + "player.dat", c.onDisk));
    else
      fs::remove(ProfileDir("plr001") + "player.dat");
    EXPECT_EQ(list.DeletePlayer("Bob"), c.deleted);
    EXPECT_EQ(fs::exists(ProfileDir("plr001")), !c.deleted);
    EXPECT_EQ(list.GetCount(), c.deleted ? 1u : 2u);
    EXPECT_EQ(list.GetCurrent()->GetName(), "Ann");
    if (!c.deleted) {
      EXPECT_NE(LogText().find("doesn&#39;t hold player &#39;Bob&#39;"), std::string::npos) << LogText();
    }
  }
}

// The disk until the n-th write, rename, removal or new folder: that one and every later one
// fail (a disk that filled up, a program about to be killed).
class KilledLayer : public iSaveFileLayer {
 public:
  explicit KilledLayer(int killAt) : m_KillAt(killAt) {}
  bool Write(const std::string& path, const std::vector<vek::u8>& bytes) override {
    return Alive() && DiskFileLayer().Write(path, bytes);
  }
  bool Rename(const std::string& from, const std::string& to) override {
    return Alive() && DiskFileLayer().Rename(from, to);
  }
  bool Remove(const std::string& path) override { return Alive() && DiskFileLayer().Remove(path); }
  bool Link(const std::string& from, const std::string& to) override { return Alive() && DiskFileLayer().Link(from, to); }
  eSaveFileKind Kind(const std::string& path) override { return DiskFileLayer().Kind(path); }
  plat::eFileRead Read(const std::string& path, std::vector<vek::u8>& bytes) override {
    return DiskFileLayer().Read(path, bytes);
  }
  bool MakeFolder(const std::string& path) override { return Alive() && DiskFileLayer().MakeFolder(path); }
  bool Killed() const { return m_Count >= m_KillAt; }

 private:
  bool Alive() { return ++m_Count < m_KillAt; }
  int m_KillAt;
  int m_Count = 0;
};

TEST_F(PlayerListTest, ANewProfileIsWholeOrAbsentWhereverItsWritingStopped) {
  for (int killAt = 1;; ++killAt) {
    SCOPED_TRACE(killAt);
    fs::remove_all(Profiles());
    Write("plr000", "Ann", 4);
    KilledLayer layer(killAt);
    {
      cPlayerList list;
      list.LoadPlayers();
      SetSaveFileLayer(&layer);
      std::unique_ptr<cPlayer> made(list.CreatePlayer("Bob"));
      SetSaveFileLayer(nullptr);
      if (!layer.Killed()) {
        // Every step went through: the profile is in place, nothing else is left.
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->GetFolder(), "plr001");
        EXPECT_EQ(Folders(), (std::vector<std::string>{"plr000", "plr001"}));
        cPlayerList next;
        EXPECT_EQ(next.LoadPlayers(), 2u);
        EXPECT_EQ(Names(next), (std::vector<std::string>{"Ann", "Bob"}));
        break;
      }
    }
    // The next start: Ann, perhaps Bob, and no trace of a half-made profile nor a warning.
    const size_t logged = LogText().size();
    cPlayerList next;
    next.LoadPlayers();
    const std::vector<std::string> names = Names(next);
    EXPECT_TRUE(names == std::vector<std::string>{"Ann"} || names == (std::vector<std::string>{"Ann", "Bob"}))
        << testing::PrintToString(names);
    EXPECT_EQ(Folders().size(), names.size()) << testing::PrintToString(Folders());
    EXPECT_EQ(LogText().find("class='warning'", logged), std::string::npos) << LogText().substr(logged);
    ASSERT_LT(killAt, 20) << "the creation never finished";
  }
}

TEST_F(PlayerListTest, LeftoversOfACreationCutShortGoQuietlyAndOtherFoldersStay) {
  Write("plr000", "Ann", 1);
  fs::create_directories(Profiles() + "/plr001");                  // made, player.dat never written
  Write("plr002.new", "Bob", 0);                                    // written, never renamed
  fs::create_directories(Profiles() + "/plr003/7");                 // something else: kept, warned
  ASSERT_TRUE(WriteFileText(ProfileDir("plr003") + "notes.txt", "mine"));
  cPlayerList list;
  EXPECT_EQ(list.LoadPlayers(), 1u);
  EXPECT_EQ(Folders(), (std::vector<std::string>{"plr000", "plr003"}));
  EXPECT_NE(LogText().find("Profile &#39;plr003&#39; can&#39;t be read; left out"), std::string::npos) << LogText();
  EXPECT_EQ(LogText().find("plr001&#39; can&#39;t"), std::string::npos);
  // The next new profile takes the first free number.
  std::unique_ptr<cPlayer> made(list.CreatePlayer("Cid"));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetFolder(), "plr001");
}

TEST_F(PlayerListTest, AProfileWithoutANameIsNamedAndKeepsIt) {
  Write("plr000", "Player 1", 3);
  Write("plr001", "  ", 6);
  {
    cPlayerList list;
    ASSERT_EQ(list.LoadPlayers(), 2u);
    EXPECT_EQ(list.GetPlayer(1)->GetName(), "Player 2");
    EXPECT_EQ(list.GetPlayer(1)->levelProgress, 6);
  }
  cPlayerList again;
  ASSERT_EQ(again.LoadPlayers(), 2u);
  EXPECT_EQ(again.GetPlayer(1)->GetName(), "Player 2");
}

}  // namespace
}  // namespace vektest
