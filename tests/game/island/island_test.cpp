// The island map widget driven headless: the after-level sequence, scrolling, markers, people
// and the building look-ups, with the game application faked.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>

#include "engine/core/random.h"
#include "engine/files/data_manager.h"
#include "engine/sound/music.h"
#include "engine/sound/sound_manager.h"
#include "platform/audio.h"
#include "game/island/island.h"
#include "game/app/player.h"
#include "tests/support/temp_dir.h"
#include "tests/support/world_harness.h"

cPlayer* CurrentPlayer();
void SetCurrentPlayer(cPlayer* player);

namespace {

vek::i32 g_CursorX = 0, g_CursorY = 0;
bool ReadCursor(vek::i32* x, vek::i32* y) {
  *x = g_CursorX;
  *y = g_CursorY;
  return true;
}

class IslandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetGardenServices(&fake);
    vek::SetRandomSeed(7);
    island = std::make_unique<cIsland>();
    island->SetCursorReader(&ReadCursor);
    cIslandPaths paths;
    paths.markers = {{300.0f, 300.0f}, {600.0f, 400.0f}};
    island->SetPaths(paths);
  }
  void TearDown() override {
    island.reset();
    SetGardenServices(nullptr);
  }
  cHouse* AddHouse(const std::string& name, vek::vec2 at, vek::i32 number) {
    auto h = std::make_unique<cHouse>(name, name, island.get());
    h->SetFrames(7);
    h->SetNumber(number);
    h->SetPosition(at.x, at.y);
    h->SetState(0);
    return static_cast<cHouse*>(island->AddBuilding(std::move(h)));
  }
  // Moves the cursor to a map point (the map is not scrolled sideways in these tests).
  void MoveTo(vek::vec2 p) {
    g_CursorX = static_cast<vek::i32>(p.x - island->GetScroll().x);
    g_CursorY = static_cast<vek::i32>(island->GetScroll().y + 768.0f - p.y);
    island->OnEvent(6, 0);
  }
  int Count(const std::string& call) const { return static_cast<int>(std::count(fake.calls.begin(), fake.calls.end(), call)); }

  vektest::FakeGardenServices fake;
  std::unique_ptr<cIsland> island;
};

TEST_F(IslandTest, AfterLevelSequenceWaitsForTheNewBuildingAndOpensTheNextLevelOnce) {
  cHouse* house = AddHouse("house00", {300.0f, 300.0f}, 0);
  fake.islandProgress = true;
  fake.rateProgress = 0;
  fake.islandRateProgress = 0;
  island->Show(e_islAfterLevel);
  island->Activate();

  int step = 0;
  auto runUntil = [&](auto done, int limit) {
    while (!done() && step < limit) {
      island->Step();
      ++step;
    }
  };
  // The first stage lasts one second, then the good sound; two seconds later the houses are
  // brought up to date and the level's house may be built.
  runUntil([&] { return !fake.sounds.empty(); }, 100);
  EXPECT_EQ(step, 30);
  EXPECT_EQ(fake.sounds[0], 26);
  runUntil([&] { return house->IsAvailable(); }, 200);
  EXPECT_GE(step, 90);  // 60 steps of 1/30 s may fall a rounding short of two seconds
  EXPECT_LE(step, 91);
  EXPECT_EQ(house->GetState(), 0);
  // Stars (1.2 s), the level success (1.2 s): then the sequence waits for the building.
  for (int i = 0; i < 300; ++i) island->Step();
  EXPECT_EQ(island->GetMode(), e_islAfterLevel);
  EXPECT_EQ(Count("AdvanceIsland"), 0);
  EXPECT_FALSE(island->GetStages().IsRunning(4));
  // The rating lesson came with the level's success; the tip at the building's site with the
  // wait, and again whenever it has gone while the sequence still waits.
  EXPECT_EQ(Count("ShowHint 14"), 1);
  EXPECT_EQ(Count("ShowTraining 1"), 1);
  fake.trainingStep = -1;
  island->Step();
  EXPECT_EQ(Count("ShowTraining 1"), 2);
  EXPECT_EQ(Count("ShowHint 2"), 0) << "the map does not scroll after a level";

  house->SetPrice(50);
  vek::i32 bank = 100;
  EXPECT_EQ(house->Buy(bank), 50);
  step = 0;
  runUntil([&] { return island->GetMode() == e_islMap; }, 1000);
  EXPECT_EQ(house->GetState(), 2);
  EXPECT_EQ(Count("AdvanceIsland"), 1);
  EXPECT_EQ(Count("CheckShips"), 1);
  EXPECT_EQ(Count("SaveBetweenLevels"), 1) << "the main save takes the level's pay";
  EXPECT_EQ(Count("ShowHint 13"), 1);
  // Two seconds of the built house's stage and 1.2 s of the island stars after construction.
  EXPECT_GT(step, 60 + 36);
  for (int i = 0; i < 100; ++i) island->Step();
  EXPECT_EQ(Count("AdvanceIsland"), 1);
}

