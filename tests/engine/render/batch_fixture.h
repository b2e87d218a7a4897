#pragma once
// The quad batch on the recording device: two small textures "A" and "B", the font manager
// and a font "test" whose glyph metrics follow simple formulas of the byte value.
#include <memory>
#include <string>

#include "engine/files/image.h"
#include "engine/render/font.h"
#include "engine/render/quad_batch.h"
#include "engine/render/texture.h"
#include "tests/engine/render/render_fixture.h"

namespace vektest {

class BatchFixture : public RenderFixture {
 protected:
  void SetUp() override {
    RenderFixture::SetUp();
    ASSERT_EQ(render->Init(Settings()), 0);
    vek::CreateTextureManager();
    vek::cImage image(vek::e_PixARGB, 64, 64, 1);
    texA = (new vek::cTexture("A", false, &image), vek::g_pTextureManager->FindIndex("A"));
    texB = (new vek::cTexture("B", false, &image), vek::g_pTextureManager->FindIndex("B"));
    vek::CreateFontManager();
    auto* font = new vek::cFont("test");
    font->Init("Test", "Regular", 16, kLine);
    font->Texture("A", 0, 0);
    font->Transform(kSpacing, 1.0f, 1.0f);
    for (int b = 1; b < 256; ++b) {
      const char c[2] = {static_cast<char>(b), 0};
      font->Char(c, Width(b), vek::recti{(b % 16) * 4, (b / 16) * 4, 4, 4}, Offset(b), Advance(b));
    }
    fontIndex = vek::g_pFontManager->Find("test");
    batch = std::make_unique<vek::cQuadBatch>();
    Mark();
  }

  void TearDown() override {
    batch.reset();
    vek::DestroyFontManager();
    RenderFixture::TearDown();
  }

  // The test font's metrics.
  static constexpr float kLine = 16.0f;
  static constexpr float kSpacing = 1.0f;
  static float Width(int b) { return static_cast<float>(3 + b % 7); }
  static float Offset(int b) { return static_cast<float>(b % 3 - 1); }
  static float Advance(int b) { return static_cast<float>(4 + b % 5); }
  static float Width(char c) { return Width(static_cast<int>(static_cast<unsigned char>(c))); }
  static float Advance(char c) { return Advance(static_cast<int>(static_cast<unsigned char>(c))); }

  // Width of glyphs laid out one after the other: advances and spacing, the last its width.
  static float Span(const std::string& glyphs) {
    float w = 0.0f;
    for (size_t i = 0; i < glyphs.size(); ++i) w += i + 1 < glyphs.size() ? Advance(glyphs[i]) + kSpacing : Width(glyphs[i]);
    return w;
  }

  // Triangles drawn since the last Mark, from the recorded draw calls.
  int DrawnTriangles() const {
    int n = 0;
    for (const std::string& c : rec->calls) {
      unsigned count = 0;
      unsigned minIndex = 0, vertices = 0, start = 0;
      if (std::sscanf(c.c_str(), "DrawIndexedPrimitive(TriangleList, %u, %u, %u, %u)", &minIndex, &vertices, &start,
                      &count) == 4)
        n += static_cast<int>(count);
    }
    return n;
  }
  int DrawCalls() const { return rec->Count("DrawIndexedPrimitive("); }

  vek::u32 texA = 0, texB = 0, fontIndex = 0;
  std::unique_ptr<vek::cQuadBatch> batch;
};

}  // namespace vektest
