// Feeds arbitrary bytes to the DDS reader and walks every level it returns.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/image_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vek::cImage image;
  if (vek::ReadDDS(image, data, size, "fuzz.dds", vekfuzz::kImageLimit) == 0) vekfuzz::Exercise(image);
  return 0;
}
