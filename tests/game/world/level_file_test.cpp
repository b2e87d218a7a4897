#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/files/data_manager.h"
#include "engine/core/path_tokens.h"
#include "game/world/level.h"
#include "game/world/ware_manager.h"
#include "tests/game/world/test_objects.h"
#include "tests/engine/core/captured_log.h"
#include "tests/support/temp_dir.h"
#include "tests/support/world_harness.h"

namespace {

using vektest::TypedObject;

// A plant with the level-file record of its class: ware id, growth, then the cell. A record
// whose ware is not a plant sort stops after the id, as the real plant does.
class FilePlant : public TypedObject {
 public:
  explicit FilePlant(cLevel* level) : TypedObject(level, e_TypePlant) {}
  bool Read(vek::cBitStream& s) override {
    ware = s.ReadInt();
    if (!g_pWareManager || g_pWareManager->GetWare(ware).GetType() != e_WareTypeSort) return false;
    growth = s.ReadFloat();
    return cObject::Read(s);
  }
  bool Write(vek::cBitStream& s) const override {
    s.WriteInt(ware);
    s.WriteFloat(growth);
    return cObject::Write(s);
  }
  vek::f32 growth = 0.0f;
};

cObject* MakePlant(cLevel* l) { return new FilePlant(l); }

class LevelFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world.BuildWares();
    cLevel::SetMaker(e_KindPlant, &MakePlant);
    vek::SetPathToken(vek::e_AppPath, tmp.path());
    world.services.profilePath = "{AppPath}/";
    world.services.layouts = {{{1, 1}, {1, 2}}, {{1, 1}, {1, 2}, {2, 5}}};
    level = std::make_unique<cLevel>();
    level->Clear();
    level->Load(0);  // no file yet: the fixed objects on their default cells
  }
  void TearDown() override {
    cLevel::SetMaker(e_KindPlant, nullptr);
    vek::SetPathToken(vek::e_AppPath, savedAppPath);
  }

  std::vector<vek::u32> Types() {
    std::vector<vek::u32> out;
    for (auto it = std::next(level->GetRegistry().begin()); it != level->GetRegistry().end(); ++it)
      out.push_back((*it)->GetType());
    return out;
  }
  std::string File() const { return tmp.path() + "/level.dat"; }
  void WriteFile(const std::vector<vek::u8>& bytes) {
    std::ofstream(File(), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                  static_cast<std::streamsize>(bytes.size()));
  }

  vektest::TempDir tmp;
  std::string savedAppPath = vek::GetPathToken(vek::e_AppPath);
  vektest::WorldHarness world;
  std::unique_ptr<cLevel> level;
};

TEST_F(LevelFileTest, FreshFieldAndEmptyFile) {
  // Holes of layout 0 on rows counted from the top, then the fixed objects.
  EXPECT_EQ(Types(), (std::vector<vek::u32>{e_TypeHole, e_TypeHole, e_TypeGardener, e_TypeToolWater, e_TypeToolWeed,
                                            e_TypeToolBin, e_TypeWorkStation, e_TypeCar, e_TypeWaterPump}));
  EXPECT_EQ(level->FindObjectAt({7, 1}, e_TypeHole)->GetType(), e_TypeHole);
  EXPECT_EQ(level->GetCellValue(7, 2), 0.0f);
  for (vek::i32 row : {1, 2, 3}) EXPECT_EQ(level->GetCellValue(row, 9), 0.0f);
  EXPECT_EQ(level->FindObject(level->GetGardenerId())->GetCell(), (cCell{5, 5}));
  EXPECT_EQ(level->FindObjectAt(kNoCell, e_TypeToolWeed)->GetCell(), (cCell{5, 3}));
  EXPECT_EQ(level->FindObject(level->GetCarId())->GetCell(), (cCell{3, 0}));

  ASSERT_TRUE(level->Save(0));
  vek::cBitStream s;
  ASSERT_EQ(vek::cDataManager::ReadBinary(&s, File()), vek::cDataManager::Ok);
  EXPECT_EQ(s.GetByteCount(), 4u * 8u + 20u);  // four records, five counts of 0
}

TEST_F(LevelFileTest, RoundTripKeepsOrderHolesAndOneBeePerHive) {
  auto add = [&](vek::u32 type, cCell c) {
    auto* o = new TypedObject(level.get(), type);
    o->SetCell(c);
    return o;
  };
  auto* p1 = new FilePlant(level.get());
  p1->ware = 3;
  p1->growth = 0.5f;
  p1->SetCell(7, 1);
  add(e_TypeGoat, {0, 3});
  auto* p2 = new FilePlant(level.get());
  p2->ware = 15;
  p2->SetCell(7, 2);
  add(e_TypeHive, {4, 7});
  add(e_TypeOstrich, {0, 1});
  add(e_TypePeacock, {0, 2});
  add(e_TypeHive, {6, 7});
  // A walking gardener (between cells) is stored on (4, 0).
  level->FindObject(level->GetGardenerId())->SetPosition(10.0f, 10.0f);
  ASSERT_TRUE(level->Save(0));

  world.services.layoutIndex = 1;  // a new layout adds its holes; the old ones are kept
  level->Load(0);
  const std::vector<vek::u32> expected = {
      e_TypeHole,    e_TypeHole,    e_TypeHole,  e_TypeGardener, e_TypeToolWater, e_TypeToolWeed, e_TypeToolBin,
      e_TypeWorkStation, e_TypeCar, e_TypeWaterPump, e_TypePlant, e_TypePlant, e_TypeOstrich, e_TypePeacock,
      e_TypeGoat,    e_TypeHive,    e_TypeBee,   e_TypeHive,     e_TypeBee};
  EXPECT_EQ(Types(), expected);
  EXPECT_EQ(level->FindObject(level->GetGardenerId())->GetCell(), (cCell{4, 0}));
  auto* back = dynamic_cast<FilePlant*>(level->FindObjectAt({7, 1}, e_TypePlant));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->ware, 3u);
  EXPECT_EQ(back->growth, 0.5f);
  // A hive blocks its cell and the one above.
  EXPECT_EQ(level->GetCellValue(4, 7), 0.0f);
  EXPECT_EQ(level->GetCellValue(5, 7), 0.0f);
  EXPECT_EQ(level->FindObjectAt({6, 5}, e_TypeHole)->GetType(), e_TypeHole);
}

