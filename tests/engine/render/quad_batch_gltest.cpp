// The quad batch on the OpenGL device: a frame, a line of colour-coded text in the baked
// system font and a rotated quad, compared with an expected picture.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/app/script_bindings.h"
#include "engine/files/data_manager.h"
#include "engine/render/font.h"
#include "engine/render/quad_batch.h"
#include "engine/render/texture.h"
#include "engine/script/script.h"
#include "tests/engine/render/gl_fixture.h"
#include "tests/support/image_compare.h"

namespace {

using vek::rectf;
using vek::u8;
using vek::vec2;

const std::string kExpected = std::string(VEK_SOURCE_DIR) + "/tests/engine/render/data/quad_batch_expected.png";
constexpr int kTolerance = 16;  // per channel

class QuadBatchGLTest : public vektest::GLRenderFixture {
 protected:
  void TearDown() override {
    vek::DestroyFontManager();
    if (vek::GetScript()) vek::DestroyScript();
    GLRenderFixture::TearDown();
  }
};

// A 32 x 32 frame picture: an 8-pixel border of dark green with a light rim, a pale centre.
vek::cImage FramePicture() {
  vek::cImage image(vek::e_PixARGB, 32, 32, 1);
  u8* p = image.GetLevel(0);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x, p += 4) {
      const int edge = std::min(std::min(x, 31 - x), std::min(y, 31 - y));
      const bool rim = edge == 0;
      const bool border = edge < 8;
      p[0] = rim ? 240 : border ? 40 : 230;
      p[1] = rim ? 240 : border ? 120 : 220;
      p[2] = rim ? 200 : border ? 50 : 180;
      p[3] = border ? 255 : 200;
    }
  return image;
}

TEST_F(QuadBatchGLTest, FrameTextAndRotatedQuadMatchThePicture) {
  // The system font, as the game's start-up makes it: its atlas, then its script.
  vek::SetPathToken(vek::e_StaticPath, std::string(VEK_TEST_BIN_DIR) + "/data");
  vek::cImage atlas;
  ASSERT_EQ(vek::cDataManager::ReadImage("{StaticPath}/texture/system/font_system.png", &atlas), 0u);
  new vek::cTexture("font_system", false, &atlas);
  const vek::cImage framePicture = FramePicture();
  new vek::cTexture("frame", false, &framePicture);
  vek::CreateFontManager();
  ASSERT_TRUE(vek::CreateScript());
  ASSERT_TRUE(vek::RegisterEngine(vek::GetScript()));
  ASSERT_TRUE(vek::GetScript()->LoadFile("{StaticPath}/conf/sys_font.lua"));
  const vek::u32 font = vek::GetFonts()->Find("system");
  ASSERT_NE(font, 0u);
  const vek::u32 frame = vek::g_pTextureManager->FindIndex("frame");

  vek::cQuadBatch batch;
  ASSERT_EQ(render->Begin(), 0);
  render->SetClearColor(0.15f, 0.15f, 0.2f, 1.0f);
  render->Clear(plat::gfx::kClearTarget, 1.0f);
  vek::Begin2D(static_cast<float>(kWidth), static_cast<float>(kHeight));
  vek::SetBlendMode(vek::e_BlendAlpha, 0.0f);
  batch.Clear();
  vek::DrawFrame(&batch, frame, rectf{16, 24, 200, 120}, rectf{0, 0, 1, 1}, vec2(8, 8), vec2(0.25f, 0.25f), true,
                 0xFFFFFFFF);
  vek::u32 color = 0xFF202020;
  vek::DrawColorText(&batch, font, vec2(28, 100), "Orchardia ^FF6000FFgarden", &color);
  vek::DrawText(&batch, font, vec2(28, 70), "^^ 0123 ~", 0xFF0000C0);
  vek::DrawRotatedQuad(&batch, 0, rectf{240, 60, 48, 48}, rectf{0, 0, 1, 1}, 0xFFE03030, 0.5f);
  vek::DrawPie(&batch, 0, vec2(264, 180), 28.0f, 24, 0.0f, 4.7f, rectf{0, 0, 1, 1}, 0xC040C0F0);
  vek::FlushBatches(&batch);
  vek::SetBlendMode(vek::e_BlendNone, 0.0f);
  vek::End2D();
  render->End();
  EXPECT_EQ(render->GetFrameCalls(), 3u);  // the frame, both texts, the untextured quad and pie
  std::unique_ptr<u8[]> pixels = render->ReadFrontBuffer(rect);
  render->SwapBuffers();
  ASSERT_TRUE(pixels);
  ASSERT_EQ(rect[2], kWidth);
  ASSERT_EQ(rect[3], kHeight);
  EXPECT_EQ(color, 0xFFFF6000u);

  vektest::ExpectFrameMatchesPicture(pixels.get(), kWidth, kHeight, kExpected, kTolerance);
}

