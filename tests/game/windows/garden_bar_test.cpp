// The garden bar: the factory rows' slide between their places, a factory's row through idle,
// work and the end of a unit, the shared blink, the shop rows' scroll and visibility, picks,
// and the program-wide list of rows across re-creation.
#include <gtest/gtest.h>

#include "engine/gui/progress_bar_sys_ctrl.h"
#include "game/windows/controls/display_ctrl.h"
#include "game/windows/controls/toolbar_ctrl.h"
#include "game/island/buildings.h"
#include "game/island/island.h"
#include "game/windows/garden_bar_wf.h"
#include "tests/game/windows/play_fixture.h"

namespace playtest {
namespace {

class FakeFactory : public iChainFactory {
 public:
  vek::i32 GetState() const override { return state; }
  vek::i32 GetInputWare() const override { return input; }
  vek::i32 GetOutputWare() const override { return output; }
  vek::i32 GetStock() const override { return stock; }
  vek::f32 GetWorkDone() const override { return done; }
  vek::f32 GetWorkTime() const override { return time; }
  void Activate() override {
    if (state != 3 && stock > 0) state = 3;
  }
  vek::i32 state = 2, input = 0, output = 0, stock = 0;
  vek::f32 done = 0.0f, time = 4.0f;
};

class GardenBar : public PlayFixture {
 protected:
  void SetUp() override {
    PlayFixture::SetUp();
    factory.input = Ware("plant01");
    factory.output = Ware("product00");
    play.factories.push_back(&factory);
    gui->ShowWindow("garden");
    Settle();
  }
  cGardenWF* Wf() const { return Function<cGardenWF>("garden"); }
  cChainItem& Row(vek::u32 i) const { return Wf()->GetItem(i); }
  vek::f32 ButtonX(vek::u32 i) const { return Row(i).button->GetRect().x; }
  void Refresh(int p1, int p2) { host->SendWindowMessage("garden", p1, p2); }
  void Seconds(vek::f32 s) {
    for (int i = 0; i < static_cast<int>(s * 30.0f + 0.5f); ++i) Step();
  }
  FakeFactory factory;
};

TEST_F(GardenBar, RowsSlideBetweenTheirPlaces) {
  const vek::rectf b = Row(0).buttonRect;
  EXPECT_FLOAT_EQ(cChainItem::s_ShownX, b.x);
  EXPECT_FLOAT_EQ(cChainItem::s_HiddenX, -1.0f - b.w);
  Refresh(2, 20);
  for (vek::u32 i = 0; i < 3; ++i) {
    EXPECT_EQ(Row(i).GetState(), cChainItem::e_Hidden);
    EXPECT_FLOAT_EQ(ButtonX(i), cChainItem::s_HiddenX);
    // The whole row is off screen with its button.
    for (vek::cCtrl* c : {Row(i).arrow, Row(i).inputIcon, Row(i).inputCount, Row(i).outputIcon, Row(i).progressBack})
      EXPECT_LE(c->GetRect().x + c->GetRect().w, 0.0f) << c->GetName();
  }
  void* parked = Wf()->FindParkedItem();
  ASSERT_EQ(parked, &Row(0));
  Wf()->ShowFactoryOf(parked, factory.output);
  EXPECT_EQ(Row(0).GetState(), cChainItem::e_SlidingIn);
  EXPECT_EQ(Wf()->FindParkedItem(), &Row(1));
  Seconds(0.3f);
  EXPECT_GT(ButtonX(0), cChainItem::s_HiddenX);
  EXPECT_LT(ButtonX(0), b.x);
  Seconds(0.5f);
  EXPECT_EQ(Row(0).GetState(), cChainItem::e_Shown);
  EXPECT_FLOAT_EQ(ButtonX(0), b.x);
  EXPECT_FLOAT_EQ(Row(0).inputIcon->GetRect().x, Wf()->GetItem(1).inputIcon->GetRect().x + b.x - cChainItem::s_HiddenX);

  // Out again; a refresh (2, 20) parks every row at once, even mid-slide, keeping the factory.
  Wf()->Hide(&Row(0));
  EXPECT_EQ(Row(0).GetState(), cChainItem::e_SlidingOut);
  Seconds(0.2f);
  Refresh(2, 20);
  EXPECT_EQ(Row(0).GetState(), cChainItem::e_Hidden);
  EXPECT_FLOAT_EQ(ButtonX(0), cChainItem::s_HiddenX);
  EXPECT_EQ(Row(0).GetFactory(), &factory);
  FakeFactory other;
  Row(0).SetFactory(&other);
  EXPECT_EQ(Row(0).GetFactory(), &other);
  Row(0).SetFactory(nullptr);  // no factory: the row keeps its own
  EXPECT_EQ(Row(0).GetFactory(), &other);
  Seconds(1.0f);
  EXPECT_FLOAT_EQ(ButtonX(0), cChainItem::s_HiddenX);
  // A pointer that is not one of the rows is ignored.
  int stranger = 0;
  Wf()->Hide(&stranger);
  Wf()->ShowFactoryOf(&stranger, factory.output);
  EXPECT_EQ(Wf()->GetFactoryInput(factory.output), factory.input);
  EXPECT_EQ(Wf()->GetFactoryInput(Ware("plant00")), 1000  /* no ware */);
}

TEST_F(GardenBar, FactoryRowThroughIdleWorkAndTheEndOfAUnit) {
  cChainItem& row = Row(0);
  factory.stock = 3;
  row.SetFactory(&factory);
  EXPECT_FALSE(row.button->GetState(vek::cCtrl::e_Disabled));
  EXPECT_TRUE(row.arrow->GetState(vek::cCtrl::e_Visibility));
  EXPECT_FALSE(row.progress->GetState(vek::cCtrl::e_Visibility));
  EXPECT_EQ(Text("garden", "lb0_0"), "x3");

  // The arrow blinks while the factory could start: down to 0 and back within about a second.
  vek::f32 low = 1.0f, high = 0.0f;
  auto* arrow = dynamic_cast<cImageCtrlEx*>(row.arrow);
  ASSERT_NE(arrow, nullptr);
  for (int i = 0; i < 30; ++i) {
    Step();
    const vek::f32 a = static_cast<vek::f32>(arrow->GetColor() >> 24) / 255.0f;
    low = std::min(low, a);
    high = std::max(high, a);
  }
  EXPECT_LT(low, 0.05f);
  EXPECT_GT(high, 0.95f);

  play.sounds.clear();
  Click("garden", "but_0");
  EXPECT_EQ(factory.state, 3);
  EXPECT_EQ(play.sounds, std::vector<vek::i32>{24});
  EXPECT_TRUE(row.button->GetState(vek::cCtrl::e_Disabled));
  EXPECT_FALSE(row.arrow->GetState(vek::cCtrl::e_Visibility));
  EXPECT_TRUE(row.progress->GetState(vek::cCtrl::e_Visibility));
  EXPECT_TRUE(row.progressBack->GetState(vek::cCtrl::e_Visibility));

  // Working: the button pulses in height about its middle, the bar follows the work.
  vek::f32 tallest = 0.0f;
  for (int i = 0; i < 20; ++i) {
    factory.done += 1.0f / 30.0f;
    Step();
    const vek::rectf r = row.button->GetRect();
    EXPECT_FLOAT_EQ(r.w, row.buttonRect.w);
    EXPECT_NEAR(r.y + r.h * 0.5f, row.buttonRect.y + row.buttonRect.h * 0.5f, 1e-3f);
    tallest = std::max(tallest, r.h);
  }
  EXPECT_GT(tallest, row.buttonRect.h * 1.05f);
  EXPECT_LE(tallest, row.buttonRect.h * cChainItem::kPulseTop + 1e-3f);
  auto* bar = dynamic_cast<vek::cProgressBarSysCtrl*>(row.progress);
  EXPECT_NEAR(bar->GetValue(), factory.done / factory.time, 0.02f);
  EXPECT_EQ(Text("garden", "lb0_0"), "x3");

  // The unit is done: the factory took one unit and says so.
  factory.state = 2;
  factory.stock = 2;
  Refresh(2, 0);
  Step();
  EXPECT_EQ(Text("garden", "lb0_0"), "x2");
  EXPECT_FALSE(row.button->GetState(vek::cCtrl::e_Disabled));
  EXPECT_FLOAT_EQ(row.button->GetRect().h, row.buttonRect.h);
  EXPECT_FLOAT_EQ(row.button->GetRect().y, row.buttonRect.y);

  // Nothing waiting: not pressable, a steady arrow.
  factory.stock = 0;
  Refresh(2, 0);
  EXPECT_TRUE(row.button->GetState(vek::cCtrl::e_Disabled));
  EXPECT_EQ(arrow->GetColor() >> 24, 255u);
  // A command of a control that is no row's button does nothing.
  play.sounds.clear();
  Function<cGardenWF>("garden")->Call(Window("garden"), vek::e_ntfButtonClick, 0, Window("garden")->FindControl("plants"));
  EXPECT_TRUE(play.sounds.empty());
}

TEST_F(GardenBar, RowIconsShowTheirWaresAndNothingForAWareWithoutAPicture) {
  cChainItem& row = Row(0);
  auto icon = [&](vek::cCtrl* c) { return dynamic_cast<vek::cImageCtrl*>(c); };
  ASSERT_TRUE(icon(row.inputIcon) && icon(row.outputIcon));
  auto shows = [&](vek::cCtrl* c) { return c->GetState(vek::cCtrl::e_Visibility); };
  auto showsOneArea = [&](vek::cCtrl* c) {
    const vek::rectf uv = icon(c)->GetUVRect();
    return shows(c) && uv.w > 0.0f && uv.w < 0.5f && uv.h > 0.0f && uv.h < 0.5f;
  };
  // A fresh row, and a row shown for a ware that no factory makes, draw no icon (the layout
  // gives the icons only the bare sheet).
  EXPECT_FALSE(shows(row.inputIcon));
  EXPECT_FALSE(shows(row.outputIcon));
  Wf()->ShowFactoryOf(&row, Ware("plant02"));
  EXPECT_FALSE(shows(row.inputIcon));
  EXPECT_FALSE(shows(row.outputIcon));
  row.SetFactory(&factory);
  EXPECT_TRUE(showsOneArea(row.inputIcon));
  EXPECT_TRUE(showsOneArea(row.outputIcon));

  // A factory whose wares have no area in the icon sheet: the icons draw nothing rather than
  // the whole sheet; the next factory with pictures shows them again.
  FakeFactory bare;
  bare.input = -1;
  bare.output = -1;
  row.SetFactory(&bare);
  EXPECT_FALSE(shows(row.inputIcon));
  EXPECT_FALSE(shows(row.outputIcon));
  row.SetFactory(&factory);
  EXPECT_TRUE(showsOneArea(row.inputIcon));
  EXPECT_TRUE(showsOneArea(row.outputIcon));
}

TEST_F(GardenBar, ShopRowsScrollToTheNewestSortAndHideWithoutAnimals) {
  auto* plants = Control<cToolbarCtrl>("garden", "plants");
  ASSERT_EQ(plants->GetVisibleCount(), 5u);
  struct Case {
    vek::i32 last, first;
  };
  for (const Case& c : {Case{7, 3}, Case{4, 0}, Case{5, 1}, Case{-1, 0}}) {
    player.lastSort = c.last;
    Refresh(1, 0);
    EXPECT_EQ(plants->GetFirstVisible(), static_cast<unsigned>(c.first)) << c.last;
  }
  player.animalKinds = -1;
  Refresh(0, 0);
  EXPECT_FALSE(Visible("garden", "grass"));
  EXPECT_FALSE(Visible("garden", "animals"));
  player.animalKinds = 0;
  Refresh(1, 0);
  EXPECT_TRUE(Visible("garden", "grass"));
  EXPECT_TRUE(Visible("garden", "animals"));
  EXPECT_EQ(Control<cToolbarCtrl>("garden", "grass")->GetItemCount(), 2u);
  EXPECT_EQ(Control<cToolbarCtrl>("garden", "animals")->GetItemCount(), 4u);
  EXPECT_EQ(plants->GetItemCount(), g_pWareManager->GetCount());
  EXPECT_TRUE(Control<vek::cCtrl>("garden", "MainFrame")->GetState(vek::cCtrl::e_Disabled));
}

TEST_F(GardenBar, ShowingTheBarFitsTheShelvesToTheUnlocksWithoutARefresh) {
  // A new level shows the bar after its unlocks are set; no refresh message has come yet.
  gui->HideWindow("garden");
  Settle();
  player.lastSort = 1;
  player.animalKinds = -1;
  gui->ShowWindow("garden");
  for (const char* name : {"grass", "animals"})
    for (const std::string part : {"", "left_", "center_", "right_"})
      EXPECT_FALSE(Visible("garden", part + name)) << part << name;  // no posts of an empty shelf
  auto* plants = Control<cToolbarCtrl>("garden", "plants");
  const vek::rectf middle = Control<vek::cCtrl>("garden", "center_plants")->GetRect();
  EXPECT_FLOAT_EQ(middle.w, plants->GetStripWidth());
  EXPECT_FLOAT_EQ(Control<vek::cCtrl>("garden", "right_plants")->GetRect().x, middle.x + middle.w);
}

TEST_F(GardenBar, PicksGoToTheLevelOnlyForItemsThatExist) {
  vek::cWindow* w = Window("garden");
  const vek::u32 plants = w->FindControl("plants"), grass = w->FindControl("grass"), animals = w->FindControl("animals");
  auto pick = [&](vek::u32 index, vek::u32 bar) { Wf()->Call(w, vek::e_ntfListChoose, index, bar); };
  pick(2, plants);
  pick(1, grass);
  pick(3, animals);
  pick(99, plants);   // no such item
  pick(4, animals);
  pick(0, w->FindControl("but_0"));
  EXPECT_EQ(play.calls, (std::vector<std::string>{"SelectSeed 2", "SelectSeed " + std::to_string(Ware("flowers")),
                                                  "BuyAnimal 3"}));
  play.calls.clear();
  play.hasLevel = false;
  pick(0, plants);
  EXPECT_TRUE(play.calls.empty());
}

TEST_F(GardenBar, RowsAreListedOnceAndLeaveWithTheirWindowFunction) {
  EXPECT_EQ(ChainItems().size(), 3u);
  Wf()->Call(Window("garden"), vek::e_wndAfterCreate, 0, 0);
  ASSERT_EQ(ChainItems().size(), 3u);
  EXPECT_EQ(ChainItems()[0], &Row(0));
  {
    cGardenWF other;
    other.Call(Window("garden"), vek::e_wndAfterCreate, 0, 0);
    ASSERT_EQ(ChainItems().size(), 3u);
    EXPECT_EQ(ChainItems()[2], &other.GetItem(2));
  }
  EXPECT_TRUE(ChainItems().empty());
}

}  // namespace
}  // namespace playtest

