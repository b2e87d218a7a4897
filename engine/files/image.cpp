#include "engine/files/image.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace vek {
namespace {

constexpr u32 kPlain = e_PixFlagValid | e_PixFlagTexture;
constexpr u32 kBlock = e_PixFlagValid | e_PixFlagCompressed | e_PixFlagTexture;

const PixelFormatInfo kFormats[e_PixFormatCount] = {
    {e_PixNone, 0, 0, 0, 0},
    {e_PixGrey8, kPlain, 1, 1, 0},
    {e_PixGreyAlpha, kPlain, 2, 2, 1},
    {e_PixRGB565, kPlain, 2, 3, 0},
    {e_PixRGB, kPlain, 3, 3, 0},
    {e_PixXRGB, kPlain, 4, 4, 0},
    {e_PixARGB, kPlain, 4, 4, 1},
    {e_PixDXT1, kBlock, 8, 3, 0},
    {e_PixDXT3, kBlock, 16, 4, 1},
    {e_PixDXT5, kBlock, 16, 4, 1},
};

u32 Saturate(u64 value) { return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<u32>(value); }

u32 LevelSide(u32 side, u32 level) { return level >= 32 ? 1 : std::max<u32>(1, side >> level); }

// Exchanges bytes 0 and 2 of every pixel of stride bytes in a block of size bytes.
void SwapBytes02(u8* data, u32 size, u32 stride) {
  for (u32 at = 0; at + stride <= size; at += stride) std::swap(data[at], data[at + 2]);
}

}  // namespace

const PixelFormatInfo& GetFormatInfo(u32 id) {
  return kFormats[id < e_PixFormatCount ? id : 0];
}

u32 GetImageSize(u32 id, u32 w, u32 h) {
  const PixelFormatInfo& f = GetFormatInfo(id);
  if (f.flags & e_PixFlagCompressed) {
    u64 size = u64(f.bytes) * std::max<u32>(w, 4) * std::max<u32>(h, 4) / 16;
    return Saturate(std::max<u64>(size, f.bytes));
  }
  return Saturate(u64(f.bytes) * w * h);
}

u32 GetImagePitch(u32 id, u32 w) {
  const PixelFormatInfo& f = GetFormatInfo(id);
  if (f.flags & e_PixFlagCompressed) {
    u64 pitch = u64(f.bytes) * std::max<u32>(w, 4) / 4;
    return Saturate(std::max<u64>(pitch, f.bytes));
  }
  return Saturate(u64(f.bytes) * w);
}

u32 MipLevelCount(u32 w, u32 h) {
  u32 largest = std::max(w, h);
  u32 bits = 1;
  while (largest > 1) {
    largest >>= 1;
    ++bits;
  }
  return bits;
}

cImage::cImage() : m_Format(kFormats[0]) {
  m_LevelCount = 1;
  m_Levels.reset(new Level[1]);
  m_Levels[0].data.reset(new u8[1]);  // a block of 0 usable bytes
}

cImage::cImage(u32 id, u32 w, u32 h, u32 levels) : m_Format(GetFormatInfo(id)) {
  Create(id, w, h, levels);
}

cImage::~cImage() = default;

cImage::cImage(cImage&& other) noexcept
    : m_Format(other.m_Format),
      m_Width(other.m_Width),
      m_Height(other.m_Height),
      m_LevelCount(other.m_LevelCount),
      m_Levels(std::move(other.m_Levels)) {
  other.m_LevelCount = 0;
}

cImage& cImage::operator=(cImage&& other) noexcept {
  if (this != &other) {
    m_Format = other.m_Format;
    m_Width = other.m_Width;
    m_Height = other.m_Height;
    m_LevelCount = other.m_LevelCount;
    m_Levels = std::move(other.m_Levels);
    other.m_LevelCount = 0;
  }
  return *this;
}

