// The GUI drawn on the real OpenGL device: a window built by script with its controls, the
// system font's text and the cursor over everything.
#include <gtest/gtest.h>

#include <memory>

#include "engine/app/game.h"
#include "engine/core/path_tokens.h"
#include "engine/files/data_manager.h"
#include "engine/files/image.h"
#include "engine/gui/cursor.h"
#include "engine/gui/frame_ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/widget.h"
#include "engine/gui/window.h"
#include "engine/render/render.h"
#include "engine/render/texture.h"
#include "engine/render/texture_manager.h"
#include "engine/script/script.h"
#include "platform/gfx.h"
#include "tests/support/gl_game_fixture.h"

namespace {

// Clears to dark blue, then draws the GUI as every widget does by default.
class ClearingWidget : public vek::cWidget {
 public:
  using vek::cWidget::cWidget;
  void Render() override {
    vek::g_pRender->SetClearColor(0.0f, 0.0f, 0.5f, 1.0f);
    vek::g_pRender->Clear(plat::gfx::kClearTarget, 1.0f);
    vek::cWidget::Render();
  }
};

class GuiGLTest : public vektest::GLGameFixture {
 protected:
  GuiGLTest() : GLGameFixture("gui gl test") {}
  std::vector<int> Pixel(int x, int y) const {
    const vek::u8* p = frame.get() + (static_cast<size_t>(y) * rect[2] + x) * 3;
    return {p[0], p[1], p[2]};
  }

  std::unique_ptr<vek::u8[]> frame;
  vek::i32 rect[4] = {};
};

TEST_F(GuiGLTest, FrameShowsTheWindowItsControlsAndTheCursor) {
  // The system font: its atlas into the texture manager, then its script.
  vek::cImage atlas;
  ASSERT_EQ(vek::cDataManager::ReadImage("{StaticPath}/texture/system/font_system.png", &atlas), 0u);
  auto* texture = new vek::cTexture("font_system", false, &atlas);
  texture->OnCreateContext();
  ASSERT_TRUE(vek::GetScript()->LoadFile("{StaticPath}/conf/sys_font.lua"));

  ASSERT_TRUE(vek::GetScript()->DoString(R"(
    local w = cWindow(theGUI) w:SetName('gl') w:SetActive(true)
    local back = cFrameCtrl('back', w) back:SetPos(80, 80, 0) back:SetSize(400, 300, 0)
    back:SetSize(8, 8, cCtrl.e_frmBorder)
    local red = cImageCtrl('red', w) red:SetPos(100, 100, 0) red:SetSize(200, 100, 0)
    local label = cLabelCtrl('caption', w) label:SetPos(100, 300, 0) label:SetSize(300, 40, 0)
    label:SetFontPrt('system') label:SetText('^FF0000FFGarden') label:SetAlign(cAlign.Left + cAlign.Middle)
    theGUI:ShowWindow('gl')
    theGUI:GetCursor():Set('cursor_pointer', vec2(32, 32), cAlign.Left + cAlign.Top, 1, 1)
  )", "=test"));
  // Scripts have no colour setter for these two: tint them here.
  vek::cWindow* w = game->GetGUI()->GetWindow("gl");
  static_cast<vek::cFrameCtrl*>(w->GetControl(1))->SetColor(0.0f, 1.0f, 0.0f);
  static_cast<vek::cImageCtrl*>(w->GetControl(2))->SetColor(1.0f, 0.0f, 0.0f);
  game->GetGUI()->GetCursor()->SetPos(600.0f, 400.0f);

  new ClearingWidget("menu");
  game->SetFocusWidget("menu");
  game->Frame();
  frame = vek::g_pRender->ReadFrontBuffer(rect);
  ASSERT_NE(frame, nullptr);
  ASSERT_EQ(rect[2], 1024);
  ASSERT_EQ(rect[3], 768);

  EXPECT_EQ(Pixel(20, 20), (std::vector<int>{0, 0, 127}));     // background
  EXPECT_EQ(Pixel(90, 90), (std::vector<int>{0, 255, 0}));     // the frame
  EXPECT_EQ(Pixel(150, 150), (std::vector<int>{255, 0, 0}));   // the image over it
  EXPECT_EQ(Pixel(610, 380), (std::vector<int>{255, 255, 255}));  // the cursor (no image: plain)
  EXPECT_EQ(Pixel(640, 380), (std::vector<int>{0, 0, 127}));
  // The caption's glyphs draw red over the green frame somewhere in its text rectangle.
  int redPixels = 0;
  for (int y = 300; y < 340; ++y)
    for (int x = 100; x < 200; ++x) {
      const std::vector<int> p = Pixel(x, y);
      if (p[0] > 128 && p[1] < 100) ++redPixels;
    }
  EXPECT_GT(redPixels, 20);
}

}  // namespace
