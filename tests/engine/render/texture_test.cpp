#include <cstring>
#include <vector>

#include "tests/engine/render/render_fixture.h"

namespace {

namespace gfx = plat::gfx;

class TextureTest : public vektest::RenderFixture {
 protected:
  void SetUp() override {
    RenderFixture::SetUp();
    vek::CreateTextureManager();
    tm = vek::g_pTextureManager;
  }

  // The bytes of one level of a texture's device copy.
  static std::vector<vek::u8> DeviceLevel(const vek::cTexture* t, vek::u32 level) {
    std::vector<vek::u8> out;
    const vek::cDeviceTexture* c = t->GetContext();
    if (!c) return out;
    gfx::SurfaceDesc desc;
    gfx::LockedRect locked;
    if (c->texture->GetLevelDesc(level, desc) != gfx::kOk ||
        c->texture->LockRect(level, locked, gfx::kLockReadOnly) != gfx::kOk)
      return out;
    const auto* p = static_cast<const vek::u8*>(locked.bits);
    out.assign(p, p + gfx::FormatLevelSize(desc.format, desc.width, desc.height));
    c->texture->UnlockRect(level);
    return out;
  }

  // An image whose bytes count up from seed.
  static vek::cImage Pattern(vek::u32 id, vek::u32 w, vek::u32 h, vek::u32 levels, vek::u8 seed) {
    vek::cImage image(id, w, h, levels);
    for (vek::u32 l = 0; l < image.GetLevelCount(); ++l)
      for (vek::u32 i = 0; i < image.GetLevelSize(l); ++i) image.GetLevel(l)[i] = static_cast<vek::u8>(seed + i + l);
    return image;
  }

  vek::cTextureManager* tm = nullptr;
};

TEST_F(TextureTest, DefaultCheckerboardAndLookUps) {
  ASSERT_EQ(tm->Count(), 1u);
  vek::cTexture* def = tm->Get(0);
  ASSERT_NE(def, nullptr);
  EXPECT_EQ(def->name, "unnamed");
  EXPECT_EQ(def->GetWidth(), 64u);
  // Before the device the converted image holds blue, green, red, 255.
  const vek::cImage* img = def->GetImage();
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->GetFormat().id, vek::u32(vek::e_PixXRGB));
  auto pixel = [&](int x, int y) {
    const vek::u8* p = img->GetLevel(0) + (y * 64 + x) * 4;
    return std::vector<int>{p[0], p[1], p[2], p[3]};
  };
  EXPECT_EQ(pixel(0, 0), (std::vector<int>{255, 255, 255, 255}));   // white cell
  EXPECT_EQ(pixel(8, 0), (std::vector<int>{0, 0, 255, 255}));       // red cell
  EXPECT_EQ(pixel(7, 15), (std::vector<int>{0, 0, 255, 255}));
  EXPECT_EQ(pixel(63, 63), (std::vector<int>{255, 255, 255, 255}));

  vek::cImage small = Pattern(vek::e_PixARGB, 4, 4, 1, 0);
  auto* a = new vek::cTexture("a", false, &small);
  EXPECT_EQ(tm->FindIndex("a"), 1u);
  EXPECT_EQ(tm->FindIndex("missing"), 0u);
  EXPECT_EQ(tm->FindItem("missing"), def);
  EXPECT_EQ(tm->Get(99), def);
  EXPECT_EQ(tm->Get(1), a);
  // The reserved slot is taken: a second texture with the flag is appended.
  new vek::cTexture("b", true, &small);
  EXPECT_EQ(tm->FindIndex("b"), 2u);

  Mark();
  vek::CreateTextureManager();
  EXPECT_EQ(vek::g_pTextureManager, tm);
  EXPECT_EQ(tm->Count(), 3u);
  EXPECT_NE(LogSinceMark().find("Already exist"), std::string::npos);
}