// A backdrop stretched over the screen under a panel whose middle is solid: leaving out what
// the panel covers draws the same picture, and without the panel the left-out part shows.
TEST_F(QuadBatchGLTest, LeavingOutWhatALaterPanelCoversKeepsThePicture) {
  // A 48 x 40 backdrop of colour ramps and a 32 x 32 opaque panel with a darker border.
  vek::cImage backdrop(vek::e_PixARGB, 48, 40, 1), panel(vek::e_PixARGB, 32, 32, 1);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 48; ++x) {
      u8* p = backdrop.GetLevel(0) + (y * 48 + x) * 4;
      p[0] = static_cast<u8>(x * 5), p[1] = static_cast<u8>(y * 6), p[2] = static_cast<u8>((x * y) % 251), p[3] = 255;
    }
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      u8* p = panel.GetLevel(0) + (y * 32 + x) * 4;
      const bool border = std::min(std::min(x, 31 - x), std::min(y, 31 - y)) < 8;
      p[0] = border ? 60 : 200, p[1] = border ? 40 : 190, p[2] = border ? 20 : 150, p[3] = 255;
    }
  new vek::cTexture("backdrop", false, &backdrop);
  new vek::cTexture("panel", false, &panel);
  const vek::u32 back = vek::g_pTextureManager->FindIndex("backdrop");
  const vek::u32 board = vek::g_pTextureManager->FindIndex("panel");
  const rectf panelRect{40.5f, 30.25f, 200.0f, 150.0f};
  // The panel's middle in the 400 x 300 space that is drawn in.
  const rectf middle{panelRect.x + 8, panelRect.y + 8, panelRect.w - 16, panelRect.h - 16};
  ASSERT_TRUE(vek::DrawsSolid(board, rectf{0.25f, 0.25f, 0.5f, 0.5f}));

  vek::cQuadBatch batch;
  auto drawFrame = [&](bool covers, bool withPanel) {
    EXPECT_EQ(render->Begin(), 0);
    render->SetClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    render->Clear(plat::gfx::kClearTarget, 1.0f);
    vek::Begin2D(400.0f, 300.0f);  // not the viewport's size: a unit is 0.8 pixels
    vek::SetBlendMode(vek::e_BlendAlpha, 0.0f);
    if (covers) vek::SetCovers(&batch, {{middle, 0}}, 400.0f, 300.0f);
    batch.Clear();
    vek::DrawQuad(&batch, back, rectf{0, 0, 400, 300}, rectf{0, 0, 1, 1}, 0xFFFFFFFF);
    vek::FlushBatches(&batch);
    vek::SetCoverLayer(&batch, 0);
    batch.Clear();
    if (withPanel)
      vek::DrawFrame(&batch, board, panelRect, rectf{0, 0, 1, 1}, vec2(8, 8), vec2(0.25f, 0.25f), true, 0xFFFFFFFF);
    vek::FlushBatches(&batch);
    vek::ClearCovers(&batch);
    vek::SetBlendMode(vek::e_BlendNone, 0.0f);
    vek::End2D();
    render->End();
    std::unique_ptr<u8[]> pixels = render->ReadFrontBuffer(rect);
    render->SwapBuffers();
    return std::vector<u8>(pixels.get(), pixels.get() + static_cast<size_t>(rect[2]) * rect[3] * 3);
  };
  const std::vector<u8> whole = drawFrame(false, true), covered = drawFrame(true, true);
  ASSERT_EQ(whole.size(), covered.size());
  int worst = 0;
  for (size_t i = 0; i < whole.size(); ++i) worst = std::max(worst, std::abs(whole[i] - covered[i]));
  // A piece's texture coordinates are interpolated from its own corners: at most a rounding
  // step from the whole quad's (none on this machine's driver).
  EXPECT_LE(worst, 1);
  vektest::SaveScreenshot(covered.data(), rect[2], rect[3], "quad_batch_covered_backdrop");

  // Without the panel: the whole pixels inside its middle show the clear colour, every other
  // pixel the backdrop as drawn whole.
  const std::vector<u8> plain = drawFrame(false, false), cut = drawFrame(true, false);
  const float px = static_cast<float>(kWidth) / 400.0f;
  const int l = static_cast<int>(std::ceil(middle.x * px)), r = static_cast<int>(std::floor((middle.x + middle.w) * px));
  const int b = static_cast<int>(std::ceil(middle.y * px)), t = static_cast<int>(std::floor((middle.y + middle.h) * px));
  int wrong = 0;
  worst = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const size_t at = (static_cast<size_t>(y) * kWidth + x) * 3;
      if (x >= l && x < r && y >= b && y < t) {
        wrong += cut[at] != 0 || cut[at + 1] != 0 || cut[at + 2] != 255;
      } else {
        for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(plain[at + c] - cut[at + c]));
      }
    }
  EXPECT_EQ(wrong, 0);
  EXPECT_LE(worst, 1);
}

}  // namespace
