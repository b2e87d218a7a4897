// BMP reader: uncompressed 24- and 32-bit pictures, either row order.
#include <algorithm>
#include <cstring>

#include "engine/core/log.h"
#include "engine/files/image_codecs.h"

namespace vek {
namespace {

constexpr u32 kFileHeaderSize = 14;
constexpr u32 kInfoHeaderSize = 40;

u32 LoadU16(const u8* p) { return p[0] | (p[1] << 8); }
u32 LoadU32(const u8* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (u32(p[3]) << 24); }

u32 Fail(const char* name, const char* reason) {
  LogWarning("Data Manager", "Invalid BMP file %s: %s\n", name, reason);
  return e_ImgBadFile;
}

}  // namespace

u32 ReadBMP(cImage& image, const void* data, size_t size, const char* name, u64 maxBytes) {
  const u8* file = static_cast<const u8*>(data);
  if (size < kFileHeaderSize || LoadU16(file) != 0x4d42) return Fail(name, "no BM signature");
  if (size < kFileHeaderSize + kInfoHeaderSize) return Fail(name, "short header");
  u32 pixelOffset = LoadU32(file + 10);
  const u8* info = file + kFileHeaderSize;
  i32 width = static_cast<i32>(LoadU32(info + 4));
  i32 height = static_cast<i32>(LoadU32(info + 8));
  u32 planes = LoadU16(info + 12);
  u32 bits = LoadU16(info + 14);
  u32 compression = LoadU32(info + 16);
  if (planes != 1 || (bits != 24 && bits != 32) || compression != 0)
    return Fail(name, "not an uncompressed 24- or 32-bit picture");

  // Rows stored top first when the height is negative.
  bool topDown = height < 0;
  u64 rows = topDown ? -i64(height) : i64(height);
  if (width <= 0 || rows == 0 || u64(width) > kMaxImageSide || rows > kMaxImageSide)
    return Fail(name, "bad picture size");
  u32 w = static_cast<u32>(width), h = static_cast<u32>(rows);
  u32 id = bits == 32 ? e_PixARGB : e_PixRGB;
  u32 bytes = bits / 8;
  if (GetImageSize(id, w, h) > std::min(maxBytes, kMaxImageBytes))
    return Fail(name, "picture too large");

  // The pixels start where the file header says, but never inside the headers.
  u64 start = std::max<u64>(pixelOffset, kFileHeaderSize + kInfoHeaderSize);
  u64 rowBytes = u64(w) * bytes;
  u64 filePitch = (rowBytes + 3) & ~u64(3);
  // The last row's padding may be missing.
  if (start > size || (size - start) < filePitch * (h - 1) + rowBytes)
    return Fail(name, "file too short");

  cImage read;
  if (!read.Create(id, w, h, 1)) return Fail(name, "picture too large");
  u8* level = read.GetLevel(0);
  const u8* from = file + start;
  for (u32 r = 0; r < h; ++r, from += filePitch) {
    u8* row = level + u64(topDown ? h - 1 - r : r) * rowBytes;
    std::memcpy(row, from, rowBytes);
    for (u64 p = 0; p < rowBytes; p += bytes) std::swap(row[p], row[p + 2]);
  }
  image = std::move(read);
  return e_ImgOk;
}

}  // namespace vek