bool cImage::Create(u32 id, u32 w, u32 h, u32 levels) {
  Free();
  m_Format = GetFormatInfo(id);
  m_Width = w;
  m_Height = h;
  if (w == 0 || h == 0) return true;
  if (w > kMaxImageSide || h > kMaxImageSide) return false;
  u32 count = std::clamp<u32>(levels, 1, MipLevelCount(w, h));
  u64 total = 0;
  for (u32 i = 0; i < count; ++i) total += GetImageSize(id, LevelSide(w, i), LevelSide(h, i));
  if (total > kMaxImageBytes) return false;

  std::unique_ptr<Level[]> chain(new (std::nothrow) Level[count]);
  if (!chain) return false;
  for (u32 i = 0; i < count; ++i) {
    u32 size = GetImageSize(id, LevelSide(w, i), LevelSide(h, i));
    // One spare byte keeps a 0-byte level a valid, distinct block.
    chain[i].data.reset(new (std::nothrow) u8[size + 1]);
    if (!chain[i].data) return false;
    chain[i].size = size;
  }
  m_Levels = std::move(chain);
  m_LevelCount = count;
  return true;
}

void cImage::CreateFromBlock(u32 id, u32 w, u32 h, std::unique_ptr<u8[]> block, u32 size) {
  Free();
  m_Format = GetFormatInfo(id);
  m_Width = w;
  m_Height = h;
  m_Levels.reset(new Level[1]);
  m_Levels[0].data = std::move(block);
  m_Levels[0].size = size;
  m_LevelCount = 1;
}

void cImage::Free() {
  m_Levels.reset();
  m_LevelCount = 0;
}

u8* cImage::GetLevel(u32 i) { return i < m_LevelCount ? m_Levels[i].data.get() : nullptr; }

const u8* cImage::GetLevel(u32 i) const {
  return i < m_LevelCount ? m_Levels[i].data.get() : nullptr;
}

u32 cImage::GetLevelSize(u32 i) const {
  return GetImageSize(m_Format.id, LevelSide(m_Width, i), LevelSide(m_Height, i));
}

std::unique_ptr<cImage> cImage::Clone() const {
  auto copy = std::make_unique<cImage>();
  copy->Free();
  copy->m_Format = m_Format;
  copy->m_Width = m_Width;
  copy->m_Height = m_Height;
  if (m_LevelCount > 0) {
    copy->m_Levels.reset(new Level[m_LevelCount]);
    for (u32 i = 0; i < m_LevelCount; ++i) {
      const Level& from = m_Levels[i];
      Level& to = copy->m_Levels[i];
      to.data.reset(new u8[from.size + 1]);
      std::memcpy(to.data.get(), from.data.get(), from.size);
      to.size = from.size;
    }
  }
  copy->m_LevelCount = m_LevelCount;
  return copy;
}

void cImage::SwapRedBlue() {
  u32 id = m_Format.id;
  if (id != e_PixRGB && id != e_PixXRGB && id != e_PixARGB) return;
  for (u32 i = 0; i < m_LevelCount; ++i) {
    u32 pixels = LevelSide(m_Width, i) * LevelSide(m_Height, i);
    u32 size = std::min(m_Levels[i].size, pixels * m_Format.bytes);
    SwapBytes02(m_Levels[i].data.get(), size, m_Format.bytes);
  }
}

void cImage::ConvertRGBToXRGB() {
  if (m_Format.id != e_PixRGB) return;
  for (u32 i = 0; i < m_LevelCount; ++i) {
    u32 pixels = LevelSide(m_Width, i) * LevelSide(m_Height, i);
    std::unique_ptr<u8[]> wide(new u8[u64(pixels) * 4 + 1]);
    const u8* from = m_Levels[i].data.get();
    u32 have = std::min(pixels, m_Levels[i].size / 3);
    for (u32 p = 0; p < pixels; ++p) {
      u8* to = wide.get() + u64(p) * 4;
      if (p < have) {
        to[0] = from[p * 3];
        to[1] = from[p * 3 + 1];
        to[2] = from[p * 3 + 2];
      } else {
        to[0] = to[1] = to[2] = 0;
      }
      to[3] = 255;
    }
    m_Levels[i].data = std::move(wide);
    m_Levels[i].size = pixels * 4;
  }
  m_Format = kFormats[e_PixXRGB];
}

}  // namespace vek