TEST_F(IslandTest, AfterLevelSequenceOffersTheBuildingWhateverTheStarsProgress) {
  // A level that fills a star but no whole row (progress 1..4): no star shower, yet the
  // level's success and the wait for its building come as after any other level.
  cHouse* house = AddHouse("house00", {300.0f, 300.0f}, 0);
  fake.islandProgress = true;
  fake.rateProgress = 2;
  island->Show(e_islAfterLevel);
  island->Activate();
  for (int i = 0; i < 400; ++i) island->Step();
  EXPECT_EQ(island->GetMode(), e_islAfterLevel);
  EXPECT_EQ(Count("AdvanceIsland"), 0);
  EXPECT_TRUE(house->IsAvailable());
  EXPECT_EQ(house->GetState(), 0);
  EXPECT_EQ(std::count(fake.sounds.begin(), fake.sounds.end(), 2), 1) << "the level's success";
  EXPECT_EQ(std::count(fake.sounds.begin(), fake.sounds.end(), 23), 0) << "no star shower";
  vek::i32 bank = 100;
  house->SetPrice(50);
  EXPECT_EQ(house->Buy(bank), 50);
  for (int i = 0; i < 1000 && island->GetMode() == e_islAfterLevel; ++i) island->Step();
  EXPECT_EQ(house->GetState(), 2);
  EXPECT_EQ(Count("AdvanceIsland"), 1);
}

TEST_F(IslandTest, AfterLevelSequenceWithoutProgressEndsWithoutStars) {
  island->Show(e_islAfterLevel);
  island->Activate();
  for (int i = 0; i < 60 && island->GetMode() == e_islAfterLevel; ++i) island->Step();
  // Stage one only plays its sound; the rest pass the sequence on by single steps.
  EXPECT_EQ(island->GetMode(), e_islMap);
  EXPECT_EQ(fake.sounds, (std::vector<vek::i32>{26}));
  EXPECT_EQ(Count("AdvanceIsland"), 1);
}

TEST_F(IslandTest, HintThirteenHoldsTheEndOfTheSequence) {
  fake.hintIndex = 13;
  island->Show(e_islAfterLevel);
  island->Activate();
  for (int i = 0; i < 120; ++i) island->Step();
  EXPECT_EQ(island->GetMode(), e_islAfterLevel);
  fake.hintIndex = -1;
  island->Step();
  EXPECT_EQ(island->GetMode(), e_islMap);
  EXPECT_EQ(Count("AdvanceIsland"), 1);
}

