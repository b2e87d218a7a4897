#include "engine/render/render.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/core/log.h"
#include "engine/render/render_host.h"
#include "engine/render/texture_manager.h"
#include "platform/os.h"
#include "platform/system_probe.h"
#include "platform/window.h"

namespace vek {

namespace gfx = plat::gfx;

cRender* g_pRender = nullptr;

namespace {
iRenderHost* s_pRenderHost = nullptr;
}  // namespace

iRenderHost* GetRenderHost() { return s_pRenderHost; }
void SetRenderHost(iRenderHost* host) { s_pRenderHost = host; }

namespace {
const char* const kSender = "cRender";
const char* const kStep = "  cRender";  // the indented steps of start-up

bool Ok(gfx::Result r) { return r == gfx::kOk; }

u32 Channel(f32 v) { return static_cast<u32>(static_cast<i32>(v * 255.0f)) & 0xFF; }

u32 PackColor(f32 r, f32 g, f32 b, f32 a) {
  return Channel(a) << 24 | Channel(r) << 16 | Channel(g) << 8 | Channel(b);
}

u32 FvfOf(const cVertexFormat& f) {
  u32 fvf = 0;
  if (f.position) fvf |= f.flat ? gfx::kFvfXy : gfx::kFvfXyz;
  if (f.normal) fvf |= gfx::kFvfNormal;
  if (f.color) fvf |= gfx::kFvfDiffuse;
  switch (f.texDim) {
    case 1: fvf |= gfx::kFvfTex1 | gfx::kFvfTexSize1; break;
    case 2: fvf |= gfx::kFvfTex1; break;
    case 3: fvf |= gfx::kFvfTex1 | gfx::kFvfTexSize3; break;
    case 4: fvf |= gfx::kFvfTex1 | gfx::kFvfTexSize4; break;
    default: break;
  }
  return fvf;
}

gfx::Primitive PrimitiveOf(u32 type) { return static_cast<gfx::Primitive>(std::min<u32>(type, 5) + 1); }

gfx::Format DeviceFormatOf(u32 id) {
  switch (id) {
    case 1: return gfx::Format::L8;
    case 2: return gfx::Format::A8L8;
    case 3: return gfx::Format::R5G6B5;
    case 4:
    case 5: return gfx::Format::X8R8G8B8;
    case 6: return gfx::Format::A8R8G8B8;
    case 7: return gfx::Format::DXT1;
    case 8: return gfx::Format::DXT3;
    case 9: return gfx::Format::DXT5;
    default: return gfx::Format::Unknown;
  }
}

gfx::Format BackBufferFormatOf(gfx::Format display) {
  return display == gfx::Format::X8R8G8B8 ? gfx::Format::A8R8G8B8 : gfx::Format::R5G6B5;
}

bool EngineWindowed() {
  const iRenderHost* host = GetRenderHost();
  return host ? host->IsWindowed() : plat::GetWindow().IsWindowed();
}
}  // namespace

// ---- matrices and vertex formats ----

void MatrixMultiply(f32* out, const f32* a, const f32* b) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      out[r * 4 + c] = a[r * 4 + 0] * b[0 * 4 + c] + a[r * 4 + 1] * b[1 * 4 + c] +
                       a[r * 4 + 2] * b[2 * 4 + c] + a[r * 4 + 3] * b[3 * 4 + c];
}

void MatrixMultiplyInPlace(f32* destination, const f32* a, const f32* b) {
  f32 temp[16];
  MatrixMultiply(temp, a, b);
  std::memcpy(destination, temp, sizeof temp);
}

