#include <vector>

#include "tests/engine/render/gl_fixture.h"

namespace {

using TextureGLTest = vektest::GLRenderFixture;

// A 16 x 16 picture: red grows to the right, green upwards (rows are stored bottom first).
vek::cImage Gradient() {
  vek::cImage image(vek::e_PixARGB, 16, 16, 1);
  vek::u8* p = image.GetLevel(0);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x, p += 4) {
      p[0] = static_cast<vek::u8>(x * 16);
      p[1] = static_cast<vek::u8>(y * 16);
      p[2] = 128;
      p[3] = 255;
    }
  return image;
}

void ExpectGradientAt(TextureGLTest& t, int ox, int oy) {
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(t.Pixel(ox + x, oy + y), (std::vector<int>{x * 16, y * 16, 128})) << x << "," << y;
  // Around it the clear colour.
  if (ox > 0) {
    EXPECT_EQ(t.Pixel(ox - 1, oy), (std::vector<int>{0, 0, 255}));
  }
  EXPECT_EQ(t.Pixel(ox + 16, oy + 15), (std::vector<int>{0, 0, 255}));
}

TEST_F(TextureGLTest, TextureDrawnReadsBackExactly) {
  vek::cImage image = Gradient();
  auto* t = new vek::cTexture("gradient", false, &image);
  ASSERT_NE(t->GetContext(), nullptr);
  ASSERT_FALSE(DrawAndRead(t, 10, 20).empty());
  EXPECT_EQ(rect[2], kWidth);
  EXPECT_EQ(rect[3], kHeight);
  ExpectGradientAt(*this, 10, 20);
  EXPECT_EQ(render->GetFrameCalls(), 1u);

  // The default checkerboard: white and red cells of 8 pixels, the first one white.
  ASSERT_FALSE(DrawAndRead(vek::g_pTextureManager->Get(0), 0, 0).empty());
  EXPECT_EQ(Pixel(0, 0), (std::vector<int>{255, 255, 255}));
  EXPECT_EQ(Pixel(8, 0), (std::vector<int>{255, 0, 0}));
  EXPECT_EQ(Pixel(8, 8), (std::vector<int>{255, 255, 255}));

  // Vertex colour modulates the texture; half alpha blends over the clear colour.
  ASSERT_FALSE(DrawAndRead(vek::g_pTextureManager->Get(0), 0, 0, 0x80FFFFFF).empty());
  const std::vector<int> white = Pixel(0, 0);
  EXPECT_NEAR(white[0], 128, 2);
  EXPECT_NEAR(white[2], 255, 2);
  ASSERT_FALSE(DrawAndRead(vek::g_pTextureManager->Get(0), 0, 0, 0xFF00FF00).empty());
  EXPECT_EQ(Pixel(0, 0), (std::vector<int>{0, 255, 0}));
  EXPECT_EQ(Pixel(8, 0), (std::vector<int>{0, 0, 0}));
}

TEST_F(TextureGLTest, ContentsSurviveDeviceLossAndWindowSwitch) {
  vek::cImage image = Gradient();
  auto* t = new vek::cTexture("gradient", false, &image);
  auto* target = new vek::cTexture("target", 32, 32);
  ASSERT_NE(target->GetContext(), nullptr);

  // A display change: the device is lost, reset (that frame skipped), and draws again.
  render->OnDisplayChange();
  EXPECT_EQ(render->Begin(), 6);
  ASSERT_NE(target->GetContext(), nullptr);
  ASSERT_FALSE(DrawAndRead(t, 5, 5).empty());
  ExpectGradientAt(*this, 5, 5);

  // To full screen: the picture is 1024 x 768 whatever the desktop; the texture came back
  // from memory.
  Recreate(false, 1024, 768);
  EXPECT_NE(target->GetContext(), nullptr);
  ASSERT_FALSE(DrawAndRead(t, 100, 200).empty());
  EXPECT_EQ(rect[2], 1024);
  EXPECT_EQ(rect[3], 768);
  ExpectGradientAt(*this, 100, 200);

  // A full-screen game that loses the focus stays lost until it is back.
  render->OnFocusChange(false);
  render->SwapBuffers();
  EXPECT_EQ(render->Begin(), 5);
  render->OnFocusChange(true);
  EXPECT_EQ(render->Begin(), 6);
  ASSERT_FALSE(DrawAndRead(t, 0, 0).empty());
  ExpectGradientAt(*this, 0, 0);

  // And back to a window.
  Recreate(true, kWidth, kHeight);
  ASSERT_FALSE(DrawAndRead(t, 30, 40).empty());
  EXPECT_EQ(rect[2], kWidth);
  ExpectGradientAt(*this, 30, 40);
}