TEST_F(IslandTest, CursorScrollsTheMapFromProgressSevenOn) {
  island->Show(e_islMap);
  const vek::vec2 top = island->GetScroll();
  EXPECT_EQ(top, vek::vec2(0.0f, 2048.0f - 768.0f));
  g_CursorX = 500;
  g_CursorY = 765;  // at the bottom edge: down the map
  fake.levelProgress = 6;
  island->Update(0.1f);
  EXPECT_EQ(island->GetScroll(), top);
  fake.levelProgress = 7;
  island->Update(0.1f);
  EXPECT_NEAR(island->GetScroll().y, top.y - 33.0f, 1e-3f);
  // The pointer at the bottom edge moves the scrolling lesson on, as the wheel does.
  EXPECT_EQ(fake.hintSteps, (std::vector<std::pair<vek::i32, vek::i32>>{{2, 0}}));
  // A training step other than scrolling holds the map; the scrolling one ends on a move.
  fake.trainingStep = 5;
  island->Update(0.1f);
  EXPECT_NEAR(island->GetScroll().y, top.y - 33.0f, 1e-3f);
  fake.trainingStep = 3;
  island->Update(0.1f);
  EXPECT_EQ(fake.trainingStep, -1);
  // Never beyond the map.
  for (int i = 0; i < 100; ++i) island->Update(0.1f);
  EXPECT_EQ(island->GetScroll().y, 0.0f);
  // The after-level sequence never scrolls.
  island->Show(e_islAfterLevel);
  g_CursorY = 5;
  island->Update(0.1f);
  EXPECT_EQ(island->GetScroll().y, 0.0f);
}

TEST_F(IslandTest, TheScrollingLessonStartsOnTheMapOnceItCanBeScrolled) {
  island->Show(e_islMap);
  fake.islandReady = false;  // before level 7 (or while a tip holds the map)
  island->Step();
  EXPECT_EQ(Count("ShowHint 2"), 0);
  fake.islandReady = true;
  island->Step();
  EXPECT_EQ(Count("ShowHint 2"), 1);
}

TEST_F(IslandTest, WheelScrollsDownAndMovesTheHintOn) {
  island->Show(e_islMap);
  fake.levelProgress = 7;
  g_CursorX = 500;
  g_CursorY = 300;  // away from the edges
  const vek::f32 top = island->GetScroll().y;
  island->OnEvent(7, static_cast<vek::u32>(-3));
  EXPECT_EQ(fake.hintSteps, (std::vector<std::pair<vek::i32, vek::i32>>{{2, 0}}));
  island->Update(0.1f);
  EXPECT_LT(island->GetScroll().y, top);
  island->OnEvent(7, 2u);  // upwards: no hint step
  EXPECT_EQ(fake.hintSteps.size(), 1u);
}

TEST_F(IslandTest, MapSmallerThanTheScreenKeepsTheNegativeOffset) {
  island->SetMapSize({800.0f, 600.0f});
  island->ScrollTo(1000.0f, 1000.0f);
  EXPECT_EQ(island->GetScroll(), vek::vec2(-224.0f, -168.0f));
}

TEST_F(IslandTest, MarkerClickAsksToStartTheLevelOnlyWhenPressedAndReleasedOnIt) {
  fake.levelProgress = 1;
  fake.texts["MessageStartLevel"] = "Start?";
  island->Show(e_islMap);
  island->ScrollTo(0.0f, 0.0f);

  MoveTo({300.0f, 310.0f});
  EXPECT_EQ(island->GetHoveredMarker(), 0);
  island->OnEvent(4, 0);
  MoveTo({600.0f, 410.0f});
  EXPECT_EQ(island->GetHoveredMarker(), 1);
  island->OnEvent(5, 0);
  EXPECT_EQ(Count("AskConfirm Start? icon_question start_level1"), 0);
  EXPECT_EQ(island->GetPressedMarker(), -1);

  island->OnEvent(4, 0);
  island->OnEvent(5, 0);
  EXPECT_EQ(Count("AskConfirm Start? icon_question start_level1"), 1);
  // Exactly 18 units beside a marker is outside it.
  EXPECT_EQ(island->FindMarkerAt({318.0f, 300.0f}), -1);
  EXPECT_EQ(island->FindMarkerAt({317.5f, 300.0f}), 0);
}

