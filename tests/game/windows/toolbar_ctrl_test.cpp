// The garden's shop rows: which items a player has unlocked, the item pictures and the
// messages the window gets, the layout of the row and its decorations.
#include <gtest/gtest.h>

#include "engine/gui/gui.h"
#include "engine/gui/image_ctrl.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/windows/controls/toolbar_ctrl.h"
#include "game/world/ware_manager.h"
#include "tests/game/windows/title_fixture.h"

namespace titletest {
namespace {

// Keeps the messages the shop window gets.
class RecordingFunction : public vek::cWindowFunction {
 public:
  int Call(vek::cWindow*, vek::u32 message, vek::u32 p1, vek::u32) override {
    if (message == 32 || message == 33 || message == 53) got.push_back({message, p1});
    return 0;
  }
  std::vector<std::pair<vek::u32, vek::u32>> got;
};

class Toolbar : public TitleFixture {
 protected:
  void SetUp() override {
    TitleFixture::SetUp();
    CreateWareManager();
    for (const char* name : {"plant00", "plant01", "plant02", "plant03"}) new cSort(name, name);
    flowers = (new cSort("flowers", "Flowers"))->GetId();
    grass = (new cSort("grass", "Grass"))->GetId();
    g_pWareManager->GetSort(1).SetPrice(40);
    player.lastSort = 1;
    player.animalKinds = -1;
    SetCurrentPlayer(&player);
    function = new RecordingFunction();
    w = new vek::cWindow(gui, function);
    w->SetName("garden");
    w->SetActive(true);
    gui->ShowWindow("garden");
    bar = new cToolbarCtrl("plants", w);
    bar->SetSize(64.0f, 64.0f, vek::cCtrl::e_lstItems);
    bar->SetSize(300.0f, 80.0f, 0);
    bar->SetPos(100.0f, 500.0f, 0);
  }
  void TearDown() override {
    SetCurrentPlayer(nullptr);
    DestroyWareManager();
    cToolbarCtrl::ResetStripRecord();
    TitleFixture::TearDown();
  }
  void AddSorts(std::initializer_list<vek::i32> ids) {
    vek::rectf uv[4] = {{0, 0, 0.25f, 0.25f}, {0.25f, 0, 0.25f, 0.25f}, {0.5f, 0, 0.25f, 0.25f}, {0.75f, 0, 0.25f, 0.25f}};
    for (vek::i32 id : ids) bar->AddWareItem(uv, id);
    bar->UpdateLayout();
  }
  // The cursor over item i (by its place in the row).
  void HoverItem(unsigned i) {
    const vek::rectf r = bar->GetItem(i)->GetRect();
    bar->OnEvent(vek::cCtrl::e_evMouseMove, 0, vek::PackPosition(static_cast<int>(r.x + 5), static_cast<int>(r.y + 5)));
  }

