// The image readers and the PNG writer over files: the file layer reads the whole file (from
// disk or a zip archive) and the readers over memory decode it; the writer encodes in memory
// and writes the bytes to a disk file.
#include <memory>
#include <vector>

#include "engine/core/file.h"
#include "engine/core/image_codecs.h"

namespace vek {

namespace {
using MemoryReader = u32 (*)(cImage&, const void*, size_t, const char*, u64);

u32 ReadThroughFile(cImage& image, const filename& name, MemoryReader reader) {
  cFile file;
  if (file.Open(name, "rb") != cFile::e_Opened) return e_ImgNotOpened;
  const u32 size = file.GetSize();
  std::vector<u8> bytes(size);
  const u32 got = size ? file.Read(bytes.data(), 1, size) : 0;
  file.Close();
  bytes.resize(got);
  return reader(image, bytes.data(), bytes.size(), name.c_str(), kMaxImageBytes);
}
}  // namespace

u32 ReadDDS(cImage& image, const filename& name) {
  return ReadThroughFile(image, name, static_cast<MemoryReader>(&ReadDDS));
}
u32 ReadBMP(cImage& image, const filename& name) {
  return ReadThroughFile(image, name, static_cast<MemoryReader>(&ReadBMP));
}
u32 ReadJPEG(cImage& image, const filename& name) {
  return ReadThroughFile(image, name, static_cast<MemoryReader>(&ReadJPEG));
}
u32 ReadPNG(cImage& image, const filename& name) {
  return ReadThroughFile(image, name, static_cast<MemoryReader>(&ReadPNG));
}

u32 WritePNG(const cImage& image, const filename& path) {
  std::vector<u8> bytes;
  const u32 result = WritePNG(image, bytes, path.c_str());
  if (result != e_ImgOk) return result;
  cFile file;
  if (file.Open(path, "wb") != cFile::e_Opened) return e_ImgNotWritten;
  const bool written = file.Write(bytes.data(), 1, static_cast<u32>(bytes.size())) == bytes.size();
  return (file.Close() && written) ? e_ImgOk : e_ImgNotWritten;
}

}  // namespace vek
