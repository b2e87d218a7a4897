#pragma once
// Inside of the OpenGL back end of the graphics device: the entry points loaded from the
// window's context, the state shared between the device and its resources, and the
// resource classes. OpenGL 3.3 (core or compatibility) is required.
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx.h"

namespace plat::gfx::gl {

// Entry points above OpenGL 1.1 (1.1 is called directly).
#define VEK_GL_FUNCS(X)                                                       \
  X(PFNGLACTIVETEXTUREPROC, ActiveTexture)                                    \
  X(PFNGLCOMPRESSEDTEXIMAGE2DPROC, CompressedTexImage2D)                      \
  X(PFNGLGETCOMPRESSEDTEXIMAGEPROC, GetCompressedTexImage)                    \
  X(PFNGLBLENDEQUATIONPROC, BlendEquation)                                    \
  X(PFNGLGENBUFFERSPROC, GenBuffers)                                          \
  X(PFNGLDELETEBUFFERSPROC, DeleteBuffers)                                    \
  X(PFNGLBINDBUFFERPROC, BindBuffer)                                          \
  X(PFNGLBUFFERDATAPROC, BufferData)                                          \
  X(PFNGLBUFFERSUBDATAPROC, BufferSubData)                                    \
  X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays)                                \
  X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays)                          \
  X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                                \
  X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray)                \
  X(PFNGLDISABLEVERTEXATTRIBARRAYPROC, DisableVertexAttribArray)              \
  X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer)                        \
  X(PFNGLVERTEXATTRIB4FPROC, VertexAttrib4f)                                  \
  X(PFNGLCREATESHADERPROC, CreateShader)                                      \
  X(PFNGLSHADERSOURCEPROC, ShaderSource)                                      \
  X(PFNGLCOMPILESHADERPROC, CompileShader)                                    \
  X(PFNGLGETSHADERIVPROC, GetShaderiv)                                        \
  X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog)                              \
  X(PFNGLDELETESHADERPROC, DeleteShader)                                      \
  X(PFNGLCREATEPROGRAMPROC, CreateProgram)                                    \
  X(PFNGLATTACHSHADERPROC, AttachShader)                                      \
  X(PFNGLDETACHSHADERPROC, DetachShader)                                      \
  X(PFNGLBINDATTRIBLOCATIONPROC, BindAttribLocation)                          \
  X(PFNGLBINDFRAGDATALOCATIONPROC, BindFragDataLocation)                      \
  X(PFNGLLINKPROGRAMPROC, LinkProgram)                                        \
  X(PFNGLGETPROGRAMIVPROC, GetProgramiv)                                      \
  X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog)                            \
  X(PFNGLUSEPROGRAMPROC, UseProgram)                                          \
  X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                                    \
  X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)                          \
  X(PFNGLUNIFORM1IPROC, Uniform1i)                                            \
  X(PFNGLUNIFORM1FPROC, Uniform1f)                                            \
  X(PFNGLUNIFORM4FVPROC, Uniform4fv)                                          \
  X(PFNGLUNIFORMMATRIX4FVPROC, UniformMatrix4fv)                              \
  X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers)                                \
  X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers)                          \
  X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer)                                \
  X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, FramebufferRenderbuffer)                \
  X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D)                      \
  X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus)                  \
  X(PFNGLGENRENDERBUFFERSPROC, GenRenderbuffers)                              \
  X(PFNGLDELETERENDERBUFFERSPROC, DeleteRenderbuffers)                        \
  X(PFNGLBINDRENDERBUFFERPROC, BindRenderbuffer)                              \
  X(PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC, RenderbufferStorageMultisample)  \
  X(PFNGLBLITFRAMEBUFFERPROC, BlitFramebuffer)                                \
  X(PFNGLGETSTRINGIPROC, GetStringi)                                          \
  X(PFNGLDRAWELEMENTSBASEVERTEXPROC, DrawElementsBaseVertex)                  \
  X(PFNGLFENCESYNCPROC, FenceSync)                                            \
  X(PFNGLCLIENTWAITSYNCPROC, ClientWaitSync)                                  \
  X(PFNGLDELETESYNCPROC, DeleteSync)

struct Funcs {
#define VEK_GL_MEMBER(type, name) type name = nullptr;
  VEK_GL_FUNCS(VEK_GL_MEMBER)
#undef VEK_GL_MEMBER
  // Loads every entry point; false (and the missing name) when one is absent.
  bool Load(const char** missing);
};

class GLTexture;

// State shared by a device and the resources it made: the entry points, the limits of
// the context, the count of live default-pool resources (a reset needs none) and what the
// device has bound (a resource that goes is unbound).
struct Shared {
  Funcs gl;
  bool s3tc = false;
  bool anisotropic = false;
  GLint maxTextureSize = 0;
  GLint maxSamples = 0;
  GLint maxAnisotropy = 1;
  int liveDefault = 0;
  GLTexture* boundTextures[kMaxStages] = {};
  VertexBuffer* boundStream = nullptr;
  IndexBuffer* boundIndices = nullptr;
};
using SharedPtr = std::shared_ptr<Shared>;

// Reads the limits of the current context into the shared record; false below GL 3.3.
bool QueryContext(Shared& shared);

