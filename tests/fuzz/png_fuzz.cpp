// Feeds arbitrary bytes to the PNG reader and walks every level it returns. Chunk checksums
// are put right first, so that mutations reach past the library's checksum test.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/fuzz/image_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> file(data, data + size);
  size_t pos = 8;
  while (pos + 12 <= file.size()) {
    uint32_t length = uint32_t(file[pos]) << 24 | file[pos + 1] << 16 | file[pos + 2] << 8 | file[pos + 3];
    if (length > file.size() - pos - 12) break;
    uint32_t crc = crc32(0, file.data() + pos + 4, length + 4);
    for (int i = 0; i < 4; ++i) file[pos + 8 + length + i] = uint8_t(crc >> (24 - 8 * i));
    pos += 12 + length;
  }
  vek::cImage image;
  if (vek::ReadPNG(image, file.data(), file.size(), "fuzz.png", vekfuzz::kImageLimit) == 0)
    vekfuzz::Exercise(image);
  return 0;
}
