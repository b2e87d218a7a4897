// The control gallery window drawn by the engine's frame on the real OpenGL device, in the
// data set's system look and font with the GUI's pointer over it, compared with an expected
// picture (written beside it as *_actual.png when they differ).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include "engine/core/filename.h"
#include "engine/core/game.h"
#include "engine/core/image.h"
#include "engine/core/image_codecs.h"
#include "engine/core/script.h"
#include "engine/gui/cursor.h"
#include "engine/gui/gui.h"
#include "engine/gui/widget.h"
#include "engine/render/render.h"
#include "platform/gfx.h"
#include "platform/input.h"
#include "platform/os.h"
#include "platform/window.h"
#include "tests/support/system_look.h"
#include "tests/support/temp_dir.h"

namespace {

using vek::u8;

const std::string kExpected = std::string(VEK_SOURCE_DIR) + "/tests/e2e/data/control_gallery_expected.png";
constexpr int kTolerance = 16;  // per channel

// Clears to a dark garden green, then draws the GUI as every widget does by default.
class ClearingWidget : public vek::cWidget {
 public:
  using vek::cWidget::cWidget;
  void Render() override {
    vek::g_pRender->SetClearColor(0.12f, 0.22f, 0.12f, 1.0f);
    vek::g_pRender->Clear(plat::gfx::kClearTarget, 1.0f);
    vek::cWidget::Render();
  }
};

std::vector<u8> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<u8>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteImage(const vek::cImage& image, const std::string& path) {
  std::vector<u8> png;
  ASSERT_EQ(vek::WritePNG(image, png), 0u);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                              static_cast<std::streamsize>(png.size()));
}

class ControlGalleryGLTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto o = std::make_unique<plat::FixedOs>();
    o->dataHome = tmp.path() + "/xdg";
    o->homeFolder = tmp.path() + "/Home";
    o->exeFolder = VEK_TEST_BIN_DIR;  // the data folder beside the game
    plat::SetOs(std::move(o));
    plat::SetWindow(nullptr);
    auto in = std::make_unique<plat::ScriptedInput>();
    in->AddDevice(plat::kInputTypeMouse, "Mouse");
    plat::SetInputBackend(std::move(in));
    game = new vek::cGame();
    vek::cGame::cSettings s;
    s.title = "control gallery gl test";
    s.appName = "Orchardia";
    game->Init(s);
    ASSERT_TRUE(game->CreateWindow(true, 1024, 768));
    game->OnResize(1024, 768);
    ASSERT_NE(vek::g_pRender->GetDevice(), nullptr);
  }
  void TearDown() override {
    game->DestroyWindow();
    game->Shutdown();
    delete game;
    plat::GetWindow().Shutdown();
    plat::SetInputBackend(nullptr);
    plat::SetWindow(nullptr);
    plat::SetOs(nullptr);
  }

  vektest::TempDir tmp;
  vek::cGame* game = nullptr;
};

TEST_F(ControlGalleryGLTest, TheWindowLooksAsExpected) {
  ASSERT_TRUE(vektest::LoadSystemLook());
  ASSERT_TRUE(vek::GetScript()->DoString("local w = cWindow(theGUI) w:SetName('gallery')", "=test"));
  ASSERT_TRUE(vek::GetScript()->LoadFile("{StaticPath}/gui/control_gallery.lua"));
  // Filled, then put in a state that shows every part: typed text, a checked box, a moved
  // thumb, a selected row, and the pointer as the game sets it.
  ASSERT_TRUE(vek::GetScript()->DoString(R"(
    local w = theGUI:GetWindow('gallery')
    FillWindow(w)
    w:GetControl(w:FindControl('name')):SetText('Ann')
    w:GetControl(w:FindControl('music')):SetCheck(true)
    w:GetControl(w:FindControl('volume')):SetValue(25)
    w:GetControl(w:FindControl('fruit')):SelectItem(1, true, false)
    theGUI:ShowWindow('gallery')
    theGUI:GetCursor():Set('cursor_pointer', vec2(32, 64), cAlign.Left + cAlign.Top, 1, 1)
  )", "=test"));
  game->GetGUI()->GetCursor()->SetPos(700.0f, 180.0f);

  new ClearingWidget("menu");
  game->SetFocusWidget("menu");
  game->Frame();
  vek::i32 rect[4] = {};
  std::unique_ptr<u8[]> frame = vek::g_pRender->ReadFrontBuffer(rect);
  ASSERT_NE(frame, nullptr);
  ASSERT_EQ(rect[2], 1024);
  ASSERT_EQ(rect[3], 768);

  vek::cImage actual(vek::e_PixRGB, 1024, 768, 1);
  std::copy(frame.get(), frame.get() + actual.GetLevelSize(0), actual.GetLevel(0));
  const std::string actualPath = kExpected.substr(0, kExpected.size() - 4) + "_actual.png";

  const std::vector<u8> file = ReadBytes(kExpected);
  vek::cImage expected;
  if (file.empty() || vek::ReadPNG(expected, file.data(), file.size(), "expected") != 0) {
    WriteImage(actual, actualPath);
    FAIL() << "no expected picture " << kExpected << "; the frame drawn is in " << actualPath;
  }
  ASSERT_EQ(expected.GetWidth(), 1024u);
  ASSERT_EQ(expected.GetHeight(), 768u);
  ASSERT_EQ(expected.GetFormat().id, vek::u32(vek::e_PixRGB));
  int off = 0, worst = 0;
  for (vek::u32 i = 0; i < actual.GetLevelSize(0); ++i) {
    const int d = std::abs(int(actual.GetLevel(0)[i]) - int(expected.GetLevel(0)[i]));
    worst = std::max(worst, d);
    if (d > kTolerance) ++off;
  }
  if (off) WriteImage(actual, actualPath);
  EXPECT_EQ(off, 0) << "channels off by more than " << kTolerance << " (worst " << worst
                    << "); the frame drawn is in " << actualPath;
}

}  // namespace
