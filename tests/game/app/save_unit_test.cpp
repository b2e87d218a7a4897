// A save is one unit: killed or failing at any write or rename, a profile afterwards loads
// as the whole previous game or the whole new one, never a mix.
#include "engine/files/filename.h"
#include "tests/game/app/rules_fixture.h"
#include "tests/support/failing_save_layer.h"
#include "tests/support/temp_dir.h"

namespace vektest {
namespace {

class SaveUnitTest : public RulesFixture {
 protected:
  void SetUp() override {
    RulesFixture::SetUp();
    // Two world files that carry the game's generation, as the field and the island would.
    for (const char* name : {"level.dat", "island.dat"}) {
      AddWorldSaveFile({name,
                        [this](vek::cBitStream& out, int) {
                          out.WriteInt(static_cast<vek::u32>(generation));
                          return true;
                        },
                        [this, name](const vek::string& path, int) {
                          std::string bytes = ReadFileText(vek::NativePath(vek::filename(path).path));
                          seen[name] = bytes.size() == 4 ? static_cast<unsigned char>(bytes[0]) : -1;
                          return true;
                        }});
    }
  }

  // Saves game `g` of the profile: money, bank and the world files all carry g.
  bool SaveGeneration(cPlayer& p, int g, int slot) {
    generation = g;
    p.money = g;
    p.bank = g;
    p.levelProgress = g;
    return p.SaveGame(slot);
  }

  // Loads the profile afresh; the generation every file agrees on, or -1 for a mix.
  int LoadedGeneration(int slot) {
    SetSaveFileLayer(nullptr);
    cPlayer p("plr000");
    if (!p.Load()) return -2;
    p.LoadGame(slot);
    const int g = p.money;
    bool same = p.bank == g && seen["level.dat"] == g && seen["island.dat"] == g;
    if (slot < 0) same = same && p.levelProgress == g;
    return same ? g : -1;
  }

  int generation = 0;
  std::map<std::string, int> seen;
};

TEST_F(SaveUnitTest, AnInterruptedSaveLeavesTheOldGameOrTheNewOne) {
  for (int slot : {-1, 4}) {
    for (bool killed : {true, false}) {
      bool finished = false;
      for (int n = 1; !finished && n < 50; ++n) {
        SCOPED_TRACE(testing::Message() << "slot " << slot << (killed ? " killed" : " failing") << " at " << n);
        {
          SetSaveFileLayer(nullptr);
          cPlayer old("plr000");
          ASSERT_TRUE(SaveGeneration(old, 1, slot));
          if (slot >= 0) {
            ASSERT_TRUE(SaveGeneration(old, 1, -1));
          }
        }
        // Killed: from the failing operation on nothing reaches the disk; failing: only it fails,
        // cut short.
        vektest::FailingSaveLayer layer(n, killed ? n : INT_MAX, true);
        SetSaveFileLayer(&layer);
        cPlayer p("plr000");
        p.Load();
        const bool saved = SaveGeneration(p, 2, slot);
        finished = layer.Operations() < n;  // the save never reached its n-th operation
        const int loaded = LoadedGeneration(slot);
        EXPECT_TRUE(loaded == 1 || loaded == 2) << loaded;
        if (saved) {
          EXPECT_EQ(loaded, 2);
        }
        // No temporary or list outlives the load.
        for (const char* f : {"save.commit", "save.rollback", "save.dat.new", "player.dat.new", "save.dat.old",
                              "player.dat.old"}) {
          EXPECT_FALSE(DiskFileLayer().Exists(ProfileDir() + f)) << f;
        }
      }
      EXPECT_TRUE(finished);
    }
  }
}

TEST_F(SaveUnitTest, AListThatIsNotOursIsIgnored) {
  cPlayer p("plr000");
  ASSERT_TRUE(SaveGeneration(p, 3, -1));
  // A hostile list naming files outside the profile.
  ASSERT_TRUE(WriteFileText(ProfileDir() + "save.commit", "../../victim\nend\n"));
  ASSERT_TRUE(WriteFileText(ProfileDir() + "../../victim.new", "x"));
  EXPECT_EQ(LoadedGeneration(-1), 3);
  EXPECT_FALSE(DiskFileLayer().Exists(ProfileDir() + "save.commit"));
  EXPECT_TRUE(DiskFileLayer().Exists(ProfileDir() + "../../victim.new"));
  EXPECT_NE(LogText().find("Damaged save list"), std::string::npos);
}

}  // namespace
}  // namespace vektest
