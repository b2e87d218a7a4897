#pragma once
// The engine's in-memory picture: a pixel format, a size and a chain of levels (mip maps),
// each level one owned block of bytes. Rows are stored bottom row first, packed without
// padding; pixels are red, green, blue (and alpha) in that byte order.
#include <memory>

#include "engine/core/types.h"

namespace vek {

// The ten pixel formats; every size computation goes through their table.
enum ePixelFormat : u32 {
  e_PixNone = 0,
  e_PixGrey8 = 1,       // 8-bit grey
  e_PixGreyAlpha = 2,   // 16-bit grey and alpha
  e_PixRGB565 = 3,      // 16-bit RGB
  e_PixRGB = 4,         // 24-bit RGB
  e_PixXRGB = 5,        // 32-bit RGB and a fourth byte that is not alpha
  e_PixARGB = 6,        // 32-bit RGB and alpha
  e_PixDXT1 = 7,
  e_PixDXT3 = 8,
  e_PixDXT5 = 9,
  e_PixFormatCount = 10
};

// Format flags: every format but "none" carries e_PixFlagValid | e_PixFlagTexture (nothing
// tests them); block-compressed formats add e_PixFlagCompressed.
enum : u32 {
  e_PixFlagValid = 1,
  e_PixFlagCompressed = 2,
  e_PixFlagTexture = 0x20000,
};

// One row of the format table. bytes is per pixel, or per 4 x 4 block when compressed.
struct PixelFormatInfo {
  u32 id;
  u32 flags;
  u32 bytes;
  u32 channels;
  u32 alpha;  // 1 when the format carries alpha
};

// Limits every image the engine makes or reads must stay within: a side of at most
// kMaxImageSide pixels and at most kMaxImageBytes for the whole level chain.
constexpr u32 kMaxImageSide = 32768;
constexpr u64 kMaxImageBytes = u64(256) << 20;

// The table row of a format; an id of 10 or more gives row 0.
const PixelFormatInfo& GetFormatInfo(u32 id);
// Bytes of one level of w x h pixels (block formats: w and h raised to 4, at least one
// block). Sizes beyond 32 bits saturate at 0xFFFFFFFF.
u32 GetImageSize(u32 id, u32 w, u32 h);
// Bytes of one row of w pixels (block formats: w raised to 4, at least one block).
u32 GetImagePitch(u32 id, u32 w);
// Levels of a full chain: the larger bit length of w and h (0 and 1 count as 1).
u32 MipLevelCount(u32 w, u32 h);

class cImage {
 public:
  // Format 0, 1 x 1, one level of 0 bytes.
  cImage();
  cImage(u32 id, u32 w, u32 h, u32 levels);
  ~cImage();
  cImage(cImage&& other) noexcept;
  cImage& operator=(cImage&& other) noexcept;
  cImage(const cImage&) = delete;
  cImage& operator=(const cImage&) = delete;

  // Frees what the image holds, then sets format and size. A side of 0 gives no levels;
  // otherwise levels is raised to 1 and lowered to the full chain, and every level gets an
  // uncleared block. False (and no levels) when the chain would exceed the size limits or
  // cannot be allocated.
  bool Create(u32 id, u32 w, u32 h, u32 levels);
  // Makes a one-level image whose level 0 is the given block of size bytes.
  void CreateFromBlock(u32 id, u32 w, u32 h, std::unique_ptr<u8[]> block, u32 size);
  // Releases every level; the image then holds no levels.
  void Free();

  const PixelFormatInfo& GetFormat() const { return m_Format; }
  u32 GetWidth() const { return m_Width; }
  u32 GetHeight() const { return m_Height; }
  u32 GetLevelCount() const { return m_LevelCount; }
  // The bytes of level i; null when there is no such level.
  u8* GetLevel(u32 i);
  const u8* GetLevel(u32 i) const;
  // GetImageSize for level i (max(1, width >> i) x max(1, height >> i)).
  u32 GetLevelSize(u32 i) const;

  // A new image with the same format, size and levels, every level's bytes copied.
  std::unique_ptr<cImage> Clone() const;

  // Formats 4, 5 and 6: exchanges the first and third byte of every pixel of every level.
  void SwapRedBlue();
  // Format 4 only: every level becomes 32-bit (fourth byte 255) and the format becomes 5.
  void ConvertRGBToXRGB();

 private:
  struct Level {
    std::unique_ptr<u8[]> data;
    u32 size = 0;
  };

  PixelFormatInfo m_Format;
  u32 m_Width = 1;
  u32 m_Height = 1;
  u32 m_LevelCount = 0;
  std::unique_ptr<Level[]> m_Levels;
};

}  // namespace vek
