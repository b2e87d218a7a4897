// The OpenGL device. A frame whose picture fills the window is drawn straight into the
// window's back buffer; otherwise (letterboxed or scaled full screen, multisampling) and from
// the first draw that needs the depth buffer on, it is drawn into an offscreen framebuffer of
// the back-buffer size (made when first needed) and shown by one scaled copy into the
// picture's place. The
// fixed-function pipeline (transforms, vertex colour or material, one texture stage, alpha
// test) is a shader program per combination of the states that change the shader code,
// compiled on first use; the 2-D pass's programs are compiled with the device.
#include <algorithm>
#include <cstring>
#include <deque>
#include <unordered_map>

#include "platform/gfx_gl.h"
#include "platform/gfx_loss.h"
#include "platform/window.h"

namespace plat::gfx::gl {
namespace {

enum Attr : GLuint { kPos = 0, kNormal = 1, kColor = 2, kTex = 3 };

GLenum CompareOf(std::uint32_t v) {
  switch (v) {
    case cmp::Never: return GL_NEVER;
    case cmp::Less: return GL_LESS;
    case cmp::Equal: return GL_EQUAL;
    case cmp::LessEqual: return GL_LEQUAL;
    case cmp::Greater: return GL_GREATER;
    case cmp::NotEqual: return GL_NOTEQUAL;
    case cmp::GreaterEqual: return GL_GEQUAL;
    default: return GL_ALWAYS;
  }
}

GLenum BlendOf(std::uint32_t v) {
  switch (v) {
    case blend::Zero: return GL_ZERO;
    case blend::SrcColor: return GL_SRC_COLOR;
    case blend::InvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
    case blend::SrcAlpha: return GL_SRC_ALPHA;
    case blend::InvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case blend::DestAlpha: return GL_DST_ALPHA;
    case blend::InvDestAlpha: return GL_ONE_MINUS_DST_ALPHA;
    case blend::DestColor: return GL_DST_COLOR;
    case blend::InvDestColor: return GL_ONE_MINUS_DST_COLOR;
    case blend::SrcAlphaSat: return GL_SRC_ALPHA_SATURATE;
    default: return GL_ONE;
  }
}

GLenum BlendOpOf(std::uint32_t v) {
  switch (v) {
    case blendop::Subtract: return GL_FUNC_SUBTRACT;
    case blendop::RevSubtract: return GL_FUNC_REVERSE_SUBTRACT;
    case blendop::Min: return GL_MIN;
    case blendop::Max: return GL_MAX;
    default: return GL_FUNC_ADD;
  }
}

GLenum ModeOf(Primitive p) {
  switch (p) {
    case Primitive::PointList: return GL_POINTS;
    case Primitive::LineList: return GL_LINES;
    case Primitive::LineStrip: return GL_LINE_STRIP;
    case Primitive::TriangleList: return GL_TRIANGLES;
    case Primitive::TriangleStrip: return GL_TRIANGLE_STRIP;
    case Primitive::TriangleFan: return GL_TRIANGLE_FAN;
  }
  return GL_TRIANGLES;
}

GLint WrapOf(std::uint32_t v) {
  switch (v) {
    case taddress::Mirror: return GL_MIRRORED_REPEAT;
    case taddress::Clamp: return GL_CLAMP_TO_EDGE;
    case taddress::Border: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
  }
}

GLenum DepthStorageOf(Format f) {
  switch (f) {
    case Format::D16: return GL_DEPTH_COMPONENT16;
    case Format::D24X8: return GL_DEPTH_COMPONENT24;
    case Format::D24S8: return GL_DEPTH24_STENCIL8;
    default: return 0;
  }
}

Matrix Identity() {
  Matrix m;
  for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
  return m;
}

void ColorToFloats(std::uint32_t argb, float out[4]) {
  out[0] = ((argb >> 16) & 0xFF) / 255.0f;
  out[1] = ((argb >> 8) & 0xFF) / 255.0f;
  out[2] = (argb & 0xFF) / 255.0f;
  out[3] = ((argb >> 24) & 0xFF) / 255.0f;
}

// A linked program and the places of its uniforms.
struct Program {
  GLuint name = 0;
  GLint world = -1, view = -1, proj = -1, texMatrix = -1, matDiffuse = -1, matEmissive = -1, tfactor = -1,
        alphaRef = -1;
};

// The 2-D pass's vertices (position, colour, two texture coordinates) drawn unlit with stage
// 0 modulating texture and diffuse, with and without a texture: compiled with the device.
const std::uint32_t kStage2D[6] = {top::Modulate, targ::Texture, targ::Current,
                                   top::Modulate, targ::Texture, targ::Current};

class GLDevice final : public Device {
 public:
  explicit GLDevice(SharedPtr shared) : m_S(std::move(shared)), m_Gl(m_S->gl) {}

  bool Init(PresentParameters& params) {
    for (bool texture : {true, false}) {
      const ProgramKey key = ProgramKey::Of(kFvfXy | kFvfDiffuse | kFvfTex1, false, false, texture, kStage2D, 0);
      if (!ProgramFor(key)) return false;
    }
    m_Gl.GenVertexArrays(1, &m_Vao);
    m_Gl.BindVertexArray(m_Vao);
    m_Gl.GenBuffers(1, &m_StreamVbo);
    m_Gl.GenBuffers(1, &m_StreamIbo);
    if (!BuildTargets(params)) return false;
    m_Params = params;
    SetDefaults();
    return true;
  }

