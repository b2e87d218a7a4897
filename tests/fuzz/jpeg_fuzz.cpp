// Feeds arbitrary bytes to the JPEG reader and walks every level it returns.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/image_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vek::cImage image;
  if (vek::ReadJPEG(image, data, size, "fuzz.jpeg", vekfuzz::kImageLimit) == 0) vekfuzz::Exercise(image);
  return 0;
}
