#pragma once
// The renderer: the engine's only path to the graphics device. It creates the device for
// the game window with fall-backs, survives device loss and reset, caches the render states
// so that a setter reaches the device only when a value changes, holds the projection, view
// and world transforms, and draws from memory or from buffers while counting what it drew.
#include <memory>
#include <vector>

#include "engine/core/types.h"
#include "engine/files/image.h"
#include "platform/gfx.h"

namespace vek {

// 4x4 float matrices are 16 floats, row after row, for row vectors (a point is the row
// (x, y, z, 1) times the matrix).
// out = a x b.
void MatrixMultiply(f32* out, const f32* a, const f32* b);
// The same product through a temporary, so that the destination may be an operand.
void MatrixMultiplyInPlace(f32* destination, const f32* a, const f32* b);
void MatrixIdentity(f32* out);

// The layout of a vertex: position (3 floats, or 2 when flat), normal (3 floats), colour
// (ARGB word) and texture coordinates of dimension 0..4, in that order.
struct cVertexFormat {
  bool position = false;
  bool normal = false;
  bool color = false;
  i32 texDim = 0;
  bool flat = false;  // the position is x, y only (z = 0): the 2-D vertices
  bool operator==(const cVertexFormat&) const = default;
};
u32 VertexFormatStride(const cVertexFormat& format);

// Primitive types of the draws.
enum ePrimitive : u32 {
  e_PrimPointList = 0,
  e_PrimLineList = 1,
  e_PrimLineStrip = 2,
  e_PrimTriangleList = 3,
  e_PrimTriangleStrip = 4,
  e_PrimTriangleFan = 5,
};

// Transform kinds of SetTransform.
enum eTransform : u32 {
  e_TransformProjection = 0,
  e_TransformView = 1,
  e_TransformWorld = 2,
  e_TransformTexture = 3,
};

// The device texture record, owned by a texture.
struct cDeviceTexture {
  u32 width = 0;
  u32 height = 0;
  u32 depth = 0;
  PixelFormatInfo format{};
  u32 filter = 0;   // 0..5, see cRender::SetTexture
  u32 address = 1;  // plat::gfx::taddress
  plat::gfx::Texture* texture = nullptr;
};

// What CreateTextureContext is asked for.
struct cTextureDesc {
  u32 width = 0;
  u32 height = 0;
  u32 depth = 1;
  PixelFormatInfo format{};
  u32 filter = 0;
  u32 address = 1;
};

// A device buffer with its usage, size and, while the device is away, a copy of its bytes.
struct cBufferRecord {
  plat::gfx::Buffer* buffer = nullptr;
  u32 usage = 0;  // kUsageDynamic marks a buffer of the default pool
  u32 size = 0;
  std::vector<u8>* copy = nullptr;
};

class cRender {
 public:
  // The start-up settings the window hands over.
  struct cSettings {
    u32 colorDepth = 32;  // not read by the renderer
    bool depthBuffer = false;
    bool stencil = false;
    u32 antiAlias = 0;  // samples, 0 = off
    bool waitVSync = false;
  };

  // What stands for the device: the system, the device and its loss, the present
  // parameters, the capabilities, the extra depth-stencil surface and the clear values.
  struct cDeviceHolder {
    plat::gfx::System* system = nullptr;
    plat::gfx::Device* device = nullptr;
    u32 lost = 0;
    plat::gfx::PresentParameters params;
    plat::gfx::Caps caps;
    plat::gfx::Surface* depthStencil = nullptr;
    u32 clearColor = 0;  // ARGB
    u32 clearStencil = 0;
  };

  cRender();
  ~cRender();
  cRender(const cRender&) = delete;
  cRender& operator=(const cRender&) = delete;

  // 0 success, 1 display mode unreadable, 2 no device system, 3 no device.
  i32 Init(const cSettings& settings);
  void Free();

  // 0 drawing may start; 3 no device; 5 device still lost; 6 frame skipped.
  i32 Begin();
  void End();
  void SwapBuffers();
  // Clears the back buffer with the stored clear colour and stencil value.
  void Clear(u32 flags, f32 z);

  void SetClearColor(f32 r, f32 g, f32 b, f32 a);
  void SetTransform(u32 kind, const f32* matrix);
  // World x view, in one static matrix that the next call overwrites.
  const f32* GetWorldView();

  // The cached states.
  void SetAlphaTest(u32 function, f32 reference);
  void SetAlphaBlend(u32 source, u32 destination);
  // Binds the texture with its own filter; `nearest` samples the nearest texel instead, for
  // drawing that puts each texel on the centre of one pixel (see UnitPixels), where every
  // filter gives the same picture and nearest costs a software renderer the least.
  void SetTexture(cDeviceTexture* context, bool nearest = false);
  // Whether flat drawing meets the pixels one to one: world, view and projection together move
  // a unit of x and of y by exactly one pixel of the viewport (either way round, not turned)
  // and stage 0's texture coordinates are untransformed. *scale is then +-1 per axis and
  // *origin the pixel position (from the viewport's bottom-left) where (0, 0) lands.
  bool UnitPixels(f32 scale[2], f32 origin[2]) const;
  // How flat drawing meets the viewport's pixels: world, view and projection together scale
  // x and y each on its own (not turned, w kept) by *scale pixels a unit, (0, 0) landing on
  // *origin (pixels from the viewport's bottom-left). False for any other transform.
  bool FlatPixels(f32 scale[2], f32 origin[2]) const;
  void SetStageOps(u32 colorOp, u32 colorArg1, u32 colorArg2, u32 alphaOp, u32 alphaArg1,
                   u32 alphaArg2);
  void SetTextureFactor(f32 r, f32 g, f32 b, f32 a);
  void SetVertexFormat(const cVertexFormat& format);
  void SetVertexBuffer(cBufferRecord* record);
  // Binds an index buffer for DrawStreamPrimitives (indices count from base).
  void SetIndexBuffer(cBufferRecord* record, u16 base = 0);
  void ResetIndices();
  void SetColor(f32 r, f32 g, f32 b, f32 a);
  // States that bypass the cache (the 2-D pass sets LIGHTING and CULLMODE directly).
  void SetRenderState(plat::gfx::RenderState state, u32 value);