TEST_F(TextureGLTest, EachTextureCarriesItsOwnFilter) {
  // Two device textures of a black and a white texel, one sampled by points, one linearly,
  // drawn 64 times wider.
  vek::cImage pair(vek::e_PixARGB, 2, 1, 1);
  const vek::u8 texels[8] = {0, 0, 0, 255, 255, 255, 255, 255};
  std::copy(texels, texels + 8, pair.GetLevel(0));
  vek::cTextureDesc desc;
  desc.width = 2;
  desc.height = 1;
  desc.format = vek::GetFormatInfo(vek::e_PixARGB);
  auto upload = [&](vek::u32 filter) {
    desc.filter = filter;
    desc.address = plat::gfx::taddress::Clamp;
    vek::cDeviceTexture* c = render->CreateTextureContext(&desc);
    plat::gfx::LockedRect locked;
    EXPECT_EQ(c->texture->LockRect(0, locked, 0), plat::gfx::kOk);
    std::copy(texels, texels + 8, static_cast<vek::u8*>(locked.bits));
    c->texture->UnlockRect(0);
    return c;
  };
  vek::cDeviceTexture* point = upload(0);
  vek::cDeviceTexture* linear = upload(1);
  vek::cDeviceTexture* linear2 = upload(1);
  auto sharp = [&] { return Pixel(60, 0)[0] == 0 && Pixel(68, 0)[0] == 255; };
  auto smooth = [&] { return Pixel(60, 0)[0] > 100 && Pixel(60, 0)[0] < 155; };
  for (int round = 0; round < 2; ++round) {
    ASSERT_FALSE(DrawAndRead(point, 0, 0, 128.0f, 4.0f).empty());
    EXPECT_TRUE(sharp()) << Pixel(60, 0)[0];
    ASSERT_FALSE(DrawAndRead(linear, 0, 0, 128.0f, 4.0f).empty());
    EXPECT_TRUE(smooth()) << Pixel(60, 0)[0];
    // The stage's filter does not change for a texture of the same mode, yet it is sampled
    // with that mode.
    ASSERT_FALSE(DrawAndRead(linear2, 0, 0, 128.0f, 4.0f).empty());
    EXPECT_TRUE(smooth()) << Pixel(60, 0)[0];
  }
  // Bound again after its record changed, the texture keeps the filter it had.
  linear2->filter = 0;
  ASSERT_FALSE(DrawAndRead(linear2, 0, 0, 128.0f, 4.0f).empty());
  EXPECT_TRUE(smooth());
  // Another texture bound in between brings the new mode.
  ASSERT_FALSE(DrawAndRead(linear, 0, 0, 128.0f, 4.0f).empty());
  ASSERT_FALSE(DrawAndRead(linear2, 0, 0, 128.0f, 4.0f).empty());
  EXPECT_TRUE(sharp());
  render->DeleteTextureContext(point);
  render->DeleteTextureContext(linear);
  render->DeleteTextureContext(linear2);
}

TEST_F(TextureGLTest, MultisampledFramesAreResolvedForReading) {
  vek::g_pTextureManager->DeleteContexts();
  render->Free();
  vek::cRender::cSettings s = Settings();
  s.antiAlias = 4;
  ASSERT_EQ(render->Init(s), 0);
  ASSERT_EQ(render->GetSettings().antiAlias, 4u) << "the context offers no 4 samples";
  vek::g_pTextureManager->CreateContexts();
  vek::cImage image = Gradient();
  auto* t = new vek::cTexture("gradient", false, &image);
  ASSERT_FALSE(DrawAndRead(t, 7, 9).empty());
  ExpectGradientAt(*this, 7, 9);
}

