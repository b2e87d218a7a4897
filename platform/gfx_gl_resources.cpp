// Resources of the OpenGL back end: textures with lockable levels, vertex and index
// buffers with a copy of their contents, depth-stencil and image surfaces.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/gfx_gl.h"
#include "platform/window.h"

namespace plat::gfx::gl {

bool Funcs::Load(const char** missing) {
  plat::Window& window = plat::GetWindow();
#define VEK_GL_LOAD(type, name)                                                     \
  name = reinterpret_cast<type>(window.GLGetProcAddress("gl" #name));               \
  if (!name) {                                                                      \
    if (missing) *missing = "gl" #name;                                             \
    return false;                                                                   \
  }
  VEK_GL_FUNCS(VEK_GL_LOAD)
#undef VEK_GL_LOAD
  return true;
}

bool QueryContext(Shared& s) {
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (!version) return false;
  // The version text starts with "major.minor" (a profile name may follow).
  int major = 0, minor = 0;
  const char* p = version;
  while (*p && (*p < '0' || *p > '9')) ++p;
  if (std::sscanf(p, "%d.%d", &major, &minor) != 2) return false;
  if (major < 3 || (major == 3 && minor < 3)) return false;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &s.maxTextureSize);
  glGetIntegerv(GL_MAX_SAMPLES, &s.maxSamples);
  GLint count = 0;
  glGetIntegerv(GL_NUM_EXTENSIONS, &count);
  s.s3tc = s.anisotropic = false;
  for (GLint i = 0; i < count; ++i) {
    const char* e = reinterpret_cast<const char*>(s.gl.GetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
    if (!e) continue;
    if (!std::strcmp(e, "GL_EXT_texture_compression_s3tc")) s.s3tc = true;
    if (!std::strcmp(e, "GL_EXT_texture_filter_anisotropic") ||
        !std::strcmp(e, "GL_ARB_texture_filter_anisotropic"))
      s.anisotropic = true;
  }
  if (major > 4 || (major == 4 && minor >= 6)) s.anisotropic = true;
  s.maxAnisotropy = 1;
  if (s.anisotropic) {
    GLfloat value = 1.0f;
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY, &value);
    s.maxAnisotropy = std::max(1, static_cast<int>(value));
  }
  while (glGetError() != GL_NO_ERROR) {
  }
  return true;
}

bool TransferOf(Format format, PixelTransfer& t) {
  t = PixelTransfer{};
  switch (format) {
    case Format::L8:
      t = {GL_R8, GL_RED, GL_UNSIGNED_BYTE, false, {GL_RED, GL_RED, GL_RED, GL_ONE}};
      return true;
    case Format::A8L8:
      t = {GL_RG8, GL_RG, GL_UNSIGNED_BYTE, false, {GL_RED, GL_RED, GL_RED, GL_GREEN}};
      return true;
    case Format::R5G6B5:
      t = {GL_RGB8, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, false, {GL_RED, GL_GREEN, GL_BLUE, GL_ONE}};
      return true;
    case Format::X8R8G8B8:
      t = {GL_RGB8, GL_BGRA, GL_UNSIGNED_BYTE, false, {GL_RED, GL_GREEN, GL_BLUE, GL_ONE}};
      return true;
    case Format::A8R8G8B8:
      t = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, false, {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}};
      return true;
    case Format::DXT1:
      t.internalFormat = GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
      t.compressed = true;
      return true;
    case Format::DXT3:
      t.internalFormat = GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
      t.compressed = true;
      return true;
    case Format::DXT5:
      t.internalFormat = GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
      t.compressed = true;
      return true;
    default:
      return false;
  }
}

// ---- textures ----

GLTexture::GLTexture(SharedPtr shared, std::uint32_t width, std::uint32_t height,
                     std::uint32_t levels, std::uint32_t usage, Format format, Pool pool)
    : m_Shared(std::move(shared)), m_Usage(usage), m_Format(format), m_Pool(pool) {
  if (!width || !height || !TransferOf(format, m_Transfer)) return;
  if (m_Transfer.compressed && !m_Shared->s3tc) return;
  const auto maxSize = static_cast<std::uint32_t>(m_Shared->maxTextureSize);
  if (width > maxSize || height > maxSize) return;
  std::uint32_t full = 1;
  while ((width >> full) || (height >> full)) ++full;
  if (levels == 0 || levels > full) levels = full;
  m_Levels.resize(levels);

  while (glGetError() != GL_NO_ERROR) {
  }
  glGenTextures(1, &m_Name);
  glBindTexture(GL_TEXTURE_2D, m_Name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  for (std::uint32_t i = 0; i < levels; ++i) {
    Level& l = m_Levels[i];
    l.w = std::max<std::uint32_t>(1, width >> i);
    l.h = std::max<std::uint32_t>(1, height >> i);
    if (m_Transfer.compressed) {
      // A level of zero blocks, so that the texture is complete before its first upload.
      std::vector<std::uint8_t> zero(FormatLevelSize(format, l.w, l.h), 0);
      m_Shared->gl.CompressedTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), m_Transfer.internalFormat,
                                        static_cast<GLsizei>(l.w), static_cast<GLsizei>(l.h), 0,
                                        static_cast<GLsizei>(zero.size()), zero.data());
    } else {
      glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), static_cast<GLint>(m_Transfer.internalFormat),
                   static_cast<GLsizei>(l.w), static_cast<GLsizei>(l.h), 0, m_Transfer.format,
                   m_Transfer.type, nullptr);
    }
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
  if (!m_Transfer.compressed) {
    for (int c = 0; c < 4; ++c)
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_R + c, m_Transfer.swizzle[c]);
  }
  // The stage state in force when it is first drawn replaces these.
  m_Sampler = SamplerState{GL_NEAREST, GL_NEAREST, GL_REPEAT, GL_REPEAT, 1};
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, m_Sampler.minFilter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, m_Sampler.magFilter);
  if (glGetError() != GL_NO_ERROR) {
    glDeleteTextures(1, &m_Name);
    m_Name = 0;
    return;
  }
  if (m_Pool == Pool::Default) ++m_Shared->liveDefault;
}