TEST_F(TextureTest, NonPowerOfTwoWarnsAndIsMade) {
  ASSERT_EQ(render->Init(Settings()), 0);
  vek::cImage image = Pattern(vek::e_PixARGB, 100, 64, 1, 0);
  Mark();
  auto* t = new vek::cTexture("wide", false, &image);
  const std::string log = LogSinceMark();
  EXPECT_NE(log.find("Constructor 'wide'. NPOT texture width"), std::string::npos);
  EXPECT_EQ(log.find("NPOT texture height"), std::string::npos);
  ASSERT_NE(t->GetContext(), nullptr);
  EXPECT_EQ(t->GetWidth(), 100u);
  EXPECT_EQ(t->GetImage(), nullptr);
}

TEST_F(TextureTest, UploadConvertsColoursButNotBlocks) {
  ASSERT_EQ(render->Init(Settings()), 0);
  vek::cImage rgb = Pattern(vek::e_PixRGB, 2, 2, 1, 10);
  auto* t = new vek::cTexture("rgb", false, &rgb);
  ASSERT_NE(t->GetContext(), nullptr);
  EXPECT_EQ(t->GetContext()->format.id, vek::u32(vek::e_PixXRGB));
  EXPECT_TRUE(rec->Has("CreateTexture(2x2, 1, 0x0, X8R8G8B8, Managed)"));
  // Red and blue exchanged, the fourth byte 255.
  EXPECT_EQ(DeviceLevel(t, 0), (std::vector<vek::u8>{12, 11, 10, 255, 15, 14, 13, 255, 18, 17, 16, 255, 21, 20,
                                                      19, 255}));
  // The caller keeps its own image unchanged.
  EXPECT_EQ(rgb.GetLevel(0)[0], 10);

  vek::cImage dxt = Pattern(vek::e_PixDXT5, 8, 8, 10000, 3);
  ASSERT_EQ(dxt.GetLevelCount(), 4u);
  auto* d = new vek::cTexture("dxt", false, &dxt);
  EXPECT_TRUE(rec->Has("CreateTexture(8x8, 0, 0x0, DXT5, Managed)"));
  for (vek::u32 l = 0; l < 4; ++l) {
    const std::vector<vek::u8> expected(dxt.GetLevel(l), dxt.GetLevel(l) + dxt.GetLevelSize(l));
    EXPECT_EQ(DeviceLevel(d, l), expected) << "level " << l;
  }
  EXPECT_EQ(d->GetContext()->filter, 2u);
}

TEST_F(TextureTest, ContextsRoundTripKeepsThePixels) {
  // Made before the device: only the image.
  vek::cImage image = Pattern(vek::e_PixARGB, 8, 4, 10000, 40);
  auto* t = new vek::cTexture("mips", false, &image);
  EXPECT_EQ(t->GetContext(), nullptr);
  ASSERT_EQ(render->Init(Settings()), 0);
  EXPECT_TRUE(tm->CreateContexts());
  ASSERT_NE(t->GetContext(), nullptr);
  EXPECT_EQ(t->GetImage(), nullptr);
  std::vector<std::vector<vek::u8>> before;
  for (vek::u32 l = 0; l < 4; ++l) before.push_back(DeviceLevel(t, l));

  tm->DeleteContexts();
  EXPECT_EQ(t->GetContext(), nullptr);
  ASSERT_NE(t->GetImage(), nullptr);
  EXPECT_EQ(t->GetImage()->GetLevelCount(), 4u);
  EXPECT_EQ(t->GetWidth(), 8u);
  render->Free();
  ASSERT_EQ(render->Init(Settings()), 0);
  tm->CreateContexts();
  for (vek::u32 l = 0; l < 4; ++l) EXPECT_EQ(DeviceLevel(t, l), before[l]) << "level " << l;

  // Twice in a row warns; so does deleting what is not there.
  Mark();
  EXPECT_FALSE(t->OnCreateContext());
  tm->DeleteContexts();
  t->OnDeleteContext();
  const std::string log = LogSinceMark();
  EXPECT_NE(log.find("OnCreateContext 'mips'. Device texture already exist."), std::string::npos);
  EXPECT_NE(log.find("OnDeleteContext 'mips'. Device texture not found."), std::string::npos);
}

