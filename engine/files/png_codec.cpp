// PNG reader and writer over libpng. A library error jumps back (longjmp) to the return
// point set before the library is called: the function that sets it and every callback the
// jump can leave hold no object with a destructor; what must survive the jump lives in a
// plain job record.
#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>

#include <png.h>

#include "engine/core/log.h"
#include "engine/files/image_codecs.h"

namespace vek {
namespace {

constexpr size_t kSignatureSize = 8;

enum eStep : u32 { e_Done, e_NoReadStruct, e_NoInfoStruct, e_LibraryError, e_Refused };

struct PngReadJob {
  const u8* data;
  size_t size;
  size_t pos;
  u64 maxBytes;
  png_structp png;
  png_infop info;
  u8* pixels;        // allocated with new[]; the caller takes it
  png_bytep* rows;   // allocated with new[]; the caller frees it
  u32 width, height, colorType, rowBytes;
  const char* reason;  // why a picture was refused
};

void ReadCallback(png_structp png, png_bytep out, png_size_t count) {
  PngReadJob* job = static_cast<PngReadJob*>(png_get_io_ptr(png));
  if (count > job->size - job->pos) png_error(png, "unexpected end of file");
  std::memcpy(out, job->data + job->pos, count);
  job->pos += count;
}

u32 DecodePng(PngReadJob* job) {
  job->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!job->png) return e_NoReadStruct;
  job->info = png_create_info_struct(job->png);
  if (!job->info) {
    png_destroy_read_struct(&job->png, nullptr, nullptr);
    return e_NoInfoStruct;
  }
  if (setjmp(png_jmpbuf(job->png))) {
    png_destroy_read_struct(&job->png, &job->info, nullptr);
    return e_LibraryError;
  }
  png_structp png = job->png;
  png_infop info = job->info;
  png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
  png_set_read_fn(png, job, ReadCallback);
  png_set_sig_bytes(png, kSignatureSize);
  job->pos = kSignatureSize;
  png_read_info(png, info);

  png_uint_32 width, height;
  int depth, colorType;
  png_get_IHDR(png, info, &width, &height, &depth, &colorType, nullptr, nullptr, nullptr);
  if (depth == 16) png_set_strip_16(png);
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  double fileGamma;
  if (!png_get_gAMA(png, info, &fileGamma)) fileGamma = 0.45455;
  png_set_gamma(png, 2.2, fileGamma);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  png_get_IHDR(png, info, &width, &height, &depth, &colorType, nullptr, nullptr, nullptr);

  job->width = width;
  job->height = height;
  job->colorType = colorType;
  job->rowBytes = static_cast<u32>(png_get_rowbytes(png, info));
  if (u64(job->rowBytes) * height > job->maxBytes) {
    job->reason = "picture too large";
    png_destroy_read_struct(&job->png, &job->info, nullptr);
    return e_Refused;
  }
  job->pixels = new (std::nothrow) u8[u64(job->rowBytes) * height + 1];
  job->rows = new (std::nothrow) png_bytep[height];
  if (!job->pixels || !job->rows) {
    job->reason = "out of memory";
    png_destroy_read_struct(&job->png, &job->info, nullptr);
    return e_Refused;
  }
  for (u32 j = 0; j < height; ++j) job->rows[j] = job->pixels + u64(height - 1 - j) * job->rowBytes;
  png_read_image(png, job->rows);
  png_read_end(png, nullptr);
  png_destroy_read_struct(&job->png, &job->info, nullptr);
  return e_Done;
}

struct PngWriteJob {
  const u8* level;
  u32 width, height, stride;
  int colorType;
  std::vector<u8>* out;
  png_structp png;
  png_infop info;
};

void WriteCallback(png_structp png, png_bytep data, png_size_t count) {
  PngWriteJob* job = static_cast<PngWriteJob*>(png_get_io_ptr(png));
  bool stored = true;
  try {
    job->out->insert(job->out->end(), data, data + count);
  } catch (...) {
    stored = false;
  }
  if (!stored) png_error(png, "out of memory");
}

void FlushCallback(png_structp) {}

u32 EncodePng(PngWriteJob* job) {
  job->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!job->png) return e_NoReadStruct;
  job->info = png_create_info_struct(job->png);
  if (!job->info) {
    png_destroy_write_struct(&job->png, nullptr);
    return e_NoInfoStruct;
  }
  if (setjmp(png_jmpbuf(job->png))) {
    png_destroy_write_struct(&job->png, &job->info);
    return e_LibraryError;
  }
  png_structp png = job->png;
  png_set_write_fn(png, job, WriteCallback, FlushCallback);
  png_set_IHDR(png, job->info, job->width, job->height, 8, job->colorType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, job->info);
  for (u32 j = 0; j < job->height; ++j)
    png_write_row(png, job->level + u64(job->height - 1 - j) * job->stride);
  png_write_end(png, job->info);
  png_destroy_write_struct(&job->png, &job->info);
  return e_Done;
}

}  // namespace

