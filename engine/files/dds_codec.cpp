// DDS reader: DXT1/3/5 and 8-, 16-, 24- and 32-bit uncompressed pictures with their mip
// chain, flipped to bottom row first.
#include <algorithm>
#include <cstring>

#include "engine/core/log.h"
#include "engine/files/image_codecs.h"

namespace vek {
namespace {

constexpr u32 kHeaderSize = 124;
constexpr u32 kCapsCubeMap = 0x200;

u32 LoadU32(const u8* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (u32(p[3]) << 24); }

u32 FourCC(const char* s) { return LoadU32(reinterpret_cast<const u8*>(s)); }

u32 Fail(u32 result, const char* name, const char* reason) {
  LogWarning("Data Manager", "Invalid DDS file %s: %s\n", name, reason);
  return result;
}

u32 LevelSide(u32 side, u32 level) { return std::max<u32>(1, side >> level); }

// Bytes the file holds for one level: rows of the format's pitch, or whole blocks with
// max(1, side / 4) blocks across and down.
u64 LevelBytesInFile(u32 id, u32 w, u32 h) {
  const PixelFormatInfo& f = GetFormatInfo(id);
  if (f.flags & e_PixFlagCompressed)
    return u64(std::max<u32>(1, w / 4)) * std::max<u32>(1, h / 4) * f.bytes;
  return u64(GetImagePitch(id, w)) * h;
}

// A DXT5 alpha block: two end points, then 16 three-bit indices, 12 bits a row.
void FlipDxt5Alpha(const u8* from, u8* to) {
  to[0] = from[0];
  to[1] = from[1];
  u64 bits = 0;
  for (int i = 0; i < 6; ++i) bits |= u64(from[2 + i]) << (8 * i);
  u64 flipped = 0;
  for (int row = 0; row < 4; ++row) flipped |= ((bits >> (12 * row)) & 0xFFF) << (12 * (3 - row));
  for (int i = 0; i < 6; ++i) to[2 + i] = u8(flipped >> (8 * i));
}

// Stores one block with its pixel rows in reverse order. The colour part (the last eight
// bytes) keeps its two colour words and reverses its four index rows; a DXT3 alpha part
// (two bytes a row) and a DXT5 alpha part reverse their rows too, so that alpha stays with
// its colour.
void FlipBlock(u32 id, const u8* from, u8* to) {
  u32 colour = id == e_PixDXT1 ? 0 : 8;
  if (id == e_PixDXT3) {
    for (int row = 0; row < 4; ++row) {
      to[row * 2] = from[(3 - row) * 2];
      to[row * 2 + 1] = from[(3 - row) * 2 + 1];
    }
  } else if (id == e_PixDXT5) {
    FlipDxt5Alpha(from, to);
  }
  std::memcpy(to + colour, from + colour, 4);
  for (int row = 0; row < 4; ++row) to[colour + 4 + row] = from[colour + 7 - row];
}

}  // namespace

u32 ReadDDS(cImage& image, const void* data, size_t size, const char* name, u64 maxBytes) {
  const u8* file = static_cast<const u8*>(data);
  if (size < 4 || LoadU32(file) != FourCC("DDS ")) return Fail(e_ImgBadFile, name, "no DDS magic");
  if (size < 4 + kHeaderSize) return Fail(e_ImgBadFile, name, "short header");
  const u8* h = file + 4;
  u32 height = LoadU32(h + 8);
  u32 width = LoadU32(h + 12);
  u32 mipCount = LoadU32(h + 24);
  const u8* pf = h + 72;  // pixel format: size, flags, four-character code, bit count, masks
  u32 fourCC = LoadU32(pf + 8);
  u32 bitCount = LoadU32(pf + 12);
  u32 alphaMask = LoadU32(pf + 28);
  u32 caps2 = LoadU32(h + 108);

  if (caps2 & kCapsCubeMap) return Fail(e_ImgUnsupported, name, "cube maps are not supported");
  u32 levels = mipCount == 0 ? 1 : mipCount;

  u32 id;
  if (fourCC == FourCC("DXT1")) {
    id = e_PixDXT1;
  } else if (fourCC == FourCC("DXT3")) {
    id = e_PixDXT3;
  } else if (fourCC == FourCC("DXT5")) {
    id = e_PixDXT5;
  } else if (bitCount == 8) {
    id = e_PixGrey8;
  } else if (bitCount == 16 && alphaMask == 0xff00) {
    id = e_PixGreyAlpha;
  } else if (bitCount == 24) {
    id = e_PixRGB;
  } else if (bitCount == 32) {
    id = alphaMask == 0xff000000u ? e_PixARGB : e_PixXRGB;
  } else {
    return Fail(e_ImgUnsupported, name, "unsupported pixel format");
  }

  if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide)
    return Fail(e_ImgBadFile, name, "bad picture size");
  levels = std::min(levels, MipLevelCount(width, height));
  u64 needed = 0;
  u64 held = 0;
  for (u32 i = 0; i < levels; ++i) {
    u32 lw = LevelSide(width, i), lh = LevelSide(height, i);
    needed += LevelBytesInFile(id, lw, lh);
    held += GetImageSize(id, lw, lh);
  }
  if (held > std::min(maxBytes, kMaxImageBytes)) return Fail(e_ImgBadFile, name, "picture too large");
  if (needed > size - 4 - kHeaderSize) return Fail(e_ImgBadFile, name, "file too short");

  cImage read;
  if (!read.Create(id, width, height, levels) || read.GetLevelCount() != levels)
    return Fail(e_ImgBadFile, name, "picture too large");

  const PixelFormatInfo& f = GetFormatInfo(id);
  const u8* at = file + 4 + kHeaderSize;
  for (u32 i = 0; i < levels; ++i) {
    u32 lw = LevelSide(width, i), lh = LevelSide(height, i);
    u8* level = read.GetLevel(i);
    if (f.flags & e_PixFlagCompressed) {
      u32 across = std::max<u32>(1, lw / 4), down = std::max<u32>(1, lh / 4);
      u32 rowBytes = across * f.bytes;
      for (u32 r = 0; r < down; ++r) {
        u8* row = level + u64(down - 1 - r) * rowBytes;
        for (u32 b = 0; b < across; ++b) FlipBlock(id, at + u64(b) * f.bytes, row + u64(b) * f.bytes);
        at += rowBytes;
      }
    } else {
      u32 pitch = GetImagePitch(id, lw);
      for (u32 r = 0; r < lh; ++r) {
        u8* row = level + u64(lh - 1 - r) * pitch;
        std::memcpy(row, at, pitch);
        if (f.bytes >= 3)
          for (u32 p = 0; p + f.bytes <= pitch; p += f.bytes) std::swap(row[p], row[p + 2]);
        at += pitch;
      }
    }
  }
  image = std::move(read);
  return e_ImgOk;
}

}  // namespace vek
