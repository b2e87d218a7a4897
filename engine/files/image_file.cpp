// The image readers and the PNG writer over the engine's file layer: a reader takes the whole
// file (on disk or inside a zip archive) into memory and decodes it there.
#include <cstdio>
#include <vector>

#include "engine/core/log.h"
#include "engine/files/file.h"
#include "engine/files/filename.h"
#include "engine/files/image_codecs.h"

namespace vek {
namespace {

// No picture the engine takes comes near this; a larger file is refused before it is read.
constexpr u64 kMaxImageFileBytes = kMaxImageBytes + (u64(1) << 20);

using MemoryReader = u32 (*)(cImage&, const void*, size_t, const char*, u64);

// Reads the whole file and hands its bytes to the reader. tooLarge is the reader's result
// for a file beyond the limit.
u32 ReadThroughFile(cImage& image, const filename& name, MemoryReader reader, const char* kind,
                    u32 tooLarge) {
  cFile file;
  if (file.Open(name, "rb") != cFile::e_Opened) return e_ImgNotOpened;
  u32 size = file.GetSize();
  if (size > kMaxImageFileBytes) {
    file.Close();
    LogWarning("Data Manager", "Invalid %s file %s: file too large\n", kind, name.path);
    return tooLarge;
  }
  std::vector<u8> bytes(size);
  u32 got = size ? file.Read(bytes.data(), 1, size) : 0;
  file.Close();
  bytes.resize(got);  // a short read decodes what arrived; the reader checks the lengths
  return reader(image, bytes.data(), bytes.size(), name.c_str(), kMaxImageBytes);
}

}  // namespace

u32 ReadDDS(cImage& image, const filename& name) {
  return ReadThroughFile(image, name, ReadDDS, "DDS", e_ImgBadFile);
}

u32 ReadBMP(cImage& image, const filename& name) {
  return ReadThroughFile(image, name, ReadBMP, "BMP", e_ImgBadFile);
}

u32 ReadJPEG(cImage& image, const filename& name) {
  return ReadThroughFile(image, name, ReadJPEG, "JPEG", e_ImgDecodeError);
}

u32 ReadPNG(cImage& image, const filename& name) {
  return ReadThroughFile(image, name, ReadPNG, "PNG", e_ImgDecodeError);
}

u32 WritePNG(const cImage& image, const filename& path) {
  std::vector<u8> bytes;
  if (u32 result = WritePNG(image, bytes, path.c_str())) return result;
  cFile file;
  if (file.Open(path, "wb") != cFile::e_Opened) return e_ImgNotWritten;
  bool written = file.Write(bytes.data(), 1, u32(bytes.size())) == bytes.size();
  if (!file.Close() || !written) {
    // A partial picture is worth nothing: take it away rather than leave a damaged file.
    std::remove(NativePath(path.path).c_str());
    LogWarning("Data Manager", "Could not write PNG file %s\n", path.path);
    return e_ImgNotWritten;
  }
  return e_ImgOk;
}

}  // namespace vek
