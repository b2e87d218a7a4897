#include <gtest/gtest.h>

#include <memory>

#include "game/world/hive.h"
#include "game/world/level.h"
#include "game/world/tools.h"
#include "tests/support/world_harness.h"

namespace {

class ToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(world.LoadTestSheets());
    RegisterToolMakers();
    level = std::make_unique<cLevel>();
    level->Clear();
    level->SetBatch(&world.services.batch);
  }
  void TearDown() override {
    level.reset();
    for (eFieldKind k : {e_KindToolWater, e_KindToolWeed, e_KindToolBin}) cLevel::SetMaker(k, nullptr);
  }
  cToolWater* NewCan() { return static_cast<cToolWater*>(level->Make(e_KindToolWater)); }
  cToolBin* NewBin() { return static_cast<cToolBin*>(level->Make(e_KindToolBin)); }
  vek::u32 Drawn(cObject* o) {
    world.services.batch.Clear();
    o->Draw();
    return world.services.batch.GetVertexCount();
  }

  vektest::WorldHarness world;
  std::unique_ptr<cLevel> level;
};

TEST_F(ToolsTest, CanFillAndUseAreRefusedWholeBeyondTheLimits) {
  struct Step {
    char op;  // f fill, u use, s set
    vek::i32 n;
    vek::i32 amount;  // after the step
  } steps[] = {{'f', 1, 3}, {'f', 1, 3}, {'u', 2, 1}, {'f', 2, 3}, {'u', 4, 3},
               {'s', 4, 3}, {'s', 0, 0}, {'u', 1, 0}, {'f', 3, 3}, {'u', 3, 0}};
  cToolWater* can = NewCan();
  ASSERT_EQ(can->GetCapacity(), 3);
  can->SetAmount(2);
  can->Fill(2);  // 2 + 2 would overflow: refused whole
  EXPECT_EQ(can->GetAmount(), 2);
  for (const Step& s : steps) {
    if (s.op == 'f') can->Fill(s.n);
    else if (s.op == 'u') can->Use(s.n);
    else can->SetAmount(s.n);
    EXPECT_EQ(can->GetAmount(), s.amount) << s.op << s.n;
    EXPECT_EQ(can->IsFull(), s.amount == 3);
  }
}

TEST_F(ToolsTest, CapacitiesFollowTheUpgradeLevels) {
  const vek::i32 expect[] = {3, 4, 5, 6, 0};  // past the row's end: 0
  cToolBin* bin = NewBin();
  for (vek::i32 lv = 0; lv < 5; ++lv) {
    world.services.upgrades[1] = lv;
    world.services.upgrades[2] = lv;
    EXPECT_EQ(NewCan()->GetCapacity(), expect[lv]) << lv;
    EXPECT_EQ(bin->GetCapacity(), expect[lv]) << lv;  // the bin asks on every call
  }
  world.services.upgrades[2] = 4;
  EXPECT_TRUE(bin->IsFull());
  EXPECT_FALSE(bin->AddItem(1));
}

TEST_F(ToolsTest, BinKeepsOrderAndRefusesWhenFull) {
  cToolBin* bin = NewBin();
  EXPECT_EQ(bin->TakeFirstItem(), kNoWare);
  for (vek::u32 id : {5u, 7u, 5u}) EXPECT_TRUE(bin->AddItem(id));
  EXPECT_TRUE(bin->IsFull());
  EXPECT_FALSE(bin->AddItem(9));
  EXPECT_EQ(bin->CountItems(5), 2);
  EXPECT_EQ(bin->CountItems(9), 0);
  EXPECT_EQ(bin->TakeItem(3), kNoWare);
  EXPECT_EQ(bin->TakeItem(-1), kNoWare);
  EXPECT_EQ(bin->GetCount(), 3);
  EXPECT_EQ(bin->TakeItem(1), 7u);
  EXPECT_EQ(bin->GetItems(), (std::vector<vek::u32>{5, 5}));
  EXPECT_EQ(bin->TakeFirstItem(), 5u);
  EXPECT_EQ(bin->GetCount(), 1);
}