  cPlayer player;
  RecordingFunction* function = nullptr;
  vek::cWindow* w = nullptr;
  cToolbarCtrl* bar = nullptr;
  vek::i32 flowers = 0, grass = 0;
};

TEST_F(Toolbar, UnlockRulesForSortsAndAnimals) {
  AddSorts({0, 1, 2, grass, flowers});
  for (int kind = 0; kind < 4; ++kind) bar->AddAnimalItem(kind);
  bar->AddAnimalItem(-1);  // refused
  ASSERT_EQ(bar->GetItemCount(), 9u);
  const struct {
    vek::i32 kinds;
    bool avail[9];
  } rows[] = {
      {-1, {true, true, false, false, false, false, false, false, false}},
      {0, {true, true, false, true, false, true, false, false, false}},
      {2, {true, true, false, true, true, true, true, true, false}},
      {3, {true, true, false, true, true, true, true, true, true}},
  };
  for (const auto& r : rows) {
    player.animalKinds = r.kinds;
    for (unsigned i = 0; i < 9; ++i) EXPECT_EQ(bar->GetToolbarItem(i)->IsAvailable(), r.avail[i]) << r.kinds << " item " << i;
  }
  EXPECT_EQ(bar->GetToolbarItem(1)->GetPriceText(), "$40");
  EXPECT_EQ(bar->GetToolbarItem(5)->GetPriceText(), "$100");  // ostrich
  EXPECT_EQ(bar->GetItemBuilding(0), nullptr);
  EXPECT_EQ(bar->GetItemBuilding(99), nullptr);
}

TEST_F(Toolbar, VisibleRunAndStripWidth) {
  EXPECT_EQ(bar->GetVisibleCount(), 4u);  // floor(303 / 67)
  EXPECT_FLOAT_EQ(bar->GetStripWidth(), 0.0f);  // no items
  AddSorts({0, 1, 2, 3, 0, 1});
  EXPECT_FLOAT_EQ(bar->GetStripWidth(), 67.0f * 2 - 3.0f);  // last sort 1: two items
  player.lastSort = 5;
  EXPECT_FLOAT_EQ(bar->GetStripWidth(), 67.0f * 4 - 3.0f);  // no more than the visible run
  // Items hang from the top edge, 3 apart; items past the run stay where they were.
  EXPECT_FLOAT_EQ(bar->GetItem(0)->GetRect().x, 100.0f);
  EXPECT_FLOAT_EQ(bar->GetItem(0)->GetRect().y, 516.0f);
  EXPECT_FLOAT_EQ(bar->GetItem(3)->GetRect().x, 301.0f);
  EXPECT_FLOAT_EQ(bar->GetItem(4)->GetRect().w, 0.0f);
  bar->SetSize(0.0f, 80.0f, 0);  // a row too narrow for one item: a run of none ends a gap early
  EXPECT_EQ(bar->GetVisibleCount(), 0u);
  EXPECT_FLOAT_EQ(bar->GetStripWidth(), -3.0f);
}

TEST_F(Toolbar, DecorationsFrameTheUnlockedRun) {
  AddSorts({0, 1, 2});
  auto* left = new vek::cImageCtrl("left", w);
  auto* middle = new vek::cImageCtrl("middle", w);
  auto* right = new vek::cImageCtrl("right", w);
  left->SetSize(20.0f, 80.0f, 0);
  left->SetPos(0.0f, 490.0f, 0);
  middle->SetSize(100.0f, 80.0f, 0);
  middle->SetPos(100.0f, 490.0f, 0);
  middle->SetUVSize(0.5f, 0.25f, 0);
  right->SetSize(20.0f, 80.0f, 0);
  bar->SetDecorations(left, middle, right);
  EXPECT_FLOAT_EQ(left->GetRect().x, 80.0f);
  EXPECT_FLOAT_EQ(left->GetRect().y, 490.0f);
  EXPECT_FLOAT_EQ(middle->GetRect().w, 131.0f);
  EXPECT_FLOAT_EQ(middle->GetUVRect().w, 0.5f * 131.0f / 100.0f);  // cut, not stretched
  EXPECT_FLOAT_EQ(right->GetRect().x, 231.0f);
  // An empty row: the strip shrinks to nothing without dividing by zero next time.
  bar->DeleteAllItems();
  bar->UpdateLayout();
  EXPECT_FLOAT_EQ(middle->GetRect().w, 0.0f);
  bar->UpdateLayout();
  EXPECT_FLOAT_EQ(middle->GetUVRect().w, 0.0f);
  bar->DisableState(vek::cCtrl::e_Visibility);
  EXPECT_FALSE(right->GetState(vek::cCtrl::e_Visibility));
}

TEST_F(Toolbar, HoverPressAndPick) {
  AddSorts({0, 1, 2});
  HoverItem(0);
  HoverItem(1);
  const std::vector<std::pair<vek::u32, vek::u32>> hovers = {{32, 0}, {33, 0}, {32, 1}};
  EXPECT_EQ(function->got, hovers);
  auto* item = bar->GetToolbarItem(1);
  EXPECT_EQ(item->GetPictureIndex(), 1);
  bar->OnEvent(vek::cCtrl::e_evLButtonDown, 0, 0);
  EXPECT_EQ(item->GetPictureIndex(), 2);
  EXPECT_EQ(function->got.back(), (std::pair<vek::u32, vek::u32>{53, 1}));
  bar->OnEvent(vek::cCtrl::e_evLButtonUp, 0, 0);
  EXPECT_EQ(item->GetPictureIndex(), 1);
  // Unaffordable: the disabled picture even when pressed, and no pick.
  function->got.clear();
  item->EnableState(vek::cCtrl::e_Disabled);
  bar->OnEvent(vek::cCtrl::e_evLButtonDown, 0, 0);
  EXPECT_EQ(item->GetPictureIndex(), 3);
  EXPECT_TRUE(function->got.empty());
  // Locked (sort 2 is past the last unlocked sort): no hover and no pick on its place.
  HoverItem(2);
  EXPECT_EQ(function->got, (std::vector<std::pair<vek::u32, vek::u32>>{{33, 1}}));
  EXPECT_FALSE(bar->GetToolbarItem(2)->IsHovered());
  bar->OnEvent(vek::cCtrl::e_evLButtonDown, 0, 0);
  EXPECT_EQ(function->got.size(), 1u);
}

}  // namespace
}  // namespace titletest
