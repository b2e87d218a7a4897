// Profiles and their save files: round trips, the older formats, the limits of the flag
// arrays, the name cut, and damaged or hostile files.
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "engine/core/bitstream.h"
#include "engine/core/format.h"
#include "game/app/player_list.h"
#include "platform/os.h"
#include "tests/game/app/rules_fixture.h"
#include "tests/support/temp_dir.h"

namespace vektest {
namespace {

std::string Bytes(const vek::cBitStream& s) {
  return std::string(s.GetBytes().begin(), s.GetBytes().begin() + s.GetByteCount());
}

vek::cBitStream Stream(const std::string& bytes) {
  vek::cBitStream s;
  s.SetData(bytes.data(), static_cast<vek::u32>(bytes.size()));
  return s;
}

// A player.dat of the given version: as the writer of that version made it.
std::string ProfileFile(float version, int hintCount = 15, bool withArrays = true, bool withTraining = true) {
  vek::cBitStream s;
  s.WriteFloat(version);
  s.WriteString("Ann");
  s.WriteInt(5);   // level progress
  s.WriteInt(3);   // selected level
  s.WriteInt(hintCount);
  for (int i = 0; i < hintCount; ++i) s.WriteInt(1);
  s.WriteInt(2);   // training flags
  s.WriteInt(1);
  s.WriteInt(1);
  s.WriteInt(3);   // time grades
  for (int g : {0, 1, 2}) s.WriteInt(g);
  s.WriteInt(2);   // level times
  s.WriteFloat(80.5f);
  s.WriteFloat(99.0f);
  if (withArrays) {
    s.WriteInt(2);  // produced
    s.WriteInt(7);
    s.WriteInt(8);
    s.WriteInt(1);  // animals bought
    s.WriteInt(4);
  }
  if (withTraining) s.WriteInt(6);
  return Bytes(s);
}

// A main save.dat: one task "egg" 3 from 70 s, the car load {0, 1000, 2}.
std::string GameFile(bool withStart, bool withOldField) {
  vek::cBitStream s;
  s.WriteFloat(12.5f);
  s.WriteInt(3);
  for (int w : {0, 1000, 2}) s.WriteInt(w);
  s.WriteInt(2);  // next pending task
  s.WriteInt(1);
  s.WriteString("egg");
  s.WriteInt(static_cast<vek::u32>(-1));
  s.WriteInt(3);
  if (withStart) s.WriteFloat(70.0f);
  if (withOldField) s.WriteInt(0xDEADBEEF);
  for (int v : {1, 2, 150, 400, 1, 2, 0, 3, 0, 1, 3, 2}) s.WriteInt(v);  // pump .. animal kinds
  return Bytes(s);
}

using PlayerTest = RulesFixture;

TEST_F(PlayerTest, ProfileAndGameRoundTripThroughTheirFiles) {
  struct IslandInLevel : iRulesWorld {
    int GetIslandMode() override { return 2; }
  } island;
  SetRulesWorld(&island);
  host.training = 4;
  host.pumpState = 1;
  cPlayer a("plr000");
  a.GetName() = "Chloe";
  a.levelProgress = 12;
  a.hintFlags[0] = a.hintFlags[14] = 1;
  a.trainingFlags[9] = 1;
  a.timeGrades = {0, 2, 1};
  a.levelTimes = {45.5f, 0.0f, 130.25f};
  a.produced = {0, 0, 5};
  a.animalsBought = {1, 2};
  a.currentLevel = 11;
  a.elapsedTime = 33.0f;
  a.carLoad = {15, 2};
  a.nextPendingTask = 3;
  a.activeTasks = {{-1, 15, 4, nullptr, nullptr, nullptr, 60.0f}, {2, kNoWare, 1, nullptr, nullptr, nullptr, 0.0f}};
  a.holesLayout = 2;
  a.money = 321;
  a.bank = 987;
  a.upgradeLevels = {1, 2, 2, 3, 0, 1};
  a.lastSort = 4;
  a.animalKinds = 1;
  ASSERT_TRUE(a.SaveGame(-1));
  EXPECT_EQ(a.selectedLevel, 11);  // the main save during play keeps the level in play
  a.money = 50;
  ASSERT_TRUE(a.SaveGame(11));

  host.training = 0;
  host.pumpState = 0;
  cPlayer b("plr000");
  ASSERT_TRUE(b.Load());
  EXPECT_EQ(b.GetName(), "Chloe");
  EXPECT_EQ(b.levelProgress, 12);
  EXPECT_EQ(b.selectedLevel, 11);
  EXPECT_EQ(b.hintFlags, a.hintFlags);
  EXPECT_EQ(b.trainingFlags, a.trainingFlags);
  EXPECT_EQ(b.timeGrades, a.timeGrades);
  EXPECT_EQ(b.levelTimes, a.levelTimes);
  EXPECT_EQ(b.produced, a.produced);
  EXPECT_EQ(b.animalsBought, a.animalsBought);
  EXPECT_EQ(host.training, 4);
  ASSERT_TRUE(b.LoadGame(-1));
  EXPECT_EQ(b.elapsedTime, 33.0f);
  EXPECT_EQ(b.carLoad, a.carLoad);
  EXPECT_EQ(b.nextPendingTask, 3);
  ASSERT_EQ(b.activeTasks.size(), 2u);
  EXPECT_EQ(b.activeTasks[0].ware, 15);
  EXPECT_EQ(b.activeTasks[0].count, 4);
  EXPECT_EQ(b.activeTasks[0].startTime, 60.0f);
  EXPECT_EQ(b.activeTasks[1].ware, kNoWare);
  EXPECT_EQ(b.activeTasks[1].kind, 2);
  EXPECT_EQ(b.money, 321);
  EXPECT_EQ(b.bank, 987);
  EXPECT_EQ(b.upgradeLevels, a.upgradeLevels);
  EXPECT_EQ(b.lastSort, 4);
  EXPECT_EQ(b.animalKinds, 1);
  EXPECT_EQ(b.holesLayout, 2);
  EXPECT_EQ(host.pumpState, 1);
  EXPECT_EQ(b.currentLevel, 0);  // not part of the save: the level set-up chooses it

  // The snapshot holds only the common part: 12 values, no elapsed time, load or tasks.
  EXPECT_EQ(ReadFileText(ProfileDir() + "11/save.dat").size(), 12u * 4u);
  ASSERT_TRUE(b.LoadGame(11));
  EXPECT_EQ(b.money, 50);
  EXPECT_TRUE(b.activeTasks.empty());
  EXPECT_EQ(b.elapsedTime, 0.0f);
}

TEST_F(PlayerTest, OlderProfileVersionsReadTheirOwnFields) {
  struct Case {
    float version;
    bool arrays, training, start, oldField;
  };
  for (const Case& c : {Case{0.6f, false, false, false, true}, Case{0.7f, true, false, false, true},
                        Case{0.8f, true, false, true, true}, Case{0.9f, true, true, true, false}}) {
    SCOPED_TRACE(c.version);
    host.training = 99;
    host.pumpState = 0;
    cPlayer p("plr000");
    auto in = Stream(ProfileFile(c.version, 15, c.arrays, c.training));
    ASSERT_TRUE(p.ParseProfile(in, "player.dat"));
    EXPECT_EQ(p.version, c.version);
    EXPECT_EQ(p.levelProgress, 5);
    EXPECT_EQ(p.timeGrades, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(p.produced, c.arrays ? std::vector<int>({7, 8}) : std::vector<int>());
    EXPECT_EQ(p.animalsBought, c.arrays ? std::vector<int>({4}) : std::vector<int>());
    EXPECT_EQ(host.training, c.training ? 6 : 99);

    auto game = Stream(GameFile(c.start, c.oldField));
    ASSERT_TRUE(p.ParseGame(game, -1, "save.dat"));
    ASSERT_EQ(p.activeTasks.size(), 1u);
    EXPECT_EQ(p.activeTasks[0].ware, host.wares["egg"]);
    EXPECT_EQ(p.activeTasks[0].startTime, c.start ? 70.0f : 0.0f);
    EXPECT_EQ(p.carLoad, (std::vector<int>{0, 2}));  // the "no ware" id is dropped
    EXPECT_EQ(host.pumpState, 1);
    EXPECT_EQ(p.money, 150);
    EXPECT_EQ(p.bank, 400);
    EXPECT_EQ(p.animalKinds, 2);

    // Whatever was read, the profile is written in the newest format.
    ASSERT_TRUE(p.WriteProfile());
    EXPECT_EQ(p.version, cPlayer::kVersion);
    cPlayer q("plr000");
    ASSERT_TRUE(q.Load());
    EXPECT_EQ(q.version, 0.9f);
  }
}

TEST_F(PlayerTest, HintFlagsFillTheirFixedSizes) {
  cPlayer p("plr000");
  auto many = Stream(ProfileFile(0.9f, 20));
  ASSERT_TRUE(p.ParseProfile(many, "player.dat"));
  EXPECT_EQ(p.hintFlags, std::vector<int>(15, 1));
  EXPECT_EQ(p.trainingFlags.size(), 10u);
  EXPECT_EQ(p.levelTimes.size(), 2u);  // the items after the dropped flags are read in step

  cPlayer q("plr000");
  auto few = Stream(ProfileFile(0.9f, 3));
  ASSERT_TRUE(q.ParseProfile(few, "player.dat"));
  std::vector<int> expected(15, 0);
  expected[0] = expected[1] = expected[2] = 1;
  EXPECT_EQ(q.hintFlags, expected);
}

TEST_F(PlayerTest, NamesAreCutToTenCharactersOfTheDataSetsCodePage) {
  EXPECT_EQ(cPlayer::CutName("Maximiliane"), "Maximilian");
  EXPECT_EQ(cPlayer::CutName("Ann"), "Ann");
  // A UTF-8 login of two-byte characters: converted first, so no character is cut in half.
  const std::string login = "\xC3\x85s\xC3\xB8ren-\xC3\x86r\xC3\xB8\xC3\xA9\xC3\xBC";  // Åsøren-Ærøéü
  host.userName = plat::Utf8ToCp1252(login);
  cPlayer p("plr000");
  EXPECT_EQ(p.GetName().size(), 10u);
  EXPECT_EQ(plat::Cp1252ToUtf8(p.GetName()), "\xC3\x85s\xC3\xB8ren-\xC3\x86r\xC3\xB8");
}

TEST_F(PlayerTest, NewProfilesTakeTheirFolderFromThePlayerCounter) {
  host.playerCounter = 7;
  cPlayer p;
  EXPECT_EQ(p.GetFolder(), "plr007");
  EXPECT_EQ(host.playerCounter, 8);
  EXPECT_EQ(p.currentLevel, 0);
  EXPECT_EQ(p.selectedLevel, -1);
  EXPECT_EQ(p.animalKinds, -1);
  EXPECT_EQ(p.hintFlags.size(), 15u);
  EXPECT_EQ(p.trainingFlags.size(), 10u);
}

TEST_F(PlayerTest, TheMainSaveWaitsWhileTheIslandHasTheFocusOrTheGameIsPaused) {
  cPlayer p("plr000");
  host.canSaveMain = false;
  EXPECT_TRUE(p.SaveMain());
  EXPECT_FALSE(vektest::ReadFileText(ProfileDir() + "save.dat").size());
  host.canSaveMain = true;
  EXPECT_TRUE(p.SaveMain());
  EXPECT_TRUE(vektest::ReadFileText(ProfileDir() + "save.dat").size());
}

// Damaged and hostile files: each one is refused with a log line and changes nothing.
TEST_F(PlayerTest, DamagedFilesAreRefusedAndTheProfileKeepsItsState) {
  const std::string good = ProfileFile(0.9f);
  const std::string game = GameFile(true, false);
  std::vector<std::pair<std::string, std::string>> profiles;  // what, bytes
  for (size_t n = 0; n < good.size(); ++n) profiles.push_back({"cut at " + std::to_string(n), good.substr(0, n)});
  auto patched = [&](size_t at, vek::u32 value) {
    std::string s = good;
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(value >> (8 * i));
    return s;
  };
  const size_t hintCountAt = 4 + 2 + 3 + 4 + 4;
  profiles.push_back({"huge hint count", patched(hintCountAt, 0xFFFFFFFFu)});
  profiles.push_back({"count past the end", patched(hintCountAt, 200)});
  for (float v : {0.0f, -1.0f, 0.95f, 1.0f, std::numeric_limits<float>::quiet_NaN(),
                  std::numeric_limits<float>::infinity()}) {
    vek::u32 bits;
    std::memcpy(&bits, &v, 4);
    profiles.push_back({"version " + std::to_string(v), patched(0, bits)});
  }
  profiles.push_back({"level progress", patched(4 + 2 + 3, 1000000)});
  std::mt19937 random(7);
  for (int i = 0; i < 20; ++i) {
    std::string noise(1 + random() % 200, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    noise[0] = 0;  // a version of tiny size or zero: never a sane one
    profiles.push_back({"random bytes " + std::to_string(i), noise});
  }

  cPlayer p("plr000");
  auto in = Stream(good);
  ASSERT_TRUE(p.ParseProfile(in, "player.dat"));
  const std::string before = Bytes(p.BuildProfile());
  for (const auto& [what, bytes] : profiles) {
    SCOPED_TRACE(what);
    auto s = Stream(bytes);
    EXPECT_FALSE(p.ParseProfile(s, "player.dat"));
    EXPECT_EQ(Bytes(p.BuildProfile()), before);
  }
  EXPECT_NE(LogText().find("Damaged profile"), std::string::npos);

  std::vector<std::string> games;
  for (size_t n = 0; n < game.size(); ++n) games.push_back(game.substr(0, n));
  std::string hugeLoad = game;
  hugeLoad[4] = hugeLoad[5] = hugeLoad[6] = hugeLoad[7] = '\xff';
  games.push_back(hugeLoad);
  std::string badUpgrade = game;
  badUpgrade[game.size() - 4 * 3] = 9;  // the last upgrade level
  games.push_back(badUpgrade);
  auto ok = Stream(game);
  ASSERT_TRUE(p.ParseGame(ok, -1, "save.dat"));
  const std::string gameBefore = Bytes(p.BuildGame(-1));
  for (size_t i = 0; i < games.size(); ++i) {
    SCOPED_TRACE(i);
    auto s = Stream(games[i]);
    EXPECT_FALSE(p.ParseGame(s, -1, "save.dat"));
    EXPECT_EQ(Bytes(p.BuildGame(-1)), gameBefore);
  }
  EXPECT_NE(LogText().find("Damaged save"), std::string::npos);
}

// A folder of hostile profiles beside a good one: the list holds the good one only.
TEST_F(PlayerTest, TheProfileListLeavesOutProfilesThatCannotBeRead) {
  cPlayer good("plr001");
  good.GetName() = "Good";
  ASSERT_TRUE(good.WriteProfile());
  const std::string valid = ProfileFile(0.9f);
  const std::vector<std::string> hostile = {valid.substr(0, 11), std::string(64, '\xff'), "", "junk"};
  for (size_t i = 0; i < hostile.size(); ++i) {
    cPlayer(vek::Formatted("plr%03i", 2 + static_cast<int>(i))).GetProfilePath(-1);
    ASSERT_TRUE(WriteFileText(ProfileDir(vek::Formatted("plr%03i", 2 + static_cast<int>(i))) + "player.dat",
                              hostile[i]));
  }
  cPlayerList list;
  EXPECT_EQ(list.LoadPlayers(), 1u);
  ASSERT_EQ(list.GetCount(), 1u);
  EXPECT_EQ(list.GetPlayer(0)->GetName(), "Good");
  EXPECT_NE(LogText().find("left out"), std::string::npos);
}

}  // namespace
}  // namespace vektest
