#pragma once
// The graphics device: a small fixed-function device with present parameters, device
// loss and reset, cached-state friendly setters, lockable textures and buffers, and draws
// from memory or from buffers. Two back ends: OpenGL on the window's context, and a
// recording device that logs each call (tests).
#include <cstdint>
#include <functional>
#include <memory>

namespace plat::gfx {

// Results: 0 is success; failures are 32-bit codes that callers print in hexadecimal.
using Result = std::uint32_t;
constexpr Result kOk = 0;
constexpr Result kErrInvalidCall = 0x8A760001;
constexpr Result kErrNotAvailable = 0x8A760002;
constexpr Result kErrOutOfMemory = 0x8A760003;
constexpr Result kErrDeviceLost = 0x8A760004;
constexpr Result kErrDeviceNotReset = 0x8A760005;
constexpr Result kErrDriverInternal = 0x8A760006;
inline bool Failed(Result r) { return r != kOk; }

enum class Format : std::uint32_t {
  Unknown = 0,
  R5G6B5,    // 16-bit colour, red in the high bits
  X8R8G8B8,  // bytes in memory: blue, green, red, unused
  A8R8G8B8,  // bytes in memory: blue, green, red, alpha
  L8,        // one grey byte
  A8L8,      // bytes in memory: grey, alpha
  DXT1,
  DXT3,
  DXT5,
  D16,
  D24X8,
  D24S8,
  Index16,
};
const char* FormatName(Format f);
bool IsBlockFormat(Format f);
// Bytes per pixel, or per 4 x 4 block of a block format; 0 for depth and unknown formats.
std::uint32_t FormatBytes(Format f);
// Bytes of one row of pixels (of blocks for block formats) and of one whole level.
std::uint32_t FormatPitch(Format f, std::uint32_t width);
std::uint32_t FormatLevelSize(Format f, std::uint32_t width, std::uint32_t height);

enum class Pool : std::uint32_t { Default = 0, Managed = 1, SystemMem = 2 };

// Usage flags of resources.
constexpr std::uint32_t kUsageRenderTarget = 0x1;
constexpr std::uint32_t kUsageDepthStencil = 0x2;
constexpr std::uint32_t kUsageWriteOnly = 0x8;
constexpr std::uint32_t kUsageDynamic = 0x200;

// Lock flags. kLockNoOverwrite promises that the block is not drawn from by anything handed
// to the device since the buffer was last discarded, so the lock neither waits for those
// draws nor gives the buffer new storage.
constexpr std::uint32_t kLockReadOnly = 0x10;
constexpr std::uint32_t kLockNoOverwrite = 0x1000;
constexpr std::uint32_t kLockDiscard = 0x2000;

// Clear flags.
constexpr std::uint32_t kClearTarget = 0x1;
constexpr std::uint32_t kClearZBuffer = 0x2;
constexpr std::uint32_t kClearStencil = 0x4;

// Vertex layout flags: position (3 floats), normal (3 floats), colour (one 32-bit ARGB word,
// blue in the lowest byte), one set of texture coordinates whose dimension is 2 unless a
// size value says otherwise. The fields follow each other in that order.
constexpr std::uint32_t kFvfXyz = 0x1;
constexpr std::uint32_t kFvfNormal = 0x2;
constexpr std::uint32_t kFvfDiffuse = 0x4;
constexpr std::uint32_t kFvfTex1 = 0x8;
constexpr std::uint32_t kFvfTexSize1 = 0x10;
constexpr std::uint32_t kFvfTexSize3 = 0x20;
constexpr std::uint32_t kFvfTexSize4 = 0x30;
constexpr std::uint32_t kFvfTexSizeMask = 0x30;
// Position of two floats (x, y; z is 0) in place of kFvfXyz: the flat vertices of 2-D drawing.
constexpr std::uint32_t kFvfXy = 0x40;
// Texture-coordinate dimension of a layout (0 without coordinates) and its stride in bytes.
std::uint32_t FvfTexDimension(std::uint32_t fvf);
std::uint32_t FvfStride(std::uint32_t fvf);

enum class VertexProcessing : std::uint32_t { Hardware = 0, Mixed = 1, Software = 2 };
enum class SwapEffect : std::uint32_t { Discard = 1, Copy = 2, CopyVSync = 3 };
enum class ResourceType : std::uint32_t { Surface = 1, Texture = 2 };

struct DisplayMode {
  std::uint32_t width = 0, height = 0, refresh = 0;
  Format format = Format::Unknown;
};

struct PresentParameters {
  std::uint32_t backBufferWidth = 0;  // 0: the client area
  std::uint32_t backBufferHeight = 0;
  Format backBufferFormat = Format::Unknown;
  std::uint32_t backBufferCount = 0;
  std::uint32_t multiSampleType = 0;  // samples, 0 = none
  SwapEffect swapEffect = SwapEffect::Discard;
  bool windowed = false;
  bool enableAutoDepthStencil = false;
  Format autoDepthStencilFormat = Format::Unknown;
};

struct Caps {
  std::uint32_t maxTextureWidth = 0;
  std::uint32_t maxTextureHeight = 0;
  std::uint32_t maxAnisotropy = 0;
};

struct SurfaceDesc {
  Format format = Format::Unknown;
  std::uint32_t usage = 0;
  Pool pool = Pool::Default;
  std::uint32_t multiSampleType = 0;
  std::uint32_t width = 0, height = 0;
};

struct LockedRect {
  std::int32_t pitch = 0;
  void* bits = nullptr;
};

// Row-vector matrices: a point is the row (x, y, z, 1) times the matrix.
struct Matrix {
  float m[4][4] = {};
};

enum class TransformState : std::uint32_t { Projection = 0, View = 1, World = 2, Texture0 = 3 };

enum class RenderState : std::uint32_t {
  ZEnable,
  ZWriteEnable,
  ZFunc,
  CullMode,
  Lighting,
  AlphaTestEnable,
  AlphaFunc,
  AlphaRef,
  AlphaBlendEnable,
  SrcBlend,
  DestBlend,
  BlendOp,
  TextureFactor,
  Count
};
const char* RenderStateName(RenderState s);

enum class StageState : std::uint32_t {
  ColorOp,
  ColorArg1,
  ColorArg2,
  AlphaOp,
  AlphaArg1,
  AlphaArg2,
  TexCoordIndex,
  AddressU,
  AddressV,
  AddressW,
  MagFilter,
  MinFilter,
  MipFilter,
  MaxAnisotropy,
  TextureTransformFlags,
  Count
};
const char* StageStateName(StageState s);
constexpr std::uint32_t kMaxStages = 4;

// Values of the states. Comparison, blend factor, blend operation, cull mode, texture
// operation, address mode and filter values start at 1 where 0 means "none".
namespace cmp {
enum : std::uint32_t { Never = 1, Less, Equal, LessEqual, Greater, NotEqual, GreaterEqual, Always };
}
namespace blend {
enum : std::uint32_t {
  Zero = 1,
  One,
  SrcColor,
  InvSrcColor,
  SrcAlpha,
  InvSrcAlpha,
  DestAlpha,
  InvDestAlpha,
  DestColor,
  InvDestColor,
  SrcAlphaSat
};
}
namespace blendop {
enum : std::uint32_t { Add = 1, Subtract, RevSubtract, Min, Max };
}
namespace cull {
// Cw culls the triangles that appear clockwise on the screen.
enum : std::uint32_t { None = 1, Cw, Ccw };
}
namespace top {
enum : std::uint32_t {
  Disable = 1,
  SelectArg1,
  SelectArg2,
  Modulate,
  Modulate2x,
  Modulate4x,
  Add,
  AddSigned,
  Subtract
};
}
namespace targ {
enum : std::uint32_t { Diffuse = 0, Current = 1, Texture = 2, TFactor = 3, SelectMask = 0xF,
                       Complement = 0x10, AlphaReplicate = 0x20 };
}
namespace taddress {
enum : std::uint32_t { Wrap = 1, Mirror, Clamp, Border };
}
namespace tfilter {
enum : std::uint32_t { None = 0, Point, Linear, Anisotropic };
}
namespace ttff {
enum : std::uint32_t { Disable = 0, Count1, Count2, Count3, Count4 };
}

enum class Primitive : std::uint32_t {
  PointList = 1,
  LineList,
  LineStrip,
  TriangleList,
  TriangleStrip,
  TriangleFan
};
// Number of vertices (or indices) a draw of primitiveCount primitives reads.
std::uint32_t PrimitiveVertexCount(Primitive type, std::uint32_t primitiveCount);

// Colours as red, green, blue, alpha in 0..1.
struct Material {
  float diffuse[4] = {};
  float ambient[4] = {};
  float specular[4] = {};
  float emissive[4] = {};
  float power = 0.0f;
};

// Every object is freed by Release.
class Resource {
 public:
  virtual void Release() = 0;