TEST_F(TextureTest, FailedUploadKeepsTheImage) {
  ASSERT_EQ(render->Init(Settings()), 0);
  rec->createTextureResult = gfx::kErrOutOfMemory;
  vek::cImage image = Pattern(vek::e_PixARGB, 4, 4, 1, 7);
  Mark();
  auto* t = new vek::cTexture("late", false, &image);
  EXPECT_NE(LogSinceMark().find("OnCreateContext 'late'. Can't create texture"), std::string::npos);
  EXPECT_EQ(t->GetContext(), nullptr);
  ASSERT_NE(t->GetImage(), nullptr);
  EXPECT_EQ(t->GetWidth(), 4u);

  // The next device gets the pixels.
  rec->createTextureResult = gfx::kOk;
  tm->CreateContexts();
  ASSERT_NE(t->GetContext(), nullptr);
  EXPECT_EQ(t->GetImage(), nullptr);
  EXPECT_EQ(DeviceLevel(t, 0)[0], 9);  // red 7 and blue 9 exchanged
}

TEST_F(TextureTest, RenderTargetsShrinkToTheDeviceAndComeBackEmpty) {
  ASSERT_EQ(render->Init(Settings()), 0);
  auto* rt = new vek::cTexture("rt", 4096, 1024);
  ASSERT_NE(rt->GetContext(), nullptr);
  EXPECT_EQ(rt->GetWidth(), 2048u);
  EXPECT_EQ(rt->GetHeight(), 512u);
  EXPECT_TRUE(rec->Has("CreateTexture(2048x512, 1, 0x1, A8R8G8B8, Default)"));
  EXPECT_EQ(rt->GetContext()->format.id, vek::u32(vek::e_PixARGB));
  EXPECT_EQ(rt->GetContext()->filter, 1u);

  tm->DeleteContexts();
  EXPECT_EQ(rt->GetImage(), nullptr);
  EXPECT_EQ(rt->GetWidth(), 4096u);  // the size asked for, while it has no device texture
  tm->CreateContexts();
  EXPECT_NE(rt->GetContext(), nullptr);

  rec->createTextureResult = gfx::kErrOutOfMemory;
  Mark();
  new vek::cTexture("rt2", 64, 64);
  EXPECT_NE(LogSinceMark().find("OnCreateContext 'rt2'. Can't create render target."), std::string::npos);
}

TEST_F(TextureTest, DumpTable) {
  ASSERT_EQ(render->Init(Settings()), 0);
  tm->CreateContexts();
  vek::cImage dxt = Pattern(vek::e_PixDXT1, 64, 64, 10000, 0);
  new vek::cTexture("leaves", false, &dxt);
  new vek::cTexture("rt", 32, 16);
  Mark();
  vek::DumpTextures();
  const std::string log = LogSinceMark();
  EXPECT_NE(log.find("  |   0 |                  unnamed | 2D |   64x  64x 32 |   |   |       16 |"),
            std::string::npos)
      << log;
  // 64 x 64 DXT1 with its chain: 2048 + 512 + 128 + 32 + 8 + 8 + 8 bytes.
  EXPECT_NE(log.find("  |   1 |                   leaves | 2D |   64x  64x 64 | X | X |        2 |"),
            std::string::npos);
  EXPECT_NE(log.find("  |   2 |                       rt | RT |   32x  16x 32 |   |   |        2 |"),
            std::string::npos);
  EXPECT_NE(log.find("   Total Count: 3. Total Size: 20 kb."), std::string::npos);
}

TEST_F(TextureTest, DestroyingWithDeviceTexturesWarns) {
  ASSERT_EQ(render->Init(Settings()), 0);
  tm->CreateContexts();
  Mark();
  vek::DestroyTextureManager();
  const std::string log = LogSinceMark();
  EXPECT_NE(log.find("Destructor 'unnamed'. Device texture still in memory!"), std::string::npos);
  EXPECT_NE(log.find("DestroyTextureManager"), std::string::npos);
  EXPECT_EQ(rec->Count("ReleaseTexture("), 1);
}

}  // namespace