  void Release() override {
    DropFrameFences();
    DestroyTargets();
    if (m_StreamVbo) m_Gl.DeleteBuffers(1, &m_StreamVbo);
    if (m_StreamIbo) m_Gl.DeleteBuffers(1, &m_StreamIbo);
    if (m_Vao) m_Gl.DeleteVertexArrays(1, &m_Vao);
    m_Gl.UseProgram(0);
    for (auto& [key, program] : m_Programs) m_Gl.DeleteProgram(program.name);
    for (auto& [key, shader] : m_VertexShaders) m_Gl.DeleteShader(shader);
    m_Gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
    delete this;
  }

  Result TestCooperativeLevel() override { return m_Loss.Test(); }

  Result Reset(PresentParameters& params) override {
    if (m_S->liveDefault > 0) return kErrInvalidCall;
    if (!m_Loss.CanReset()) return kErrDeviceLost;
    DestroyTargets();
    if (!BuildTargets(params)) return kErrNotAvailable;
    m_Params = params;
    SetDefaults();
    m_Loss.ResetDone();
    return kOk;
  }

  Result Present() override {
    if (m_Loss.Lost()) return kErrDeviceLost;
    plat::Window& window = plat::GetWindow();
    m_DrawnSincePresent = false;
    if (m_Direct) {
      window.GLSwap();
      LimitFramesAhead();
      return kOk;
    }
    int dw = 0, dh = 0;
    if (!window.DrawableSize(dw, dh) || dw <= 0 || dh <= 0) return kOk;
    plat::Rect r = window.PictureRect();
    GLuint source = ResolvedFramebuffer();
    m_Gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(0, 0, dw, dh);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    m_Gl.BindFramebuffer(GL_READ_FRAMEBUFFER, source);
    const GLint w = static_cast<GLint>(m_Width), h = static_cast<GLint>(m_Height);
    // The picture rectangle counts from the top; OpenGL's window rows count from the bottom.
    const GLint y0 = dh - (r.y + r.h);
    m_Gl.BlitFramebuffer(0, 0, w, h, r.x, y0, r.x + r.w, y0 + r.h, GL_COLOR_BUFFER_BIT,
                         (r.w == w && r.h == h) ? GL_NEAREST : GL_LINEAR);
    window.GLSwap();
    LimitFramesAhead();
    m_Gl.BindFramebuffer(GL_FRAMEBUFFER, m_BackFbo);
    return kOk;
  }

  // A driver queues the frames it is handed and keeps each one's commands and buffer storage
  // until it has drawn it. Frames handed over faster than they are drawn (no retrace wait, no
  // pacing: a software renderer given frames as fast as the game makes them) would pile up
  // without a bound short of the driver's own, gigabytes deep; the present waits for the
  // frame kFramesAhead back instead, as a retrace wait would.
  static constexpr std::size_t kFramesAhead = 2;
  void LimitFramesAhead() {
    if (GLsync fence = m_Gl.FenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0)) m_FrameFences.push_back(fence);
    while (m_FrameFences.size() > kFramesAhead) {
      // A second at most: a frame that never finishes (a lost context) does not hang the game.
      m_Gl.ClientWaitSync(m_FrameFences.front(), GL_SYNC_FLUSH_COMMANDS_BIT, 1000000000ull);
      m_Gl.DeleteSync(m_FrameFences.front());
      m_FrameFences.pop_front();
    }
  }
  void DropFrameFences() {
    for (GLsync fence : m_FrameFences) m_Gl.DeleteSync(fence);
    m_FrameFences.clear();
  }

  Result BeginScene() override {
    if (m_InScene) return kErrInvalidCall;
    m_InScene = true;
    m_Direct = PictureFillsWindow();
    m_DrawnSincePresent = true;
    m_Gl.BindFramebuffer(GL_FRAMEBUFFER, DrawTarget());
    return kOk;
  }
  Result EndScene() override {
    if (!m_InScene) return kErrInvalidCall;
    m_InScene = false;
    return kOk;
  }

  Result Clear(std::uint32_t flags, std::uint32_t color, float z, std::uint32_t stencil) override {
    const bool hasDepth = m_Params.enableAutoDepthStencil;
    const bool hasStencil = hasDepth && m_Params.autoDepthStencilFormat == Format::D24S8;
    if (((flags & kClearZBuffer) && !hasDepth) || ((flags & kClearStencil) && !hasStencil))
      return kErrInvalidCall;
    if (!m_InScene) m_Direct = PictureFillsWindow();
    // Depth and stencil are cleared when a draw first tests depth: a frame that never does
    // (every 2-D frame) stays in the window and costs no clear of buffers it does not read.
    if (flags & kClearZBuffer) {
      m_PendingClear |= GL_DEPTH_BUFFER_BIT;
      m_PendingDepth = z;
    }
    if (flags & kClearStencil) {
      m_PendingClear |= GL_STENCIL_BUFFER_BIT;
      m_PendingStencil = stencil;
    }
    if (flags & kClearTarget) {
      m_Gl.BindFramebuffer(GL_FRAMEBUFFER, DrawTarget());
      glViewport(0, 0, static_cast<GLsizei>(m_Width), static_cast<GLsizei>(m_Height));
      float c[4];
      ColorToFloats(color, c);
      glClearColor(c[0], c[1], c[2], c[3]);
      glClear(GL_COLOR_BUFFER_BIT);
    }
    return kOk;
  }

