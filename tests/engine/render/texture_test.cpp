#include <algorithm>
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

TEST_F(TextureTest, ATakenImageIsUploadedFromItsOwnRowsWithoutACopy) {
  ASSERT_EQ(render->Init(Settings()), 0);
  vek::cImage image = Pattern(vek::e_PixRGB, 2, 2, 1, 10);
  Mark();
  auto* t = new vek::cTexture("taken", false, std::move(image));
  EXPECT_EQ(image.GetLevelCount(), 0u);  // the texture has the pixels now
  ASSERT_NE(t->GetContext(), nullptr);
  EXPECT_EQ(t->GetImage(), nullptr);
  // Converted in place (red and blue exchanged, widened to 32 bits) and written whole.
  EXPECT_EQ(DeviceLevel(t, 0), (std::vector<vek::u8>{12, 11, 10, 255, 15, 14, 13, 255, 18, 17, 16, 255, 21, 20,
                                                      19, 255}));
  EXPECT_EQ(rec->Count("WriteTexture("), 1);
  EXPECT_NE(rec->calls.end(), std::find_if(rec->calls.begin(), rec->calls.end(), [](const std::string& c) {
              return c.rfind("WriteTexture(", 0) == 0 && c.find(", 0, 8)") != std::string::npos;
            }));
  EXPECT_EQ(rec->Count("LockTexture("), 1);  // the read-back above, not the upload
}

TEST_F(TextureTest, DeletedTexturesLeaveTheirPlaceToTheDefault) {
  ASSERT_EQ(render->Init(Settings()), 0);
  vek::cImage image = Pattern(vek::e_PixARGB, 4, 4, 1, 1);
  new vek::cTexture("first", false, &image);
  new vek::cTexture("second", false, &image);
  const vek::u32 first = tm->FindIndex("first"), second = tm->FindIndex("second");
  Mark();
  EXPECT_TRUE(tm->DeleteTexture(first));
  // Released without reading the device's copy back, and gone from the table.
  EXPECT_EQ(rec->Count("ReleaseTexture("), 1);
  EXPECT_EQ(rec->Count("LockTexture("), 0);
  EXPECT_EQ(tm->FindIndex("first"), 0u);
  EXPECT_EQ(tm->Get(first), tm->Get(0));
  EXPECT_EQ(tm->FindIndex("second"), second);
  EXPECT_EQ(tm->Count(), 3u);
  // Nothing twice, never the default, nothing past the end; the walks pass the empty place.
  EXPECT_FALSE(tm->DeleteTexture(first));
  EXPECT_FALSE(tm->DeleteTexture(0));
  EXPECT_FALSE(tm->DeleteTexture(99));
  tm->DeleteContexts();
  tm->CreateContexts();
  EXPECT_EQ(LogSinceMark().find("'first'"), std::string::npos);
  EXPECT_NE(tm->Get(second)->GetContext(), nullptr);
}

TEST_F(TextureTest, AtTheEndThePixelsAreDroppedWithoutReadingThemBack) {
  ASSERT_EQ(render->Init(Settings()), 0);
  tm->CreateContexts();
  vek::cImage image = Pattern(vek::e_PixARGB, 4, 4, 1, 1);
  auto* t = new vek::cTexture("last", false, &image);
  Mark();
  tm->ReleaseContexts();
  EXPECT_EQ(rec->Count("LockTexture("), 0);
  EXPECT_EQ(rec->Count("ReleaseTexture("), 2);  // the default's and this one's
  EXPECT_EQ(t->GetContext(), nullptr);
  EXPECT_EQ(t->GetImage(), nullptr);
  vek::DestroyTextureManager();
  EXPECT_EQ(LogSinceMark().find("still in memory"), std::string::npos);
}