GLTexture::~GLTexture() {
  for (auto*& bound : m_Shared->boundTextures)
    if (bound == this) bound = nullptr;
  if (m_Name) {
    glDeleteTextures(1, &m_Name);
    if (m_Pool == Pool::Default) --m_Shared->liveDefault;
  }
}

void GLTexture::Release() { delete this; }

Result GLTexture::GetLevelDesc(std::uint32_t level, SurfaceDesc& desc) {
  if (level >= m_Levels.size()) return kErrInvalidCall;
  desc = SurfaceDesc{m_Format, m_Usage, m_Pool, 0, m_Levels[level].w, m_Levels[level].h};
  return kOk;
}

bool GLTexture::ReadLevel(std::uint32_t level, std::uint8_t* out) {
  glBindTexture(GL_TEXTURE_2D, m_Name);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  while (glGetError() != GL_NO_ERROR) {
  }
  if (m_Transfer.compressed)
    m_Shared->gl.GetCompressedTexImage(GL_TEXTURE_2D, static_cast<GLint>(level), out);
  else
    glGetTexImage(GL_TEXTURE_2D, static_cast<GLint>(level), m_Transfer.format, m_Transfer.type, out);
  return glGetError() == GL_NO_ERROR;
}

void GLTexture::Upload(std::uint32_t level, const std::uint8_t* bits, std::uint32_t rowPixels) {
  const Level& l = m_Levels[level];
  glBindTexture(GL_TEXTURE_2D, m_Name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  if (m_Transfer.compressed) {
    m_Shared->gl.CompressedTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), m_Transfer.internalFormat,
                                      static_cast<GLsizei>(l.w), static_cast<GLsizei>(l.h), 0,
                                      static_cast<GLsizei>(FormatLevelSize(m_Format, l.w, l.h)), bits);
  } else {
    glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(rowPixels));
    glTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), 0, 0, static_cast<GLsizei>(l.w),
                    static_cast<GLsizei>(l.h), m_Transfer.format, m_Transfer.type, bits);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  }
}