 protected:
  virtual ~Resource() = default;
};

class Surface : public Resource {
 public:
  virtual Result GetDesc(SurfaceDesc& desc) = 0;
  // Only image surfaces (system memory) can be locked.
  virtual Result LockRect(LockedRect& locked, std::uint32_t flags) = 0;
  virtual Result UnlockRect() = 0;
};

class Texture : public Resource {
 public:
  virtual std::uint32_t GetLevelCount() = 0;
  virtual Result GetLevelDesc(std::uint32_t level, SurfaceDesc& desc) = 0;
  // Rows are packed at the given pitch, row 0 first; a lock without kLockReadOnly uploads
  // the level on unlock. Render-target textures cannot be locked.
  virtual Result LockRect(std::uint32_t level, LockedRect& locked, std::uint32_t flags) = 0;
  virtual Result UnlockRect(std::uint32_t level) = 0;
  // Replaces a whole level with pixels from memory, rows `pitch` bytes apart, row 0 first:
  // what a lock, a copy and an unlock do, without the lock's copy of the level. The pitch is
  // at least a row's size and a whole number of pixels (of blocks, for block formats).
  // Render-target textures and locked levels cannot be written.
  virtual Result WriteLevel(std::uint32_t level, const void* bits, std::uint32_t pitch) = 0;
};

class Buffer : public Resource {
 public:
  // size 0 locks from offset to the end. kLockDiscard gives a cleared block; the rest of the
  // buffer keeps no defined contents. kLockNoOverwrite gives the block as it is and keeps the
  // rest.
  virtual Result Lock(std::uint32_t offset, std::uint32_t size, void** data,
                      std::uint32_t flags) = 0;
  virtual Result Unlock() = 0;
  virtual std::uint32_t GetSize() = 0;
  virtual std::uint32_t GetUsage() = 0;
  virtual Pool GetPool() = 0;
};
class VertexBuffer : public Buffer {};
class IndexBuffer : public Buffer {};

class Device : public Resource {
 public:
  // kOk, kErrDeviceLost (cannot be reset yet) or kErrDeviceNotReset (Reset may be called).
  virtual Result TestCooperativeLevel() = 0;
  // Fails while resources of the default pool still exist.
  virtual Result Reset(PresentParameters& params) = 0;
  // Shows the frame; kErrDeviceLost when the device is lost.
  virtual Result Present() = 0;
  virtual Result BeginScene() = 0;
  virtual Result EndScene() = 0;
  // color is ARGB.
  virtual Result Clear(std::uint32_t flags, std::uint32_t color, float z,
                       std::uint32_t stencil) = 0;
  virtual Result SetTransform(TransformState state, const Matrix& matrix) = 0;
  virtual Result SetRenderState(RenderState state, std::uint32_t value) = 0;
  virtual Result SetTextureStageState(std::uint32_t stage, StageState state,
                                      std::uint32_t value) = 0;
  virtual Result SetTexture(std::uint32_t stage, Texture* texture) = 0;
  virtual Result SetMaterial(const Material& material) = 0;
  // 0: no layout.
  virtual Result SetVertexFormat(std::uint32_t fvf) = 0;
  virtual Result SetStreamSource(std::uint32_t stream, VertexBuffer* buffer,
                                 std::uint32_t stride) = 0;
  virtual Result SetIndices(IndexBuffer* buffer, std::uint32_t baseVertex) = 0;

