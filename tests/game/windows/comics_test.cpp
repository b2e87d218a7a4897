// The comics player: pages from layout windows, the panels' timing and drawing, input, the
// game's two comics and the window over them.
#include <gtest/gtest.h>

#include "engine/gui/gui.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/label_sys_ctrl.h"
#include "game/island/island.h"
#include "game/windows/comics.h"
#include "game/windows/comics_wf.h"
#include "game/windows/controls/display_ctrl.h"
#include "game/windows/garden_comics.h"
#include "tests/game/windows/island_fixture.h"

namespace islandtest {
namespace {

using vek::rectf;

// The player alone: counts how often it finished.
class PlainComics : public cComics {
 public:
  void Finish() override { ++finished; }
  int finished = 0;
};

class Comics : public IslandFixture {
 protected:
  // A page window with pictures named by their pauses, and controls that are no panels.
  void MakePage(const char* name) {
    auto* w = new vek::cWindow(gui);
    w->SetName(name);
    auto picture = [&](const char* pause, float x) {
      auto* p = new vek::cImageCtrl(pause, w);
      p->SetPos(x, 100, 0);
      p->SetSize(200, 100, 0);
      p->SetUVPos(0.25f, 0.5f, 0);
      p->SetUVSize(0.5f, 0.5f, 0);
    };
    picture("0", 10);
    new vek::cLabelSysCtrl("caption", w);
    auto* other = new cImageCtrlEx("5", w);  // a derived picture: no panel, no pause
    other->SetSize(10, 10, 0);
    picture("1.5", 300);
    picture("#2", 600);
    picture("", 800);
  }
  void Steps(int n) {
    for (int i = 0; i < n; ++i) comics->Step();
  }
  const std::vector<cComicsPanel>& Panels() const { return comics->GetPages().front().panels; }

  PlainComics* comics = new PlainComics();
};

TEST_F(Comics, PagesFromPlainPicturesWithCumulativePauses) {
  MakePage("page_a");
  comics->AddPage("page_a");
  comics->AddPage("no_such_window");
  ASSERT_EQ(comics->GetPages().size(), 1u);
  const auto& panels = Panels();
  ASSERT_EQ(panels.size(), 4u);
  const struct {
    float delay;
    vek::u32 still;
    float x;
  } expected[] = {{0.0f, 0, 10}, {1.5f, 0, 300}, {3.5f, 1, 600}, {0.0f, 0, 800}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(panels[i].delay, expected[i].delay) << i;
    EXPECT_EQ(panels[i].still, expected[i].still) << i;
    EXPECT_EQ(panels[i].rect.x, expected[i].x) << i;
    EXPECT_EQ(panels[i].uv.x, 0.25f);
    EXPECT_EQ(panels[i].uv.h, 0.5f);
  }
  // The text after the first picture is its caption.
  ASSERT_EQ(comics->GetPages().front().captions.size(), 1u);
  EXPECT_EQ(comics->GetPages().front().captions[0].panel, 0u);
}

TEST_F(Comics, PanelsComeInOnTime) {
  MakePage("page_a");
  comics->AddPage("page_a");
  // 0.5 s: the second panel begins to fade and fly in; 1.5 s: in place.
  Steps(15);
  EXPECT_NEAR(Panels()[1].delay, 1.0f, 1e-4f);
  Steps(30);
  EXPECT_NEAR(Panels()[1].delay, 0.0f, 1e-5f);
  EXPECT_NEAR(Panels()[2].delay, 2.0f, 1e-4f);
  // 3.5 s: the still panel is complete (a step later in single precision); delays stay at 0.
  Steps(61);
  for (const cComicsPanel& p : Panels()) EXPECT_EQ(p.delay, 0.0f);
}

TEST_F(Comics, PanelQuadsByDelay) {
  cComicsPanel p;
  p.rect = {100, 50, 200, 100};
  p.delay = 1.01f;
  EXPECT_FALSE(cComics::PanelQuad(p, 1024, 768).drawn);
  // At a second left: transparent, twice the size, centred on the screen.
  p.delay = 1.0f;
  cPanelQuad q = cComics::PanelQuad(p, 1024, 768);
  ASSERT_TRUE(q.drawn);
  EXPECT_EQ(q.alpha, 0.0f);
  EXPECT_FLOAT_EQ(q.rect.x, (1024 - 400) / 2.0f);
  EXPECT_FLOAT_EQ(q.rect.y, (768 - 200) / 2.0f);
  EXPECT_FLOAT_EQ(q.rect.w, 400);
  // Half way.
  p.delay = 0.5f;
  q = cComics::PanelQuad(p, 1024, 768);
  EXPECT_FLOAT_EQ(q.alpha, 0.5f);
  EXPECT_FLOAT_EQ(q.rect.w, 300);
  EXPECT_FLOAT_EQ(q.rect.x, 100 + ((1024 - 300) / 2.0f - 100) * 0.5f);
  // In place; a still panel never leaves its place.
  p.delay = 0.0f;
  q = cComics::PanelQuad(p, 1024, 768);
  EXPECT_EQ(q.rect.x, 100);
  EXPECT_EQ(q.rect.w, 200);
  p.still = 1;
  p.delay = 0.7f;
  q = cComics::PanelQuad(p, 1024, 768);
  EXPECT_EQ(q.rect.x, 100);
  EXPECT_EQ(q.rect.h, 100);
  EXPECT_FLOAT_EQ(q.alpha, 0.3f);
}

TEST_F(Comics, APressCompletesThePageTheNextTurnsIt) {
  MakePage("page_a");
  MakePage("page_b");
  comics->AddPage("page_a");
  comics->AddPage("page_b");
  comics->OnEvent(2, 0);  // other kinds do nothing
  comics->OnEvent(cComics::kKeyPressed, 0);
  ASSERT_EQ(comics->GetPages().size(), 2u);
  for (const cComicsPanel& p : Panels()) EXPECT_EQ(p.delay, 0.0f);
  comics->OnEvent(cComics::kButtonPressed, 1);
  EXPECT_EQ(comics->GetPages().size(), 1u);
  EXPECT_EQ(comics->finished, 0);
}

TEST_F(Comics, FinishesOncePerStart) {
  comics->OnActivate();  // no pages of its own
  comics->NextPage();
  comics->NextPage();
  comics->OnEvent(cComics::kKeyPressed, 0);
  EXPECT_EQ(comics->finished, 1);
  // An empty page is turned by the first press.
  MakePage("empty_page");
  vek::cWindow* w = Window("empty_page");
  for (unsigned id = 1; id < w->GetControlCount(); ++id) delete w->GetControl(id);
  comics->OnActivate();
  comics->AddPage("empty_page");
  comics->OnEvent(cComics::kKeyPressed, 0);
  EXPECT_EQ(comics->finished, 2);
}

// ---- the game's comics ----

class GardenComics : public IslandFixture {
 protected:
  void SetUp() override {
    IslandFixture::SetUp();
    island = AddTestIsland({{100, 100}});
    comics = CreateGardenComics();
    ASSERT_EQ(CreateGardenComics(), comics);
  }
  void Play(int mode) {
    comics->SetMode(mode);
    game->SetFocusWidget("comics");
  }