  // The depth and stencil clears asked for since the buffers were last read, done now that a
  // draw tests depth (in the offscreen buffer, which holds them).
  void ApplyPendingClear() {
    if (!m_PendingClear || !EnsureTargets()) return;
    m_Gl.BindFramebuffer(GL_FRAMEBUFFER, m_BackFbo);
    if (m_PendingClear & GL_DEPTH_BUFFER_BIT) {
      glClearDepth(m_PendingDepth);
      glDepthMask(GL_TRUE);
      m_Dirty = true;  // the depth mask follows the states again at the next draw
    }
    if (m_PendingClear & GL_STENCIL_BUFFER_BIT) glClearStencil(static_cast<GLint>(m_PendingStencil));
    glClear(m_PendingClear);
    m_PendingClear = 0;
  }

  Result SetTransform(TransformState state, const Matrix& matrix) override {
    auto i = static_cast<std::uint32_t>(state);
    if (i >= 3 + kMaxStages) return kErrInvalidCall;
    m_Transforms[i] = matrix;
    m_Dirty = true;
    return kOk;
  }
  Result SetRenderState(RenderState state, std::uint32_t value) override {
    auto i = static_cast<std::uint32_t>(state);
    if (i >= static_cast<std::uint32_t>(RenderState::Count)) return kErrInvalidCall;
    m_RS[i] = value;
    m_Dirty = true;
    return kOk;
  }
  Result SetTextureStageState(std::uint32_t stage, StageState state, std::uint32_t value) override {
    auto i = static_cast<std::uint32_t>(state);
    if (stage >= kMaxStages || i >= static_cast<std::uint32_t>(StageState::Count)) return kErrInvalidCall;
    m_TSS[stage][i] = value;
    m_Dirty = true;
    return kOk;
  }
  Result SetTexture(std::uint32_t stage, Texture* texture) override {
    if (stage >= kMaxStages) return kErrInvalidCall;
    m_S->boundTextures[stage] = static_cast<GLTexture*>(texture);
    m_Dirty = true;
    return kOk;
  }
  Result SetMaterial(const Material& material) override {
    m_Material = material;
    m_Dirty = true;
    return kOk;
  }
  Result SetVertexFormat(std::uint32_t fvf) override {
    m_Fvf = fvf;
    m_Dirty = true;
    return kOk;
  }
  Result SetStreamSource(std::uint32_t stream, VertexBuffer* buffer, std::uint32_t stride) override {
    if (stream != 0) return kErrInvalidCall;
    m_S->boundStream = buffer;
    m_StreamStride = stride;
    return kOk;
  }
  Result SetIndices(IndexBuffer* buffer, std::uint32_t baseVertex) override {
    m_S->boundIndices = buffer;
    m_BaseVertex = baseVertex;
    return kOk;
  }