namespace playtest {
namespace {

// The game's own view of an island factory: found by its product, asking the island anew at
// every question.
TEST_F(GardenBar, IslandFactoriesSeenThroughTheirProduct) {
  auto* island = new cIsland();
  island->LoadBuildings({{"factory00", 4, kIslandKindFactory, {600.0f, 400.0f}}});
  cFactory* press = island->FindFactoryByOutput("product00");
  ASSERT_NE(press, nullptr);
  press->SetState(2);
  press->SetStock(2);
  iChainFactory* view = play.cPlayHost::FindFactoryMaking(Ware("product00"));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(play.cPlayHost::FindFactoryMaking(Ware("product01")), nullptr);
  EXPECT_EQ(view->GetInputWare(), Ware("plant01"));
  EXPECT_EQ(view->GetOutputWare(), Ware("product00"));
  EXPECT_EQ(view->GetStock(), 2);
  view->Activate();
  EXPECT_EQ(view->GetState(), 3);
  EXPECT_GT(view->GetWorkTime(), 0.0f);
  // The island goes (a new one is made for a loaded game): the view holds no pointer to it.
  delete island;
  EXPECT_EQ(view->GetStock(), 0);
  EXPECT_EQ(view->GetState(), 2);
  view->Activate();  // nothing there: nothing happens
}

}  // namespace
}  // namespace playtest