// How a device format is stored in OpenGL.
struct PixelTransfer {
  GLenum internalFormat = 0;
  GLenum format = 0;
  GLenum type = 0;
  bool compressed = false;
  GLint swizzle[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
};
bool TransferOf(Format format, PixelTransfer& out);

// The sampling state a texture object carries.
struct SamplerState {
  GLint minFilter = GL_NEAREST_MIPMAP_LINEAR;
  GLint magFilter = GL_LINEAR;
  GLint wrapS = GL_REPEAT;
  GLint wrapT = GL_REPEAT;
  GLint anisotropy = 1;
  bool operator==(const SamplerState&) const = default;
};

class GLTexture final : public Texture {
 public:
  GLTexture(SharedPtr shared, std::uint32_t width, std::uint32_t height, std::uint32_t levels,
            std::uint32_t usage, Format format, Pool pool);
  bool Valid() const { return m_Name != 0; }
  void Release() override;
  std::uint32_t GetLevelCount() override { return static_cast<std::uint32_t>(m_Levels.size()); }
  Result GetLevelDesc(std::uint32_t level, SurfaceDesc& desc) override;
  Result LockRect(std::uint32_t level, LockedRect& locked, std::uint32_t flags) override;
  Result UnlockRect(std::uint32_t level) override;
  Result WriteLevel(std::uint32_t level, const void* bits, std::uint32_t pitch) override;

  GLuint Name() const { return m_Name; }
  // Gives the texture object the sampling state unless it has it already (binds it to the
  // active unit).
  void ApplySampler(const SamplerState& state);

 private:
  ~GLTexture() override;
  struct Level {
    std::uint32_t w = 0, h = 0;
    bool defined = false;              // uploaded at least once
    std::vector<std::uint8_t> staging;  // while locked
    std::uint32_t lockFlags = 0;
    bool locked = false;
  };
  bool ReadLevel(std::uint32_t level, std::uint8_t* out);
  // Uploads a whole level whose rows lie `rowPixels` pixels apart (0: packed).
  void Upload(std::uint32_t level, const std::uint8_t* bits, std::uint32_t rowPixels);

  SharedPtr m_Shared;
  GLuint m_Name = 0;
  std::uint32_t m_Usage;
  Format m_Format;
  Pool m_Pool;
  PixelTransfer m_Transfer;
  std::vector<Level> m_Levels;
  SamplerState m_Sampler;
};

template <class Base>
class GLBuffer final : public Base {
 public:
  GLBuffer(SharedPtr shared, GLenum target, std::uint32_t size, std::uint32_t usage, Pool pool);
  bool Valid() const { return m_Name != 0; }
  void Release() override;
  Result Lock(std::uint32_t offset, std::uint32_t size, void** data, std::uint32_t flags) override;
  Result Unlock() override;
  std::uint32_t GetSize() override { return static_cast<std::uint32_t>(m_Shadow.size()); }
  std::uint32_t GetUsage() override { return m_Usage; }
  Pool GetPool() override { return m_Pool; }
  GLuint Name() const { return m_Name; }

 private:
  ~GLBuffer() override;
  SharedPtr m_Shared;
  GLenum m_Target;
  GLuint m_Name = 0;
  std::uint32_t m_Usage;
  Pool m_Pool;
  std::vector<std::uint8_t> m_Shadow;  // the contents, kept for locks
  bool m_Locked = false;
  std::uint32_t m_LockOffset = 0, m_LockSize = 0, m_LockFlags = 0;
};
using GLVertexBuffer = GLBuffer<VertexBuffer>;
using GLIndexBuffer = GLBuffer<IndexBuffer>;

// A depth-stencil surface (a renderbuffer, or a reference to the device's own depth
// buffer) or an image surface in system memory.
class GLSurface final : public Surface {
 public:
  GLSurface(SharedPtr shared, const SurfaceDesc& desc, GLuint renderbuffer);
  void Release() override;
  Result GetDesc(SurfaceDesc& desc) override {
    desc = m_Desc;
    return kOk;
  }
  Result LockRect(LockedRect& locked, std::uint32_t flags) override;
  Result UnlockRect() override { return kOk; }
  std::vector<std::uint8_t>& Bits() { return m_Bits; }
  const SurfaceDesc& Desc() const { return m_Desc; }

 private:
  ~GLSurface() override;
  SharedPtr m_Shared;
  SurfaceDesc m_Desc;
  GLuint m_Renderbuffer;
  std::vector<std::uint8_t> m_Bits;
};

// What of the device's states changes the shader code: the vertex layout, lighting and the
// texture transform for the vertex stage; whether a texture is bound, stage 0's operations
// and arguments and the alpha test's comparison for the fragment stage. Values are the
// device's, reduced to what the shaders tell apart (unknown operations and comparisons 0).
struct ProgramKey {
  bool color = false;
  bool lighting = false;
  std::uint8_t texDim = 0;
  bool texTransform = false;
  bool texture = false;
  std::uint8_t colorOp = 0, colorArg1 = 0, colorArg2 = 0;
  std::uint8_t alphaOp = 0, alphaArg1 = 0, alphaArg2 = 0;
  std::uint8_t alphaFunc = 0;  // 0: no alpha test

  // ops: colour op, arg 1, arg 2, alpha op, arg 1, arg 2; alphaFunc 0 when the test is off.
  static ProgramKey Of(std::uint32_t fvf, bool lighting, bool textureTransform, bool texture,
                       const std::uint32_t ops[6], std::uint32_t alphaFunc);
  // One number per distinct program.
  std::uint64_t Pack() const;
};
// The shader texts of a key: the states are constants in the code.
std::string VertexShaderSource(const ProgramKey& key);
std::string FragmentShaderSource(const ProgramKey& key);

// Makes the device; null when the context cannot carry it.
Device* CreateDevice(SharedPtr shared, PresentParameters& params);

}  // namespace plat::gfx::gl
