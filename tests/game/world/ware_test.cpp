#include <gtest/gtest.h>

#include "game/world/balance.h"
#include "game/world/ware_manager.h"
#include "tests/support/world_harness.h"

namespace {

class WareTest : public ::testing::Test {
 protected:
  void SetUp() override { world.BuildWares(); }
  vektest::WorldHarness world;
};

TEST_F(WareTest, TableIdsClassesAndLookups) {
  ASSERT_EQ(g_pWareManager->GetCount(), 21u);
  const struct {
    const char* name;
    vek::i32 id;
    vek::u32 type;
    vek::i32 price;
  } rows[] = {
      {"plant00", 0, e_WareTypeSort, 5},         {"plant07", 7, e_WareTypeSort, 40},
      {"product00", 8, e_WareTypeProduct, 15},   {"product03_1", 14, e_WareTypeProduct, 70},
      {"flowers", 15, e_WareTypeSort, 50},       {"grass", 16, e_WareTypeSort, 20},
      {"egg", 17, e_WareTypeWare, 50},           {"nib", 20, e_WareTypeWare, 60},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(g_pWareManager->GetWareId(r.name), r.id) << r.name;
    const cWare& w = g_pWareManager->GetWare(static_cast<vek::u32>(r.id));
    EXPECT_EQ(w.GetType(), r.type) << r.name;
    EXPECT_EQ(w.GetPrice(), r.price) << r.name;
    EXPECT_EQ(w.GetId(), r.id) << r.name;
  }
  for (const char* name : {"default", "", "Plant00", "plant00 "}) EXPECT_EQ(g_pWareManager->GetWareId(name), 1000) << name;
  const cWare& none = g_pWareManager->GetWare(1000);
  EXPECT_EQ(none.GetName(), "");
  EXPECT_EQ(none.GetPrice(), 0);
  EXPECT_EQ(none.GetType(), e_WareTypeWare);
  EXPECT_EQ(&g_pWareManager->GetSort(8), g_pWareManager->GetDefaultSort());
  const cSort& olive = g_pWareManager->GetSort(1);
  EXPECT_EQ(olive.m_NeedPeriods, (std::vector<vek::i32>{3, 3}));
  EXPECT_FLOAT_EQ(olive.m_GrowthTime, 4.5f);
  EXPECT_FLOAT_EQ(g_pWareManager->GetSort(15).m_GrowthTime, 3.0f);
  EXPECT_EQ(g_pWareManager->GetSort(15).m_NeedPeriods, (std::vector<vek::i32>{2, 0}));
  EXPECT_EQ(olive.GetDisplayName(), "Olive");
}

TEST_F(WareTest, DisplayNamesAreCopiedWhenMade) {
  world.services.texts["Tomato"] = "Tomate";
  EXPECT_EQ(g_pWareManager->GetWare(0).GetDisplayName(), "Tomato");
}

TEST_F(WareTest, SecondManagerIsRefused) {
  cWareManager* first = g_pWareManager;
  EXPECT_FALSE(CreateWareManager());
  EXPECT_EQ(g_pWareManager, first);
  EXPECT_EQ(g_pWareManager->GetCount(), 21u);
}

TEST_F(WareTest, PlantButtonWithoutSheetStillGivesThePrice) {
  vek::rectf frames[4];
  vek::i32 price = 0;
  EXPECT_FALSE(SetupPlantButton(frames, &price, 8));
  EXPECT_EQ(price, 15);
  price = -1;
  EXPECT_FALSE(SetupPlantButton(frames, &price, 21));
  EXPECT_EQ(price, -1);
}

TEST_F(WareTest, WareIdLists) {
  auto stream = [](std::vector<vek::u32> words) {
    vek::cBitStream s;
    for (vek::u32 w : words) s.WriteInt(w);
    vek::cBitStream r;
    r.SetData(s.GetBytes().data(), static_cast<vek::u32>(s.GetBytes().size()));
    return r;
  };
  const struct {
    const char* what;
    std::vector<vek::u32> words;
    bool ok;
    std::vector<vek::i32> ids;
  } cases[] = {
      {"no-ware ids are dropped", {3, 4, 1000, 9}, true, {4, 9}},
      {"count 0", {0}, true, {}},
      {"negative count", {0xFFFFFFFFu, 1, 2}, true, {}},
      {"count beyond the bytes left", {5, 1, 2}, false, {}},
      {"hostile count", {0x7FFFFFFFu}, false, {}},
  };
  for (const auto& c : cases) {
    vek::cBitStream s = stream(c.words);
    std::vector<vek::i32> ids{77};
    EXPECT_EQ(ReadWareIdList(&ids, &s), c.ok) << c.what;
    EXPECT_EQ(ids, c.ids) << c.what;
  }
  vek::cBitStream out;
  ASSERT_TRUE(WriteWareIdList(&out, {4, 1000}));
  EXPECT_EQ(out.GetBytes(), (std::vector<vek::u8>{2, 0, 0, 0, 4, 0, 0, 0, 0xE8, 3, 0, 0}));
  EXPECT_FALSE(WriteWareIdList(nullptr, {}));
  EXPECT_FALSE(ReadWareIdList(nullptr, &out));
}

TEST(Balance, RecordAndMatrices) {
  const cBalance b;
  EXPECT_EQ(b.waterVolume, (std::vector<vek::i32>{3, 4, 5, 6}));
  EXPECT_EQ(b.gardenerSpeed.back(), 370.0f);
  EXPECT_EQ(b.binTime, (std::vector<vek::f32>{0.9f, 0.7f, 0.5f, 0.4f}));
  EXPECT_EQ(b.peacockPrice, 400);
  vek::f32 m[16];
  MatrixRotationZ(m, 3.14159265f / 2.0f);
  const vek::vec3 v = Vec3TransformCoord({1.0f, 0.0f, 2.0f}, m);
  EXPECT_NEAR(v.x, 0.0f, 1e-6f);
  EXPECT_NEAR(v.y, 1.0f, 1e-6f);
  EXPECT_NEAR(v.z, 2.0f, 1e-6f);
  m[12] = 10.0f;  // the translation row is added, nothing is divided by w
  m[15] = 5.0f;
  EXPECT_NEAR(Vec3TransformCoord({0.0f, 0.0f, 0.0f}, m).x, 10.0f, 1e-6f);
}

}  // namespace
