// The loading queue: its pacing and progress, the end of loading told once, items refused
// when no loading runs, what each kind of item loads, and items made by scripts.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/gui/gui.h"
#include "engine/gui/label_ctrl.h"
#include "engine/gui/progress_bar_sys_ctrl.h"
#include "engine/gui/window.h"
#include "engine/render/font.h"
#include "engine/render/texture_manager.h"
#include "engine/script/script.h"
#include "engine/script/script_bind.h"
#include "engine/sound/music.h"
#include "engine/sound/sound_manager.h"
#include "game/app/loading.h"
#include "tests/support/garden_fixture.h"

namespace {

namespace fs = std::filesystem;

class CountingApp : public cGarden {
 public:
  void OnLoadingComplete() override { ++completions; }
  int completions = 0;
};

// An item that notes the loading window's bar and label when it is loaded.
struct Seen {
  float progress;
  std::string label;
};
std::vector<Seen>* g_Seen = nullptr;

class NotingItem : public cLoadData {
 public:
  explicit NotingItem(const std::string& path) : cLoadData(path, false) {}
  void Load() override {
    vek::cWindow* w = vek::g_pGame->GetGUI()->GetWindow("loading");
    auto* bar = dynamic_cast<vek::cProgressBarSysCtrl*>(w->GetControl(w->FindControl("progress")));
    auto* label = dynamic_cast<vek::cLabelCtrl*>(w->GetControl(w->FindControl("label")));
    g_Seen->push_back(Seen{bar ? bar->GetValue() : -1.0f, label ? label->GetText() : ""});
  }
};

class LoadingTest : public vektest::GardenFixture {
 protected:
  void SetUp() override {
    GardenFixture::SetUp();
    g_Seen = &seen;
    app = new CountingApp();
    ASSERT_EQ(app->Init(), 0);  // the game's script classes, for the script-made items
    WriteData("conf/loading.lua", "");
  }
  void TearDown() override {
    delete widget;
    widget = nullptr;
    EndGardenApp();
    GardenFixture::TearDown();
  }
  void EndGardenApp() {
    delete app;
    app = nullptr;
  }
  // The loading window, with or without its label, and a started loading widget.
  void Start(bool withLabel) {
    ASSERT_TRUE(Run(std::string("local w = cWindow(theGUI) w:SetName('loading') cProgressBarSysCtrl('progress', w)") +
                    (withLabel ? " cLabelCtrl('label', w)" : "")));
    widget = new cLoadingWidget(app);
    widget->Activate();
  }
  // Frames until the queue is empty and loading is told; the number of frames.
  int RunQueue() {
    int frames = 0;
    while (app->completions == 0 && frames < 1000) {
      widget->Update(0.016f);
      ++frames;
    }
    return frames;
  }