void MatrixIdentity(f32* out) {
  for (int i = 0; i < 16; ++i) out[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

u32 VertexFormatStride(const cVertexFormat& f) {
  return (f.position ? (f.flat ? 8u : 12u) : 0u) + (f.normal ? 12u : 0u) + (f.color ? 4u : 0u) +
         4u * static_cast<u32>(std::clamp(f.texDim, 0, 4));
}

// ---- creation ----

void CreateRender() {
  if (g_pRender)
    LogWarning("CreateRender", "Already exist\n");
  else
    g_pRender = new cRender();
  LogText("CreateRender", "Ok\n");
}

void DestroyRender() {
  if (!g_pRender) return;
  delete g_pRender;
  g_pRender = nullptr;
  LogText("DestroyRender", "Ok\n");
}

cRender::cRender() {
  LogText(kSender, "Creating...\n");
  const vek::string driver = plat::GetSystemProbe().VideoDriver();
  if (driver.empty())
    LogText(kStep, "Using OpenGL\n");
  else
    LogText(kStep, "Using OpenGL on the %s video driver\n", driver);
  LogText(kStep, "Loading the OpenGL system...\n");
  m_Holder.system = gfx::CreateSystem();
  if (!m_Holder.system) LogError(kStep, "No OpenGL system. OpenGL driver not found\n");
}

cRender::~cRender() {
  if (m_Holder.device) {
    LogWarning(kSender, "Destructor. Device not freed!\n");
    if (m_Holder.depthStencil) m_Holder.depthStencil->Release();
    m_Holder.device->Release();
  }
  if (m_Holder.system) m_Holder.system->Release();
  LogText(kSender, "Destroyed.\n");
}

i32 cRender::Init(const cSettings& settings) {
  // A device still held from before goes first (its buffers are saved).
  if (m_Holder.device) Free();
  LogText(kSender, "Initializing...\n");
  m_Settings = settings;
  const i32 filled = FillPresentParameters();
  if (filled != 0) return filled;
  LogText(kStep, "Fill the present parameters. Ok\n");
  if (!m_Holder.system) {
    LogError(kSender, "OpenGL driver not found\n");
    return 2;
  }

  static const gfx::VertexProcessing kinds[3] = {gfx::VertexProcessing::Hardware, gfx::VertexProcessing::Mixed,
                                                 gfx::VertexProcessing::Software};
  for (int attempt = 0; attempt < 3 && !m_Holder.device; ++attempt) {
    LogText(kStep, "Attempt #%i to create OpenGL device\n", attempt);
    gfx::Device* device = nullptr;
    if (Ok(m_Holder.system->CreateDevice(kinds[attempt], m_Holder.params, &device))) m_Holder.device = device;
  }
  if (!m_Holder.device) {
    LogError(kSender, "Was not able to create OpenGL device\n");
    return 3;
  }

  if (Ok(m_Holder.system->GetDeviceCaps(m_Holder.caps))) {
    vek::string renderer, vendor, version;
    if (plat::GetSystemProbe().GLStrings(renderer, vendor, version))
      LogText(kSender, "Get OpenGL caps. Ok: OpenGL %s, %s (%s)\n", version, renderer, vendor);
    else
      LogText(kSender, "Get OpenGL caps. Ok\n");
  } else {
    LogWarning(kSender, "Can't get OpenGL caps\n");
  }

  int w = 0, h = 0;
  plat::GetWindow().ClientSize(w, h);
  SetViewport(0, 0, w, h);
  RecreateDepthStencil();
  LogText(kSender, "Change viewport. Ok\n");

  SetHardwareDefaults();
  RestoreBuffers(m_VertexBuffers, false);
  RestoreBuffers(m_IndexBuffers, true);
  return 0;
}

i32 cRender::FillPresentParameters() {
  if (!m_Holder.system) return 2;
  gfx::PresentParameters& p = m_Holder.params;
  p = gfx::PresentParameters{};
  gfx::DisplayMode mode;
  if (!Ok(m_Holder.system->GetAdapterDisplayMode(mode))) return 1;

  p.windowed = EngineWindowed();
  p.backBufferCount = 1;
  p.swapEffect = m_Settings.waitVSync ? gfx::SwapEffect::CopyVSync : gfx::SwapEffect::Copy;
  if (!p.windowed) {
    p.backBufferWidth = 1024;
    p.backBufferHeight = 768;
  }
  p.backBufferFormat = BackBufferFormatOf(mode.format);

  gfx::Format depth = gfx::Format::Unknown;
  if (m_Settings.stencil)
    depth = gfx::Format::D24S8;
  else if (m_Settings.depthBuffer)
    depth = gfx::Format::D24X8;
  if (depth != gfx::Format::Unknown && p.backBufferFormat == gfx::Format::R5G6B5) {
    depth = gfx::Format::D16;
    m_Settings.stencil = false;
  }
  if (depth != gfx::Format::Unknown) {
    p.enableAutoDepthStencil = true;
    if (!Ok(m_Holder.system->CheckDeviceFormat(mode.format, gfx::kUsageDepthStencil, gfx::ResourceType::Surface,
                                               depth))) {
      LogWarning(kSender, "Device does not support stencilbuffer, disabling stencil buffer.\n");
      m_Settings.stencil = false;
    } else if (!Ok(m_Holder.system->CheckDepthStencilMatch(mode.format, p.backBufferFormat, depth))) {
      LogWarning(kSender, "Depth-stencil format is not compatible with display format, disabling stencil buffer.\n");
      m_Settings.stencil = false;
    }
    if (!m_Settings.stencil) depth = gfx::Format::D16;
    p.autoDepthStencilFormat = depth;
  }

  if (m_Settings.antiAlias != 0) {
    p.multiSampleType = m_Settings.antiAlias == 4 ? 4 : 2;
    if (!Ok(m_Holder.system->CheckDeviceMultiSampleType(p.backBufferFormat, p.windowed, p.multiSampleType))) {
      LogWarning(kSender, "Anti aliasing disabled because hardware/driver lacks necessary caps.\n");
      p.multiSampleType = 0;
      m_Settings.antiAlias = 0;
      return 0;
    }
    p.swapEffect = gfx::SwapEffect::Discard;
  }
  return 0;
}

void cRender::Free() {
  SaveBuffers(m_VertexBuffers);
  SaveBuffers(m_IndexBuffers);
  if (m_Holder.depthStencil) m_Holder.depthStencil->Release();
  m_Holder.depthStencil = nullptr;
  if (m_Holder.device) m_Holder.device->Release();
  m_Holder.device = nullptr;
  for (cStage& s : m_Stages) s.texture = nullptr;
  m_VertexBuffer = m_IndexBuffer = nullptr;
  SetViewport(0, 0, 0, 0);
  LogText(kSender, "Render is Free\n");
}

// ---- defaults ----

void cRender::SetHardwareDefaults() {
  gfx::Device* d = m_Holder.device;
  if (d) {
    d->SetRenderState(gfx::RenderState::CullMode, gfx::cull::Cw);
    if (m_Holder.params.enableAutoDepthStencil) d->SetRenderState(gfx::RenderState::ZEnable, 0);
    d->SetRenderState(gfx::RenderState::ZFunc, gfx::cmp::Less);
    d->SetTextureStageState(0, gfx::StageState::AlphaOp, gfx::top::Modulate);
    for (u32 stage = 0; stage < 4; ++stage) {
      d->SetTextureStageState(stage, gfx::StageState::TextureTransformFlags, gfx::ttff::Count2);
      if (m_Holder.caps.maxAnisotropy > 1)
        d->SetTextureStageState(stage, gfx::StageState::MaxAnisotropy, m_Holder.caps.maxAnisotropy);
    }
  }
  LogText(kStep, "Set hardware defaults - ok\n");
  SetSoftwareDefaults();
}

void cRender::SetSoftwareDefaults() {
  m_VertexFormat = cVertexFormat{};
  MatrixIdentity(m_Projection);
  MatrixIdentity(m_View);
  MatrixIdentity(m_World);
  m_AlphaTest = false;
  m_AlphaFunction = 0;
  m_AlphaReference = 0.0f;
  m_AlphaBlend = false;
  m_BlendSource = m_BlendDestination = 0;
  m_BlendOp = gfx::blendop::Add;
  m_CurrentStage = 0;
  for (cStage& s : m_Stages) {
    s = cStage{};
    const u32 ops[6] = {gfx::top::Modulate, gfx::targ::Texture, gfx::targ::Current,
                        gfx::top::Modulate, gfx::targ::Texture, gfx::targ::Current};
    std::copy(ops, ops + 6, s.ops);
  }
  m_VertexBuffer = nullptr;
  m_IndexBuffer = nullptr;
  m_IndexBase = 0;
  LogText(kStep, "Set software defaults - ok\n");
}

i32 cRender::RecreateDepthStencil() {
  gfx::Device* d = m_Holder.device;
  if (!d) return 3;
  if (m_Holder.depthStencil) m_Holder.depthStencil->Release();
  m_Holder.depthStencil = nullptr;
  const gfx::PresentParameters& p = m_Holder.params;
  if (!p.enableAutoDepthStencil) {
    LogText(kSender, "Depth&stencil surface not used\n");
    return 0;
  }
  gfx::SurfaceDesc desc;
  gfx::Surface* own = nullptr;
  if (!Ok(d->GetDepthStencilSurface(&own)) || !own || !Ok(own->GetDesc(desc)))
    LogWarning(kSender, "d3dRecreateDepthStencil. Can't get backbuffer surface\n");
  if (own) own->Release();

  gfx::Surface* surface = nullptr;
  if (p.backBufferFormat == gfx::Format::R5G6B5) {
    if (Ok(d->CreateDepthStencilSurface(desc.width, desc.height, gfx::Format::D16, 0, &surface)))
      LogText(kSender, "Recreate depth&stencil. Create own 16bit surface. Ok\n");
    else
      LogWarning(kSender, "d3dRecreateDepthStencil. Can't create 16bit depth&stencil surface\n");
  } else if (p.multiSampleType == 0) {
    if (Ok(d->GetDepthStencilSurface(&surface)))
      LogText(kSender, "Recreate depth&stencil. Get backbuffer surface. Ok\n");
    else
      LogWarning(kSender, "d3dRecreateDepthStencil. Can't get depth&stencil surface\n");
  } else {
    if (Ok(d->CreateDepthStencilSurface(desc.width, desc.height, desc.format, 0, &surface)))
      LogText(kSender, "Recreate depth&stencil. Create own 32bit surface. Ok\n");
    else
      LogWarning(kSender, "d3dRecreateDepthStencil. Can't create 32bit depth&stencil surface\n");
  }
  m_Holder.depthStencil = surface;
  return 0;
}

// ---- frames ----

i32 cRender::Begin() {
  m_Vertices = m_Primitives = m_Calls = 0;
  gfx::Device* d = m_Holder.device;
  if (!d) return 3;
  if (m_Viewport[2] == 0 || m_Viewport[3] == 0) {
    LogWarning(kSender, "Begin. Empty context rect\n");
    return 6;
  }
  if (m_Holder.lost) {
    plat::GetOs().SleepMs(100);
    const gfx::Result r = d->TestCooperativeLevel();
    if (r == gfx::kErrDeviceLost) {
      LogText(kSender, "Begin. TestCooperativeLevel return 'device lost'\n");
      return 5;
    }
    if (r == gfx::kErrDeviceNotReset) {
      LogText(kSender, "Begin. TestCooperativeLevel return 'device not reset'\n");
      if (m_Holder.depthStencil) m_Holder.depthStencil->Release();
      m_Holder.depthStencil = nullptr;
      if (g_pTextureManager) g_pTextureManager->DeleteRenderTargets();
      ReleaseDynamicBuffers();
      gfx::DisplayMode mode;
      if (Ok(m_Holder.system->GetAdapterDisplayMode(mode)))
        m_Holder.params.backBufferFormat = BackBufferFormatOf(mode.format);
      if (!Ok(d->Reset(m_Holder.params))) return 6;
      RecreateDynamicBuffers();
      SetHardwareDefaults();
      RecreateDepthStencil();
      if (g_pTextureManager) g_pTextureManager->CreateRenderTargets();
      return 6;
    }
    if (!Ok(r)) {
      LogWarning(kSender, "Begin. TestCooperativeLevel return code: 0x%08X\n", r);
      return 6;
    }
    m_Holder.lost = 0;
  }
  const gfx::Result r = d->BeginScene();
  if (!Ok(r)) {
    LogWarning(kSender, "Begin. BeginScene failed. Return code: 0x%08X\n", r);
    return 6;
  }
  return 0;
}

void cRender::End() {
  if (m_Holder.device) {
    const gfx::Result r = m_Holder.device->EndScene();
    if (!Ok(r)) LogWarning(kSender, "End. EndScene failed. Return code: 0x%08X\n", r);
  }
  m_LastVertices = m_Vertices;
  m_LastPrimitives = m_Primitives;
  m_LastCalls = m_Calls;
}

void cRender::SwapBuffers() {
  if (!m_Holder.device) return;
  const gfx::Result r = m_Holder.device->Present();
  if (r == gfx::kErrDeviceLost) {
    LogText(kSender, "SwapBuffers. Device lost\n");
    m_Holder.lost = 1;
  } else if (!Ok(r)) {
    LogWarning(kSender, "SwapBuffers. Present failed. Return code: 0x%08X\n", r);
  }
}

void cRender::Clear(u32 flags, f32 z) {
  if (m_Holder.device) m_Holder.device->Clear(flags, m_Holder.clearColor, z, m_Holder.clearStencil);
}

void cRender::SetClearColor(f32 r, f32 g, f32 b, f32 a) { m_Holder.clearColor = PackColor(r, g, b, a); }

void cRender::OnDisplayChange() {
  m_Holder.lost = 1;
  if (m_Holder.device) m_Holder.device->NotifyDisplayChange();
}

void cRender::OnFocusChange(bool active) {
  if (m_Holder.device) m_Holder.device->NotifyFocus(active);
}

void cRender::SetViewport(i32 x, i32 y, i32 width, i32 height) {
  m_Viewport[0] = x;
  m_Viewport[1] = y;
  m_Viewport[2] = width;
  m_Viewport[3] = height;
}

// ---- transforms ----

void cRender::SetTransform(u32 kind, const f32* matrix) {
  if (!matrix) return;
  gfx::Device* d = m_Holder.device;
  gfx::Matrix m;
  std::memcpy(m.m, matrix, sizeof m.m);
  switch (kind) {
    case e_TransformProjection:
      std::memcpy(m_Projection, matrix, sizeof m_Projection);
      if (d) d->SetTransform(gfx::TransformState::Projection, m);
      break;
    case e_TransformView:
      std::memcpy(m_View, matrix, sizeof m_View);
      if (d) d->SetTransform(gfx::TransformState::View, m);
      break;
    case e_TransformWorld:
      std::memcpy(m_World, matrix, sizeof m_World);
      if (d) d->SetTransform(gfx::TransformState::World, m);
      break;
    case e_TransformTexture: {
      {
        static const f32 identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        m_Stages[m_CurrentStage].textureIdentity = std::equal(matrix, matrix + 16, identity);
      }
      if (m_Stages[m_CurrentStage].texCoordSource == -1) {
        // Two-dimensional coordinates: rows 0 and 1 keep their first three elements and
        // the translation row moves into row 2.
        gfx::Matrix folded;
        for (int i = 0; i < 4; ++i) folded.m[i][i] = 1.0f;
        for (int c = 0; c < 3; ++c) {
          folded.m[0][c] = matrix[0 * 4 + c];
          folded.m[1][c] = matrix[1 * 4 + c];
          folded.m[2][c] = matrix[3 * 4 + c];
        }
        m = folded;
      }
      if (d) d->SetTransform(static_cast<gfx::TransformState>(static_cast<u32>(gfx::TransformState::Texture0) + m_CurrentStage), m);
      break;
    }
    default:
      break;
  }
}

const f32* cRender::GetWorldView() {
  static f32 worldView[16];
  MatrixMultiply(worldView, m_World, m_View);
  return worldView;
}

// ---- the state cache ----

void cRender::SetRenderState(gfx::RenderState state, u32 value) {
  if (m_Holder.device) m_Holder.device->SetRenderState(state, value);
}

void cRender::SetAlphaTest(u32 function, f32 reference) {
  gfx::Device* d = m_Holder.device;
  if (!d) return;
  if (function == 0) {
    if (m_AlphaTest) {
      d->SetRenderState(gfx::RenderState::AlphaTestEnable, 0);
      m_AlphaTest = false;
    }
    return;
  }
  if (!m_AlphaTest) {
    d->SetRenderState(gfx::RenderState::AlphaTestEnable, 1);
    m_AlphaTest = true;
  }
  if (function != m_AlphaFunction) {
    d->SetRenderState(gfx::RenderState::AlphaFunc, function);
    m_AlphaFunction = function;
  }
  if (reference != m_AlphaReference) {
    d->SetRenderState(gfx::RenderState::AlphaRef, static_cast<u32>(static_cast<i32>(reference * 255.0f)));
    m_AlphaReference = reference;
  }
}

void cRender::SetAlphaBlend(u32 source, u32 destination) {
  gfx::Device* d = m_Holder.device;
  if (!d) return;
  if (source == 0 || destination == 0) {
    if (m_AlphaBlend) {
      d->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
      m_AlphaBlend = false;
    }
    return;
  }
  if (!m_AlphaBlend) {
    d->SetRenderState(gfx::RenderState::AlphaBlendEnable, 1);
    m_AlphaBlend = true;
  }
  if (source != m_BlendSource) {
    d->SetRenderState(gfx::RenderState::SrcBlend, source);
    m_BlendSource = source;
  }
  if (destination != m_BlendDestination) {
    d->SetRenderState(gfx::RenderState::DestBlend, destination);
    m_BlendDestination = destination;
  }
  if (m_BlendOp != gfx::blendop::Add) {
    d->SetRenderState(gfx::RenderState::BlendOp, gfx::blendop::Add);
    m_BlendOp = gfx::blendop::Add;
  }
}

void cRender::SetTexture(cDeviceTexture* context, bool nearest) {
  gfx::Device* d = m_Holder.device;
  if (!d) return;
  const u32 stage = m_CurrentStage;
  cStage& s = m_Stages[stage];
  if (!context) {
    if (s.texture) {
      d->SetTexture(stage, nullptr);
      s.texture = nullptr;
    }
    return;
  }
  // The bound texture again changes nothing, not even a filter or address mode that was
  // changed on its record since; only a change between its own filter and the nearest texel's.
  const bool bound = s.texture && s.texture->texture == context->texture;
  if (bound && s.nearest == nearest) return;
  if (!bound) {
    d->SetTexture(stage, context->texture);
    s.texture = context;
  }
  s.nearest = nearest;
  const u32 filter = nearest ? 0 : context->filter;
  if (filter != s.filter) {
    static const u32 filters[6][3] = {
        {gfx::tfilter::Point, gfx::tfilter::Point, gfx::tfilter::None},
        {gfx::tfilter::Linear, gfx::tfilter::Linear, gfx::tfilter::None},
        {gfx::tfilter::Linear, gfx::tfilter::Linear, gfx::tfilter::Point},
        {gfx::tfilter::Linear, gfx::tfilter::Linear, gfx::tfilter::Linear},
        {gfx::tfilter::Anisotropic, gfx::tfilter::Anisotropic, gfx::tfilter::Point},
        {gfx::tfilter::Anisotropic, gfx::tfilter::Anisotropic, gfx::tfilter::Linear}};
    const u32* f = filters[std::min<u32>(filter, 5)];
    d->SetTextureStageState(stage, gfx::StageState::MinFilter, f[0]);
    d->SetTextureStageState(stage, gfx::StageState::MagFilter, f[1]);
    d->SetTextureStageState(stage, gfx::StageState::MipFilter, f[2]);
    s.filter = filter;
  }
  if (context->address != s.address) {
    d->SetTextureStageState(stage, gfx::StageState::AddressU, context->address);
    d->SetTextureStageState(stage, gfx::StageState::AddressV, context->address);
    d->SetTextureStageState(stage, gfx::StageState::AddressW, context->address);
    s.address = context->address;
  }
}

bool cRender::FlatPixels(f32 scale[2], f32 origin[2]) const {
  if (m_Viewport[2] <= 0 || m_Viewport[3] <= 0) return false;
  // Row vectors: a point is p * world * view * projection.
  f32 wv[16], m[16];
  MatrixMultiply(wv, m_World, m_View);
  MatrixMultiply(m, wv, m_Projection);
  // Flat points (z 0, w 1) must keep w 1 and each axis move alone.
  if (m[3] != 0.0f || m[7] != 0.0f || m[15] != 1.0f || m[1] != 0.0f || m[4] != 0.0f) return false;
  const f32 half[2] = {0.5f * static_cast<f32>(m_Viewport[2]), 0.5f * static_cast<f32>(m_Viewport[3])};
  const f32 axis[2] = {m[0], m[5]}, shift[2] = {m[12], m[13]};
  for (int i = 0; i < 2; ++i) {
    scale[i] = axis[i] * half[i];
    origin[i] = (shift[i] + 1.0f) * half[i];
    if (scale[i] == 0.0f || !std::isfinite(scale[i]) || !std::isfinite(origin[i])) return false;
  }
  return true;
}

bool cRender::UnitPixels(f32 scale[2], f32 origin[2]) const {
  if (!m_Stages[0].textureIdentity || !FlatPixels(scale, origin)) return false;
  for (int i = 0; i < 2; ++i) {
    if (std::fabs(std::fabs(scale[i]) - 1.0f) > 1e-5f) return false;
    scale[i] = scale[i] > 0.0f ? 1.0f : -1.0f;
  }
  return true;
}

void cRender::SetStageOps(u32 colorOp, u32 colorArg1, u32 colorArg2, u32 alphaOp, u32 alphaArg1,
                          u32 alphaArg2) {
  gfx::Device* d = m_Holder.device;
  if (!d) return;
  cStage& s = m_Stages[m_CurrentStage];
  const u32 ops[6] = {colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2};
  if (std::equal(ops, ops + 6, s.ops)) return;
  static const gfx::StageState states[6] = {gfx::StageState::ColorOp,   gfx::StageState::ColorArg1,
                                            gfx::StageState::ColorArg2, gfx::StageState::AlphaOp,
                                            gfx::StageState::AlphaArg1, gfx::StageState::AlphaArg2};
  for (int i = 0; i < 6; ++i) d->SetTextureStageState(m_CurrentStage, states[i], ops[i]);
  std::copy(ops, ops + 6, s.ops);
}

void cRender::SetTextureFactor(f32 r, f32 g, f32 b, f32 a) {
  if (m_Holder.device) m_Holder.device->SetRenderState(gfx::RenderState::TextureFactor, PackColor(r, g, b, a));
}

void cRender::SetVertexFormat(const cVertexFormat& format) {
  if (format == m_VertexFormat) return;
  m_VertexFormat = format;
  const u32 fvf = FvfOf(format);
  // An empty format reaches the device not at all.
  if (fvf && m_Holder.device) m_Holder.device->SetVertexFormat(fvf);
}

void cRender::SetVertexBuffer(cBufferRecord* record) {
  if (record == m_VertexBuffer) return;
  m_VertexBuffer = record;
  if (m_Holder.device)
    m_Holder.device->SetStreamSource(0, record ? static_cast<gfx::VertexBuffer*>(record->buffer) : nullptr,
                                     VertexFormatStride(m_VertexFormat));
}

void cRender::SetIndexBuffer(cBufferRecord* record, u16 base) {
  if (record == m_IndexBuffer && base == m_IndexBase) return;
  m_IndexBuffer = record;
  m_IndexBase = base;
  if (m_Holder.device)
    m_Holder.device->SetIndices(record ? static_cast<gfx::IndexBuffer*>(record->buffer) : nullptr, base);
}

void cRender::ResetIndices() {
  if (!m_IndexBuffer) return;
  m_IndexBuffer = nullptr;
  m_IndexBase = 0;
  if (m_Holder.device) m_Holder.device->SetIndices(nullptr, 0);
}

void cRender::SetColor(f32 r, f32 g, f32 b, f32 a) {
  if (!m_Holder.device) return;
  gfx::Material m;
  m.diffuse[3] = a;
  m.emissive[0] = r;
  m.emissive[1] = g;
  m.emissive[2] = b;
  m.emissive[3] = a;
  m_Holder.device->SetMaterial(m);
}

// ---- draws ----

void cRender::Count(u32 vertices, u32 primitives) {
  m_Vertices += vertices;
  m_Primitives += primitives;
  ++m_Calls;
}

void cRender::DrawPrimitives(u32 type, u32 vertexCount, u32 primitiveCount, const void* vertices,
                             const u16* indices) {
  if (!vertexCount || !primitiveCount || !vertices) {
    LogWarning(kSender, "Trying to draw empty primitive.\n");
    return;
  }
  gfx::Device* d = m_Holder.device;
  if (!d) return;
  const u32 stride = VertexFormatStride(m_VertexFormat);
  const gfx::Result r =
      indices ? d->DrawIndexedPrimitiveUP(PrimitiveOf(type), 0, vertexCount, primitiveCount, indices, vertices, stride)
              : d->DrawPrimitiveUP(PrimitiveOf(type), primitiveCount, vertices, stride);
  if (!Ok(r)) LogWarning(kSender, "DrawPrimitives. DIP return code: 0x%08X\n", r);
  Count(vertexCount, primitiveCount);
  // The device unbinds the stream and the indices after a draw from memory.
  m_VertexBuffer = nullptr;
  m_IndexBuffer = nullptr;
  m_IndexBase = 0;
}

void cRender::DrawStreamPrimitives(u32 primitiveCount, u32 vertexCount) {
  if (!primitiveCount || !vertexCount || !m_VertexBuffer) {
    LogWarning(kSender, "Trying to draw empty primitive.\n");
    return;
  }
  gfx::Device* d = m_Holder.device;
  if (!d) return;
  const gfx::Result r = m_IndexBuffer
                            ? d->DrawIndexedPrimitive(gfx::Primitive::TriangleList, 0, vertexCount, 0, primitiveCount)
                            : d->DrawPrimitive(gfx::Primitive::TriangleList, 0, primitiveCount);
  if (!Ok(r)) LogWarning(kSender, "DrawPrimitives. DIP return code: 0x%08X\n", r);
  Count(vertexCount, primitiveCount);
}

// ---- textures ----

cDeviceTexture* cRender::CreateTextureContext(const cTextureDesc* desc) {
  gfx::Device* d = m_Holder.device;
  if (!d || !desc) return nullptr;
  const gfx::Format format = DeviceFormatOf(desc->format.id);
  if (format == gfx::Format::Unknown) return nullptr;
  gfx::Texture* texture = nullptr;
  const u32 levels = desc->filter < 2 ? 1 : 0;
  if (!Ok(d->CreateTexture(desc->width, desc->height, levels, 0, format, gfx::Pool::Managed, &texture)) || !texture)
    return nullptr;
  auto* context = new cDeviceTexture;
  context->width = desc->width;
  context->height = desc->height;
  context->depth = desc->depth;
  context->format = desc->format;
  context->filter = desc->filter;
  context->address = desc->address;
  context->texture = texture;
  return context;
}

cDeviceTexture* cRender::CreateRenderTargetContext(u32 width, u32 height) {
  gfx::Device* d = m_Holder.device;
  if (!d) return nullptr;
  const gfx::Format format = m_Holder.params.backBufferFormat;
  gfx::Texture* texture = nullptr;
  if (!Ok(d->CreateTexture(width, height, 1, gfx::kUsageRenderTarget, format, gfx::Pool::Default, &texture)) ||
      !texture)
    return nullptr;
  auto* context = new cDeviceTexture;
  context->width = width;
  context->height = height;
  context->depth = 1;
  u32 row = 0;
  if (format == gfx::Format::A8R8G8B8 || format == gfx::Format::X8R8G8B8)
    row = 6;
  else if (format == gfx::Format::R5G6B5)
    row = 3;
  context->format = GetFormatInfo(row);
  context->filter = 1;
  context->address = 1;
  context->texture = texture;
  return context;
}

void cRender::DeleteTextureContext(cDeviceTexture* context) {
  if (!context) return;
  for (u32 stage = 0; stage < 4; ++stage) {
    if (m_Stages[stage].texture == context) {
      if (m_Holder.device) m_Holder.device->SetTexture(stage, nullptr);
      m_Stages[stage].texture = nullptr;
    }
  }
  if (context->texture) context->texture->Release();
  delete context;
}

bool cRender::DumpCaps() {
  // What the device runs on, as the driver names it.
  plat::SystemProbe& probe = plat::GetSystemProbe();
  vek::string renderer, vendor, version;
  if (!probe.GLStrings(renderer, vendor, version)) renderer = vendor = version = "unknown (no OpenGL context)";
  vek::string driver = probe.VideoDriver();
  if (driver.empty()) driver = "none";
  LogPlain("OpenGL:\n");
  LogPlain("  Version: %s\n  Renderer: %s\n  Vendor: %s\n  Video driver: %s\n", version, renderer, vendor, driver);
  LogPlain("  Specifics:\n");
  LogPlain("    MaxTextureWidth = %i, MaxTextureHeight = %i\n", m_Holder.caps.maxTextureWidth,
           m_Holder.caps.maxTextureHeight);
  LogPlain("    MaxAnisotropy = %i\n", m_Holder.caps.maxAnisotropy);
  return true;
}

std::unique_ptr<u8[]> cRender::ReadFrontBuffer(i32 rect[4]) {
  gfx::Device* d = m_Holder.device;
  if (!d) return nullptr;
  gfx::DisplayMode mode;
  if (!Ok(d->GetDisplayMode(mode)) || !mode.width || !mode.height) return nullptr;
  gfx::Surface* surface = nullptr;
  if (!Ok(d->CreateImageSurface(mode.width, mode.height, gfx::Format::A8R8G8B8, &surface)) || !surface)
    return nullptr;
  std::unique_ptr<u8[]> out;
  gfx::LockedRect locked;
  // The client area (at the picture's origin) clipped to the display.
  const i32 x = std::max(0, m_Viewport[0]), y = std::max(0, m_Viewport[1]);
  const i32 w = std::min<i32>(m_Viewport[0] + m_Viewport[2], static_cast<i32>(mode.width)) - x;
  const i32 h = std::min<i32>(m_Viewport[1] + m_Viewport[3], static_cast<i32>(mode.height)) - y;
  if (w > 0 && h > 0 && Ok(d->GetFrontBuffer(surface)) && Ok(surface->LockRect(locked, gfx::kLockReadOnly))) {
    out.reset(new u8[static_cast<size_t>(w) * h * 3]);
    const auto* bits = static_cast<const u8*>(locked.bits);
    for (i32 row = 0; row < h; ++row) {
      // Rows from the bottom of the area to the top.
      const u8* src = bits + static_cast<size_t>(y + h - 1 - row) * locked.pitch + static_cast<size_t>(x) * 4;
      u8* dst = out.get() + static_cast<size_t>(row) * w * 3;
      for (i32 col = 0; col < w; ++col) {
        dst[col * 3 + 0] = src[col * 4 + 2];
        dst[col * 3 + 1] = src[col * 4 + 1];
        dst[col * 3 + 2] = src[col * 4 + 0];
      }
    }
    surface->UnlockRect();
    rect[0] = x;
    rect[1] = y;
    rect[2] = w;
    rect[3] = h;
  }
  surface->Release();
  return out;
}

// ---- buffers ----

void cRender::RemoveBuffer(cBufferRecord* record) {
  auto drop = [&](std::vector<cBufferRecord*>& list) {
    list.erase(std::remove(list.begin(), list.end(), record), list.end());
  };
  drop(m_FreeOnly);
  drop(m_VertexBuffers);
  drop(m_IndexBuffers);
  if (m_VertexBuffer == record) {
    m_VertexBuffer = nullptr;
    if (m_Holder.device) m_Holder.device->SetStreamSource(0, nullptr, 0);
  }
  if (m_IndexBuffer == record) ResetIndices();
}

bool cRender::HasBuffer(const cBufferRecord* record) const {
  for (const auto* list : {&m_FreeOnly, &m_VertexBuffers, &m_IndexBuffers})
    if (std::find(list->begin(), list->end(), record) != list->end()) return true;
  return false;
}

bool cRender::CreateDeviceBuffer(cBufferRecord* record, bool index) {
  gfx::Device* d = m_Holder.device;
  if (!d || !record || !record->size) return false;
  const gfx::Pool pool = (record->usage & gfx::kUsageDynamic) ? gfx::Pool::Default : gfx::Pool::Managed;
  gfx::Result r;
  if (index) {
    gfx::IndexBuffer* b = nullptr;
    r = d->CreateIndexBuffer(record->size, record->usage, gfx::Format::Index16, pool, &b);
    record->buffer = Ok(r) ? b : nullptr;
  } else {
    gfx::VertexBuffer* b = nullptr;
    r = d->CreateVertexBuffer(record->size, record->usage, 0, pool, &b);
    record->buffer = Ok(r) ? b : nullptr;
  }
  return record->buffer != nullptr;
}

void cRender::RestoreBuffers(std::vector<cBufferRecord*>& list, bool index) {
  for (cBufferRecord* rec : list) {
    if (!rec->size || !rec->copy) continue;
    if (CreateDeviceBuffer(rec, index)) {
      void* data = nullptr;
      const u32 flags = (rec->usage & gfx::kUsageDynamic) ? gfx::kLockDiscard : 0;
      if (Ok(rec->buffer->Lock(0, 0, &data, flags)) && data) {
        std::memcpy(data, rec->copy->data(), std::min<size_t>(rec->size, rec->copy->size()));
        rec->buffer->Unlock();
      }
    }
    delete rec->copy;
    rec->copy = nullptr;
  }
}

void cRender::SaveBuffers(std::vector<cBufferRecord*>& list) {
  for (cBufferRecord* rec : list) {
    if (!rec->buffer || !rec->size) continue;
    void* data = nullptr;
    u32 flags = gfx::kLockReadOnly;
    if (rec->usage & gfx::kUsageDynamic) flags |= gfx::kLockDiscard;
    if (Ok(rec->buffer->Lock(0, 0, &data, flags)) && data) {
      delete rec->copy;
      rec->copy = new std::vector<u8>(static_cast<const u8*>(data), static_cast<const u8*>(data) + rec->size);
      rec->buffer->Unlock();
    }
    rec->buffer->Release();
    rec->buffer = nullptr;
  }
}

void cRender::ReleaseDynamicBuffers() {
  for (auto* list : {&m_VertexBuffers, &m_IndexBuffers}) {
    for (cBufferRecord* rec : *list) {
      if ((rec->usage & gfx::kUsageDynamic) && rec->buffer) {
        if (m_VertexBuffer == rec) m_VertexBuffer = nullptr;
        if (m_IndexBuffer == rec) m_IndexBuffer = nullptr;
        rec->buffer->Release();
        rec->buffer = nullptr;
      }
    }
  }
}

void cRender::RecreateDynamicBuffers() {
  for (cBufferRecord* rec : m_VertexBuffers)
    if ((rec->usage & gfx::kUsageDynamic) && !rec->buffer) CreateDeviceBuffer(rec, false);
  for (cBufferRecord* rec : m_IndexBuffers)
    if ((rec->usage & gfx::kUsageDynamic) && !rec->buffer) CreateDeviceBuffer(rec, true);
}

}  // namespace vek
