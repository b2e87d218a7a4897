// The OpenGL system: the adapter's display mode and format checks, and devices on the
// window's GL context.
#include "platform/gfx_gl.h"
#include "platform/window.h"

namespace plat::gfx {
namespace {

class GLSystem final : public System {
 public:
  void Release() override { delete this; }

  Result GetAdapterDisplayMode(DisplayMode& mode) override {
    plat::DisplayMode desktop;
    if (!plat::GetWindow().DesktopMode(desktop)) return kErrNotAvailable;
    mode = DisplayMode{desktop.width, desktop.height, desktop.refresh,
                       desktop.bpp == 16 ? Format::R5G6B5 : Format::X8R8G8B8};
    return kOk;
  }

  Result CheckDeviceFormat(Format, std::uint32_t usage, ResourceType, Format format) override {
    if (usage & kUsageDepthStencil)
      return (format == Format::D16 || format == Format::D24X8 || format == Format::D24S8) ? kOk
                                                                                          : kErrNotAvailable;
    gl::PixelTransfer t;
    if (!gl::TransferOf(format, t)) return kErrNotAvailable;
    if (t.compressed && (!Ready() || !m_Shared->s3tc)) return kErrNotAvailable;
    return kOk;
  }

  Result CheckDepthStencilMatch(Format, Format, Format depth) override {
    return (depth == Format::D16 || depth == Format::D24X8 || depth == Format::D24S8) ? kOk : kErrNotAvailable;
  }

  Result CheckDeviceMultiSampleType(Format, bool, std::uint32_t samples) override {
    if (samples == 0) return kOk;
    if (!Ready()) return kErrNotAvailable;
    return (samples == 2 || samples == 4) && static_cast<GLint>(samples) <= m_Shared->maxSamples
               ? kOk
               : kErrNotAvailable;
  }

  Result GetDeviceCaps(Caps& caps) override {
    if (!Ready()) return kErrNotAvailable;
    caps.maxTextureWidth = caps.maxTextureHeight = static_cast<std::uint32_t>(m_Shared->maxTextureSize);
    caps.maxAnisotropy = static_cast<std::uint32_t>(m_Shared->maxAnisotropy);
    return kOk;
  }

  Result CreateDevice(VertexProcessing, PresentParameters& params, Device** device) override {
    if (!device) return kErrInvalidCall;
    *device = nullptr;
    if (!Ready()) return kErrNotAvailable;
    *device = gl::CreateDevice(m_Shared, params);
    return *device ? kOk : kErrNotAvailable;
  }

 private:
  // The entry points and limits of the window's context, read once it exists.
  bool Ready() {
    if (m_Shared) return true;
    if (!plat::GetWindow().HasGLContext()) return false;
    auto shared = std::make_shared<gl::Shared>();
    if (!shared->gl.Load(nullptr) || !gl::QueryContext(*shared)) return false;
    m_Shared = std::move(shared);
    return true;
  }

  gl::SharedPtr m_Shared;
};

}  // namespace

System* CreateGLSystem() { return new GLSystem(); }

}  // namespace plat::gfx