Result GLTexture::WriteLevel(std::uint32_t level, const void* bits, std::uint32_t pitch) {
  if (level >= m_Levels.size() || (m_Usage & kUsageRenderTarget) || !bits) return kErrInvalidCall;
  Level& l = m_Levels[level];
  const std::uint32_t packed = FormatPitch(m_Format, l.w);
  const std::uint32_t unit = FormatBytes(m_Format);
  if (l.locked || pitch < packed || !unit || pitch % unit) return kErrInvalidCall;
  // Block rows cannot be spaced out: a block level is sent whole.
  if (m_Transfer.compressed && pitch != packed) return kErrInvalidCall;
  Upload(level, static_cast<const std::uint8_t*>(bits), pitch == packed ? 0 : pitch / unit);
  l.defined = true;
  return kOk;
}

Result GLTexture::LockRect(std::uint32_t level, LockedRect& locked, std::uint32_t flags) {
  if (level >= m_Levels.size() || (m_Usage & kUsageRenderTarget)) return kErrInvalidCall;
  Level& l = m_Levels[level];
  if (l.locked) return kErrInvalidCall;
  l.staging.assign(FormatLevelSize(m_Format, l.w, l.h), 0);
  // The level's contents: read back unless it was never written or is being replaced.
  if (l.defined && !(flags & kLockDiscard) && !ReadLevel(level, l.staging.data()))
    return kErrDriverInternal;
  l.locked = true;
  l.lockFlags = flags;
  locked.bits = l.staging.data();
  locked.pitch = static_cast<std::int32_t>(FormatPitch(m_Format, l.w));
  return kOk;
}

Result GLTexture::UnlockRect(std::uint32_t level) {
  if (level >= m_Levels.size() || !m_Levels[level].locked) return kErrInvalidCall;
  Level& l = m_Levels[level];
  if (!(l.lockFlags & kLockReadOnly)) {
    Upload(level, l.staging.data(), 0);
    l.defined = true;
  }
  l.locked = false;
  std::vector<std::uint8_t>().swap(l.staging);
  return kOk;
}

void GLTexture::ApplySampler(const SamplerState& s) {
  glBindTexture(GL_TEXTURE_2D, m_Name);
  if (s == m_Sampler) return;
  if (s.minFilter != m_Sampler.minFilter) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, s.minFilter);
  if (s.magFilter != m_Sampler.magFilter) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, s.magFilter);
  if (s.wrapS != m_Sampler.wrapS) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, s.wrapS);
  if (s.wrapT != m_Sampler.wrapT) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, s.wrapT);
  if (s.anisotropy != m_Sampler.anisotropy && m_Shared->anisotropic)
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY, static_cast<GLfloat>(s.anisotropy));
  m_Sampler = s;
}

// ---- buffers ----