  // levels 0: the full chain.
  virtual Result CreateTexture(std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                               std::uint32_t usage, Format format, Pool pool,
                               Texture** texture) = 0;
  virtual Result CreateVertexBuffer(std::uint32_t size, std::uint32_t usage, std::uint32_t fvf,
                                    Pool pool, VertexBuffer** buffer) = 0;
  virtual Result CreateIndexBuffer(std::uint32_t size, std::uint32_t usage, Format format,
                                   Pool pool, IndexBuffer** buffer) = 0;
  virtual Result CreateDepthStencilSurface(std::uint32_t width, std::uint32_t height,
                                           Format format, std::uint32_t multiSampleType,
                                           Surface** surface) = 0;
  // A lockable surface in system memory.
  virtual Result CreateImageSurface(std::uint32_t width, std::uint32_t height, Format format,
                                    Surface** surface) = 0;
  // The device's own depth buffer (a new reference); kErrNotAvailable without one.
  virtual Result GetDepthStencilSurface(Surface** surface) = 0;
  // The mode of the screen the picture is shown on: the size of the front buffer.
  virtual Result GetDisplayMode(DisplayMode& mode) = 0;
  // Copies the picture of the frame just drawn (the presented one when no frame was drawn
  // since) into an A8R8G8B8 image surface, row 0 at the top of the picture, clipped.
  virtual Result GetFrontBuffer(Surface* destination) = 0;