  Result CreateTexture(std::uint32_t w, std::uint32_t h, std::uint32_t levels, std::uint32_t usage,
                       Format format, Pool pool, Texture** texture) override {
    if (!texture) return kErrInvalidCall;
    *texture = nullptr;
    if ((usage & kUsageRenderTarget) && pool != Pool::Default) return kErrInvalidCall;
    auto* t = new GLTexture(m_S, w, h, levels, usage, format, pool);
    if (!t->Valid()) {
      t->Release();
      return kErrNotAvailable;
    }
    *texture = t;
    return kOk;
  }
  Result CreateVertexBuffer(std::uint32_t size, std::uint32_t usage, std::uint32_t, Pool pool,
                            VertexBuffer** buffer) override {
    if (!buffer || !size) return kErrInvalidCall;
    *buffer = new GLVertexBuffer(m_S, GL_ARRAY_BUFFER, size, usage, pool);
    return kOk;
  }
  Result CreateIndexBuffer(std::uint32_t size, std::uint32_t usage, Format format, Pool pool,
                           IndexBuffer** buffer) override {
    if (!buffer || !size || format != Format::Index16) return kErrInvalidCall;
    *buffer = new GLIndexBuffer(m_S, GL_ELEMENT_ARRAY_BUFFER, size, usage, pool);
    return kOk;
  }
  Result CreateDepthStencilSurface(std::uint32_t w, std::uint32_t h, Format format, std::uint32_t ms,
                                   Surface** surface) override {
    const GLenum storage = DepthStorageOf(format);
    if (!surface || !storage || !w || !h) return kErrInvalidCall;
    GLuint rb = 0;
    m_Gl.GenRenderbuffers(1, &rb);
    m_Gl.BindRenderbuffer(GL_RENDERBUFFER, rb);
    m_Gl.RenderbufferStorageMultisample(GL_RENDERBUFFER, static_cast<GLsizei>(ms), storage,
                                        static_cast<GLsizei>(w), static_cast<GLsizei>(h));
    *surface = new GLSurface(m_S, SurfaceDesc{format, kUsageDepthStencil, Pool::Default, ms, w, h}, rb);
    return kOk;
  }
  Result CreateImageSurface(std::uint32_t w, std::uint32_t h, Format format, Surface** surface) override {
    if (!surface || !w || !h || IsBlockFormat(format) || !FormatBytes(format)) return kErrInvalidCall;
    *surface = new GLSurface(m_S, SurfaceDesc{format, 0, Pool::SystemMem, 0, w, h}, 0);
    return kOk;
  }
  Result GetDepthStencilSurface(Surface** surface) override {
    if (!surface) return kErrInvalidCall;
    if (!m_Params.enableAutoDepthStencil) return kErrNotAvailable;
    *surface = new GLSurface(m_S,
                             SurfaceDesc{m_Params.autoDepthStencilFormat, kUsageDepthStencil, Pool::Default,
                                         m_Params.multiSampleType, m_Width, m_Height},
                             0);
    return kOk;
  }
  Result GetDisplayMode(DisplayMode& mode) override {
    mode = DisplayMode{m_Width, m_Height, 60, Format::X8R8G8B8};
    return kOk;
  }
  Result GetFrontBuffer(Surface* destination) override {
    auto* dest = static_cast<GLSurface*>(destination);
    if (!dest || dest->Desc().pool != Pool::SystemMem || dest->Desc().format != Format::A8R8G8B8)
      return kErrInvalidCall;
    const std::uint32_t w = std::min(m_Width, dest->Desc().width);
    const std::uint32_t h = std::min(m_Height, dest->Desc().height);
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(w) * h * 4);
    if (m_Direct) {
      // The window's own buffers: the back one while its frame is not shown yet, else the
      // front one (a context without one keeps the picture in the back buffer).
      m_Gl.BindFramebuffer(GL_READ_FRAMEBUFFER, 0);
      while (glGetError() != GL_NO_ERROR) {
      }
      glReadBuffer(m_DrawnSincePresent ? GL_BACK : GL_FRONT);
      if (glGetError() != GL_NO_ERROR) glReadBuffer(GL_BACK);
    } else {
      m_Gl.BindFramebuffer(GL_READ_FRAMEBUFFER, ResolvedFramebuffer());
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // The picture's top rows: OpenGL reads from the bottom.
    glReadPixels(0, static_cast<GLint>(m_Height - h), static_cast<GLsizei>(w), static_cast<GLsizei>(h),
                 GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
    if (m_Direct) glReadBuffer(GL_BACK);
    m_Gl.BindFramebuffer(GL_FRAMEBUFFER, DrawTarget());
    const std::size_t pitch = static_cast<std::size_t>(dest->Desc().width) * 4;
    for (std::uint32_t y = 0; y < h; ++y)
      std::memcpy(dest->Bits().data() + y * pitch, rows.data() + static_cast<std::size_t>(h - 1 - y) * w * 4,
                  static_cast<std::size_t>(w) * 4);
    return kOk;
  }

  Result DrawPrimitive(Primitive type, std::uint32_t start, std::uint32_t count) override {
    auto* vb = static_cast<GLVertexBuffer*>(m_S->boundStream);
    if (!vb || !m_StreamStride) return kErrInvalidCall;
    if (!Prepare(vb->Name(), 0, m_StreamStride)) return kErrInvalidCall;
    glDrawArrays(ModeOf(type), static_cast<GLint>(start), static_cast<GLsizei>(PrimitiveVertexCount(type, count)));
    return kOk;
  }
  Result DrawIndexedPrimitive(Primitive type, std::uint32_t, std::uint32_t, std::uint32_t startIndex,
                              std::uint32_t count) override {
    auto* vb = static_cast<GLVertexBuffer*>(m_S->boundStream);
    auto* ib = static_cast<GLIndexBuffer*>(m_S->boundIndices);
    if (!vb || !ib || !m_StreamStride) return kErrInvalidCall;
    if (!Prepare(vb->Name(), 0, m_StreamStride)) return kErrInvalidCall;
    m_Gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, ib->Name());
    m_Gl.DrawElementsBaseVertex(ModeOf(type), static_cast<GLsizei>(PrimitiveVertexCount(type, count)),
                                GL_UNSIGNED_SHORT,
                                reinterpret_cast<const void*>(static_cast<std::uintptr_t>(startIndex) * 2),
                                static_cast<GLint>(m_BaseVertex));
    return kOk;
  }
  Result DrawPrimitiveUP(Primitive type, std::uint32_t count, const void* vertices, std::uint32_t stride) override {
    const std::uint32_t n = PrimitiveVertexCount(type, count);
    if (!vertices || !stride || !n) return kErrInvalidCall;
    m_Gl.BindBuffer(GL_ARRAY_BUFFER, m_StreamVbo);
    m_Gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(n) * stride, vertices, GL_STREAM_DRAW);
    if (!Prepare(m_StreamVbo, 0, stride)) return kErrInvalidCall;
    glDrawArrays(ModeOf(type), 0, static_cast<GLsizei>(n));
    UnbindAfterDrawFromMemory();
    return kOk;
  }
  Result DrawIndexedPrimitiveUP(Primitive type, std::uint32_t minIndex, std::uint32_t vertexCount,
                                std::uint32_t count, const std::uint16_t* indices, const void* vertices,
                                std::uint32_t stride) override {
    const std::uint32_t n = PrimitiveVertexCount(type, count);
    if (!vertices || !indices || !stride || !n || !vertexCount) return kErrInvalidCall;
    m_Gl.BindBuffer(GL_ARRAY_BUFFER, m_StreamVbo);
    m_Gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(minIndex + vertexCount) * stride, vertices,
                    GL_STREAM_DRAW);
    if (!Prepare(m_StreamVbo, 0, stride)) return kErrInvalidCall;
    m_Gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_StreamIbo);
    m_Gl.BufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(n) * 2, indices, GL_STREAM_DRAW);
    glDrawElements(ModeOf(type), static_cast<GLsizei>(n), GL_UNSIGNED_SHORT, nullptr);
    UnbindAfterDrawFromMemory();
    return kOk;
  }

  void NotifyDisplayChange() override { m_Loss.DisplayChange(); }
  void NotifyFocus(bool active) override { m_Loss.Focus(active, m_Params.windowed); }

 private:
  ~GLDevice() override = default;

  // A draw from memory leaves no vertex or index buffer bound.
  void UnbindAfterDrawFromMemory() {
    m_S->boundStream = nullptr;
    m_S->boundIndices = nullptr;
    m_StreamStride = 0;
  }

  GLuint Compile(GLenum kind, const std::string& text) {
    const char* source = text.c_str();
    GLuint shader = m_Gl.CreateShader(kind);
    m_Gl.ShaderSource(shader, 1, &source, nullptr);
    m_Gl.CompileShader(shader);
    GLint ok = 0;
    m_Gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
      m_Gl.DeleteShader(shader);
      return 0;
    }
    return shader;
  }

  // The program of a state combination, compiled and linked the first time it is asked
  // for; null when it cannot be built. Vertex shaders are shared between the programs
  // whose vertex states agree.
  const Program* ProgramFor(const ProgramKey& key) {
    const std::uint64_t packed = key.Pack();
    if (auto it = m_Programs.find(packed); it != m_Programs.end()) return &it->second;
    ProgramKey vertexOnly;
    vertexOnly.color = key.color;
    vertexOnly.lighting = key.lighting;
    vertexOnly.texDim = key.texDim;
    vertexOnly.texTransform = key.texTransform;
    GLuint& vs = m_VertexShaders[vertexOnly.Pack()];
    if (!vs) vs = Compile(GL_VERTEX_SHADER, VertexShaderSource(key));
    const GLuint fs = Compile(GL_FRAGMENT_SHADER, FragmentShaderSource(key));
    if (!vs || !fs) {
      if (fs) m_Gl.DeleteShader(fs);
      return nullptr;
    }
    Program p;
    p.name = m_Gl.CreateProgram();
    m_Gl.AttachShader(p.name, vs);
    m_Gl.AttachShader(p.name, fs);
    m_Gl.BindAttribLocation(p.name, kPos, "aPos");
    m_Gl.BindAttribLocation(p.name, kColor, "aColor");
    m_Gl.BindAttribLocation(p.name, kTex, "aTex");
    m_Gl.BindFragDataLocation(p.name, 0, "fragColor");
    m_Gl.LinkProgram(p.name);
    m_Gl.DetachShader(p.name, vs);
    m_Gl.DeleteShader(fs);
    GLint ok = 0;
    m_Gl.GetProgramiv(p.name, GL_LINK_STATUS, &ok);
    if (!ok) {
      m_Gl.DeleteProgram(p.name);
      return nullptr;
    }
    auto loc = [&](const char* name) { return m_Gl.GetUniformLocation(p.name, name); };
    p.world = loc("uWorld");
    p.view = loc("uView");
    p.proj = loc("uProj");
    p.texMatrix = loc("uTexMatrix");
    p.matDiffuse = loc("uMatDiffuse");
    p.matEmissive = loc("uMatEmissive");
    p.tfactor = loc("uTFactor");
    p.alphaRef = loc("uAlphaRef");
    m_Gl.UseProgram(p.name);
    m_Gl.Uniform1i(loc("uTexture"), 0);
    m_Current = nullptr;  // the program in use changed
    return &m_Programs.emplace(packed, p).first->second;
  }

  // The offscreen buffers' size and kind: the back buffer (multisampled when asked), its depth
  // buffer and, with multisampling, the single-sampled copy that is shown and read. They are
  // made when a frame first needs them (see EnsureTargets): a game whose frames all go straight
  // into the window never holds them.
  bool BuildTargets(const PresentParameters& p) {
    std::uint32_t w = p.backBufferWidth, h = p.backBufferHeight;
    if (!w || !h) {
      int cw = 0, ch = 0;
      plat::GetWindow().ClientSize(cw, ch);
      w = static_cast<std::uint32_t>(std::max(1, cw));
      h = static_cast<std::uint32_t>(std::max(1, ch));
    }
    if (p.multiSampleType && static_cast<GLint>(p.multiSampleType) > m_S->maxSamples) return false;
    if (p.enableAutoDepthStencil && !DepthStorageOf(p.autoDepthStencilFormat)) return false;
    m_Width = w;
    m_Height = h;
    m_TargetParams = p;
    return true;
  }

  // Makes the offscreen buffers unless they exist; false when they cannot be made.
  bool EnsureTargets() {
    if (m_BackFbo) return true;
    const PresentParameters& p = m_TargetParams;
    const auto w = static_cast<GLsizei>(m_Width), h = static_cast<GLsizei>(m_Height);
    const auto samples = static_cast<GLsizei>(p.multiSampleType);
    while (glGetError() != GL_NO_ERROR) {
    }
    auto storage = [&](GLuint& rb, GLenum format, GLsizei s) {
      m_Gl.GenRenderbuffers(1, &rb);
      m_Gl.BindRenderbuffer(GL_RENDERBUFFER, rb);
      m_Gl.RenderbufferStorageMultisample(GL_RENDERBUFFER, s, format, w, h);
    };
    auto fail = [&] {
      DestroyTargets();
      return false;
    };
    storage(m_BackColor, GL_RGBA8, samples);
    m_Gl.GenFramebuffers(1, &m_BackFbo);
    m_Gl.BindFramebuffer(GL_FRAMEBUFFER, m_BackFbo);
    m_Gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_BackColor);
    if (p.enableAutoDepthStencil) {
      const GLenum depth = DepthStorageOf(p.autoDepthStencilFormat);
      storage(m_BackDepth, depth, samples);
      m_Gl.FramebufferRenderbuffer(GL_FRAMEBUFFER,
                                   depth == GL_DEPTH24_STENCIL8 ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                                   GL_RENDERBUFFER, m_BackDepth);
    }
    if (m_Gl.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return fail();
    if (samples) {
      storage(m_ResolveColor, GL_RGBA8, 0);
      m_Gl.GenFramebuffers(1, &m_ResolveFbo);
      m_Gl.BindFramebuffer(GL_FRAMEBUFFER, m_ResolveFbo);
      m_Gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_ResolveColor);
      if (m_Gl.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return fail();
    }
    m_Gl.BindFramebuffer(GL_FRAMEBUFFER, m_BackFbo);
    // A new back buffer starts black.
    glViewport(0, 0, w, h);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    return glGetError() == GL_NO_ERROR || fail();
  }

  void DestroyTargets() {
    m_Gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
    for (GLuint* fb : {&m_BackFbo, &m_ResolveFbo})
      if (*fb) m_Gl.DeleteFramebuffers(1, fb), *fb = 0;
    for (GLuint* rb : {&m_BackColor, &m_BackDepth, &m_ResolveColor})
      if (*rb) m_Gl.DeleteRenderbuffers(1, rb), *rb = 0;
  }

  // Whether this frame can be drawn straight into the window: the picture fills it 1:1 and
  // no multisampling asks for the offscreen buffer.
  bool PictureFillsWindow() {
    if (m_Params.multiSampleType) return false;
    plat::Window& window = plat::GetWindow();
    int dw = 0, dh = 0;
    if (!window.DrawableSize(dw, dh) || dw != static_cast<int>(m_Width) || dh != static_cast<int>(m_Height))
      return false;
    const plat::Rect r = window.PictureRect();
    return r.x == 0 && r.y == 0 && r.w == dw && r.h == dh;
  }

  // The framebuffer the frame is drawn into (the window's when the offscreen one cannot be
  // made).
  GLuint DrawTarget() { return !m_Direct && EnsureTargets() ? m_BackFbo : 0; }

  // The window has no depth buffer: from the first use of depth on, the frame goes on in
  // the offscreen buffer, starting from what the window holds so far.
  void LeaveWindow() {
    if (!m_Direct || !EnsureTargets()) return;
    const GLint w = static_cast<GLint>(m_Width), h = static_cast<GLint>(m_Height);
    m_Gl.BindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    m_Gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, m_BackFbo);
    m_Gl.BlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    m_Direct = false;
    m_Gl.BindFramebuffer(GL_FRAMEBUFFER, m_BackFbo);
  }

  GLuint ResolvedFramebuffer() {
    if (!EnsureTargets()) return 0;
    if (!m_ResolveFbo) return m_BackFbo;
    const GLint w = static_cast<GLint>(m_Width), h = static_cast<GLint>(m_Height);
    m_Gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_BackFbo);
    m_Gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, m_ResolveFbo);
    m_Gl.BlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    return m_ResolveFbo;
  }

  // The states a new or reset device starts with.
  void SetDefaults() {
    auto rs = [&](RenderState s, std::uint32_t v) { m_RS[static_cast<std::uint32_t>(s)] = v; };
    rs(RenderState::ZEnable, m_Params.enableAutoDepthStencil ? 1 : 0);
    rs(RenderState::ZWriteEnable, 1);
    rs(RenderState::ZFunc, cmp::LessEqual);
    rs(RenderState::CullMode, cull::Ccw);
    rs(RenderState::Lighting, 1);
    rs(RenderState::AlphaTestEnable, 0);
    rs(RenderState::AlphaFunc, cmp::Always);
    rs(RenderState::AlphaRef, 0);
    rs(RenderState::AlphaBlendEnable, 0);
    rs(RenderState::SrcBlend, blend::One);
    rs(RenderState::DestBlend, blend::Zero);
    rs(RenderState::BlendOp, blendop::Add);
    rs(RenderState::TextureFactor, 0xFFFFFFFF);
    for (std::uint32_t stage = 0; stage < kMaxStages; ++stage) {
      auto ts = [&](StageState s, std::uint32_t v) { m_TSS[stage][static_cast<std::uint32_t>(s)] = v; };
      ts(StageState::ColorOp, stage == 0 ? top::Modulate : top::Disable);
      ts(StageState::ColorArg1, targ::Texture);
      ts(StageState::ColorArg2, targ::Current);
      ts(StageState::AlphaOp, stage == 0 ? top::SelectArg1 : top::Disable);
      ts(StageState::AlphaArg1, targ::Texture);
      ts(StageState::AlphaArg2, targ::Current);
      ts(StageState::TexCoordIndex, stage);
      ts(StageState::AddressU, taddress::Wrap);
      ts(StageState::AddressV, taddress::Wrap);
      ts(StageState::AddressW, taddress::Wrap);
      ts(StageState::MagFilter, tfilter::Point);
      ts(StageState::MinFilter, tfilter::Point);
      ts(StageState::MipFilter, tfilter::None);
      ts(StageState::MaxAnisotropy, 1);
      ts(StageState::TextureTransformFlags, ttff::Disable);
      m_S->boundTextures[stage] = nullptr;
    }
    for (auto& t : m_Transforms) t = Identity();
    m_Material = Material{};
    m_Fvf = 0;
    m_S->boundStream = nullptr;
    m_S->boundIndices = nullptr;
    m_StreamStride = 0;
    m_BaseVertex = 0;
    m_InScene = false;
    m_Dirty = true;
  }

  std::uint32_t RS(RenderState s) const { return m_RS[static_cast<std::uint32_t>(s)]; }
  std::uint32_t TSS(std::uint32_t stage, StageState s) const { return m_TSS[stage][static_cast<std::uint32_t>(s)]; }

  SamplerState SamplerOf(std::uint32_t stage) const {
    const std::uint32_t minF = TSS(stage, StageState::MinFilter), magF = TSS(stage, StageState::MagFilter);
    const std::uint32_t mipF = TSS(stage, StageState::MipFilter);
    const bool minLinear = minF >= tfilter::Linear;
    SamplerState s;
    if (mipF == tfilter::None)
      s.minFilter = minLinear ? GL_LINEAR : GL_NEAREST;
    else if (mipF == tfilter::Point)
      s.minFilter = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    else
      s.minFilter = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    s.magFilter = magF >= tfilter::Linear ? GL_LINEAR : GL_NEAREST;
    s.wrapS = WrapOf(TSS(stage, StageState::AddressU));
    s.wrapT = WrapOf(TSS(stage, StageState::AddressV));
    s.anisotropy = 1;
    if (minF == tfilter::Anisotropic || magF == tfilter::Anisotropic)
      s.anisotropy = std::clamp(static_cast<GLint>(TSS(stage, StageState::MaxAnisotropy)), 1, m_S->maxAnisotropy);
    return s;
  }

  void ApplyStates() {
    auto enable = [](GLenum cap, bool on) { on ? glEnable(cap) : glDisable(cap); };
    const bool depth = m_Params.enableAutoDepthStencil && RS(RenderState::ZEnable);
    enable(GL_DEPTH_TEST, depth);
    if (depth) {
      glDepthFunc(CompareOf(RS(RenderState::ZFunc)));
      glDepthMask(RS(RenderState::ZWriteEnable) ? GL_TRUE : GL_FALSE);
    }
    const std::uint32_t cullMode = RS(RenderState::CullMode);
    enable(GL_CULL_FACE, cullMode == cull::Cw || cullMode == cull::Ccw);
    glCullFace(GL_BACK);
    glFrontFace(cullMode == cull::Ccw ? GL_CW : GL_CCW);
    enable(GL_BLEND, RS(RenderState::AlphaBlendEnable) != 0);
    glBlendFunc(BlendOf(RS(RenderState::SrcBlend)), BlendOf(RS(RenderState::DestBlend)));
    m_Gl.BlendEquation(BlendOpOf(RS(RenderState::BlendOp)));

  }

  // The current program's uniforms from the device states.
  void ApplyUniforms(const Program& p) {
    auto matrix = [&](GLint loc, const Matrix& m) {
      if (loc >= 0) m_Gl.UniformMatrix4fv(loc, 1, GL_FALSE, &m.m[0][0]);
    };
    matrix(p.world, m_Transforms[static_cast<int>(TransformState::World)]);
    matrix(p.view, m_Transforms[static_cast<int>(TransformState::View)]);
    matrix(p.proj, m_Transforms[static_cast<int>(TransformState::Projection)]);
    matrix(p.texMatrix, m_Transforms[static_cast<int>(TransformState::Texture0)]);
    if (p.matDiffuse >= 0) m_Gl.Uniform4fv(p.matDiffuse, 1, m_Material.diffuse);
    if (p.matEmissive >= 0) m_Gl.Uniform4fv(p.matEmissive, 1, m_Material.emissive);
    if (p.tfactor >= 0) {
      float factor[4];
      ColorToFloats(RS(RenderState::TextureFactor), factor);
      m_Gl.Uniform4fv(p.tfactor, 1, factor);
    }
    if (p.alphaRef >= 0) m_Gl.Uniform1f(p.alphaRef, static_cast<GLfloat>(RS(RenderState::AlphaRef) & 0xFF));
  }

  // Everything a draw needs, with the vertices at byte offset `base` of buffer `vbo`.
  bool Prepare(GLuint vbo, std::uintptr_t base, std::uint32_t stride) {
    if (!m_InScene || !(m_Fvf & (kFvfXyz | kFvfXy))) return false;
    if (m_Params.enableAutoDepthStencil && RS(RenderState::ZEnable)) {
      LeaveWindow();
      ApplyPendingClear();
    }
    m_Gl.BindFramebuffer(GL_FRAMEBUFFER, DrawTarget());
    glViewport(0, 0, static_cast<GLsizei>(m_Width), static_cast<GLsizei>(m_Height));
    m_Gl.BindVertexArray(m_Vao);
    GLTexture* texture = m_S->boundTextures[0];
    if (m_Dirty) {
      ApplyStates();
      const std::uint32_t ops[6] = {TSS(0, StageState::ColorOp),  TSS(0, StageState::ColorArg1),
                                    TSS(0, StageState::ColorArg2), TSS(0, StageState::AlphaOp),
                                    TSS(0, StageState::AlphaArg1), TSS(0, StageState::AlphaArg2)};
      const ProgramKey key =
          ProgramKey::Of(m_Fvf, RS(RenderState::Lighting) != 0,
                         TSS(0, StageState::TextureTransformFlags) != ttff::Disable, texture != nullptr, ops,
                         RS(RenderState::AlphaTestEnable) ? RS(RenderState::AlphaFunc) : 0);
      const Program* program = ProgramFor(key);
      if (!program) return false;
      if (program != m_Current) {
        m_Gl.UseProgram(program->name);
        m_Current = program;
      }
      ApplyUniforms(*program);
      m_Dirty = false;
    }
    // Stage 0's texture, with the stage's sampling state on the texture object.
    m_Gl.ActiveTexture(GL_TEXTURE0);
    if (texture)
      texture->ApplySampler(SamplerOf(0));
    else
      glBindTexture(GL_TEXTURE_2D, 0);

    m_Gl.BindBuffer(GL_ARRAY_BUFFER, vbo);
    std::uintptr_t offset = base;
    auto attribute = [&](GLuint index, bool present, GLint size, GLenum type, GLboolean normalized,
                         std::uint32_t bytes) {
      if (!present) {
        m_Gl.DisableVertexAttribArray(index);
        return;
      }
      m_Gl.EnableVertexAttribArray(index);
      m_Gl.VertexAttribPointer(index, size, type, normalized, static_cast<GLsizei>(stride),
                               reinterpret_cast<const void*>(offset));
      offset += bytes;
    };
    const std::uint32_t dims = FvfTexDimension(m_Fvf);
    // A flat position reads z as 0.
    if (m_Fvf & kFvfXyz)
      attribute(kPos, true, 3, GL_FLOAT, GL_FALSE, 12);
    else
      attribute(kPos, true, 2, GL_FLOAT, GL_FALSE, 8);
    attribute(kNormal, (m_Fvf & kFvfNormal) != 0, 3, GL_FLOAT, GL_FALSE, 12);
    attribute(kColor, (m_Fvf & kFvfDiffuse) != 0, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, 4);
    attribute(kTex, dims > 0, static_cast<GLint>(std::max<std::uint32_t>(1, dims)), GL_FLOAT, GL_FALSE, 4 * dims);
    if (!dims) m_Gl.VertexAttrib4f(kTex, 0.0f, 0.0f, 0.0f, 1.0f);
    return true;
  }

  SharedPtr m_S;
  Funcs& m_Gl;
  PresentParameters m_Params;
  DeviceLoss m_Loss;
  std::unordered_map<std::uint64_t, Program> m_Programs;     // by ProgramKey::Pack
  std::unordered_map<std::uint64_t, GLuint> m_VertexShaders;  // by the vertex part's key
  const Program* m_Current = nullptr;                         // in use, its uniforms set
  GLuint m_Vao = 0, m_StreamVbo = 0, m_StreamIbo = 0;
  GLuint m_BackFbo = 0, m_BackColor = 0, m_BackDepth = 0, m_ResolveFbo = 0, m_ResolveColor = 0;
  PresentParameters m_TargetParams;  // what the offscreen buffers are made as
  std::uint32_t m_Width = 0, m_Height = 0;
  std::uint32_t m_RS[static_cast<std::uint32_t>(RenderState::Count)] = {};
  std::uint32_t m_TSS[kMaxStages][static_cast<std::uint32_t>(StageState::Count)] = {};
  Matrix m_Transforms[3 + kMaxStages];
  Material m_Material;
  std::uint32_t m_Fvf = 0;
  std::uint32_t m_StreamStride = 0;
  std::uint32_t m_BaseVertex = 0;
  bool m_InScene = false;
  bool m_Dirty = true;
  GLbitfield m_PendingClear = 0;  // depth and stencil clears not done yet (see Clear)
  float m_PendingDepth = 1.0f;
  std::uint32_t m_PendingStencil = 0;
  bool m_Direct = false;             // the frame is (was) drawn straight into the window
  bool m_DrawnSincePresent = false;  // a frame was begun since the last present
  std::deque<GLsync> m_FrameFences;  // the frames handed to the driver and not known drawn
};

}  // namespace

Device* CreateDevice(SharedPtr shared, PresentParameters& params) {
  auto* device = new GLDevice(std::move(shared));
  if (!device->Init(params)) {
    device->Release();
    return nullptr;
  }
  return device;
}

}  // namespace plat::gfx::gl
