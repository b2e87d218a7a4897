// The renderer inside the engine object: window creation, the frame, window messages,
// the screenshot key and the dumps, over the recording device.
#include <filesystem>
#include <vector>

#include "engine/app/game.h"
#include "engine/render/render.h"
#include "engine/render/texture_manager.h"
#include "tests/support/engine_fixture.h"

namespace {

using GameRender = vektest::EngineFixture;

std::vector<std::string> Frames(const plat::gfx::Recorder& rec) {
  std::vector<std::string> out;
  for (const std::string& c : rec.calls)
    if (c == "BeginScene" || c == "EndScene" || c.rfind("Clear(", 0) == 0 || c.rfind("Present", 0) == 0 ||
        c.rfind("Reset(", 0) == 0)
      out.push_back(c);
  return out;
}

TEST_F(GameRender, EveryFrameIsClearedAndPresented) {
  ASSERT_TRUE(game->CreateWindow(true, 1024, 768));
  EXPECT_TRUE(gfx->Has("CreateDevice(Hardware, 0x0 A8R8G8B8 x1 ms 0 swap 2 windowed 1 depth D16)"));
  gfx->Clear();
  game->Frame();
  EXPECT_EQ(Frames(*gfx), (std::vector<std::string>{"BeginScene", "Clear(0x1, 0x00000000, 1, 0)", "EndScene",
                                                    "Present -> 0x00000000"}));

  // A display change: the next frame resets the device and is skipped, the one after draws.
  game->WindowProc(plat::Message{plat::MsgKind::DisplayChange, 32, (768u << 16) | 1024u, 0});
  gfx->Clear();
  game->Frame();
  ASSERT_EQ(Frames(*gfx).size(), 1u);
  EXPECT_EQ(Frames(*gfx)[0].rfind("Reset(", 0), 0u);
  gfx->Clear();
  game->Frame();
  EXPECT_EQ(Frames(*gfx).size(), 4u);

  // A resize reaches the viewport; an empty one skips the frame.
  game->OnResize(0, 0);
  EXPECT_EQ(vek::g_pRender->GetHeight(), 1);
  game->OnResize(800, 600);
  EXPECT_EQ(vek::g_pRender->GetWidth(), 800);
}

TEST_F(GameRender, FullScreenFocusLossLosesTheDevice) {
  ASSERT_TRUE(game->CreateWindow(false, 1024, 768));
  game->WindowProc(plat::Message{plat::MsgKind::Activate, 0, 0, 0});
  gfx->Clear();
  game->Frame();  // drawn, but the present finds the device lost
  EXPECT_TRUE(gfx->Has("Present -> 0x8A760004"));
  gfx->Clear();
  game->Frame();
  EXPECT_FALSE(gfx->Has("BeginScene"));
  EXPECT_NE(LogText().find("Begin. TestCooperativeLevel return &#39;device lost&#39;"), std::string::npos);
  game->WindowProc(plat::Message{plat::MsgKind::Activate, 1, 0, 0});
  gfx->Clear();
  game->Frame();
  EXPECT_TRUE(gfx->Has("Reset("));
  EXPECT_FALSE(gfx->Has("Present"));
  game->Frame();
  EXPECT_TRUE(gfx->Has("Present -> 0x00000000"));
}

// A full-screen window steps aside (iconified) when it loses the focus and comes back with it,
// but only as the focus is now: a window manager sends several changes at once, and a late
// message acted on would undo the newer state (the window flapping between iconified and
// restored for good).
TEST_F(GameRender, FullScreenStepsAsideOnlyAsTheFocusIsNow) {
  ASSERT_TRUE(game->CreateWindow(false, 1024, 768));
  const plat::Message lose{plat::MsgKind::Activate, 0, 0, 0};
  const plat::Message gain{plat::MsgKind::Activate, 1, 0, 0};
  window->focused = false;
  game->WindowProc(lose);
  EXPECT_TRUE(window->minimized);
  window->focused = true;
  game->WindowProc(gain);
  EXPECT_FALSE(window->minimized);

  // The focus came back before the loss was handled, then went again before the gain was.
  game->WindowProc(lose);
  EXPECT_FALSE(window->minimized);
  window->focused = false;
  window->minimized = true;
  game->WindowProc(gain);
  EXPECT_TRUE(window->minimized);
}

TEST_F(GameRender, ScreenshotKeySavesTheFrame) {
  ASSERT_TRUE(game->CreateWindow(true, 1024, 768));
  input->Key(0xB7, true);
  game->Frame();
  EXPECT_TRUE(std::filesystem::exists(os->desktopFolder + "/vek00.png"));
}

TEST_F(GameRender, DisplaySwitchKeepsTheTextures) {
  ASSERT_TRUE(game->CreateWindow(false, 1024, 768));
  vek::cImage image(vek::e_PixARGB, 2, 1, 1);
  const vek::u8 bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  std::copy(bytes, bytes + 8, image.GetLevel(0));
  auto* t = new vek::cTexture("pair", false, &image);
  ASSERT_NE(t->GetContext(), nullptr);

  EXPECT_TRUE(vek::Display(true, 1024, 768, 0));
  EXPECT_TRUE(game->IsWindowed());
  ASSERT_NE(t->GetContext(), nullptr);
  plat::gfx::LockedRect locked;
  ASSERT_EQ(t->GetContext()->texture->LockRect(0, locked, plat::gfx::kLockReadOnly), plat::gfx::kOk);
  const auto* p = static_cast<const vek::u8*>(locked.bits);
  EXPECT_EQ(std::vector<vek::u8>(p, p + 8), (std::vector<vek::u8>{3, 2, 1, 4, 7, 6, 5, 8}));
  t->GetContext()->texture->UnlockRect(0);
  EXPECT_EQ(gfx->Count("CreateDevice("), 2);
}

TEST_F(GameRender, DeviceFailureFailsTheWindow) {
  gfx->createDeviceFailures = 3;
  EXPECT_FALSE(game->CreateWindow(false, 1024, 768));
  EXPECT_EQ(vek::g_pRender->GetDevice(), nullptr);
  EXPECT_NE(LogText().find("Was not able to create OpenGL device"), std::string::npos);
}

TEST_F(GameRender, Dumps) {
  ASSERT_TRUE(game->CreateWindow(true, 1024, 768));
  vek::DumpSystemInformation("render");
  vek::DumpEngineInformation("vbo texture");
  const std::string log = LogText();
  EXPECT_NE(log.find("MaxTextureWidth = 2048"), std::string::npos);
  EXPECT_NE(log.find("Vertex Buffer Objects."), std::string::npos);
  EXPECT_NE(log.find("Textures."), std::string::npos);
  EXPECT_NE(log.find("unnamed"), std::string::npos);
}

}  // namespace