TEST_F(LevelFileTest, UnknownPlantKindDoesNotShiftTheRecordsBehindIt) {
  auto* bad = new FilePlant(level.get());
  bad->ware = 9;  // a product, not a sort: its reader gives up after the id
  bad->SetCell(2, 2);
  auto* good = new FilePlant(level.get());
  good->ware = 1;
  good->SetCell(3, 3);
  auto* goat = new TypedObject(level.get(), e_TypeGoat);
  goat->SetCell(0, 4);
  ASSERT_TRUE(level->Save(0));
  level->Load(0);
  auto* plant = dynamic_cast<FilePlant*>(level->FindObjectAt({3, 3}, e_TypePlant));
  ASSERT_NE(plant, nullptr);
  EXPECT_EQ(plant->ware, 1u);
  EXPECT_EQ(level->FindObjectAt(kNoCell, e_TypeGoat)->GetCell(), (cCell{0, 4}));
}

TEST_F(LevelFileTest, DamagedFilesAreRefusedWhole) {
  auto header = [] {
    std::vector<vek::u8> b(32, 0);
    b[0] = 5, b[4] = 5;  // the gardener on (5, 5), the tools on (0, 0)
    return b;
  };
  auto withCount = [&](vek::u32 count, size_t extra) {
    auto b = header();
    for (int k = 0; k < 4; ++k) b.push_back(static_cast<vek::u8>(count >> (8 * k)));
    b.resize(b.size() + extra, 0);
    return b;
  };
  const struct {
    const char* what;
    std::vector<vek::u8> bytes;
  } cases[] = {
      {"shorter than the fixed records", std::vector<vek::u8>(10, 1)},
      {"no counts", header()},
      {"a huge count", withCount(0x7FFFFFFF, 64)},
      {"a count beyond the bytes left", withCount(3, 16 * 2)},
      {"ends inside the sections", withCount(0, 8)},
  };
  for (const auto& c : cases) {
    WriteFile(c.bytes);
    vektest::CapturedLog log;  // it sets the token aside: point it at the profile again
    vek::SetPathToken(vek::e_AppPath, tmp.path());
    EXPECT_TRUE(level->Load(0)) << c.what;
    EXPECT_NE(log.Text().find("level.dat refused"), std::string::npos) << c.what;
    // The field starts fresh: fixed objects on their default cells, no plants or animals.
    EXPECT_EQ(Types().size(), 9u) << c.what;
    EXPECT_EQ(level->FindObjectAt(kNoCell, e_TypeToolWeed)->GetCell(), (cCell{5, 3})) << c.what;
  }
}

TEST_F(LevelFileTest, NewProfileWithoutAFileIsNoWarning) {
  // A missing and an empty file both start the field fresh and are no fault of the player's;
  // a damaged one is.
  const struct {
    const char* what;
    bool present;
    std::vector<vek::u8> bytes;
    bool warns;
  } cases[] = {
      {"missing", false, {}, false},
      {"empty", true, {}, false},
      {"damaged", true, std::vector<vek::u8>(10, 1), true},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(File());
    if (c.present) WriteFile(c.bytes);
    vektest::CapturedLog log;
    vek::SetPathToken(vek::e_AppPath, tmp.path());
    EXPECT_TRUE(level->Load(0)) << c.what;
    const std::string text = log.Text();
    EXPECT_EQ(text.find("<span class='warning'>") != std::string::npos, c.warns) << c.what << text;
    EXPECT_EQ(text.find("not found"), std::string::npos) << c.what << text;
    EXPECT_EQ(Types().size(), 9u) << c.what;
    EXPECT_EQ(level->FindObjectAt(kNoCell, e_TypeGardener)->GetCell(), (cCell{5, 5})) << c.what;
  }
}

TEST_F(LevelFileTest, FailedSaveKeepsThePreviousFile) {
  ASSERT_TRUE(level->Save(0));
  std::ifstream in(File(), std::ios::binary);
  const std::string before((std::istreambuf_iterator<char>(in)), {});
  new TypedObject(level.get(), e_TypeGoat);
  // The temporary file cannot be made: a folder stands in its place.
  std::filesystem::create_directory(tmp.path() + "/level.dat.tmp");
  EXPECT_TRUE(level->Save(0));
  std::ifstream again(File(), std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), {}), before);
}

TEST_F(LevelFileTest, SaveNeedsAGardenerAndAPlayer) {
  world.services.profilePath.clear();
  EXPECT_FALSE(level->Save(0));
  level->Clear();
  world.services.profilePath = "{AppPath}/";
  EXPECT_FALSE(level->Save(0));
}

}  // namespace