  virtual Result DrawPrimitive(Primitive type, std::uint32_t startVertex,
                               std::uint32_t primitiveCount) = 0;
  virtual Result DrawIndexedPrimitive(Primitive type, std::uint32_t minIndex,
                                      std::uint32_t vertexCount, std::uint32_t startIndex,
                                      std::uint32_t primitiveCount) = 0;
  virtual Result DrawPrimitiveUP(Primitive type, std::uint32_t primitiveCount,
                                 const void* vertices, std::uint32_t stride) = 0;
  virtual Result DrawIndexedPrimitiveUP(Primitive type, std::uint32_t minIndex,
                                        std::uint32_t vertexCount, std::uint32_t primitiveCount,
                                        const std::uint16_t* indices, const void* vertices,
                                        std::uint32_t stride) = 0;

  // Events of the window that cost a full-screen device its display: a display change
  // loses the device until it is reset; a full-screen device that loses the focus stays
  // lost until the focus comes back.
  virtual void NotifyDisplayChange() = 0;
  virtual void NotifyFocus(bool active) = 0;
};

// The device factory of the one adapter.
class System : public Resource {
 public:
  virtual Result GetAdapterDisplayMode(DisplayMode& mode) = 0;
  virtual Result CheckDeviceFormat(Format displayFormat, std::uint32_t usage, ResourceType type,
                                   Format format) = 0;
  virtual Result CheckDepthStencilMatch(Format displayFormat, Format renderTargetFormat,
                                        Format depthFormat) = 0;
  virtual Result CheckDeviceMultiSampleType(Format format, bool windowed,
                                            std::uint32_t samples) = 0;
  virtual Result GetDeviceCaps(Caps& caps) = 0;
  virtual Result CreateDevice(VertexProcessing processing, PresentParameters& params,
                              Device** device) = 0;
};

// Makes the system of the chosen back end; null when none can be made.
System* CreateSystem();
// Chooses the back end that CreateSystem uses; an empty function restores OpenGL.
void SetSystemFactory(std::function<System*()> factory);
// The OpenGL back end on the window's context (platform/window.h).
System* CreateGLSystem();

}  // namespace plat::gfx
