#include <cstring>

#include "platform/system_probe.h"

#include "tests/engine/render/render_fixture.h"

namespace {

namespace gfx = plat::gfx;
using vektest::RenderFixture;

using RenderTest = RenderFixture;

// A triangle of the 2-D vertex format.
struct Vertex2D {
  float x, y, z;
  vek::u32 color;
  float u, v;
};
const vek::cVertexFormat k2D{true, false, true, 2};

TEST_F(RenderTest, InitCreatesDeviceAndSetsDefaults) {
  ASSERT_EQ(render->Init(Settings()), 0);
  ASSERT_NE(render->GetDevice(), nullptr);
  EXPECT_EQ(rec->Count("CreateDevice("), 1);
  EXPECT_TRUE(rec->Has("CreateDevice(Hardware, 0x0 A8R8G8B8 x1 ms 0 swap 2 windowed 1 depth D16)"));
  EXPECT_TRUE(rec->Has("SetRenderState(CullMode, 2)"));
  EXPECT_TRUE(rec->Has("SetRenderState(ZEnable, 0)"));
  EXPECT_TRUE(rec->Has("SetRenderState(ZFunc, 2)"));
  EXPECT_EQ(rec->Count("SetTextureStageState(") , 1 + 4 * 2);  // alpha op, then per stage flags + anisotropy
  EXPECT_EQ(render->GetWidth(), 1024);
  EXPECT_EQ(render->GetHeight(), 768);
  const std::string log = Log();
  for (const char* line : {"Creating...", "Using OpenGL", "Loading the OpenGL system...", "Initializing...",
                           "Fill the present parameters. Ok", "Attempt #0 to create OpenGL device",
                           "Get OpenGL caps. Ok", "Recreate depth&stencil. Get backbuffer surface. Ok",
                           "Change viewport. Ok", "Set hardware defaults - ok", "Set software defaults - ok"})
    EXPECT_NE(log.find(line), std::string::npos) << line;
  // Nothing of another system's graphics interface.
  for (const char* word : {"Direct3D", "d3d8", "D3D"}) EXPECT_EQ(log.find(word), std::string::npos) << word;
}

TEST_F(RenderTest, DeviceCreationFallsBackAndFails) {
  // Two failures: the third attempt, with software vertex processing, makes the device.
  rec->createDeviceFailures = 2;
  EXPECT_EQ(render->Init(Settings()), 0);
  EXPECT_EQ(rec->Count("CreateDevice("), 3);
  EXPECT_TRUE(rec->Has("CreateDevice(Software"));
  EXPECT_NE(Log().find("Attempt #2 to create OpenGL device"), std::string::npos);
  render->Free();
  EXPECT_NE(Log().find("Render is Free"), std::string::npos);

  Mark();
  rec->createDeviceFailures = 3;
  EXPECT_EQ(render->Init(Settings()), 3);
  EXPECT_EQ(render->GetDevice(), nullptr);
  EXPECT_NE(LogSinceMark().find("Was not able to create OpenGL device"), std::string::npos);

  rec->adapterModeResult = gfx::kErrNotAvailable;
  EXPECT_EQ(render->Init(Settings()), 1);
}

TEST_F(RenderTest, NoDeviceSystem) {
  vek::DestroyRender();
  rec->systemFails = true;
  vek::CreateRender();
  render = vek::g_pRender;
  EXPECT_NE(Log().find("No OpenGL system. OpenGL driver not found"), std::string::npos);
  EXPECT_EQ(render->Init(Settings()), 2);
  EXPECT_EQ(render->Begin(), 3);
}

TEST_F(RenderTest, CreateRenderTwiceWarns) {
  vek::CreateRender();
  EXPECT_EQ(vek::g_pRender, render);
  EXPECT_NE(Log().find("Already exist"), std::string::npos);
}

TEST_F(RenderTest, PresentParametersByDesktopAndSettings) {
  struct Case {
    gfx::Format desktop;
    bool depth, stencil;
    bool formatCheckFails;
    const char* params;
  };
  const Case cases[] = {
      // A 16-bit desktop: R5G6B5 and D16 whatever the settings ask.
      {gfx::Format::R5G6B5, true, true, false, "0x0 R5G6B5 x1 ms 0 swap 2 windowed 1 depth D16"},
      {gfx::Format::R5G6B5, true, false, false, "0x0 R5G6B5 x1 ms 0 swap 2 windowed 1 depth D16"},
      {gfx::Format::X8R8G8B8, true, true, false, "0x0 A8R8G8B8 x1 ms 0 swap 2 windowed 1 depth D24S8"},
      // Depth without stencil ends as D16, and so does stencil the device cannot give.
      {gfx::Format::X8R8G8B8, true, false, false, "0x0 A8R8G8B8 x1 ms 0 swap 2 windowed 1 depth D16"},
      {gfx::Format::X8R8G8B8, true, true, true, "0x0 A8R8G8B8 x1 ms 0 swap 2 windowed 1 depth D16"},
      {gfx::Format::X8R8G8B8, false, false, false, "0x0 A8R8G8B8 x1 ms 0 swap 2 windowed 1 depth none"},
  };
  for (const Case& c : cases) {
    rec->adapterMode.format = c.desktop;
    rec->depthFormatResult = c.formatCheckFails ? gfx::kErrNotAvailable : gfx::kOk;
    Mark();
    ASSERT_EQ(render->Init(Settings(0, c.depth, c.stencil)), 0);
    EXPECT_TRUE(rec->Has(std::string("CreateDevice(Hardware, ") + c.params + ")")) << c.params << "\n" << rec->calls[1];
    EXPECT_EQ(LogSinceMark().find("disabling stencil buffer") != std::string::npos, c.formatCheckFails);
    render->Free();
  }
  // A 16-bit back buffer gets its own 16-bit depth surface.
  rec->adapterMode.format = gfx::Format::R5G6B5;
  Mark();
  ASSERT_EQ(render->Init(Settings()), 0);
  EXPECT_TRUE(rec->Has("CreateDepthStencilSurface(1024x768, D16, 0)"));
  EXPECT_NE(LogSinceMark().find("Create own 16bit surface. Ok"), std::string::npos);
}

TEST_F(RenderTest, FullScreenBackBufferAndVSync) {
  window->windowed = false;
  vek::cRender::cSettings s = Settings();
  s.waitVSync = true;
  ASSERT_EQ(render->Init(s), 0);
  EXPECT_TRUE(rec->Has("CreateDevice(Hardware, 1024x768 A8R8G8B8 x1 ms 0 swap 3 windowed 0 depth D16)"));
}

TEST_F(RenderTest, AntiAliasingSamplesAndFailedCheck) {
  ASSERT_EQ(render->Init(Settings(3)), 0);
  EXPECT_TRUE(rec->Has("CheckDeviceMultiSampleType(A8R8G8B8, 1, 2)"));
  EXPECT_TRUE(rec->Has("CreateDevice(Hardware, 0x0 A8R8G8B8 x1 ms 2 swap 1 "));
  // Multisampled: a depth surface of its own without multisampling.
  EXPECT_TRUE(rec->Has("CreateDepthStencilSurface(1024x768, D16, 0)"));
  render->Free();

  ASSERT_EQ(render->Init(Settings(4)), 0);
  EXPECT_TRUE(rec->Has("CheckDeviceMultiSampleType(A8R8G8B8, 1, 4)"));
  render->Free();

  rec->multiSampleResult = gfx::kErrNotAvailable;
  Mark();
  ASSERT_EQ(render->Init(Settings(3)), 0);
  EXPECT_NE(LogSinceMark().find("Anti aliasing disabled because hardware/driver lacks necessary caps."),
            std::string::npos);
  EXPECT_EQ(render->GetSettings().antiAlias, 0u);
  EXPECT_TRUE(rec->Has("CreateDevice(Hardware, 0x0 A8R8G8B8 x1 ms 0 swap 2 "));
}

TEST_F(RenderTest, RedundantStatesAreFiltered) {
  ASSERT_EQ(render->Init(Settings()), 0);
  Mark();
  for (int i = 0; i < 2; ++i) {
    render->SetAlphaBlend(gfx::blend::SrcAlpha, gfx::blend::InvSrcAlpha);
    render->SetAlphaTest(gfx::cmp::Greater, 0.5f);
    render->SetStageOps(gfx::top::Modulate, gfx::targ::Texture, gfx::targ::TFactor, gfx::top::Modulate,
                        gfx::targ::Texture, gfx::targ::Current);
    render->SetVertexFormat(k2D);
  }
  const std::vector<std::string> expected = {
      "SetRenderState(AlphaBlendEnable, 1)",
      "SetRenderState(SrcBlend, 5)",
      "SetRenderState(DestBlend, 6)",
      "SetRenderState(AlphaTestEnable, 1)",
      "SetRenderState(AlphaFunc, 5)",
      "SetRenderState(AlphaRef, 127)",
      "SetTextureStageState(0, ColorOp, 4)",
      "SetTextureStageState(0, ColorArg1, 2)",
      "SetTextureStageState(0, ColorArg2, 3)",
      "SetTextureStageState(0, AlphaOp, 4)",
      "SetTextureStageState(0, AlphaArg1, 2)",
      "SetTextureStageState(0, AlphaArg2, 1)",
      "SetVertexFormat(0xD)",
  };
  EXPECT_EQ(rec->calls, expected);

  // Either factor 0 switches blending off once; the empty vertex format reaches no device.
  Mark();
  render->SetAlphaBlend(0, gfx::blend::One);
  render->SetAlphaBlend(gfx::blend::One, 0);
  render->SetVertexFormat(vek::cVertexFormat{});
  EXPECT_EQ(rec->calls, std::vector<std::string>{"SetRenderState(AlphaBlendEnable, 0)"});
}

TEST_F(RenderTest, AlphaTestReenabledWithoutResendingFunction) {
  ASSERT_EQ(render->Init(Settings()), 0);
  render->SetAlphaTest(gfx::cmp::Greater, 0.25f);
  Mark();
  render->SetAlphaTest(0, 0.0f);
  render->SetAlphaTest(0, 0.0f);
  render->SetAlphaTest(gfx::cmp::Greater, 0.25f);
  EXPECT_EQ(rec->calls, (std::vector<std::string>{"SetRenderState(AlphaTestEnable, 0)",
                                                  "SetRenderState(AlphaTestEnable, 1)"}));
}

TEST_F(RenderTest, TextureBindingKeepsFilterOfBoundTexture) {
  ASSERT_EQ(render->Init(Settings()), 0);
  vek::cTextureDesc desc;
  desc.width = desc.height = 8;
  desc.format = vek::GetFormatInfo(vek::e_PixARGB);
  desc.filter = 1;
  vek::cDeviceTexture* a = render->CreateTextureContext(&desc);
  desc.filter = 5;
  desc.address = gfx::taddress::Clamp;
  vek::cDeviceTexture* b = render->CreateTextureContext(&desc);
  ASSERT_TRUE(a && b);

  Mark();
  render->SetTexture(a);
  EXPECT_EQ(rec->calls, (std::vector<std::string>{"SetTexture(0, tex#1)", "SetTextureStageState(0, MinFilter, 2)",
                                                  "SetTextureStageState(0, MagFilter, 2)",
                                                  "SetTextureStageState(0, MipFilter, 0)"}));
  // The bound texture again, even with another filter on its record, changes nothing.
  Mark();
  a->filter = 3;
  render->SetTexture(a);
  EXPECT_TRUE(rec->calls.empty());
  // Another texture brings its filter and address mode.
  render->SetTexture(b);
  EXPECT_EQ(rec->calls, (std::vector<std::string>{
                            "SetTexture(0, tex#2)", "SetTextureStageState(0, MinFilter, 3)",
                            "SetTextureStageState(0, MagFilter, 3)", "SetTextureStageState(0, MipFilter, 2)",
                            "SetTextureStageState(0, AddressU, 3)", "SetTextureStageState(0, AddressV, 3)",
                            "SetTextureStageState(0, AddressW, 3)"}));
  Mark();
  render->SetTexture(nullptr);
  render->SetTexture(nullptr);
  EXPECT_EQ(rec->calls, std::vector<std::string>{"SetTexture(0, null)"});

  // A bound context that goes is forgotten: the next one binds although it reuses the address.
  render->SetTexture(a);
  render->DeleteTextureContext(a);
  Mark();
  render->SetTexture(b);
  EXPECT_TRUE(rec->Has("SetTexture(0, tex#2)"));
  render->DeleteTextureContext(b);
}

TEST_F(RenderTest, EmptyDrawsWarnAndDrawNothing) {
  ASSERT_EQ(render->Init(Settings()), 0);
  ASSERT_EQ(render->Begin(), 0);
  render->SetVertexFormat(k2D);
  Vertex2D v[3] = {};
  struct Case {
    vek::u32 vertices, primitives;
    const void* data;
  };
  for (const Case& c : {Case{0, 1, v}, Case{3, 0, v}, Case{3, 1, nullptr}}) {
    Mark();
    render->DrawPrimitives(vek::e_PrimTriangleList, c.vertices, c.primitives, c.data, nullptr);
    EXPECT_NE(LogSinceMark().find("Trying to draw empty primitive."), std::string::npos);
    EXPECT_FALSE(rec->Has("Draw"));
  }
  // A draw from the stream without a bound vertex buffer.
  Mark();
  render->DrawStreamPrimitives(1, 3);
  EXPECT_NE(LogSinceMark().find("Trying to draw empty primitive."), std::string::npos);
  EXPECT_FALSE(rec->Has("Draw"));
  render->End();
  EXPECT_EQ(render->GetFrameCalls(), 0u);
}

TEST_F(RenderTest, DrawsCountAndFailuresStillCount) {
  ASSERT_EQ(render->Init(Settings()), 0);
  ASSERT_EQ(render->Begin(), 0);
  render->SetVertexFormat(k2D);
  Vertex2D v[6] = {};
  const vek::u16 indices[6] = {0, 1, 2, 2, 1, 3};
  render->DrawPrimitives(vek::e_PrimTriangleList, 6, 2, v, nullptr);
  render->DrawPrimitives(vek::e_PrimTriangleStrip, 4, 2, v, indices);
  rec->drawResult = gfx::kErrInvalidCall;
  Mark();
  render->DrawPrimitives(vek::e_PrimTriangleFan, 3, 1, v, nullptr);
  EXPECT_NE(LogSinceMark().find("DrawPrimitives. DIP return code: 0x8A760001"), std::string::npos);
  render->End();
  EXPECT_EQ(render->GetFrameCalls(), 3u);
  EXPECT_EQ(render->GetFrameVertices(), 13u);
  EXPECT_EQ(render->GetFramePrimitives(), 5u);
  EXPECT_TRUE(rec->Has("DrawPrimitiveUP(TriangleFan, 1, 24)"));
  // The next frame starts counting from zero.
  ASSERT_EQ(render->Begin(), 0);
  render->End();
  EXPECT_EQ(render->GetFrameCalls(), 0u);
}

TEST_F(RenderTest, EmptyViewportSkipsTheFrame) {
  window->clientW = window->clientH = 0;
  ASSERT_EQ(render->Init(Settings()), 0);
  Mark();
  EXPECT_EQ(render->Begin(), 6);
  EXPECT_NE(LogSinceMark().find("Begin. Empty context rect"), std::string::npos);
  EXPECT_FALSE(rec->Has("BeginScene"));
  render->SetViewport(0, 0, 1024, 768);
  EXPECT_EQ(render->Begin(), 0);
}

TEST_F(RenderTest, FrameFailuresAreWarnings) {
  ASSERT_EQ(render->Init(Settings()), 0);
  rec->beginSceneResult = gfx::kErrInvalidCall;
  Mark();
  EXPECT_EQ(render->Begin(), 6);
  EXPECT_NE(LogSinceMark().find("Begin. BeginScene failed. Return code: 0x8A760001"), std::string::npos);
  rec->beginSceneResult = gfx::kOk;
  rec->endSceneResult = gfx::kErrInvalidCall;
  rec->presentResults.push_back(gfx::kErrDriverInternal);
  ASSERT_EQ(render->Begin(), 0);
  render->End();
  render->SwapBuffers();
  const std::string log = LogSinceMark();
  EXPECT_NE(log.find("End. EndScene failed. Return code: 0x8A760001"), std::string::npos);
  EXPECT_NE(log.find("SwapBuffers. Present failed. Return code: 0x8A760006"), std::string::npos);
  // An unexpected answer of the loss test skips the frame with a warning.
  rec->presentResults.push_back(gfx::kErrDeviceLost);
  render->SwapBuffers();
  rec->cooperativeLevel.push_back(gfx::kErrDriverInternal);
  Mark();
  EXPECT_EQ(render->Begin(), 6);
  EXPECT_NE(LogSinceMark().find("Begin. TestCooperativeLevel return code: 0x8A760006"), std::string::npos);
}

TEST_F(RenderTest, LostDeviceIsResetAndTheFrameSkipped) {
  window->windowed = false;
  ASSERT_EQ(render->Init(Settings()), 0);
  vek::CreateBufferManager();
  vek::CreateTextureManager();
  vek::cTexture* target = new vek::cTexture("target", 64, 64);
  ASSERT_NE(target->GetContext(), nullptr);
  vek::cBufferObject* dyn = vek::g_pBufferManager->CreateVertexBuffer(48, gfx::kUsageDynamic, 24);
  vek::cBufferObject* managed = vek::g_pBufferManager->CreateVertexBuffer(48, 0, 24);
  const char bytes[8] = "pixels!";
  ASSERT_TRUE(vek::g_pBufferManager->Write(dyn, 0, bytes, 8));
  ASSERT_TRUE(vek::g_pBufferManager->Write(managed, 0, bytes, 8));

  // A full-screen game loses the focus: the present finds the device lost.
  ASSERT_EQ(render->Begin(), 0);
  render->End();
  render->OnFocusChange(false);
  Mark();
  render->SwapBuffers();
  EXPECT_NE(LogSinceMark().find("SwapBuffers. Device lost"), std::string::npos);
  EXPECT_EQ(render->Begin(), 5);
  EXPECT_NE(LogSinceMark().find("Begin. TestCooperativeLevel return 'device lost'"), std::string::npos);
  EXPECT_EQ(render->Begin(), 5);

  // Back in focus: the device is reset and that frame skipped; the next one draws.
  render->OnFocusChange(true);
  Mark();
  EXPECT_EQ(render->Begin(), 6);
  EXPECT_NE(LogSinceMark().find("Begin. TestCooperativeLevel return 'device not reset'"), std::string::npos);
  // Made again: the render target, the dynamic buffer and the depth surface reference.
  EXPECT_EQ(rec->liveDefaultResources, 3);
  EXPECT_TRUE(rec->Has("Reset("));
  EXPECT_NE(LogSinceMark().find("Set hardware defaults - ok"), std::string::npos);
  ASSERT_NE(target->GetContext(), nullptr);
  EXPECT_EQ(render->Begin(), 0);

  // The dynamic buffer came back empty, the managed one kept its bytes.
  char out[8];
  ASSERT_TRUE(vek::g_pBufferManager->Read(dyn, 0, out, 8));
  EXPECT_EQ(std::memcmp(out, "\0\0\0\0\0\0\0\0", 8), 0);
  ASSERT_TRUE(vek::g_pBufferManager->Read(managed, 0, out, 8));
  EXPECT_EQ(std::memcmp(out, bytes, 8), 0);
  render->End();
}

TEST_F(RenderTest, DisplayChangeLosesTheDevice) {
  ASSERT_EQ(render->Init(Settings()), 0);
  render->OnDisplayChange();
  // The desktop became 16-bit: the reset takes the new back-buffer format.
  rec->adapterMode.format = gfx::Format::R5G6B5;
  EXPECT_EQ(render->Begin(), 6);
  EXPECT_TRUE(rec->Has("Reset(0x0 R5G6B5 "));
  EXPECT_EQ(render->Begin(), 0);
  // A reset that fails skips the frame without a message and is tried again.
  render->End();
  render->OnDisplayChange();
  rec->resetResult = gfx::kErrInvalidCall;
  EXPECT_EQ(render->Begin(), 6);
  rec->resetResult = gfx::kOk;
  EXPECT_EQ(render->Begin(), 6);
  EXPECT_EQ(render->Begin(), 0);
}

TEST_F(RenderTest, BuffersAcrossFreeAndInit) {
  ASSERT_EQ(render->Init(Settings()), 0);
  vek::CreateBufferManager();
  vek::cBufferManager& bm = *vek::g_pBufferManager;
  vek::cBufferObject* dyn = bm.CreateVertexBuffer(64, gfx::kUsageDynamic, 24);
  vek::cBufferObject* managed = bm.CreateVertexBuffer(64, 0, 24);
  vek::cBufferObject* indices = bm.CreateIndexBuffer(12, 0);
  const vek::u16 idx[6] = {0, 1, 2, 2, 1, 3};
  const char bytes[16] = "fifteen letters";
  ASSERT_TRUE(bm.Write(dyn, 0, bytes, 16));
  ASSERT_TRUE(bm.Write(managed, 16, bytes, 16));
  ASSERT_TRUE(bm.Write(indices, 0, idx, 12));
  EXPECT_FALSE(bm.Write(managed, 60, bytes, 16));  // past the end

  render->Free();
  EXPECT_EQ(rec->liveResources, 0);
  ASSERT_EQ(render->Init(Settings()), 0);
  char out[16];
  ASSERT_TRUE(bm.Read(managed, 16, out, 16));
  EXPECT_EQ(std::memcmp(out, bytes, 16), 0);
  vek::u16 back[6];
  ASSERT_TRUE(bm.Read(indices, 0, back, 12));
  EXPECT_EQ(std::memcmp(back, idx, 12), 0);
  ASSERT_TRUE(bm.Read(dyn, 0, out, 16));
  EXPECT_EQ(std::memcmp(out, std::string(16, '\0').data(), 16), 0);

  // Drawn from the stream: indexed when an index buffer is bound.
  ASSERT_EQ(render->Begin(), 0);
  render->SetVertexFormat(k2D);
  render->SetVertexBuffer(managed->record);
  render->DrawStreamPrimitives(2, 4);
  render->SetIndexBuffer(indices->record);
  render->DrawStreamPrimitives(2, 4);
  render->End();
  EXPECT_TRUE(rec->Has("DrawPrimitive(TriangleList, 0, 2)"));
  EXPECT_TRUE(rec->Has("DrawIndexedPrimitive(TriangleList, 0, 4, 0, 2)"));

  // Shut-down unbinds and releases them.
  Mark();
  vek::DestroyBufferManager();
  EXPECT_TRUE(rec->Has("SetStreamSource(0, null, 0)"));
  EXPECT_TRUE(rec->Has("SetIndices(null, 0)"));
  EXPECT_EQ(rec->Count("ReleaseVertexBuffer"), 2);
  EXPECT_EQ(rec->Count("ReleaseIndexBuffer"), 1);
}

TEST_F(RenderTest, BufferDump) {
  vek::CreateBufferManager();
  Mark();
  vek::g_pBufferManager->Dump();
  std::string log = LogSinceMark();
  EXPECT_NE(log.find("Vertex Buffer Objects."), std::string::npos);
  EXPECT_NE(log.find("Index Buffer Objects."), std::string::npos);
  size_t first = log.find("Total size: 0 kb");
  ASSERT_NE(first, std::string::npos);
  EXPECT_NE(log.find("Total size: 0 kb", first + 1), std::string::npos);

  vek::g_pBufferManager->CreateVertexBuffer(1536, gfx::kUsageDynamic, 24);
  Mark();
  vek::g_pBufferManager->Dump();
  log = LogSinceMark();
  EXPECT_NE(log.find("| dynamic |        1 |    24 |          0 |"), std::string::npos) << log;
  EXPECT_NE(log.find("Total size: 1 kb"), std::string::npos);
}

TEST_F(RenderTest, TransformsAndColours) {
  ASSERT_EQ(render->Init(Settings()), 0);
  float world[16], view[16];
  vek::MatrixIdentity(world);
  vek::MatrixIdentity(view);
  world[12] = 5.0f;  // translation x
  view[0] = 2.0f;    // scale x
  render->SetTransform(vek::e_TransformWorld, world);
  render->SetTransform(vek::e_TransformView, view);
  // Row vectors: the world translation is scaled by the view.
  EXPECT_FLOAT_EQ(render->GetWorldView()[12], 10.0f);
  EXPECT_FLOAT_EQ(render->GetWorldView()[0], 2.0f);
  float m[16];
  vek::MatrixMultiplyInPlace(m, world, view);
  vek::MatrixMultiplyInPlace(m, m, m);
  EXPECT_FLOAT_EQ(m[12], 30.0f);

  // The projection goes up unchanged; a texture transform is folded to two dimensions.
  float proj[16];
  vek::MatrixIdentity(proj);
  proj[10] = -0.5f;
  proj[14] = 0.25f;
  Mark();
  render->SetTransform(vek::e_TransformProjection, proj);
  render->SetTransform(vek::e_TransformTexture, world);
  EXPECT_EQ(rec->calls, (std::vector<std::string>{
                            "SetTransform(0, [1 0 0 0 | 0 1 0 0 | 0 0 -0.5 0 | 0 0 0.25 1])",
                            "SetTransform(3, [1 0 0 0 | 0 1 0 0 | 5 0 0 0 | 0 0 0 1])"}));

  Mark();
  render->SetClearColor(1.0f, 0.5f, 0.0f, 1.0f);
  render->Clear(gfx::kClearTarget, 1.0f);
  render->SetTextureFactor(0.0f, 0.0f, 1.0f, 0.5f);
  render->SetColor(1.0f, 0.0f, 0.0f, 0.5f);
  EXPECT_EQ(rec->calls, (std::vector<std::string>{
                            "Clear(0x1, 0xFFFF7F00, 1, 0)", "SetRenderState(TextureFactor, 2130706687)",
                            "SetMaterial(diffuse 0 0 0 0.5, emissive 1 0 0 0.5)"}));
}

TEST_F(RenderTest, CapsDumpAndDestructorWarning) {
  // The section names what really draws, as the driver and the window system name it.
  auto probe = std::make_unique<plat::FixedSystemProbe>();
  probe->hasGL = true;
  probe->glVersion = "4.5 (Core Profile) Mesa 22.3.6";
  probe->glRenderer = "llvmpipe (LLVM 15.0.6, 256 bits)";
  probe->glVendor = "Mesa";
  probe->videoDriver = "x11";
  plat::SetSystemProbe(std::move(probe));
  ASSERT_EQ(render->Init(Settings()), 0);
  Mark();
  EXPECT_TRUE(render->DumpCaps());
  const std::string log = LogSinceMark();
  plat::SetSystemProbe(nullptr);
  for (const char* line : {"OpenGL:", "Version: 4.5 (Core Profile) Mesa 22.3.6",
                           "Renderer: llvmpipe (LLVM 15.0.6, 256 bits)", "Vendor: Mesa", "Video driver: x11"})
    EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
  EXPECT_NE(log.find("MaxTextureWidth = 2048, MaxTextureHeight = 2048"), std::string::npos);
  EXPECT_NE(log.find("MaxAnisotropy = 16"), std::string::npos);
  Mark();
  vek::DestroyRender();
  render = nullptr;
  EXPECT_NE(LogSinceMark().find("Destructor. Device not freed!"), std::string::npos);
  EXPECT_NE(LogSinceMark().find("Destroyed."), std::string::npos);
  EXPECT_EQ(rec->liveResources, 0);
}

}  // namespace