TEST_F(ToolsTest, RecordsRoundTripAndABinReadsNoMoreThanItHolds) {
  cToolWater* can = NewCan();
  can->SetCell(3, 4);
  can->SetAmount(2);
  cToolBin* bin = NewBin();
  bin->SetCell(4, 4);
  bin->AddItem(2);
  bin->AddItem(8);
  vek::cBitStream s;
  ASSERT_TRUE(can->Write(s));
  ASSERT_TRUE(bin->Write(s));
  cToolWater* can2 = NewCan();
  cToolBin* bin2 = NewBin();
  ASSERT_TRUE(can2->Read(s));
  ASSERT_TRUE(bin2->Read(s));
  EXPECT_EQ(can2->GetCell(), (cCell{3, 4}));
  EXPECT_EQ(can2->GetAmount(), 2);
  EXPECT_EQ(bin2->GetItems(), (std::vector<vek::u32>{2, 8}));

  // Five ids for a bin of three: the first three stay, and the record behind is read whole.
  vek::cBitStream more;
  for (vek::u32 v : {1u, 1u, 5u, 11u, 12u, 13u, 14u, 15u, 77u}) more.WriteInt(v);
  cToolBin* bin3 = NewBin();
  ASSERT_TRUE(bin3->Read(more));
  EXPECT_EQ(bin3->GetItems(), (std::vector<vek::u32>{11, 12, 13}));
  EXPECT_EQ(bin3->GetCount(), bin3->GetCapacity());
  EXPECT_EQ(more.ReadInt(), 77u);

  // A count far beyond the stored bytes reads what is there and no further.
  vek::cBitStream hostile;
  for (vek::u32 v : {1u, 1u, 0xFFFFFFF0u, 4u}) hostile.WriteInt(v);
  cToolBin* bin4 = NewBin();
  EXPECT_FALSE(bin4->Read(hostile));
  EXPECT_EQ(bin4->GetItems(), (std::vector<vek::u32>{4}));
}

// The can's capacity and amount come from level.dat: only what an upgrade can give is taken
// (a capacity of millions would have every frame draw millions of icons).
TEST_F(ToolsTest, ACanIsReadOnlyWithACapacityTheGameGives) {
  struct Case {
    vek::i32 capacity, amount;
    vek::i32 keptCapacity, keptAmount;
  };
  const vek::i32 base = NewCan()->GetCapacity();  // the player's upgrade: none
  const Case cases[] = {{6, 6, 6, 6},          {4, 2, 4, 2},       {10000000, 10000000, base, base},
                        {0x7fffffff, 5, base, base}, {-5, 1, base, 1}, {4, -2, 4, 0},
                        {4, 99, 4, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "capacity " << c.capacity << ", amount " << c.amount);
    vek::cBitStream s;
    for (vek::i32 v : {1, 1, c.capacity, c.amount}) s.WriteInt(static_cast<vek::u32>(v));
    cToolWater* can = NewCan();
    ASSERT_TRUE(can->Read(s));
    EXPECT_EQ(can->GetCapacity(), c.keptCapacity);
    EXPECT_EQ(can->GetAmount(), c.keptAmount);
    EXPECT_LE(Drawn(can), 6u * 4u + 4u);
  }
  // A hive holds the one unit of honey every hive of the game holds.
  RegisterHiveMakers();
  for (vek::i32 capacity : {0x7fffffff, 1000, -3}) {
    vek::cBitStream s;
    for (vek::i32 v : {0, 4, 0, capacity}) s.WriteInt(static_cast<vek::u32>(v));
    for (int i = 0; i < 6; ++i) s.WriteFloat(0.0f);
    auto* hive = static_cast<cHive*>(level->Make(e_KindHive));
    ASSERT_TRUE(hive->Read(s));
    EXPECT_EQ(hive->GetCapacity(), 1);
  }
  for (eFieldKind k : {e_KindHive, e_KindBee}) cLevel::SetMaker(k, nullptr);
}

TEST_F(ToolsTest, AToolSavedOnABlockedCellMovesToAFreeOne) {
  cToolWater* can = NewCan();
  can->SetCell(2, 3);
  vek::cBitStream s;
  can->Write(s);
  level->SetCellValue(2, 3, 0.0f);
  cToolWater* loaded = NewCan();
  const cCell nearest = level->FindFreeCell({2, 3});
  ASSERT_TRUE(loaded->Read(s));
  const cCell c = loaded->GetCell();
  EXPECT_NE(c, (cCell{2, 3}));
  EXPECT_TRUE(level->IsCellInside(c));
  EXPECT_NE(level->GetCellValue(c.i, c.j), 0.0f);
  EXPECT_EQ(c, nearest);
}

