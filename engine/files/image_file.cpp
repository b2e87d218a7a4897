// The image readers and the PNG writer over the engine's file layer: a reader takes the whole
// file (on disk or inside a zip archive) into memory and decodes it there.
#include <vector>

#include "engine/core/log.h"
#include "engine/files/data_manager.h"
#include "engine/files/file.h"
#include "engine/files/filename.h"
#include "engine/files/image_codecs.h"

namespace vek {
namespace {

// No picture the engine takes comes near this; a larger file is refused before it is read.
constexpr u64 kMaxImageFileBytes = kMaxImageBytes + (u64(1) << 20);

using MemoryReader = u32 (*)(cImage&, const void*, size_t, const char*, u64);

// Reads the whole file and hands its bytes to the reader. badFile is the reader's result
// for a file beyond the limit or not read whole.
u32 ReadThroughFile(cImage& image, const filename& name, MemoryReader reader, const char* kind,
                    u32 badFile) {
  cFile file;
  if (file.Open(name, "rb") != cFile::e_Opened) return e_ImgNotOpened;
  u32 size = file.GetSize();
  if (size > kMaxImageFileBytes) {
    file.Close();
    LogWarning("Data Manager", "Invalid %s file %s: file too large\n", kind, name.path);
    return badFile;
  }
  std::vector<u8> bytes(size);
  u32 got = size ? file.Read(bytes.data(), 1, size) : 0;
  if (!file.Close() || got != size) {
    // A short or damaged read is not decoded: the file layer has said why.
    LogWarning("Data Manager", "Invalid %s file %s: file not read\n", kind, name.path);
    return badFile;
  }
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
  // Written beside the target and renamed over it: a failure leaves the previous picture.
  if (cDataManager::WriteWhole(path, bytes.data(), u32(bytes.size())) != cDataManager::Ok) {
    LogWarning("Data Manager", "Could not write PNG file %s\n", path.path);
    return e_ImgNotWritten;
  }
  return e_ImgOk;
}

}  // namespace vek