  cIsland* island = nullptr;
  cGardenComics* comics = nullptr;
};

TEST_F(GardenComics, OpeningComicEndsOnTheIsland) {
  Play(cGardenComics::kOpening);
  EXPECT_TRUE(Shown("comics"));
  ASSERT_EQ(comics->GetPages().size(), 2u);
  EXPECT_EQ(comics->GetPages().front().panels.size(), 3u);
  EXPECT_EQ(comics->GetPages().front().captions.size(), 3u);
  // The background dims over the first second and stays.
  EXPECT_EQ(comics->GetGrey(), 255);
  for (int i = 0; i < 30; ++i) comics->Step();
  EXPECT_EQ(comics->GetGrey(), 100);
  comics->Step();
  EXPECT_EQ(comics->GetGrey(), 100);
  // "next" turns the page at once, even with panels still waiting.
  comics->OnActivate();
  Settle();
  Click("comics", "next");
  EXPECT_EQ(comics->GetPages().size(), 1u);
  Click("comics", "next");
  EXPECT_TRUE(comics->GetPages().empty());
  EXPECT_EQ(game->GetFocusWidgetName(), "island");
  EXPECT_EQ(island->GetMode(), 1);
  Settle();
  EXPECT_FALSE(Shown("comics"));
}

TEST_F(GardenComics, EndingComicEndsOnTheMainMenu) {
  Play(cGardenComics::kEnding);
  ASSERT_EQ(comics->GetPages().size(), 1u);
  Settle();
  comics->OnEvent(cComics::kKeyPressed, 0);  // completes the page
  EXPECT_TRUE(Shown("comics"));
  comics->OnEvent(cComics::kKeyPressed, 0);
  Settle();
  EXPECT_TRUE(Shown("main"));
  EXPECT_FALSE(Shown("comics"));
  EXPECT_NE(island->GetMode(), 1);
}

TEST_F(GardenComics, PlayingStartsFromTheFirstPageEvenWhenFocused) {
  ASSERT_TRUE(PlayGardenComics(cGardenComics::kOpening));
  comics->NextPage();
  ASSERT_EQ(comics->GetPages().size(), 1u);
  ASSERT_TRUE(PlayGardenComics(cGardenComics::kEnding));
  EXPECT_EQ(game->GetFocusWidgetName(), "comics");
  ASSERT_EQ(comics->GetPages().size(), 1u);
  EXPECT_EQ(comics->GetPages().front().panels.size(), 3u);
  EXPECT_EQ(comics->GetPages().front().captions.at(0).window, gui->FindWindow("comics02"));
  EXPECT_EQ(LogText().find("focused already"), std::string::npos);
}

TEST_F(GardenComics, NextDoesNothingWhileTheWindowFadesOut) {
  Play(cGardenComics::kOpening);
  Settle();
  gui->HideWindow("comics");
  Send("comics", vek::e_ntfButtonClick, 0, Id("comics", "next"));
  EXPECT_EQ(comics->GetPages().size(), 2u);
}

}  // namespace
}  // namespace islandtest