  void DrawPrimitives(u32 type, u32 vertexCount, u32 primitiveCount, const void* vertices,
                      const u16* indices);
  void DrawStreamPrimitives(u32 primitiveCount, u32 vertexCount);

  cDeviceTexture* CreateTextureContext(const cTextureDesc* desc);
  cDeviceTexture* CreateRenderTargetContext(u32 width, u32 height);
  // Releases the device texture and the record; the stage that has it bound forgets it.
  void DeleteTextureContext(cDeviceTexture* context);

  bool DumpCaps();
  // The client area of the frame just drawn: 24-bit RGB, rows from the bottom to the top;
  // rect receives {x, y, w, h}. Null when it cannot be read.
  std::unique_ptr<u8[]> ReadFrontBuffer(i32 rect[4]);

  // Buffer records: made and deleted by the buffer manager, kept here for Free and Init.
  void AddVertexBuffer(cBufferRecord* record) { m_VertexBuffers.push_back(record); }
  void AddIndexBuffer(cBufferRecord* record) { m_IndexBuffers.push_back(record); }
  void RemoveBuffer(cBufferRecord* record);
  // Whether the record is in one of the renderer's lists.
  bool HasBuffer(const cBufferRecord* record) const;
  // Makes the record's device buffer (when a device exists) with its size and usage.
  bool CreateDeviceBuffer(cBufferRecord* record, bool index);
  // A display change marks the device lost; a full-screen device also loses it with the
  // focus (the next present reports it).
  void OnDisplayChange();
  void OnFocusChange(bool active);

  // Accessors.
  cDeviceHolder* GetHolder() { return &m_Holder; }
  plat::gfx::Device* GetDevice() const { return m_Holder.device; }
  const cSettings& GetSettings() const { return m_Settings; }
  const i32* GetViewport() const { return m_Viewport; }
  void SetViewport(i32 x, i32 y, i32 width, i32 height);
  i32 GetWidth() const { return m_Viewport[2]; }
  i32 GetHeight() const { return m_Viewport[3]; }
  const f32* GetProjection() const { return m_Projection; }
  const f32* GetView() const { return m_View; }
  const f32* GetWorld() const { return m_World; }
  u32 GetFrameVertices() const { return m_LastVertices; }
  u32 GetFramePrimitives() const { return m_LastPrimitives; }
  u32 GetFrameCalls() const { return m_LastCalls; }
  u32 GetMaxTextureWidth() const { return m_Holder.caps.maxTextureWidth; }
  u32 GetMaxTextureHeight() const { return m_Holder.caps.maxTextureHeight; }
  u32 GetBackBufferFormat() const { return static_cast<u32>(m_Holder.params.backBufferFormat); }

 private:
  struct cStage {
    cDeviceTexture* texture = nullptr;
    u32 filter = 0;
    bool nearest = false;  // bound with the nearest texel's filter in place of its own
    bool textureIdentity = true;  // the texture transform is the identity
    u32 address = 1;
    i32 texCoordSource = -1;
    u32 ops[6] = {};
  };

  i32 FillPresentParameters();
  void SetHardwareDefaults();
  void SetSoftwareDefaults();
  i32 RecreateDepthStencil();
  void ReleaseDynamicBuffers();
  void RecreateDynamicBuffers();
  void RestoreBuffers(std::vector<cBufferRecord*>& list, bool index);
  void SaveBuffers(std::vector<cBufferRecord*>& list);
  void Count(u32 vertices, u32 primitives);

  cSettings m_Settings;
  cDeviceHolder m_Holder;
  i32 m_Viewport[4] = {0, 0, 0, 0};
  f32 m_Projection[16] = {};
  f32 m_View[16] = {};
  f32 m_World[16] = {};
  cVertexFormat m_VertexFormat;
  cBufferRecord* m_VertexBuffer = nullptr;
  cBufferRecord* m_IndexBuffer = nullptr;
  u16 m_IndexBase = 0;
  bool m_AlphaTest = false;
  u32 m_AlphaFunction = 0;
  f32 m_AlphaReference = 0.0f;
  bool m_AlphaBlend = false;
  u32 m_BlendSource = 0;
  u32 m_BlendDestination = 0;
  u32 m_BlendOp = 0;
  u32 m_CurrentStage = 0;
  cStage m_Stages[4];
  std::vector<cBufferRecord*> m_FreeOnly;
  std::vector<cBufferRecord*> m_VertexBuffers;
  std::vector<cBufferRecord*> m_IndexBuffers;
  u32 m_Vertices = 0, m_Primitives = 0, m_Calls = 0;
  u32 m_LastVertices = 0, m_LastPrimitives = 0, m_LastCalls = 0;
};

// The one renderer.
extern cRender* g_pRender;
// Makes the renderer; a second call only warns "Already exist".
void CreateRender();
// Deletes the renderer (log "Ok").
void DestroyRender();

}  // namespace vek
