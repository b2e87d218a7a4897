#include <gtest/gtest.h>

#include "engine/app/game.h"
#include "tests/support/engine_fixture.h"

namespace {

TEST(Display, RecreateDecisionTable) {
  struct Case {
    bool windowed;
    unsigned w, h;
    int bpp;
    bool curWindowed;
    int cw, ch;
    unsigned modeBpp;
    bool recreate;
  };
  const Case cases[] = {
      {false, 1024, 768, 0, false, 1024, 768, 32, false},  // nothing differs
      {true, 1024, 768, 0, false, 1024, 768, 32, true},    // to windowed
      {false, 1024, 768, 16, false, 1024, 768, 32, true},  // another depth alone re-creates
      {false, 1024, 768, 32, false, 1024, 768, 32, false}, // the same depth does not
      {true, 800, 600, 0, true, 1024, 768, 32, true},      // another size
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vek::DisplayNeedsRecreate(c.windowed, c.w, c.h, c.bpp, c.curWindowed, c.cw, c.ch,
                                        c.modeBpp),
              c.recreate)
        << c.windowed << " " << c.w << "x" << c.h << " " << c.bpp;
  }
}

TEST(Display, GammaRamp) {
  unsigned short ramp[768];
  vek::BuildGammaRamp(1.0f, ramp);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(ramp[i], i * 256) << i;
    ASSERT_EQ(ramp[256 + i], i * 256);
    ASSERT_EQ(ramp[512 + i], i * 256);
  }
  EXPECT_FLOAT_EQ(vek::EstimateGamma(ramp), 1.0f);

  vek::BuildGammaRamp(2.2f, ramp);
  EXPECT_NEAR(vek::EstimateGamma(ramp), 2.2f, 0.01f);

  // Values at or above 65535 are stored as 65535; a gamma below 0 makes them huge.
  vek::BuildGammaRamp(-1.0f, ramp);
  EXPECT_EQ(ramp[1], 65535);
  EXPECT_EQ(ramp[255], 65535);
  EXPECT_EQ(ramp[0], 65535);  // 0 to a negative power is infinite
}

TEST(Display, ModesSortAscending) {
  std::vector<vek::DisplayModeRecord> modes = {
      {800, 600, 32, 75}, {640, 480, 32, 60}, {800, 600, 32, 60}, {800, 600, 16, 60}, {800, 600, 32, 60}};
  vek::SortDisplayModes(modes);
  const std::vector<vek::DisplayModeRecord> expected = {
      {640, 480, 32, 60}, {800, 600, 16, 60}, {800, 600, 32, 60}, {800, 600, 32, 60}, {800, 600, 32, 75}};
  EXPECT_EQ(modes, expected);
}

class DisplayWindow : public vektest::EngineFixture {};

TEST_F(DisplayWindow, SwitchingKeepsTheLoopAndTheWindow) {
  ASSERT_TRUE(game->CreateWindow(false, 1024, 768));
  EXPECT_TRUE(vek::Display(false, 1024, 768, 0));
  EXPECT_EQ(window->opens, 1);  // nothing differed
  // A quit posted by the old window's destruction must not end the loop.
  window->PostQuit(0);
  EXPECT_TRUE(vek::Display(true, 1024, 768, 0));
  EXPECT_EQ(window->opens, 2);
  EXPECT_TRUE(window->windowed);
  EXPECT_TRUE(game->IsWindowed());
  plat::Message m;
  EXPECT_FALSE(window->Peek(m));
  int w = 0, h = 0;
  game->GetClientSize(&w, &h);
  EXPECT_EQ(w, 1024);
  EXPECT_EQ(h, 768);
  game->GetClientSize(nullptr, &h);  // either pointer may be null
}

TEST_F(DisplayWindow, GammaThroughTheWindow) {
  ASSERT_TRUE(game->CreateWindow(true, 1024, 768));
  game->SetGamma(1.0f);
  EXPECT_EQ(window->ramp[2], 512);
  EXPECT_FLOAT_EQ(game->GetGamma(), 1.0f);
  window->gammaFails = true;
  EXPECT_FLOAT_EQ(game->GetGamma(), 1.0f);
  EXPECT_NE(LogText().find("GetDeviceGammaRamp failed, return standard value"), std::string::npos);
}

TEST_F(DisplayWindow, FailedWindowIsAnError) {
  window->openFails = true;
  EXPECT_FALSE(game->CreateWindow(false, 1024, 768));
  EXPECT_NE(LogText().find("<span class='error'>CreateWindowEx failed!"), std::string::npos);
}

TEST_F(DisplayWindow, ResolutionsDump) {
  vek::DumpSystemInformation("video res");
  const std::string log = LogText();
  const size_t a = log.find("&nbsp;&nbsp;&nbsp;&nbsp;1)&nbsp;&nbsp;640x 480, 32 -&nbsp;&nbsp;60<br />");
  const size_t b = log.find("&nbsp;&nbsp;&nbsp;&nbsp;2)&nbsp;&nbsp;800x 600, 32 -&nbsp;&nbsp;60<br />");
  EXPECT_NE(a, std::string::npos) << log;
  EXPECT_NE(b, std::string::npos);
  EXPECT_LT(a, b);
  EXPECT_NE(log.find("Video:"), std::string::npos);
  EXPECT_EQ(log.find("CPU:"), std::string::npos);
  EXPECT_EQ(log.find("Operating System:"), std::string::npos);
}

TEST_F(DisplayWindow, EmptySectionListPrintsEverySection) {
  vek::DumpSystemInformation("");
  const std::string log = LogText();
  size_t pos = 0;
  for (const char* head : {"CPU:", "Operating System:", "Video:", "Resolutions:"}) {
    const size_t at = log.find(head, pos);
    ASSERT_NE(at, std::string::npos) << head;
    pos = at;
  }
  vek::DumpSystemInformation(nullptr);  // nothing at all
  EXPECT_EQ(LogText(), log);
}

TEST_F(DisplayWindow, StartUpLogOrder) {
  const std::string log = LogText();
  const char* lines[] = {"User name: Tester", "System paths:", "{ExePath} = ", "{StaticPath} = ",
                         "{AppPath} = ", "{UserPath} = ", "Enum current display settings: ",
                         "(1024, 768, 32, 60)", "Enum all graphics modes... Ok",
                         "Registering Class... Ok. Atom: 0xC000", "SetUnhandledExceptionFilter... Ok"};
  size_t pos = 0;
  for (const char* l : lines) {
    size_t at = log.find(l, pos);
    ASSERT_NE(at, std::string::npos) << l;
    pos = at;
  }
}

TEST(EngineStart, FailingUserNameLogsAnEmptyName) {
  vektest::TempDir tmp;
  auto o = std::make_unique<plat::FixedOs>();
  o->dataHome = tmp.path();
  o->userNameFails = true;
  plat::SetOs(std::move(o));
  plat::SetWindow(std::make_unique<plat::ScriptedWindow>());
  auto* game = new vek::cGame();
  vek::cGame::cSettings s;
  s.appName = "Orchardia";
  game->Init(s);
  EXPECT_EQ(game->GetUserName(), "");
  const std::string log = vektest::ReadFileText(tmp.path() + "/Kelvra/Orchardia/_log.html");
  EXPECT_NE(log.find("User name: <br />"), std::string::npos);
  game->Shutdown();
  delete game;
  plat::SetWindow(nullptr);
  plat::SetOs(nullptr);
}

}  // namespace
