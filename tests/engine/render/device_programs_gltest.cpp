// The OpenGL device's generated shader programs and its choice of drawing target, checked on
// the pixels: each texture-stage combination gives what the fixed-function stage computes,
// and a frame drawn straight into the window reads back the same before and after it is shown,
// also when it switches to the depth buffer half-way.
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "engine/files/image.h"
#include "engine/render/texture.h"
#include "tests/engine/render/gl_fixture.h"

namespace {

namespace gfx = plat::gfx;
using gfx::targ::AlphaReplicate;
using gfx::targ::Complement;
using gfx::targ::Current;
using gfx::targ::Diffuse;
using gfx::targ::TFactor;
using gfx::targ::Texture;

class DeviceProgramsGLTest : public vektest::GLRenderFixture {
 protected:
  struct Vertex {
    float x, y, z;
    vek::u32 color;
    float u, v;
  };

  // Starts a frame in picture pixels (y upwards) over a black clear, blending off.
  void BeginFrame() { BeginPictureFrame(0.0f, 0.0f, 0.0f); }

  // A 16 x 16 quad with its lower-left corner at (x, y) and depth z (-1..1 of the ortho range).
  void Quad(float x, float y, vek::u32 color, float z = 0.0f) {
    const Vertex q[6] = {{x, y, z, color, 0, 0},      {x + 16, y, z, color, 1, 0}, {x, y + 16, z, color, 0, 1},
                         {x, y + 16, z, color, 0, 1}, {x + 16, y, z, color, 1, 0}, {x + 16, y + 16, z, color, 1, 1}};
    render->DrawPrimitives(vek::e_PrimTriangleList, 6, 2, q, nullptr);
  }

