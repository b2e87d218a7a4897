#pragma once
// The renderer on the real OpenGL device: the SDL window (offscreen driver in the tests), the
// fixed clock and a log file in a temporary folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/core/log.h"
#include "engine/core/path_tokens.h"
#include "engine/render/render.h"
#include "engine/render/texture_manager.h"
#include "platform/os.h"
#include "platform/window.h"
#include "tests/engine/render/test_folders.h"
#include "tests/support/temp_dir.h"

namespace vektest {

class GLRenderFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    UseTempFolders(tmp);
    plat::SetWindow(nullptr);
    StartTempLog(tmp);
    ASSERT_TRUE(plat::GetWindow().Open("gl test", true, kWidth, kHeight));
    vek::CreateRender();
    render = vek::g_pRender;
    ASSERT_EQ(render->Init(Settings()), 0) << "no OpenGL 3.3 device on this context";
    vek::CreateTextureManager();
    vek::g_pTextureManager->CreateContexts();
  }

  void TearDown() override {
    if (vek::g_pTextureManager) vek::g_pTextureManager->DeleteContexts();
    vek::DestroyTextureManager();
    if (render && render->GetDevice()) render->Free();
    vek::DestroyRender();
    plat::GetWindow().Shutdown();
    vek::DestroyLogHolder();
    plat::SetWindow(nullptr);
    plat::SetOs(nullptr);
  }

  static vek::cRender::cSettings Settings() {
    vek::cRender::cSettings s;
    s.depthBuffer = true;
    return s;
  }

  // Re-creates the window and the device as the engine's "display" does: textures go to
  // memory, the device is freed, the window changes, the device and the textures come back.
  void Recreate(bool windowed, int width, int height) {
    vek::g_pTextureManager->DeleteContexts();
    render->Free();
    plat::GetWindow().Close();
    ASSERT_TRUE(plat::GetWindow().Open("gl test", windowed, width, height));
    ASSERT_EQ(render->Init(Settings()), 0);
    vek::g_pTextureManager->CreateContexts();
  }

  // Draws the texture's context as a quad of its own size with its lower-left corner at
  // (x, y) of the picture (y upwards), over a cleared frame, and reads the frame back.
  std::vector<vek::u8> DrawAndRead(vek::cTexture* texture, int x, int y, vek::u32 color = 0xFFFFFFFF) {
    return DrawAndRead(texture->GetContext(), x, y, static_cast<float>(texture->GetWidth()),
                       static_cast<float>(texture->GetHeight()), color);
  }
  // Begins a frame drawn in picture pixels (y upwards), unlit and without culling, over the
  // clear colour, with the vertex format {position, colour, 2 texture coordinates}.
  void BeginPictureFrame(float r, float g, float b);
  // The same for a device texture drawn as a w x h quad.
  std::vector<vek::u8> DrawAndRead(vek::cDeviceTexture* context, int x, int y, float w, float h,
                                   vek::u32 color = 0xFFFFFFFF);


 public:
  // The RGB pixel at (x, y) counted from the bottom-left of the last read frame.
  std::vector<int> Pixel(int x, int y) const {
    const vek::u8* p = frame.data() + (static_cast<size_t>(y) * rect[2] + x) * 3;
    return {p[0], p[1], p[2]};
  }

 protected:
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 240;
  TempDir tmp;
  vek::cRender* render = nullptr;
  std::vector<vek::u8> frame;
  vek::i32 rect[4] = {};
};

inline void GLRenderFixture::BeginPictureFrame(float r, float g, float b) {
  EXPECT_EQ(render->Begin(), 0);
  // Picture pixels, y upwards.
  float ortho[16] = {};
  ortho[0] = 2.0f / static_cast<float>(render->GetWidth());
  ortho[5] = 2.0f / static_cast<float>(render->GetHeight());
  ortho[10] = -1.0f / 128.0f;
  ortho[12] = -1.0f;
  ortho[13] = -1.0f;
  ortho[15] = 1.0f;
  float identity[16];
  vek::MatrixIdentity(identity);
  render->SetTransform(vek::e_TransformProjection, ortho);
  render->SetTransform(vek::e_TransformView, identity);
  render->SetTransform(vek::e_TransformWorld, identity);
  render->SetRenderState(plat::gfx::RenderState::Lighting, 0);
  render->SetRenderState(plat::gfx::RenderState::CullMode, plat::gfx::cull::None);
  render->SetClearColor(r, g, b, 1.0f);
  render->Clear(plat::gfx::kClearTarget, 1.0f);
  render->SetVertexFormat(vek::cVertexFormat{true, false, true, 2});
}

inline std::vector<vek::u8> GLRenderFixture::DrawAndRead(vek::cDeviceTexture* context, int x, int y, float w,
                                                         float h, vek::u32 color) {
  struct Vertex {
    float x, y, z;
    vek::u32 color;
    float u, v;
  };
  const float l = static_cast<float>(x), b = static_cast<float>(y), r = l + w, t = b + h;
  const Vertex quad[6] = {{l, b, 0, color, 0, 0}, {r, b, 0, color, 1, 0}, {l, t, 0, color, 0, 1},
                          {l, t, 0, color, 0, 1}, {r, b, 0, color, 1, 0}, {r, t, 0, color, 1, 1}};
  BeginPictureFrame(0.0f, 0.0f, 1.0f);
  render->SetAlphaBlend(plat::gfx::blend::SrcAlpha, plat::gfx::blend::InvSrcAlpha);
  render->SetTexture(context);
  render->DrawPrimitives(vek::e_PrimTriangleList, 6, 2, quad, nullptr);
  render->SetAlphaBlend(0, 0);
  render->End();
  std::unique_ptr<vek::u8[]> pixels = render->ReadFrontBuffer(rect);
  render->SwapBuffers();
  if (!pixels) return {};
  frame.assign(pixels.get(), pixels.get() + static_cast<size_t>(rect[2]) * rect[3] * 3);
  return frame;
}

}  // namespace vektest