  std::vector<Seen> seen;
  CountingApp* app = nullptr;
  cLoadingWidget* widget = nullptr;
};

TEST_F(LoadingTest, ProgressAndLabelAreSetBeforeEachLoad) {
  Start(true);
  for (const char* name : {"a.png", "b.png", "c.png"}) new NotingItem(std::string("{StaticPath}/texture/") + name);
  EXPECT_EQ(widget->GetTotal(), 3.0f);
  const int frames = RunQueue();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_FLOAT_EQ(seen[0].progress, 0.0f);
  EXPECT_FLOAT_EQ(seen[1].progress, 1.0f / 3.0f);
  EXPECT_FLOAT_EQ(seen[2].progress, 2.0f / 3.0f);
  // The label shows the file inside the data folder.
  EXPECT_EQ(seen[1].label, "texture/b.png");
  // Each item is shown in one frame and loaded in a later one, at most 6 frames later.
  EXPECT_LE(frames, 3 * 7 + 1);
  EXPECT_GE(frames, 3 * 2 + 1);
  EXPECT_EQ(app->completions, 1);
  widget->Update(0.016f);
  EXPECT_EQ(app->completions, 1);
}

TEST_F(LoadingTest, WithoutALabelEveryItemTakesTwoFrames) {
  Start(false);
  new NotingItem("{StaticPath}/a.png");
  new NotingItem("{StaticPath}/b.png");
  EXPECT_EQ(RunQueue(), 5);
  EXPECT_EQ(seen.size(), 2u);
}

TEST_F(LoadingTest, EmptyListEndsAtTheFirstUpdate) {
  Start(true);
  widget->Update(0.016f);
  EXPECT_EQ(app->completions, 1);
  widget->Update(0.016f);
  EXPECT_EQ(app->completions, 1);
}

TEST_F(LoadingTest, ItemsAreRefusedWhenNoLoadingRuns) {
  // No loading widget: the script that makes an item gets an error; nothing is queued.
  EXPECT_NE(Eval("cLoadTexture('{StaticPath}/x.png')").find("<error: cLoadData: no loading in progress"), std::string::npos);
  EXPECT_THROW(NotingItem("{StaticPath}/x.png"), vek::cScriptError);
  // After loading has ended, the same.
  Start(true);
  widget->Update(0.016f);
  ASSERT_TRUE(widget->IsFinished());
  EXPECT_NE(Eval("cLoadTexture('{StaticPath}/x.png')").find("<error:"), std::string::npos);
  EXPECT_EQ(widget->GetQueueSize(), 0u);
  EXPECT_NE(LogText().find("cLoadingWidget is unavailable"), std::string::npos);
}

TEST_F(LoadingTest, ScriptItemsCheckTheirArgumentsAndBelongToTheQueue) {
  Start(true);
  for (const char* bad : {"cLoadTexture(5)", "cLoadSound('a.wav')", "cLoadSound('a.wav', 1)",
                          "cLoadMusic('m', 'a.mod', 1, 2)", "cLoadStream(true, false)"}) {
    EXPECT_NE(Eval(bad).find("<error:"), std::string::npos) << bad;
  }
  EXPECT_EQ(widget->GetQueueSize(), 0u);
  ASSERT_TRUE(Run("item = cLoadTexture('{StaticPath}/x.png') item:SetParameters(3) item = nil collectgarbage('collect')"));
  EXPECT_EQ(widget->GetQueueSize(), 1u);
  RunQueue();
  EXPECT_EQ(app->completions, 1);
}

TEST_F(LoadingTest, WhatEachItemLoads) {
  UseBuiltData();
  WriteData("conf/loading.lua", "");
  Start(false);
  ASSERT_EQ(cMiddle::LoadTexture("{StaticPath}/texture/system/gui_system.png"), 0);
  const vek::u32 before = vek::g_pTextureManager->Count();
  new cLoadTexture("{StaticPath}/texture/system/gui_system.png");  // loaded already: nothing happens
  new cLoadTexture("{StaticPath}/texture/system/cursor_pointer.png");
  new cLoadMusic("{StaticPath}/sounds/music_menu.mod", false);
  new cLoadMusic("music_short", "{StaticPath}/sounds/music_menu.mod", 1, 2, false);
  new cLoadSound("{StaticPath}/sounds/click.wav", false);
  // A font that two lists ask for: its picture and its font once.
  const vek::u32 fonts = vek::g_pFontManager->Count();
  new cLoadFont("{StaticPath}/texture/fonts/menu_text.lua");
  new cLoadFont("{StaticPath}/texture/fonts/menu_text.lua");
  RunQueue();
  EXPECT_EQ(vek::g_pTextureManager->Count(), before + 2);
  EXPECT_NE(vek::g_pTextureManager->FindIndex("menu_text"), 0u);
  EXPECT_EQ(vek::g_pFontManager->Count(), fonts + 1);
  EXPECT_NE(vek::g_pTextureManager->FindIndex("cursor_pointer"), 0u);
  vek::cSoundManager* sm = vek::GetSound();
  ASSERT_NE(sm, nullptr);
  const vek::cMusic* plain = sm->GetMusics().FindItem("music_menu");
  const vek::cMusic* named = sm->GetMusics().FindItem("music_short");
  ASSERT_NE(plain, sm->GetMusics().Get(0));
  ASSERT_NE(named, sm->GetMusics().Get(0));
  EXPECT_EQ(plain->GetStartOrder(), 0);
  EXPECT_EQ(named->GetStartOrder(), 1);
  EXPECT_EQ(named->GetEndOrder(), 2);
  // One module buffer serves both musics.
  EXPECT_EQ(plain->GetBufferIndex(), named->GetBufferIndex());
  EXPECT_NE(vek::cSoundManager::FindBufferIndex(sm->GetSoundBuffers(), "click"), 0u);
}

TEST_F(LoadingTest, TheLoadingScreensPicturesGoWhenTheFinishedLoadingLeavesTheScreen) {
  UseBuiltData();
  WriteData("conf/loading.lua", "");
  vek::cTextureManager* tm = vek::g_pTextureManager;
  app->OnSplashEnd();  // the loading screen: its pictures, its window and the loading widget
  cLoadingWidget* loading = GetLoadingWidget();
  ASSERT_NE(loading, nullptr);
  ASSERT_NE(tm->FindIndex("gui_loading"), 0u);
  ASSERT_NE(tm->FindIndex("gui_loading_progress"), 0u);
  // Shown while the loading runs, and left alone by a loading that leaves the screen unfinished.
  loading->Deactivate();
  EXPECT_NE(tm->FindIndex("gui_loading"), 0u);
  loading->Activate();
  while (app->completions == 0) loading->Update(0.016f);
  EXPECT_NE(tm->FindIndex("gui_loading"), 0u);
  loading->Deactivate();
  EXPECT_EQ(tm->FindIndex("gui_loading"), 0u);
  EXPECT_EQ(tm->FindIndex("gui_loading_progress"), 0u);
}

TEST_F(LoadingTest, ItemsLeftInTheQueueAreFreedWithTheWidget) {
  Start(true);
  new NotingItem("{StaticPath}/a.png");
  new NotingItem("{StaticPath}/b.png");
  widget->Update(0.016f);  // the first item is being loaded
  delete widget;
  widget = nullptr;
  EXPECT_EQ(GetLoadingWidget(), nullptr);
  EXPECT_EQ(GetItemBeingLoaded(), nullptr);
  EXPECT_NE(LogText().find("~cLoadingWidget: not all data was loaded."), std::string::npos);
  EXPECT_TRUE(seen.empty());
}

}  // namespace