TEST_F(IslandTest, TheMarkerTooltipOpensOnlyOverAPlayedLevel) {
  cPlayer player;
  player.levelTimes = {84.0f};  // level 1 played, level 2 not yet
  SetCurrentPlayer(&player);
  fake.levelProgress = 1;
  island->Show(e_islMap);
  island->ScrollTo(0.0f, 0.0f);
  fake.calls.clear();
  MoveTo({300.0f, 310.0f});
  EXPECT_EQ(Count("SwitchWindow hint_mp 2"), 1);
  MoveTo({600.0f, 410.0f});
  EXPECT_EQ(island->GetHoveredMarker(), 1);  // still the marker to click
  EXPECT_EQ(Count("SwitchWindow hint_mp 2"), 1);
  // A window switch shows the window whatever its mode: the tooltip is hidden, never switched.
  EXPECT_EQ(Count("Hide hint_mp"), 1);
  MoveTo({900.0f, 700.0f});
  EXPECT_EQ(island->GetHoveredMarker(), -1);
  EXPECT_EQ(Count("Hide hint_mp"), 2);
  fake.islandReady = true;
  island->OnEvent(7, static_cast<vek::u32>(-1));  // the wheel
  EXPECT_EQ(Count("Hide hint_mp"), 3);
  EXPECT_EQ(Count("SwitchWindow hint_mp 0"), 0);
  SetCurrentPlayer(nullptr);
}

TEST_F(IslandTest, LeavingTheIslandTakesItsWindowsDown) {
  island->Show(e_islMap);
  island->Activate();
  fake.calls.clear();
  island->Deactivate();
  EXPECT_EQ(Count("Hide island"), 1);
  EXPECT_EQ(Count("Hide score"), 1);
  for (const std::string& call : fake.calls) EXPECT_NE(call.rfind("SwitchWindow", 0), 0u) << call;
}

TEST_F(IslandTest, PressOverAnAvailableHouseBuysItInTheAfterLevelSequence) {
  cHouse* house = AddHouse("house00", {100.0f, 100.0f}, 0);
  house->SetSize(80.0f, 60.0f);
  house->SetPrice(50);
  house->SetAvailable(true);
  cPlayer player;
  player.bank = 40;
  SetCurrentPlayer(&player);
  island->Show(e_islMap);
  island->ScrollTo(0.0f, 0.0f);
  MoveTo({140.0f, 130.0f});
  EXPECT_EQ(island->GetHoveredBuilding(), house);
  EXPECT_EQ(island->GetHoveredMarker(), -1);
  for (int i = 0; i < 10; ++i) island->StepEffects();
  EXPECT_FLOAT_EQ(house->GetHoverAlpha(), 1.0f);
  // On the map a press only clicks; in the after-level sequence it buys what the bank holds.
  island->OnEvent(4, 0);
  EXPECT_EQ(house->GetState(), 0);
  island->Show(e_islAfterLevel);
  island->OnEvent(4, 0);
  EXPECT_EQ(house->GetState(), 1);
  EXPECT_EQ(player.bank, 5);
  ASSERT_EQ(island->GetTexts().Size(), 1u);
  EXPECT_EQ(island->GetTexts().m_Items.front().text, "-$35");
  island->OnEvent(33, 0);
  EXPECT_EQ(island->GetHoveredBuilding(), nullptr);
  for (int i = 0; i < 10; ++i) island->StepEffects();
  EXPECT_FLOAT_EQ(house->GetHoverAlpha(), 0.0f);
  SetCurrentPlayer(nullptr);
}

TEST_F(IslandTest, UpdateHousesFollowsTheLevelProgress) {
  cHouse* first = AddHouse("house00", {300.0f, 300.0f}, 0);
  cHouse* second = AddHouse("market00", {600.0f, 400.0f}, 1);
  AddHouse("statue00", {0.0f, 0.0f}, 2);  // stands at no level's place: left alone
  fake.levelProgress = 1;
  island->Show(e_islMap);
  island->Activate();
  EXPECT_EQ(first->GetState(), 2);
  EXPECT_TRUE(first->IsAvailable());
  EXPECT_EQ(second->GetState(), 0);
  EXPECT_FALSE(second->IsAvailable());
}