u32 ReadPNG(cImage& image, const void* data, size_t size, const char* name, u64 maxBytes) {
  const u8* bytes = static_cast<const u8*>(data);
  if (size < kSignatureSize || png_sig_cmp(bytes, 0, kSignatureSize) != 0) {
    LogWarning("Data Manager", "Invalid PNG format: Unknown signature in file %s\n", name);
    return e_ImgBadFile;
  }
  auto job = std::make_unique<PngReadJob>();
  job->data = bytes;
  job->size = size;
  job->maxBytes = maxBytes < kMaxImageBytes ? maxBytes : kMaxImageBytes;
  job->pixels = nullptr;
  job->rows = nullptr;
  job->reason = nullptr;
  u32 step = DecodePng(job.get());
  std::unique_ptr<u8[]> pixels(job->pixels);
  std::unique_ptr<png_bytep[]> rows(job->rows);
  switch (step) {
    case e_Done:
      break;
    case e_NoReadStruct:
      LogWarning("Data Manager", "Create 'png_struct' - failed\n");
      return e_ImgDecodeError;
    case e_NoInfoStruct:
      LogWarning("Data Manager", "Create 'png_info' - failed\n");
      return e_ImgDecodeError;
    case e_Refused:
      LogWarning("Data Manager", "Invalid PNG file %s: %s\n", name, job->reason);
      return e_ImgDecodeError;
    default:
      LogWarning("Data Manager", "Internal error in PNG file: %s\n", name);
      return e_ImgDecodeError;
  }
  u32 id = e_PixNone;
  switch (job->colorType) {
    case PNG_COLOR_TYPE_GRAY: id = e_PixGrey8; break;
    case PNG_COLOR_TYPE_RGB: id = e_PixRGB; break;
    case PNG_COLOR_TYPE_GRAY_ALPHA: id = e_PixGreyAlpha; break;
    case PNG_COLOR_TYPE_RGB_ALPHA: id = e_PixARGB; break;
  }
  image.CreateFromBlock(id, job->width, job->height, std::move(pixels),
                        job->rowBytes * job->height);
  return e_ImgOk;
}

u32 WritePNG(const cImage& image, std::vector<u8>& out, const char* name) {
  const u8* level = image.GetLevel(0);
  int colorType;
  u32 channels;
  switch (image.GetFormat().id) {
    case e_PixGrey8: colorType = PNG_COLOR_TYPE_GRAY; channels = 1; break;
    case e_PixGreyAlpha: colorType = PNG_COLOR_TYPE_GRAY_ALPHA; channels = 2; break;
    case e_PixRGB: colorType = PNG_COLOR_TYPE_RGB; channels = 3; break;
    case e_PixARGB: colorType = PNG_COLOR_TYPE_RGB_ALPHA; channels = 4; break;
    default: return e_ImgBadFile;
  }
  if (!level) return e_ImgBadFile;

  auto job = std::make_unique<PngWriteJob>();
  job->level = level;
  job->width = image.GetWidth() ? image.GetWidth() : 1;
  job->height = image.GetHeight() ? image.GetHeight() : 1;
  job->stride = job->width * channels;
  job->colorType = colorType;
  job->out = &out;
  out.clear();
  switch (EncodePng(job.get())) {
    case e_Done:
      return e_ImgOk;
    case e_NoReadStruct:
      LogWarning("Data Manager", "Create 'png_struct' for writing- failed\n");
      return e_ImgDecodeError;
    case e_NoInfoStruct:
      LogWarning("Data Manager", "Create 'png_info' for writing - failed\n");
      return e_ImgDecodeError;
    default:
      LogWarning("Data Manager", "Internal error while writing PNG file: %s\n", name);
      out.clear();
      return e_ImgDecodeError;
  }
}

}  // namespace vek
