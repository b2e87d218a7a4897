#include <algorithm>
#include <gtest/gtest.h>

#include "game/world/level.h"
#include "game/world/ware_manager.h"
#include "tests/game/world/test_objects.h"
#include "tests/support/world_harness.h"

namespace {

using vektest::RecordingGardener;
using vektest::TypedObject;

vek::i32 g_CursorX = 0, g_CursorY = 0;
bool g_CursorOk = true;
bool ReadTestCursor(vek::i32* x, vek::i32* y) {
  *x = g_CursorX;
  *y = g_CursorY;
  return g_CursorOk;
}

cObject* MakeGardener(cLevel* level) { return new RecordingGardener(level); }

// A field with the gardener, the car, the pump and the tools (plain objects with sizes).
class LevelInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world.BuildWares();
    cLevel::SetMaker(e_KindGardener, &MakeGardener);
    level = std::make_unique<cLevel>();
    level->SetCursorReader(&ReadTestCursor);
    level->Clear();
    level->BuildFixedObjects();
    level->PlaceFixedDefaults();
    gardener = dynamic_cast<RecordingGardener*>(level->GetGardener());
    ASSERT_NE(gardener, nullptr);
    car = level->FindObject(level->GetCarId());
    car->SetSize(100.0f, 60.0f);
    pump = level->FindObject(level->GetPumpId());
    pump->SetSize(60.0f, 100.0f);
    g_CursorOk = true;
  }
  void TearDown() override { cLevel::SetMaker(e_KindGardener, nullptr); }

  // A left click at a field point (y upwards); the cursor is read in client pixels.
  void ClickAt(vek::vec2 p, vek::u32 button = 0) {
    g_CursorX = static_cast<vek::i32>(p.x);
    g_CursorY = static_cast<vek::i32>(768.0f - p.y);
    level->OnEvent(4, button);
  }
  vek::vec2 Cell(vek::i32 i, vek::i32 j) { return level->CellToPos(i, j) + vek::vec2{0.0f, 20.0f}; }
  std::vector<std::string> Log() {
    auto out = gardener->log;
    gardener->log.clear();
    return out;
  }

  vektest::WorldHarness world;
  std::unique_ptr<cLevel> level;
  RecordingGardener* gardener = nullptr;
  cObject* car = nullptr;
  cObject* pump = nullptr;
};

TEST_F(LevelInputTest, ClickTable) {
  auto* hole = new TypedObject(level.get(), e_TypeHole, 70.0f, 60.0f);
  hole->SetCell(1, 4);
  auto* plantInHole = new TypedObject(level.get(), e_TypePlant);
  plantInHole->SetCell(1, 4);
  auto* flowers = new TypedObject(level.get(), e_TypePlant);
  flowers->SetCell(6, 7);
  flowers->ware = static_cast<vek::u32>(g_pWareManager->GetWareId("flowers"));
  flowers->stage = 0;
  auto* ripe = new TypedObject(level.get(), e_TypePlant);
  ripe->SetCell(6, 8);
  ripe->stage = 2;
  auto* egg = new TypedObject(level.get(), e_TypeEgg);
  egg->SetCell(0, 6);
  const std::string carType = "type " + std::to_string(e_TypeCar);
  auto* inFront = new TypedObject(level.get(), e_TypeGoat, 100.0f, 100.0f);
  inFront->SetPosition(car->GetPosition().x, car->GetPosition().y - 10.0f);

  const struct {
    const char* what;
    vek::vec2 at;
    std::string task;
  } cases[] = {
      {"car wins over what stands in front", car->GetPosition() + vek::vec2{0.0f, 30.0f}, carType},
      {"pump by id", pump->GetPosition() + vek::vec2{0.0f, 50.0f}, "object " + std::to_string(pump->GetId())},
      {"bare cell", Cell(7, 2), "cell 7,2"},
      {"hole with a plant gives the plant", Cell(1, 4), "object " + std::to_string(plantInHole->GetId())},
      {"flowers needing water", Cell(6, 7), "object " + std::to_string(flowers->GetId())},
      {"any other plant is a bare cell", Cell(6, 8), "cell 6,8"},
      {"animal product", Cell(0, 6), "object " + std::to_string(egg->GetId())},
  };
  for (const auto& c : cases) {
    ClickAt(c.at);
    EXPECT_EQ(Log(), std::vector<std::string>{c.task}) << c.what;
  }
  // A click outside the field that hits nothing only plays the click sound.
  world.services.sounds.clear();
  ClickAt({50.0f, 50.0f});
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(world.services.sounds, std::vector<vek::i32>{13});
}