  // Ends the frame, reads it (before showing it when `beforePresent`) and shows it.
  void EndFrame(bool beforePresent = true) {
    render->End();
    std::unique_ptr<vek::u8[]> pixels;
    if (beforePresent) pixels = render->ReadFrontBuffer(rect);
    render->SwapBuffers();
    if (!beforePresent) pixels = render->ReadFrontBuffer(rect);
    ASSERT_TRUE(pixels);
    frame.assign(pixels.get(), pixels.get() + static_cast<size_t>(rect[2]) * rect[3] * 3);
  }
};

// The fixed-function stage on RGBA values 0..1: the reference the programs are held to.
using Color = std::array<float, 4>;
Color Arg(vek::u32 arg, const Color& diffuse, const Color& tex, const Color& factor) {
  const vek::u32 source = arg & gfx::targ::SelectMask;
  Color v = source == Texture ? tex : source == TFactor ? factor : diffuse;
  if (arg & Complement)
    for (float& c : v) c = 1.0f - c;
  if (arg & AlphaReplicate) v = {v[3], v[3], v[3], v[3]};
  return v;
}
Color Op(vek::u32 op, const Color& a, const Color& b, const Color& diffuse) {
  Color r{};
  for (int i = 0; i < 4; ++i) {
    switch (op) {
      case gfx::top::SelectArg1: r[i] = a[i]; break;
      case gfx::top::SelectArg2: r[i] = b[i]; break;
      case gfx::top::Modulate: r[i] = a[i] * b[i]; break;
      case gfx::top::Modulate2x: r[i] = 2 * a[i] * b[i]; break;
      case gfx::top::Modulate4x: r[i] = 4 * a[i] * b[i]; break;
      case gfx::top::Add: r[i] = a[i] + b[i]; break;
      case gfx::top::AddSigned: r[i] = a[i] + b[i] - 0.5f; break;
      case gfx::top::Subtract: r[i] = a[i] - b[i]; break;
      default: r[i] = diffuse[i]; break;
    }
  }
  return r;
}

Color FromArgb(vek::u32 argb) {
  return {((argb >> 16) & 0xFF) / 255.0f, ((argb >> 8) & 0xFF) / 255.0f, (argb & 0xFF) / 255.0f,
          (argb >> 24) / 255.0f};
}

TEST_F(DeviceProgramsGLTest, StageCombinationsGiveTheFixedFunctionColour) {
  // One texel colour everywhere on the texture, a vertex colour and a texture factor.
  // The factor as the renderer packs 1, 0.5, 0.25 and 0.375 (each x255, truncated).
  const vek::u32 texel = 0xA0C86432, diffuseArgb = 0xC83C78F0, factorArgb = 0x5FFF7F3F;
  vek::cImage image(vek::e_PixARGB, 8, 8, 1);
  for (vek::u8* p = image.GetLevel(0); p < image.GetLevel(0) + 64 * 4; p += 4) {
    p[0] = static_cast<vek::u8>(texel >> 16);  // red, green, blue, alpha in memory
    p[1] = static_cast<vek::u8>(texel >> 8);
    p[2] = static_cast<vek::u8>(texel);
    p[3] = static_cast<vek::u8>(texel >> 24);
  }
  auto* texture = new vek::cTexture("plain", false, &image);
  ASSERT_NE(texture->GetContext(), nullptr);
  const Color tex = FromArgb(texel), diffuse = FromArgb(diffuseArgb), factor = FromArgb(factorArgb);

  using namespace gfx::top;
  struct Case {
    std::array<vek::u32, 6> ops;  // colour op, arg 1, arg 2, alpha op, arg 1, arg 2
    bool textured;
  };
  const std::vector<Case> cases = {
      {{Modulate, Texture, Current, Modulate, Texture, Current}, true},   // the 2-D pass
      {{Modulate, Texture, Current, Modulate, Texture, Current}, false},  // untextured: diffuse
      {{Modulate, Texture, TFactor, Modulate, Texture, Current}, true},   // tinted
      {{Modulate, Texture, TFactor, Modulate, Texture, TFactor}, true},
      {{Modulate, Texture, Current, Modulate, Texture, TFactor}, true},
      {{SelectArg1, Texture, Current, SelectArg2, Texture, Diffuse}, true},
      {{Modulate2x, Texture, Diffuse, Modulate4x, Texture, TFactor}, true},
      {{Add, Texture, Diffuse, AddSigned, Texture, Diffuse}, true},
      {{Subtract, Diffuse, Texture, Subtract, TFactor, Texture}, true},
      {{Modulate, Texture | Complement, Diffuse, Modulate, Texture, TFactor | Complement}, true},
      {{SelectArg1, Diffuse | AlphaReplicate, Current, SelectArg1, TFactor, Current}, true},
      {{Disable, Texture, Current, Modulate, Texture, TFactor}, true},  // no stage: the diffuse colour
      {{Modulate, Texture, Current, Disable, Texture, Current}, true},   // alpha stays the diffuse alpha
  };
  BeginFrame();
  render->SetTextureFactor(1.0f, 0.5f, 0.25f, 0.375f);
  for (size_t i = 0; i < cases.size(); ++i) {
    const auto& o = cases[i].ops;
    render->SetStageOps(o[0], o[1], o[2], o[3], o[4], o[5]);
    render->SetTexture(cases[i].textured ? texture->GetContext() : nullptr);
    Quad(static_cast<float>(20 * i), 0.0f, diffuseArgb);
  }
  EndFrame();
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    const auto& o = cases[i].ops;
    const Color t = cases[i].textured ? tex : Color{1, 1, 1, 1};
    Color expected = diffuse;
    if (o[0] != Disable) {
      const Color c = Op(o[0], Arg(o[1], diffuse, t, factor), Arg(o[2], diffuse, t, factor), diffuse);
      for (int k = 0; k < 3; ++k) expected[k] = c[k];
    }
    const std::vector<int> got = Pixel(static_cast<int>(20 * i) + 8, 8);
    for (int k = 0; k < 3; ++k)
      EXPECT_NEAR(got[k], std::lround(255.0f * std::clamp(expected[k], 0.0f, 1.0f)), 2) << "channel " << k;
  }