TEST_F(ToolsTest, HitAndDrawFollowTakenAndTheLevelsWater) {
  cToolWater* can = NewCan();
  can->SetCell(3, 3);
  can->SetAmount(2);
  const vek::rectf r = can->GetRect();
  const vek::vec2 mid{r.x + r.w * 0.5f, r.y + r.h * 0.5f};
  EXPECT_TRUE(can->HitTest(mid));
  const vek::u32 lying = Drawn(can);
  EXPECT_GT(lying, 0u);
  can->SetTaken(true);
  EXPECT_FALSE(can->HitTest(mid));
  EXPECT_LT(Drawn(can), lying);  // only the water units above the gardener
  EXPECT_GT(Drawn(can), 0u);
  can->SetTaken(false);

  world.services.waterFlag = 0;
  EXPECT_FALSE(can->HitTest(mid));
  EXPECT_EQ(can->GetRect().w, 0.0f);
  EXPECT_EQ(Drawn(can), 0u);

  cToolBin* bin = NewBin();
  bin->SetCell(4, 4);
  bin->SetTaken(true);
  EXPECT_GT(Drawn(bin), 0u);  // its places still show while carried
  EXPECT_FALSE(bin->HitTest(bin->GetPosition()));
}

// The game saves its field also before any level was played (a profile change on the main
// menu): that file reads back as a new field, with the can's and the bin's full records.
TEST_F(ToolsTest, AFieldNeverSetUpIsSavedAsANewOneThatReadsBack) {
  vek::cBitStream s;
  level->WriteLevel(s);
  level = std::make_unique<cLevel>();
  level->Clear();
  level->BuildFixedObjects();
  ASSERT_TRUE(level->ReadLevel(s));
  EXPECT_EQ(s.GetReadPosition() / 8, s.GetByteCount()) << "every byte read, none missing";
  auto* can = static_cast<cToolWater*>(level->FindObjectAt(kNoCell, e_TypeToolWater));
  EXPECT_EQ(can->GetCell(), (cCell{5, 4}));
  EXPECT_EQ(static_cast<cToolBin*>(level->FindObjectAt(kNoCell, e_TypeToolBin))->GetCount(), 0);
}

// The bin's record has no fixed length: the hive section behind it must still read right.
TEST_F(ToolsTest, ToolsAndHivesComeBackFromTheLevelFile) {
  RegisterHiveMakers();
  level->BuildFixedObjects();
  level->PlaceFixedDefaults();
  auto* can = static_cast<cToolWater*>(level->FindObjectAt(kNoCell, e_TypeToolWater));
  auto* bin = static_cast<cToolBin*>(level->FindObjectAt(kNoCell, e_TypeToolBin));
  can->SetAmount(1);
  bin->AddItem(6);
  bin->AddItem(2);
  auto* hive = static_cast<cHive*>(level->Make(e_KindHive));
  hive->SetCell(0, 4);
  hive->AddHoney();
  vek::cBitStream s;
  level->WriteLevel(s);

  level = std::make_unique<cLevel>();
  level->Clear();
  level->BuildFixedObjects();
  ASSERT_TRUE(level->ReadLevel(s));
  can = static_cast<cToolWater*>(level->FindObjectAt(kNoCell, e_TypeToolWater));
  bin = static_cast<cToolBin*>(level->FindObjectAt(kNoCell, e_TypeToolBin));
  EXPECT_EQ(can->GetAmount(), 1);
  EXPECT_EQ(bin->GetItems(), (std::vector<vek::u32>{6, 2}));
  cObject* loaded = level->FindObjectAt({0, 4}, e_TypeHive);
  ASSERT_TRUE(loaded->IsType(e_TypeHive));
  EXPECT_TRUE(loaded->IsReady());
  vek::i32 bees = 0;
  for (cObject* o : level->GetRegistry()) {
    if (o->GetType() != e_TypeBee) continue;
    ++bees;
    EXPECT_EQ(static_cast<cBee*>(o)->GetHiveId(), loaded->GetId());
    EXPECT_EQ(o->GetCell(), (cCell{0, 4}));
  }
  EXPECT_EQ(bees, 1);
  for (eFieldKind k : {e_KindHive, e_KindBee}) cLevel::SetMaker(k, nullptr);
}

}  // namespace
