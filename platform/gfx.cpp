// Shared helpers of the graphics device layer and the choice of back end.
#include "platform/gfx.h"

#include <algorithm>
#include <utility>

namespace plat::gfx {

const char* FormatName(Format f) {
  switch (f) {
    case Format::Unknown: return "Unknown";
    case Format::R5G6B5: return "R5G6B5";
    case Format::X8R8G8B8: return "X8R8G8B8";
    case Format::A8R8G8B8: return "A8R8G8B8";
    case Format::L8: return "L8";
    case Format::A8L8: return "A8L8";
    case Format::DXT1: return "DXT1";
    case Format::DXT3: return "DXT3";
    case Format::DXT5: return "DXT5";
    case Format::D16: return "D16";
    case Format::D24X8: return "D24X8";
    case Format::D24S8: return "D24S8";
    case Format::Index16: return "Index16";
  }
  return "?";
}

bool IsBlockFormat(Format f) { return f == Format::DXT1 || f == Format::DXT3 || f == Format::DXT5; }

std::uint32_t FormatBytes(Format f) {
  switch (f) {
    case Format::L8: return 1;
    case Format::A8L8:
    case Format::R5G6B5:
    case Format::Index16: return 2;
    case Format::X8R8G8B8:
    case Format::A8R8G8B8: return 4;
    case Format::DXT1: return 8;
    case Format::DXT3:
    case Format::DXT5: return 16;
    default: return 0;
  }
}

std::uint32_t FormatPitch(Format f, std::uint32_t width) {
  if (IsBlockFormat(f)) return std::max<std::uint32_t>(1, (width + 3) / 4) * FormatBytes(f);
  return width * FormatBytes(f);
}

std::uint32_t FormatLevelSize(Format f, std::uint32_t width, std::uint32_t height) {
  if (IsBlockFormat(f)) return FormatPitch(f, width) * std::max<std::uint32_t>(1, (height + 3) / 4);
  return FormatPitch(f, width) * height;
}

std::uint32_t FvfTexDimension(std::uint32_t fvf) {
  if (!(fvf & kFvfTex1)) return 0;
  switch (fvf & kFvfTexSizeMask) {
    case kFvfTexSize1: return 1;
    case kFvfTexSize3: return 3;
    case kFvfTexSize4: return 4;
    default: return 2;
  }
}

std::uint32_t FvfStride(std::uint32_t fvf) {
  std::uint32_t stride = 0;
  if (fvf & kFvfXyz) stride += 12;
  else if (fvf & kFvfXy) stride += 8;
  if (fvf & kFvfNormal) stride += 12;
  if (fvf & kFvfDiffuse) stride += 4;
  return stride + 4 * FvfTexDimension(fvf);
}

const char* RenderStateName(RenderState s) {
  static const char* const names[] = {"ZEnable",         "ZWriteEnable",     "ZFunc",
                                      "CullMode",        "Lighting",         "AlphaTestEnable",
                                      "AlphaFunc",       "AlphaRef",         "AlphaBlendEnable",
                                      "SrcBlend",        "DestBlend",        "BlendOp",
                                      "TextureFactor"};
  auto i = static_cast<std::uint32_t>(s);
  return i < static_cast<std::uint32_t>(RenderState::Count) ? names[i] : "?";
}

const char* StageStateName(StageState s) {
  static const char* const names[] = {"ColorOp",   "ColorArg1",     "ColorArg2",
                                      "AlphaOp",   "AlphaArg1",     "AlphaArg2",
                                      "TexCoordIndex", "AddressU",  "AddressV",
                                      "AddressW",  "MagFilter",     "MinFilter",
                                      "MipFilter", "MaxAnisotropy", "TextureTransformFlags"};
  auto i = static_cast<std::uint32_t>(s);
  return i < static_cast<std::uint32_t>(StageState::Count) ? names[i] : "?";
}

std::uint32_t PrimitiveVertexCount(Primitive type, std::uint32_t n) {
  switch (type) {
    case Primitive::PointList: return n;
    case Primitive::LineList: return 2 * n;
    case Primitive::LineStrip: return n ? n + 1 : 0;
    case Primitive::TriangleList: return 3 * n;
    case Primitive::TriangleStrip:
    case Primitive::TriangleFan: return n ? n + 2 : 0;
  }
  return 0;
}

namespace {
std::function<System*()>& Factory() {
  static std::function<System*()> factory;
  return factory;
}
}  // namespace

System* CreateSystem() {
  if (Factory()) return Factory()();
  return CreateGLSystem();
}

void SetSystemFactory(std::function<System*()> factory) { Factory() = std::move(factory); }

}  // namespace plat::gfx