  // The alpha test compares the stage's alpha (here the texel's, 0xA0 = 160) with the reference.
  struct Test {
    vek::u32 function;
    float reference;
    bool passes;
  };
  const std::vector<Test> tests = {
      {gfx::cmp::Greater, 150 / 255.0f, true},   {gfx::cmp::Greater, 170 / 255.0f, false},
      {gfx::cmp::Less, 170 / 255.0f, true},      {gfx::cmp::Equal, 160.5f / 255.0f, true},
      {gfx::cmp::NotEqual, 160.5f / 255.0f, false}, {gfx::cmp::Never, 0.5f, false},
      {gfx::cmp::Always, 0.5f, true},
  };
  BeginFrame();
  render->SetStageOps(SelectArg1, Texture, Current, SelectArg1, Texture, Current);
  render->SetTexture(texture->GetContext());
  for (size_t i = 0; i < tests.size(); ++i) {
    render->SetAlphaTest(tests[i].function, tests[i].reference);
    Quad(static_cast<float>(20 * i), 40.0f, 0xFFFFFFFF);
  }
  render->SetAlphaTest(0, 0.0f);
  EndFrame();
  for (size_t i = 0; i < tests.size(); ++i) {
    SCOPED_TRACE(i);
    const std::vector<int> texelRgb = {0xC8, 0x64, 0x32};
    EXPECT_EQ(Pixel(static_cast<int>(20 * i) + 8, 48), tests[i].passes ? texelRgb : (std::vector<int>{0, 0, 0}));
  }
}

TEST_F(DeviceProgramsGLTest, FrameReadsTheSameShownOrNotAndAcrossTheDepthBuffer) {
  for (bool beforePresent : {true, false}) {
    SCOPED_TRACE(beforePresent);
    BeginFrame();
    Quad(10, 10, 0xFFFF0000);  // drawn before the depth buffer is used
    // Depth from here on: green in front, then blue behind it at the same place, hidden.
    // (The projection's z row is -1/128: a larger z is nearer.)
    render->SetRenderState(gfx::RenderState::ZEnable, 1);
    render->SetRenderState(gfx::RenderState::ZFunc, gfx::cmp::Less);
    render->Clear(gfx::kClearZBuffer, 1.0f);
    Quad(40, 10, 0xFF00FF00, 0.0f);
    Quad(40, 10, 0xFF0000FF, -64.0f);
    render->SetRenderState(gfx::RenderState::ZEnable, 0);
    EndFrame(beforePresent);
    EXPECT_EQ(Pixel(18, 18), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(Pixel(48, 18), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(Pixel(100, 100), (std::vector<int>{0, 0, 0}));

    // The next frame without depth: only its own quad, read the same way.
    BeginFrame();
    Quad(70, 10, 0xFFFFFFFF);
    EndFrame(beforePresent);
    EXPECT_EQ(Pixel(18, 18), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(Pixel(78, 18), (std::vector<int>{255, 255, 255}));
  }
}

TEST_F(DeviceProgramsGLTest, ADepthClearTakesEffectAtTheFirstDrawThatTestsDepth) {
  auto depthQuad = [&](float x, vek::u32 color) {
    render->SetRenderState(gfx::RenderState::ZEnable, 1);
    render->SetRenderState(gfx::RenderState::ZFunc, gfx::cmp::Less);
    Quad(x, 10, color, 0.0f);
    render->SetRenderState(gfx::RenderState::ZEnable, 0);
  };
  // Cleared to the nearest depth: a quad tested against it is hidden, one drawn before the
  // test (still in the window) stays.
  BeginFrame();
  render->Clear(gfx::kClearZBuffer, 0.0f);
  Quad(10, 10, 0xFFFF0000);
  depthQuad(10, 0xFF00FF00);
  EndFrame();
  EXPECT_EQ(Pixel(18, 18), (std::vector<int>{255, 0, 0}));
  // A clear that no draw of its frame reads still holds for the next frame that tests depth.
  BeginFrame();
  render->Clear(gfx::kClearZBuffer, 1.0f);
  Quad(10, 10, 0xFFFFFFFF);
  EndFrame();
  BeginFrame();
  depthQuad(40, 0xFF00FF00);
  EndFrame();
  EXPECT_EQ(Pixel(48, 18), (std::vector<int>{0, 255, 0}));
  // The last clear wins.
  BeginFrame();
  render->Clear(gfx::kClearZBuffer, 1.0f);
  render->Clear(gfx::kClearZBuffer, 0.0f);
  depthQuad(70, 0xFF00FF00);
  EndFrame();
  EXPECT_EQ(Pixel(78, 18), (std::vector<int>{0, 0, 0}));
}

}  // namespace
