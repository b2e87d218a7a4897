// The control gallery window drawn by the engine's frame on the real OpenGL device, in the
// data set's system look and font with the GUI's pointer over it, compared with an expected
// picture (written beside it as *_actual.png when they differ).
#include <gtest/gtest.h>

#include <memory>

#include "engine/app/game.h"
#include "engine/files/filename.h"
#include "engine/gui/cursor.h"
#include "engine/gui/gui.h"
#include "engine/gui/widget.h"
#include "engine/render/render.h"
#include "engine/script/script.h"
#include "platform/gfx.h"
#include "tests/support/gl_game_fixture.h"
#include "tests/support/image_compare.h"
#include "tests/support/system_look.h"

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

class ControlGalleryGLTest : public vektest::GLGameFixture {
 protected:
  ControlGalleryGLTest() : GLGameFixture("control gallery gl test") {}
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

  vektest::ExpectFrameMatchesPicture(frame.get(), 1024, 768, kExpected, kTolerance);
}

}  // namespace