TEST_F(IslandTest, AddPeoplePlacesByModeAndBuiltBuildings) {
  island->AddPeople(5, 1);
  for (const cWalker& w : island->GetWalkers().GetWalkers()) EXPECT_EQ(w.position, vek::vec2(290.0f, 1588.0f));
  island->GetWalkers().ClearWalkers();
  island->AddPeople(2, 0);
  const auto& ws = island->GetWalkers().GetWalkers();
  ASSERT_EQ(ws.size(), 2u);
  EXPECT_EQ(ws.front().position, vek::vec2(412.0f, 1971.0f));
  EXPECT_EQ(ws.back().position, vek::vec2(412.0f, 1951.0f));
  island->GetWalkers().ClearWalkers();
  cHouse* built = AddHouse("house00", {300.0f, 300.0f}, 0);
  built->SetSize(40.0f, 20.0f);
  built->SetState(2);
  island->AddPeople(3, 1);
  for (const cWalker& w : island->GetWalkers().GetWalkers()) EXPECT_EQ(w.position, vek::vec2(320.0f, 310.0f));
}

TEST_F(IslandTest, LookUpsAndFactoryStockRoundTrip) {
  EXPECT_EQ(island->GetMaxHouseValue(), -1);
  island->LoadBuildings({{"house00", 0, kIslandKindHouse, {300.0f, 300.0f}},
                         {"factory00", 4, kIslandKindFactory, {600.0f, 400.0f}},
                         {"no_such_building", 5, kIslandKindHouse, {0.0f, 0.0f}},
                         {"house01", 6, kIslandKindFactory, {0.0f, 0.0f}}});  // not a factory
  EXPECT_EQ(island->GetBuildings().size(), 2u);
  EXPECT_EQ(island->GetMaxHouseValue(), 4);
  cFactory* f = island->FindFactoryByInput("plant01");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(island->FindFactoryByOutput("product00"), f);
  EXPECT_EQ(island->FindFactoryByInput("plant02"), nullptr);
  EXPECT_EQ(island->FindHouse("factory00", 4), f);
  EXPECT_EQ(island->FindHouse("factory00", 3), nullptr);
  EXPECT_FALSE(island->IsHouseBuilt("house00"));
  EXPECT_EQ(island->SumHouseValues(), 0);
  island->FindHouse("house00", 0)->SetState(2);
  EXPECT_TRUE(island->IsHouseBuilt("house00"));
  EXPECT_EQ(island->SumHouseValues(), 1);

  f->AddInput(3);
  const std::vector<cIslandStateRecord> saved = island->SaveStates();
  cIsland other;
  other.SetPaths(island->GetPaths());
  other.LoadBuildings({{"factory00", 4, kIslandKindFactory, {600.0f, 400.0f}}});
  // A record of a factory the island no longer has is passed over.
  std::vector<cIslandStateRecord> states = saved;
  states.push_back({"factory01", 9, kIslandKindFactory, 5});
  other.LoadStates(states);
  EXPECT_EQ(other.FindFactoryByInput("plant01")->GetStock(), 3);
}

