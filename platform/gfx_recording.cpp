// The recording back end of the graphics device.
#include "platform/gfx_recording.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/gfx_loss.h"

namespace plat::gfx {

int Recorder::Count(const std::string& prefix) const {
  return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const std::string& c) {
    return c.compare(0, prefix.size(), prefix) == 0;
  }));
}

namespace {

using Rec = std::shared_ptr<Recorder>;

std::string Fmt(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Fmt(const char* format, ...) {
  char buffer[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

const char* PoolName(Pool p) {
  switch (p) {
    case Pool::Default: return "Default";
    case Pool::Managed: return "Managed";
    case Pool::SystemMem: return "SystemMem";
  }
  return "?";
}

// A counted resource of the recorder.
class RecResource {
 public:
  RecResource(Rec rec, Pool pool) : m_Rec(std::move(rec)), m_Pool(pool) {
    ++m_Rec->liveResources;
    if (m_Pool == Pool::Default) ++m_Rec->liveDefaultResources;
  }
  virtual ~RecResource() {
    --m_Rec->liveResources;
    if (m_Pool == Pool::Default) --m_Rec->liveDefaultResources;
  }

 protected:
  Rec m_Rec;
  Pool m_Pool;
};

class RecSurface final : public Surface, RecResource {
 public:
  RecSurface(Rec rec, const SurfaceDesc& desc)
      : RecResource(std::move(rec), desc.pool), m_Desc(desc) {
    if (desc.pool == Pool::SystemMem)
      m_Bits.assign(FormatLevelSize(desc.format, desc.width, desc.height), 0);
  }
  void Release() override { delete this; }
  Result GetDesc(SurfaceDesc& desc) override {
    desc = m_Desc;
    return kOk;
  }
  Result LockRect(LockedRect& locked, std::uint32_t) override {
    if (m_Desc.pool != Pool::SystemMem) return kErrInvalidCall;
    locked.bits = m_Bits.data();
    locked.pitch = static_cast<std::int32_t>(FormatPitch(m_Desc.format, m_Desc.width));
    return kOk;
  }
  Result UnlockRect() override { return kOk; }
  std::vector<std::uint8_t>& Bits() { return m_Bits; }

 private:
  SurfaceDesc m_Desc;
  std::vector<std::uint8_t> m_Bits;
};

class RecTexture final : public Texture, RecResource {
 public:
  RecTexture(Rec rec, int id, std::uint32_t w, std::uint32_t h, std::uint32_t levels,
             std::uint32_t usage, Format format, Pool pool)
      : RecResource(std::move(rec), pool), m_Id(id), m_Usage(usage), m_Format(format) {
    std::uint32_t full = 1;
    while ((w >> full) || (h >> full)) ++full;
    if (levels == 0 || levels > full) levels = full;
    for (std::uint32_t i = 0; i < levels; ++i) {
      std::uint32_t lw = std::max<std::uint32_t>(1, w >> i), lh = std::max<std::uint32_t>(1, h >> i);
      m_Levels.push_back({lw, lh, std::vector<std::uint8_t>(FormatLevelSize(format, lw, lh))});
    }
  }
  void Release() override {
    m_Rec->calls.push_back(Fmt("ReleaseTexture(tex#%d)", m_Id));
    delete this;
  }
  std::uint32_t GetLevelCount() override { return static_cast<std::uint32_t>(m_Levels.size()); }
  Result GetLevelDesc(std::uint32_t level, SurfaceDesc& desc) override {
    if (level >= m_Levels.size()) return kErrInvalidCall;
    desc = SurfaceDesc{m_Format, m_Usage, m_Pool, 0, m_Levels[level].w, m_Levels[level].h};
    return kOk;
  }
  Result LockRect(std::uint32_t level, LockedRect& locked, std::uint32_t flags) override {
    m_Rec->calls.push_back(Fmt("LockTexture(tex#%d, %u, 0x%X)", m_Id, level, flags));
    if (level >= m_Levels.size() || (m_Usage & kUsageRenderTarget)) return kErrInvalidCall;
    locked.bits = m_Levels[level].bits.data();
    locked.pitch = static_cast<std::int32_t>(FormatPitch(m_Format, m_Levels[level].w));
    return kOk;
  }
  Result UnlockRect(std::uint32_t level) override {
    m_Rec->calls.push_back(Fmt("UnlockTexture(tex#%d, %u)", m_Id, level));
    return level < m_Levels.size() ? kOk : kErrInvalidCall;
  }
  Result WriteLevel(std::uint32_t level, const void* bits, std::uint32_t pitch) override {
    m_Rec->calls.push_back(Fmt("WriteTexture(tex#%d, %u, %u)", m_Id, level, pitch));
    if (level >= m_Levels.size() || (m_Usage & kUsageRenderTarget) || !bits) return kErrInvalidCall;
    Level& l = m_Levels[level];
    const std::uint32_t packed = FormatPitch(m_Format, l.w);
    if (pitch < packed) return kErrInvalidCall;
    const std::uint32_t rows = packed ? static_cast<std::uint32_t>(l.bits.size()) / packed : 0;
    for (std::uint32_t r = 0; r < rows; ++r)
      std::memcpy(l.bits.data() + static_cast<std::size_t>(r) * packed,
                  static_cast<const std::uint8_t*>(bits) + static_cast<std::size_t>(r) * pitch, packed);
    return kOk;
  }
  int Id() const { return m_Id; }

 private:
  struct Level {
    std::uint32_t w, h;
    std::vector<std::uint8_t> bits;
  };
  int m_Id;
  std::uint32_t m_Usage;
  Format m_Format;
  std::vector<Level> m_Levels;
};

template <class Base>
class RecBuffer final : public Base, RecResource {
 public:
  RecBuffer(Rec rec, int id, const char* kind, std::uint32_t size, std::uint32_t usage, Pool pool)
      : RecResource(std::move(rec), pool), m_Id(id), m_Kind(kind), m_Usage(usage), m_Bytes(size) {}
  void Release() override {
    m_Rec->calls.push_back(Fmt("Release%s(%s#%d)", m_Kind, m_Kind, m_Id));
    delete this;
  }
  Result Lock(std::uint32_t offset, std::uint32_t size, void** data, std::uint32_t flags) override {
    m_Rec->calls.push_back(Fmt("Lock%s(%s#%d, %u, %u, 0x%X)", m_Kind, m_Kind, m_Id, offset, size, flags));
    if (!data || offset > m_Bytes.size()) return kErrInvalidCall;
    if (flags & kLockDiscard) std::fill(m_Bytes.begin(), m_Bytes.end(), 0);
    *data = m_Bytes.data() + offset;
    return kOk;
  }
  Result Unlock() override { return kOk; }
  std::uint32_t GetSize() override { return static_cast<std::uint32_t>(m_Bytes.size()); }
  std::uint32_t GetUsage() override { return m_Usage; }
  Pool GetPool() override { return m_Pool; }
  int Id() const { return m_Id; }

 private:
  int m_Id;
  const char* m_Kind;
  std::uint32_t m_Usage;
  std::vector<std::uint8_t> m_Bytes;
};
using RecVertexBuffer = RecBuffer<VertexBuffer>;
using RecIndexBuffer = RecBuffer<IndexBuffer>;

std::string ParamsText(const PresentParameters& p) {
  return Fmt("%ux%u %s x%u ms %u swap %u windowed %d depth %s", p.backBufferWidth,
             p.backBufferHeight, FormatName(p.backBufferFormat), p.backBufferCount,
             p.multiSampleType, static_cast<unsigned>(p.swapEffect), p.windowed ? 1 : 0,
             p.enableAutoDepthStencil ? FormatName(p.autoDepthStencilFormat) : "none");
}

const char* PrimitiveName(Primitive p) {
  static const char* const names[] = {"?", "PointList", "LineList", "LineStrip",
                                      "TriangleList", "TriangleStrip", "TriangleFan"};
  auto i = static_cast<std::uint32_t>(p);
  return i <= 6 ? names[i] : "?";
}

class RecDevice final : public Device {
 public:
  RecDevice(Rec rec, const PresentParameters& params) : m_Rec(std::move(rec)), m_Params(params) {
    ++m_Rec->liveResources;
    MakeDepth();
  }
  void Release() override {
    m_Rec->calls.push_back("ReleaseDevice");
    if (m_Depth) m_Depth->Release();
    --m_Rec->liveResources;
    delete this;
  }

  Result TestCooperativeLevel() override {
    Result r = m_Loss.Test();
    if (!m_Rec->cooperativeLevel.empty()) {
      r = m_Rec->cooperativeLevel.front();
      m_Rec->cooperativeLevel.pop_front();
    }
    m_Rec->calls.push_back(Fmt("TestCooperativeLevel -> 0x%08X", r));
    return r;
  }
  Result Reset(PresentParameters& params) override {
    m_Rec->calls.push_back("Reset(" + ParamsText(params) + ")");
    if (m_Rec->resetResult != kOk) return m_Rec->resetResult;
    if (m_Rec->liveDefaultResources > 0 || !m_Loss.CanReset()) return kErrInvalidCall;
    m_Params = params;
    m_Rec->lastParams = params;
    if (m_Depth) m_Depth->Release();
    m_Depth = nullptr;
    MakeDepth();
    m_Loss.ResetDone();
    return kOk;
  }
  Result Present() override {
    Result r = m_Loss.Lost() ? kErrDeviceLost : kOk;
    if (!m_Rec->presentResults.empty()) {
      r = m_Rec->presentResults.front();
      m_Rec->presentResults.pop_front();
    }
    m_Rec->calls.push_back(Fmt("Present -> 0x%08X", r));
    return r;
  }
  Result BeginScene() override {
    m_Rec->calls.push_back("BeginScene");
    return m_Rec->beginSceneResult;
  }
  Result EndScene() override {
    m_Rec->calls.push_back("EndScene");
    return m_Rec->endSceneResult;
  }
  Result Clear(std::uint32_t flags, std::uint32_t color, float z, std::uint32_t stencil) override {
    m_Rec->calls.push_back(Fmt("Clear(0x%X, 0x%08X, %g, %u)", flags, color, z, stencil));
    if (flags & kClearTarget) m_Rec->clearColor = color;
    return kOk;
  }
  Result SetTransform(TransformState state, const Matrix& m) override {
    m_Rec->calls.push_back(Fmt("SetTransform(%u, [%g %g %g %g | %g %g %g %g | %g %g %g %g | %g %g %g %g])",
                               static_cast<unsigned>(state), m.m[0][0], m.m[0][1], m.m[0][2],
                               m.m[0][3], m.m[1][0], m.m[1][1], m.m[1][2], m.m[1][3], m.m[2][0],
                               m.m[2][1], m.m[2][2], m.m[2][3], m.m[3][0], m.m[3][1], m.m[3][2],
                               m.m[3][3]));
    return kOk;
  }
  Result SetRenderState(RenderState state, std::uint32_t value) override {
    m_Rec->calls.push_back(Fmt("SetRenderState(%s, %u)", RenderStateName(state), value));
    return kOk;
  }
  Result SetTextureStageState(std::uint32_t stage, StageState state, std::uint32_t value) override {
    m_Rec->calls.push_back(Fmt("SetTextureStageState(%u, %s, %u)", stage, StageStateName(state), value));
    return kOk;
  }
  Result SetTexture(std::uint32_t stage, Texture* texture) override {
    if (texture)
      m_Rec->calls.push_back(Fmt("SetTexture(%u, tex#%d)", stage, static_cast<RecTexture*>(texture)->Id()));
    else
      m_Rec->calls.push_back(Fmt("SetTexture(%u, null)", stage));
    return kOk;
  }
  Result SetMaterial(const Material& m) override {
    m_Rec->calls.push_back(Fmt("SetMaterial(diffuse %g %g %g %g, emissive %g %g %g %g)", m.diffuse[0],
                               m.diffuse[1], m.diffuse[2], m.diffuse[3], m.emissive[0],
                               m.emissive[1], m.emissive[2], m.emissive[3]));
    return kOk;
  }
  Result SetVertexFormat(std::uint32_t fvf) override {
    m_Rec->calls.push_back(Fmt("SetVertexFormat(0x%X)", fvf));
    return kOk;
  }
  Result SetStreamSource(std::uint32_t stream, VertexBuffer* buffer, std::uint32_t stride) override {
    if (buffer)
      m_Rec->calls.push_back(Fmt("SetStreamSource(%u, vb#%d, %u)", stream,
                                 static_cast<RecVertexBuffer*>(buffer)->Id(), stride));
    else
      m_Rec->calls.push_back(Fmt("SetStreamSource(%u, null, %u)", stream, stride));
    return kOk;
  }
  Result SetIndices(IndexBuffer* buffer, std::uint32_t base) override {
    if (buffer)
      m_Rec->calls.push_back(Fmt("SetIndices(ib#%d, %u)", static_cast<RecIndexBuffer*>(buffer)->Id(), base));
    else
      m_Rec->calls.push_back(Fmt("SetIndices(null, %u)", base));
    return kOk;
  }

  Result CreateTexture(std::uint32_t w, std::uint32_t h, std::uint32_t levels, std::uint32_t usage,
                       Format format, Pool pool, Texture** texture) override {
    int id = ++m_NextId;
    m_Rec->calls.push_back(Fmt("CreateTexture(%ux%u, %u, 0x%X, %s, %s) -> tex#%d", w, h, levels,
                               usage, FormatName(format), PoolName(pool), id));
    if (!texture || w == 0 || h == 0 || FormatBytes(format) == 0) return kErrInvalidCall;
    if (m_Rec->createTextureResult != kOk) return m_Rec->createTextureResult;
    *texture = new RecTexture(m_Rec, id, w, h, levels, usage, format, pool);
    return kOk;
  }
  Result CreateVertexBuffer(std::uint32_t size, std::uint32_t usage, std::uint32_t fvf, Pool pool,
                            VertexBuffer** buffer) override {
    int id = ++m_NextId;
    m_Rec->calls.push_back(Fmt("CreateVertexBuffer(%u, 0x%X, 0x%X, %s) -> vb#%d", size, usage, fvf,
                               PoolName(pool), id));
    if (!buffer || size == 0) return kErrInvalidCall;
    *buffer = new RecVertexBuffer(m_Rec, id, "VertexBuffer", size, usage, pool);
    return kOk;
  }
  Result CreateIndexBuffer(std::uint32_t size, std::uint32_t usage, Format format, Pool pool,
                           IndexBuffer** buffer) override {
    int id = ++m_NextId;
    m_Rec->calls.push_back(Fmt("CreateIndexBuffer(%u, 0x%X, %s, %s) -> ib#%d", size, usage,
                               FormatName(format), PoolName(pool), id));
    if (!buffer || size == 0 || format != Format::Index16) return kErrInvalidCall;
    *buffer = new RecIndexBuffer(m_Rec, id, "IndexBuffer", size, usage, pool);
    return kOk;
  }
  Result CreateDepthStencilSurface(std::uint32_t w, std::uint32_t h, Format format,
                                   std::uint32_t ms, Surface** surface) override {
    m_Rec->calls.push_back(Fmt("CreateDepthStencilSurface(%ux%u, %s, %u)", w, h, FormatName(format), ms));
    if (!surface) return kErrInvalidCall;
    if (m_Rec->createDepthStencilResult != kOk) return m_Rec->createDepthStencilResult;
    *surface = new RecSurface(m_Rec, SurfaceDesc{format, kUsageDepthStencil, Pool::Default, ms, w, h});
    return kOk;
  }
  Result CreateImageSurface(std::uint32_t w, std::uint32_t h, Format format, Surface** surface) override {
    m_Rec->calls.push_back(Fmt("CreateImageSurface(%ux%u, %s)", w, h, FormatName(format)));
    if (!surface || FormatBytes(format) == 0) return kErrInvalidCall;
    *surface = new RecSurface(m_Rec, SurfaceDesc{format, 0, Pool::SystemMem, 0, w, h});
    return kOk;
  }
  Result GetDepthStencilSurface(Surface** surface) override {
    m_Rec->calls.push_back("GetDepthStencilSurface");
    if (!surface || !m_Depth) return kErrNotAvailable;
    SurfaceDesc d;
    m_Depth->GetDesc(d);
    // A new reference stands for the same surface.
    *surface = new RecSurface(m_Rec, SurfaceDesc{d.format, d.usage, Pool::Default, d.multiSampleType,
                                                  d.width, d.height});
    return kOk;
  }
  Result GetDisplayMode(DisplayMode& mode) override {
    mode = DisplayMode{Width(), Height(), 60, Format::X8R8G8B8};
    return kOk;
  }
  Result GetFrontBuffer(Surface* destination) override {
    m_Rec->calls.push_back("GetFrontBuffer");
    if (!destination || !m_Rec->hasFrontBuffer) return kErrInvalidCall;
    auto& bits = static_cast<RecSurface*>(destination)->Bits();
    for (std::size_t i = 0; i + 3 < bits.size(); i += 4) std::memcpy(&bits[i], &m_Rec->clearColor, 4);
    return kOk;
  }

  Result DrawPrimitive(Primitive type, std::uint32_t start, std::uint32_t count) override {
    m_Rec->calls.push_back(Fmt("DrawPrimitive(%s, %u, %u)", PrimitiveName(type), start, count));
    return m_Rec->drawResult;
  }
  Result DrawIndexedPrimitive(Primitive type, std::uint32_t minIndex, std::uint32_t vertices,
                              std::uint32_t startIndex, std::uint32_t count) override {
    m_Rec->calls.push_back(Fmt("DrawIndexedPrimitive(%s, %u, %u, %u, %u)", PrimitiveName(type),
                               minIndex, vertices, startIndex, count));
    return m_Rec->drawResult;
  }
  Result DrawPrimitiveUP(Primitive type, std::uint32_t count, const void*, std::uint32_t stride) override {
    m_Rec->calls.push_back(Fmt("DrawPrimitiveUP(%s, %u, %u)", PrimitiveName(type), count, stride));
    return m_Rec->drawResult;
  }
  Result DrawIndexedPrimitiveUP(Primitive type, std::uint32_t minIndex, std::uint32_t vertices,
                                std::uint32_t count, const std::uint16_t*, const void*,
                                std::uint32_t stride) override {
    m_Rec->calls.push_back(Fmt("DrawIndexedPrimitiveUP(%s, %u, %u, %u, %u)", PrimitiveName(type),
                               minIndex, vertices, count, stride));
    return m_Rec->drawResult;
  }

  void NotifyDisplayChange() override {
    m_Rec->calls.push_back("NotifyDisplayChange");
    m_Loss.DisplayChange();
  }
  void NotifyFocus(bool active) override {
    m_Rec->calls.push_back(Fmt("NotifyFocus(%d)", active ? 1 : 0));
    m_Loss.Focus(active, m_Params.windowed);
  }

 private:
  std::uint32_t Width() const { return m_Params.backBufferWidth ? m_Params.backBufferWidth : m_Rec->clientWidth; }
  std::uint32_t Height() const { return m_Params.backBufferHeight ? m_Params.backBufferHeight : m_Rec->clientHeight; }
  void MakeDepth() {
    if (m_Params.enableAutoDepthStencil)
      m_Depth = new RecSurface(m_Rec, SurfaceDesc{m_Params.autoDepthStencilFormat, kUsageDepthStencil,
                                                  Pool::Managed, m_Params.multiSampleType, Width(), Height()});
  }

  Rec m_Rec;
  PresentParameters m_Params;
  DeviceLoss m_Loss;
  RecSurface* m_Depth = nullptr;
  int m_NextId = 0;
};

class RecSystem final : public System {
 public:
  explicit RecSystem(Rec rec) : m_Rec(std::move(rec)) {}
  void Release() override { delete this; }
  Result GetAdapterDisplayMode(DisplayMode& mode) override {
    m_Rec->calls.push_back("GetAdapterDisplayMode");
    if (m_Rec->adapterModeResult != kOk) return m_Rec->adapterModeResult;
    mode = m_Rec->adapterMode;
    return kOk;
  }
  Result CheckDeviceFormat(Format display, std::uint32_t usage, ResourceType type, Format format) override {
    m_Rec->calls.push_back(Fmt("CheckDeviceFormat(%s, 0x%X, %u, %s)", FormatName(display), usage,
                               static_cast<unsigned>(type), FormatName(format)));
    return m_Rec->depthFormatResult;
  }
  Result CheckDepthStencilMatch(Format display, Format target, Format depth) override {
    m_Rec->calls.push_back(Fmt("CheckDepthStencilMatch(%s, %s, %s)", FormatName(display),
                               FormatName(target), FormatName(depth)));
    return m_Rec->depthMatchResult;
  }
  Result CheckDeviceMultiSampleType(Format format, bool windowed, std::uint32_t samples) override {
    m_Rec->calls.push_back(Fmt("CheckDeviceMultiSampleType(%s, %d, %u)", FormatName(format),
                               windowed ? 1 : 0, samples));
    return m_Rec->multiSampleResult;
  }
  Result GetDeviceCaps(Caps& caps) override {
    m_Rec->calls.push_back("GetDeviceCaps");
    if (m_Rec->capsResult != kOk) return m_Rec->capsResult;
    caps = m_Rec->caps;
    return kOk;
  }
  Result CreateDevice(VertexProcessing processing, PresentParameters& params, Device** device) override {
    static const char* const names[] = {"Hardware", "Mixed", "Software"};
    m_Rec->calls.push_back(Fmt("CreateDevice(%s, %s)", names[static_cast<unsigned>(processing) % 3],
                               ParamsText(params).c_str()));
    if (!device) return kErrInvalidCall;
    if (m_Rec->createDeviceFailures > 0) {
      --m_Rec->createDeviceFailures;
      return kErrNotAvailable;
    }
    m_Rec->lastParams = params;
    *device = new RecDevice(m_Rec, params);
    return kOk;
  }

 private:
  Rec m_Rec;
};

}  // namespace

void UseRecordingSystem(std::shared_ptr<Recorder> recorder) {
  SetSystemFactory([recorder]() -> System* {
    if (recorder->systemFails) return nullptr;
    return new RecSystem(recorder);
  });
}

}  // namespace plat::gfx
