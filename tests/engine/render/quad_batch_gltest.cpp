// The quad batch on the OpenGL device: a frame, a line of colour-coded text in the baked
// system font and a rotated quad, compared with an expected picture.
#include <algorithm>
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

}  // namespace