TEST_F(LevelInputTest, TopmostObjectAndTies) {
  auto* back = new TypedObject(level.get(), e_TypeGoat, 80.0f, 80.0f);
  auto* front = new TypedObject(level.get(), e_TypeOstrich, 80.0f, 80.0f);
  back->SetPosition(500.0f, 400.0f);
  front->SetPosition(510.0f, 380.0f);  // smaller depth: nearer
  ClickAt({505.0f, 420.0f});
  EXPECT_EQ(Log(), std::vector<std::string>{"object " + std::to_string(front->GetId())});
  front->SetPosition(510.0f, 400.0f);  // same depth: the first registered wins
  ClickAt({505.0f, 420.0f});
  EXPECT_EQ(Log(), std::vector<std::string>{"object " + std::to_string(back->GetId())});
}

TEST_F(LevelInputTest, GatesRightClickAndEscape) {
  world.services.training = true;
  world.services.trainingClickFlag = 0;
  world.services.missionTime = 1.0f;
  ClickAt(Cell(7, 2));
  EXPECT_TRUE(Log().empty());
  world.services.missionTime = 2.5f;
  ClickAt(Cell(7, 2));
  EXPECT_EQ(Log().size(), 1u);

  world.services.hintIndex = 3;
  level->OnEvent(4, 1);  // right click during a hint step: nothing
  EXPECT_TRUE(Log().empty());
  world.services.hintIndex = -1;
  level->OnEvent(4, 1);
  EXPECT_EQ(Log(), (std::vector<std::string>{"release", "clearseed"}));

  level->OnEvent(1, 1);
  level->OnEvent(1, 2);  // other keys are ignored
  EXPECT_EQ(world.services.calls.back(), "SwitchWindow escape 2");

  g_CursorOk = false;  // an unreadable cursor ignores the click
  ClickAt(Cell(7, 2));
  EXPECT_TRUE(Log().empty());
}

TEST_F(LevelInputTest, HoverFollowsTheCursorWhileSowing) {
  const vek::u32 grass = static_cast<vek::u32>(g_pWareManager->GetWareId("grass"));
  auto move = [&](vek::vec2 p) {
    g_CursorX = static_cast<vek::i32>(p.x);
    g_CursorY = static_cast<vek::i32>(768.0f - p.y);
    level->OnEvent(6, 0);
  };
  move(Cell(6, 6));
  EXPECT_EQ(level->GetHoverCell(), kNoCell);
  gardener->seed = grass;
  move(Cell(6, 6));
  EXPECT_EQ(level->GetHoverCell(), (cCell{6, 6}));
  move(car->GetPosition() + vek::vec2{0.0f, 30.0f});  // over an object
  EXPECT_EQ(level->GetHoverCell(), kNoCell);
  EXPECT_TRUE(car->IsSelected());
  // A queued seed action makes sowing too; a later object task ends it.
  gardener->seed = kNoWare;
  gardener->tasks.push_back({grass, kNoCell});
  move(Cell(6, 6));
  EXPECT_EQ(level->GetHoverCell(), (cCell{6, 6}));
  EXPECT_FALSE(car->IsSelected());
  gardener->tasks.push_back({level->GetPumpId(), {2, 9}});
  move(Cell(6, 6));
  EXPECT_EQ(level->GetHoverCell(), kNoCell);
}

// The grass lesson's spot is done once the gardener is sent to sow grass (or flowers) on a
// free cell; a click with a crop's seed, or on an object, is not it.
TEST_F(LevelInputTest, SowingGrassOnAFreeCellMovesTheGrassLessonOn) {
  const vek::u32 grass = static_cast<vek::u32>(g_pWareManager->GetWareId("grass"));
  const std::pair<vek::i32, vek::i32> spot{5, 1};
  auto sent = [&] { return std::count(world.services.hintSteps.begin(), world.services.hintSteps.end(), spot); };
  gardener->seed = static_cast<vek::u32>(g_pWareManager->GetWareId("plant00"));
  ClickAt(Cell(6, 6));
  EXPECT_EQ(sent(), 0);
  gardener->seed = kNoWare;
  gardener->tasks.push_back({grass, kNoCell});  // picked just now, not yet in hand
  ClickAt(car->GetPosition() + vek::vec2{0.0f, 30.0f});
  EXPECT_EQ(sent(), 0);
  ClickAt(Cell(6, 6));
  EXPECT_EQ(sent(), 1);
}

}  // namespace
