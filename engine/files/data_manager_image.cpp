// cDataManager::ReadImage: picks the image reader by the file name's extension.
#include "engine/files/data_manager.h"

#if __has_include("engine/files/image_codecs.h")
#include "engine/files/image_codecs.h"
#define VEK_HAS_IMAGE_CODECS 1
#else
#define VEK_HAS_IMAGE_CODECS 0
#endif

namespace vek {

u32 cDataManager::ReadImage(const filename& name, cImage* image) {
  if (!image) return NoOutput;
#if VEK_HAS_IMAGE_CODECS
  // Compared exactly: the extension of a vek::filename is already lower case.
  if (name.ext == "png") return ReadPNG(*image, name);
  if (name.ext == "jpg") return ReadJPEG(*image, name);
  if (name.ext == "bmp") return ReadBMP(*image, name);
  if (name.ext == "dds") return ReadDDS(*image, name);
#else
  (void)name;
#endif
  return InternalError;
}

}  // namespace vek
