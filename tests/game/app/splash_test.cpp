// The splash screen's timing: fade-in, fade-out and end of each slide by fixed steps, skipping
// by key or click, slides without a loaded first picture, and the hand-over to loading.
#include <gtest/gtest.h>

#include "engine/files/image.h"
#include "engine/render/quad_batch.h"
#include "engine/render/texture.h"
#include "engine/render/texture_manager.h"
#include "game/app/splash_widget.h"
#include "tests/support/garden_fixture.h"

namespace {

// An application that only counts the end of the splash.
class CountingApp : public cGarden {
 public:
  void OnSplashEnd() override { ++ends; }
  int ends = 0;
};

class SplashTest : public vektest::GardenFixture {
 protected:
  void SetUp() override {
    GardenFixture::SetUp();
    vek::cImage image(vek::e_PixARGB, 8, 8, 1);
    new vek::cTexture("picture", false, &image);
    app = new CountingApp();
  }
  void TearDown() override {
    delete splash;
    delete app;
    GardenFixture::TearDown();
  }
  // A splash whose slides last the given times, each showing the loaded picture.
  void Make(std::initializer_list<float> times) {
    splash = new cSplashWidget(app);
    for (float t : times) splash->AddNode(t)->AddImage("picture", 0, 0, 800, 600);
  }
  // The step (1-based) at which the slide changes and at which its fade-out starts.
  void RunSlide(int& fadeOutAt, int& endAt) {
    const vek::u32 slide = splash->GetCurrent();
    fadeOutAt = endAt = 0;
    for (int step = 1; step <= 1000 && splash->GetCurrent() == slide; ++step) {
      splash->Step();
      if (!fadeOutAt && splash->IsFadingOut()) fadeOutAt = step;
      if (splash->GetCurrent() != slide) endAt = step;
    }
  }

  CountingApp* app = nullptr;
  cSplashWidget* splash = nullptr;
};

TEST_F(SplashTest, SlideTimesAndFades) {
  struct Case {
    float time;
    int fadeOutAt, endAt;
  };
  for (const Case c : {Case{2.0f, 46, 61}, Case{1.0f, 15, 30}}) {
    delete splash;
    Make({c.time, 5.0f});
    int fadeOutAt = 0, endAt = 0;
    RunSlide(fadeOutAt, endAt);
    EXPECT_EQ(fadeOutAt, c.fadeOutAt) << c.time;
    EXPECT_EQ(endAt, c.endAt) << c.time;
    // The next slide fades in from where the fade-out left off.
    EXPECT_FALSE(splash->IsFadingOut());
  }
  // Fade in over 0.5 s: 15 steps from 0 to 1.
  delete splash;
  Make({3.0f});
  EXPECT_EQ(splash->GetFade(), 0.0f);
  for (int i = 0; i < 15; ++i) splash->Step();
  EXPECT_FLOAT_EQ(splash->GetFade(), 1.0f);
}

TEST_F(SplashTest, KeyOrClickEndsTheSlideAtTheNextStep) {
  for (vek::u32 event : {1u, 4u}) {
    delete splash;
    Make({5.0f, 5.0f});
    splash->Step();
    splash->OnEvent(event, 0);
    splash->Step();
    EXPECT_EQ(splash->GetCurrent(), 1u) << event;
    // Other events do nothing.
    splash->OnEvent(2, 0);
    splash->OnEvent(5, 0);
    splash->Step();
    EXPECT_EQ(splash->GetCurrent(), 1u);
  }
}

TEST_F(SplashTest, SlidesWithoutAPictureAreSkippedAndTheEndIsToldOnce) {
  splash = new cSplashWidget(app);
  splash->AddNode(3.0f);                                          // no picture
  splash->AddNode(3.0f)->AddImage("not_loaded", 0, 0, 800, 600);  // picture missing
  splash->Step();
  EXPECT_EQ(splash->GetCurrent(), 1u);
  splash->Step();
  EXPECT_EQ(splash->GetCurrent(), 2u);
  EXPECT_EQ(app->ends, 0);
  splash->Step();
  splash->Step();
  EXPECT_EQ(app->ends, 1);
}

TEST_F(SplashTest, EachFrameDrawsItsSlideOnce) {
  // The slide's quads go in a pass of their own: frames do not pile them up in the batch.
  Make({5.0f});
  vek::cQuadBatch* batch = game->GetQuadBatch();
  ASSERT_NE(batch, nullptr);
  for (int frame = 0; frame < 3; ++frame) {
    splash->Render();
    EXPECT_EQ(batch->m_Used, 0u) << frame;
  }
}

TEST_F(SplashTest, ItsPicturesAreFreedWhenTheSlidesEnd) {
  UseBuiltData();
  vek::cTextureManager* tm = vek::g_pTextureManager;
  const vek::u32 ours = tm->FindIndex("picture");
  splash = new cSplashWidget(app);  // the splash's pictures and splash.lua's slides
  ASSERT_NE(tm->FindIndex("splash1"), 0u);
  ASSERT_NE(tm->FindIndex("splash2"), 0u);
  for (int step = 0; step < 1000 && app->ends == 0; ++step) splash->Step();
  ASSERT_EQ(app->ends, 1);
  EXPECT_EQ(tm->FindIndex("splash1"), 0u);
  EXPECT_EQ(tm->FindIndex("splash2"), 0u);
  EXPECT_EQ(tm->FindIndex("picture"), ours);  // what the splash did not load stays
  splash->Render();                            // nothing but the clear after the end
}

TEST_F(SplashTest, NoSlidesEndAtTheFirstStep) {
  Make({});
  splash->Step();
  EXPECT_EQ(app->ends, 1);
}

}  // namespace