TEST_F(TextureGLTest, LevelsAndBlocksReadBackUnchanged) {
  struct Case {
    vek::u32 format, w, h;
  };
  for (const Case c : {Case{vek::e_PixARGB, 16, 8}, Case{vek::e_PixXRGB, 8, 8}, Case{vek::e_PixDXT1, 16, 16},
                       Case{vek::e_PixDXT3, 8, 4}, Case{vek::e_PixDXT5, 16, 16}, Case{vek::e_PixGrey8, 8, 8},
                       Case{vek::e_PixGreyAlpha, 4, 4}}) {
    vek::cImage image(c.format, c.w, c.h, 10000);
    for (vek::u32 l = 0; l < image.GetLevelCount(); ++l)
      for (vek::u32 i = 0; i < image.GetLevelSize(l); ++i) {
        vek::u8 v = static_cast<vek::u8>(i * 7 + l * 13);
        // The fourth byte of format 5 is not alpha: the device gives 255 there.
        if (c.format == vek::e_PixXRGB && i % 4 == 3) v = 255;
        image.GetLevel(l)[i] = v;
      }
    // What the texture holds: red and blue exchanged for the 32-bit formats.
    std::unique_ptr<vek::cImage> expected = image.Clone();
    expected->SwapRedBlue();
    auto* t = new vek::cTexture("levels", false, &image);
    ASSERT_NE(t->GetContext(), nullptr) << c.format;
    vek::g_pTextureManager->DeleteContexts();
    const vek::cImage* back = t->GetImage();
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->GetLevelCount(), expected->GetLevelCount()) << c.format;
    for (vek::u32 l = 0; l < back->GetLevelCount(); ++l) {
      const std::vector<vek::u8> got(back->GetLevel(l), back->GetLevel(l) + back->GetLevelSize(l));
      const std::vector<vek::u8> want(expected->GetLevel(l), expected->GetLevel(l) + expected->GetLevelSize(l));
      EXPECT_EQ(got, want) << "format " << c.format << " level " << l;
    }
    vek::g_pTextureManager->CreateContexts();
  }
}

TEST_F(TextureGLTest, LevelsWrittenFromSpacedRowsArriveWhole) {
  // A 16 x 16 gradient whose rows lie 20 pixels apart in memory.
  const vek::cImage packed = Gradient();
  std::vector<vek::u8> spaced(20 * 4 * 16, 0xEE);
  for (int y = 0; y < 16; ++y) {
    const vek::u8* row = packed.GetLevel(0) + y * 16 * 4;
    for (int x = 0; x < 16; ++x) {
      // The device's byte order: blue, green, red, alpha.
      spaced[(y * 20 + x) * 4 + 0] = row[x * 4 + 2];
      spaced[(y * 20 + x) * 4 + 1] = row[x * 4 + 1];
      spaced[(y * 20 + x) * 4 + 2] = row[x * 4 + 0];
      spaced[(y * 20 + x) * 4 + 3] = row[x * 4 + 3];
    }
  }
  vek::cImage blank(vek::e_PixARGB, 16, 16, 1);
  auto* t = new vek::cTexture("spaced", false, &blank);
  ASSERT_NE(t->GetContext(), nullptr);
  plat::gfx::Texture* device = t->GetContext()->texture;
  // Rows shorter than the level, or a pitch that is not whole pixels, are refused.
  EXPECT_NE(device->WriteLevel(0, spaced.data(), 15 * 4), plat::gfx::kOk);
  EXPECT_NE(device->WriteLevel(0, spaced.data(), 20 * 4 + 2), plat::gfx::kOk);
  EXPECT_NE(device->WriteLevel(1, spaced.data(), 20 * 4), plat::gfx::kOk);
  ASSERT_EQ(device->WriteLevel(0, spaced.data(), 20 * 4), plat::gfx::kOk);
  ASSERT_FALSE(DrawAndRead(t, 10, 20).empty());
  ExpectGradientAt(*this, 10, 20);
}

}  // namespace