TEST_F(IslandTest, FilesWithAWrongKindKeepWhatWasReadAndStillRefreshTheIsland) {
  vektest::TempDir tmp;
  // The static file: a house, a factory, then a record of no kind the island knows.
  vek::cBitStream global;
  WriteIslandBuildings(global, {{"house00", 0, kIslandKindHouse, {300.0f, 300.0f}},
                                {"factory00", 1, kIslandKindFactory, {600.0f, 400.0f}},
                                {"house01", 2, 9, {0.0f, 0.0f}}});
  // The player's file: the factory's stock, then a record of a wrong kind.
  vek::cBitStream mine;
  WriteIslandStates(mine, {{"factory00", 1, kIslandKindFactory, 4}, {"house00", 0, 7, 0}});
  for (auto [stream, name] : {std::pair{&global, "global.dat"}, std::pair{&mine, "island.dat"}}) {
    std::ofstream(tmp / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(stream->GetBytes().data()), stream->GetByteCount());
  }
  fake.levelProgress = 1;
  island->Load((tmp / "global.dat").c_str(), (tmp / "island.dat").c_str());
  ASSERT_EQ(island->GetBuildings().size(), 2u);
  EXPECT_EQ(island->FindFactoryByInput("plant01")->GetStock(), 4);
  EXPECT_EQ(island->FindHouse("house00", 0)->GetState(), 2);  // level 0 is done
  EXPECT_EQ(island->GetWalkers().GetWalkers().size(), static_cast<size_t>(island->SumHouseValues()));
  EXPECT_EQ(island->SumHouseValues(), 1);

  // Saved and loaded again: the same stock; a missing player file is a new player.
  ASSERT_TRUE(island->Save((tmp / "saved.dat").c_str()));
  island->Load((tmp / "global.dat").c_str(), (tmp / "saved.dat").c_str());
  EXPECT_EQ(island->FindFactoryByInput("plant01")->GetStock(), 4);
  island->Load((tmp / "global.dat").c_str(), (tmp / "none.dat").c_str());
  EXPECT_EQ(island->FindFactoryByInput("plant01")->GetStock(), 0);
}

TEST_F(IslandTest, PlacementHangsTheBuildingAboveTheCursorAndCancelDeletesIt) {
  EXPECT_FALSE(island->CancelPlacement());
  island->BeginPlacement(nullptr);
  EXPECT_EQ(island->GetPlacingState(), 0);
  cHouse* h = AddHouse("house00", {0.0f, 0.0f}, 0);
  h->SetSize(40.0f, 20.0f);
  island->ScrollTo(0.0f, 0.0f);
  g_CursorX = 100;
  g_CursorY = 700;
  island->BeginPlacement(h);
  EXPECT_EQ(h->GetPosition(), vek::vec2(80.0f, 68.0f + 400.0f - 10.0f));
  EXPECT_EQ(island->GetPlacedArea(), 0u);  // no areas: the area count
  EXPECT_TRUE(island->CancelPlacement());
  EXPECT_TRUE(island->GetBuildings().empty());
}

TEST_F(IslandTest, ActivationHandsTheLevelMusicOverToTheIslands) {
  plat::audio::SetOutputKind(plat::audio::OutputKind::Offline);
  ASSERT_TRUE(vek::CreateSoundManager());
  {
    const vek::filename file(std::string(VEK_TEST_BIN_DIR) + "/data/sounds/music_menu.mod");
    vek::cDataManager::cModuleRecord record;
    ASSERT_EQ(vek::cDataManager::ReadMusicBuffer(file, &record), vek::cDataManager::Ok);
    new vek::cSoundManager::cMusicBuffer(record.handle, file.name, false);
    auto* level = new vek::cMusic("level", file.name, false);
    auto* own = new vek::cMusic("island", file.name, 0, 1, false);
    ASSERT_TRUE(level->Play());
    fake.music[1] = level;
    fake.music[0] = own;
    island->Show(1);
    island->Activate();
    EXPECT_EQ(fake.music[1], nullptr) << "the level's music is let go";
    EXPECT_EQ(fake.music[0], own);
    EXPECT_TRUE(own->IsPlaying());
    // Shown again while it plays: it is not started over.
    island->Deactivate();
    island->Activate();
    EXPECT_TRUE(own->IsPlaying());
  }
  fake.music[0] = fake.music[1] = nullptr;
  vek::DestroySoundManager();
  plat::audio::Free();
  plat::audio::SetOutputKind(plat::audio::OutputKind::Device);
}

}  // namespace