template <class Base>
GLBuffer<Base>::GLBuffer(SharedPtr shared, GLenum target, std::uint32_t size, std::uint32_t usage,
                         Pool pool)
    : m_Shared(std::move(shared)), m_Target(target), m_Usage(usage), m_Pool(pool), m_Shadow(size, 0) {
  if (!size) return;
  m_Shared->gl.GenBuffers(1, &m_Name);
  m_Shared->gl.BindBuffer(GL_ARRAY_BUFFER, m_Name);
  m_Shared->gl.BufferData(GL_ARRAY_BUFFER, size, m_Shadow.data(),
                          (usage & kUsageDynamic) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
  if (m_Pool == Pool::Default) ++m_Shared->liveDefault;
}

template <class Base>
GLBuffer<Base>::~GLBuffer() {
  if (static_cast<Buffer*>(m_Shared->boundStream) == this) m_Shared->boundStream = nullptr;
  if (static_cast<Buffer*>(m_Shared->boundIndices) == this) m_Shared->boundIndices = nullptr;
  if (m_Name) {
    m_Shared->gl.DeleteBuffers(1, &m_Name);
    if (m_Pool == Pool::Default) --m_Shared->liveDefault;
  }
}

template <class Base>
void GLBuffer<Base>::Release() {
  delete this;
}

template <class Base>
Result GLBuffer<Base>::Lock(std::uint32_t offset, std::uint32_t size, void** data, std::uint32_t flags) {
  if (!data || m_Locked || offset > m_Shadow.size()) return kErrInvalidCall;
  if (size == 0) size = static_cast<std::uint32_t>(m_Shadow.size()) - offset;
  if (size > m_Shadow.size() - offset) return kErrInvalidCall;
  // The block handed out starts cleared.
  if (flags & kLockDiscard) std::fill_n(m_Shadow.begin() + offset, size, 0);
  m_Locked = true;
  m_LockOffset = offset;
  m_LockSize = size;
  m_LockFlags = flags;
  *data = m_Shadow.data() + offset;
  return kOk;
}

template <class Base>
Result GLBuffer<Base>::Unlock() {
  if (!m_Locked) return kErrInvalidCall;
  m_Locked = false;
  if (m_LockFlags & kLockReadOnly) return kOk;
  m_Shared->gl.BindBuffer(GL_ARRAY_BUFFER, m_Name);
  const GLenum usage = (m_Usage & kUsageDynamic) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW;
  if ((m_LockFlags & kLockDiscard) && m_LockOffset == 0 && m_LockSize == m_Shadow.size()) {
    m_Shared->gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_Shadow.size()), m_Shadow.data(), usage);
  } else if (m_LockFlags & kLockDiscard) {
    // A discarded buffer's old contents are gone: fresh storage first, so that writing the
    // block never waits for the frame still being drawn from the old one. Only the block is
    // sent; the rest of the buffer is undefined until it is written again, as with any
    // discarding lock.
    m_Shared->gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_Shadow.size()), nullptr, usage);
    if (m_LockSize)
      m_Shared->gl.BufferSubData(GL_ARRAY_BUFFER, m_LockOffset, m_LockSize, m_Shadow.data() + m_LockOffset);
  } else if (m_LockSize) {
    m_Shared->gl.BufferSubData(GL_ARRAY_BUFFER, m_LockOffset, m_LockSize, m_Shadow.data() + m_LockOffset);
  }
  return kOk;
}

template class GLBuffer<VertexBuffer>;
template class GLBuffer<IndexBuffer>;

// ---- surfaces ----

GLSurface::GLSurface(SharedPtr shared, const SurfaceDesc& desc, GLuint renderbuffer)
    : m_Shared(std::move(shared)), m_Desc(desc), m_Renderbuffer(renderbuffer) {
  if (desc.pool == Pool::SystemMem) m_Bits.assign(FormatLevelSize(desc.format, desc.width, desc.height), 0);
  if (desc.pool == Pool::Default) ++m_Shared->liveDefault;
}

GLSurface::~GLSurface() {
  if (m_Renderbuffer) m_Shared->gl.DeleteRenderbuffers(1, &m_Renderbuffer);
  if (m_Desc.pool == Pool::Default) --m_Shared->liveDefault;
}

void GLSurface::Release() { delete this; }

Result GLSurface::LockRect(LockedRect& locked, std::uint32_t) {
  if (m_Desc.pool != Pool::SystemMem) return kErrInvalidCall;
  locked.bits = m_Bits.data();
  locked.pitch = static_cast<std::int32_t>(FormatPitch(m_Desc.format, m_Desc.width));
  return kOk;
}

}  // namespace plat::gfx::gl