TEST_F(TextureTest, CoverageSaysWhereThePictureShows) {
  using C = vek::cCoverage;
  // 40 x 40 pixels: two cell columns and rows, the second ones 8 pixels wide.
  auto argb = [](vek::u8 alpha) {
    vek::cImage image(vek::e_PixARGB, 40, 40, 1);
    std::memset(image.GetLevel(0), alpha, image.GetLevelSize(0));
    return image;
  };
  auto alphaAt = [](vek::cImage& image, int x, int y, vek::u8 a) { image.GetLevel(0)[(y * 40 + x) * 4 + 3] = a; };
  struct Case {
    const char* name;
    vek::cImage image;
    std::vector<vek::u8> cells;  // row after row from the bottom
  };
  std::vector<Case> cases;
  cases.push_back({"opaque", argb(255), {C::e_Solid, C::e_Solid, C::e_Solid, C::e_Solid}});
  cases.push_back({"see-through", argb(0), {C::e_Clear, C::e_Clear, C::e_Clear, C::e_Clear}});
  {
    // One clear pixel in the first column of the second cell: the first cell sees it across
    // its edge (filtering reads it there); the cells above do not.
    vek::cImage image = argb(255);
    alphaAt(image, 32, 10, 0);
    cases.push_back({"a clear pixel on a cell edge", std::move(image), {C::e_Mixed, C::e_Mixed, C::e_Solid, C::e_Solid}});
  }
  {
    vek::cImage image = argb(0);
    alphaAt(image, 39, 39, 1);
    cases.push_back({"one faint pixel in the corner", std::move(image), {C::e_Clear, C::e_Clear, C::e_Clear, C::e_Mixed}});
  }
  {
    vek::cImage image(vek::e_PixGreyAlpha, 40, 40, 1);
    for (vek::u32 i = 0; i < image.GetLevelSize(0); i += 2) image.GetLevel(0)[i] = 0, image.GetLevel(0)[i + 1] = 255;
    cases.push_back({"grey and alpha", std::move(image), {C::e_Solid, C::e_Solid, C::e_Solid, C::e_Solid}});
  }
  cases.push_back({"no alpha", vek::cImage(vek::e_PixRGB, 40, 40, 1), {C::e_Solid, C::e_Solid, C::e_Solid, C::e_Solid}});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const vek::cCoverage cover = vek::MeasureCoverage(c.image);
    EXPECT_EQ(cover.columns, 2u);
    EXPECT_EQ(cover.rows, 2u);
    EXPECT_EQ(cover.cells, c.cells);
  }
  // Blocks are not looked into; outside the picture nothing is known.
  const vek::cCoverage blocks = vek::MeasureCoverage(vek::cImage(vek::e_PixDXT5, 64, 64, 1));
  EXPECT_TRUE(blocks.cells.empty());
  EXPECT_EQ(blocks.At(0, 0), C::e_Mixed);
  // A texture keeps what its picture measured.
  vek::cImage image = argb(0);
  auto* t = new vek::cTexture("clear", false, std::move(image));
  EXPECT_EQ(t->GetCoverage().At(1, 1), C::e_Clear);
  EXPECT_EQ(t->GetCoverage().At(2, 0), C::e_Mixed);
}

TEST_F(TextureTest, DrawsSolidWhereEveryCellTheRectangleReachesIsSolid) {
  // 96 x 96: clear but for an opaque square over pixels 31..64, so that the middle cell
  // (pixels 32..63) is solid with the pixels around it and no other cell is.
  vek::cImage image(vek::e_PixARGB, 96, 96, 1);
  std::memset(image.GetLevel(0), 0, image.GetLevelSize(0));
  for (int y = 31; y <= 64; ++y)
    for (int x = 31; x <= 64; ++x) image.GetLevel(0)[(y * 96 + x) * 4 + 3] = 255;
  new vek::cTexture("square", false, std::move(image));
  new vek::cTexture("square_part", "square", vek::recti{32, 32, 32, 32});
  const vek::u32 square = vek::g_pTextureManager->FindIndex("square");
  const vek::u32 part = vek::g_pTextureManager->FindIndex("square_part");
  const float third = 1.0f / 3.0f;
  struct Case {
    const char* name;
    vek::u32 texture;
    vek::rectf uv;
    bool solid;
  };
  const std::vector<Case> cases = {
      {"the middle cell", square, {third, third, third, third}, true},
      {"inside it", square, {0.4f, 0.4f, 0.1f, 0.2f}, true},
      {"mirrored inside it", square, {0.5f, 0.4f, -0.1f, 0.2f}, true},
      {"a texel past it", square, {third, third, third + 1.0f / 96, third}, false},
      {"the whole picture", square, {0, 0, 1, 1}, false},
      {"the page part on it", part, {0, 0, 1, 1}, true},
      {"past the part's edge", part, {0.5f, 0, 1, 1}, false},
      {"past the picture's edge", square, {0.9f, 0.4f, 0.2f, 0.1f}, false},
      {"no texture", 0, {0, 0, 1, 1}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(vek::DrawsSolid(c.texture, c.uv), c.solid);
  }
}

}  // namespace
