// JPEG reader over libjpeg. The library's error exit jumps back to the reader (longjmp):
// the function that sets the return point and every function the jump can leave hold no
// object with a destructor; what must survive the jump lives in a plain job record.
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include <jpeglib.h>

#include "engine/core/log.h"
#include "engine/files/image_codecs.h"

namespace vek {
namespace {

constexpr size_t kSourceChunk = 4096;
// A progressive file names its scans freely; real files have a few dozen. Every scan walks
// the whole picture, so a file of many tiny scans would keep the reader busy for minutes.
constexpr int kMaxScans = 1000;
const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

// The source reads the bytes in chunks of up to 4096. When the bytes run out after some were
// read it supplies an end-of-image marker (a short file still gives a picture); an empty
// source reports no data.
struct MemorySource {
  jpeg_source_mgr pub;
  const u8* data;
  size_t size;
  size_t pos;
};

// Everything the decoding needs and leaves behind; plain data only.
struct JpegJob {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  jpeg_progress_mgr progress;
  const u8* data;
  size_t size;
  u64 maxBytes;
  u8* pixels;  // the result block, allocated with new[]; the caller takes it
  u32 width, height, components;
  const char* reason;  // why a picture was refused; null for a library error
};

void ErrorExit(j_common_ptr cinfo) {
  ErrorManager* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->output_message)(cinfo);
  std::longjmp(err->jump, 1);
}

void ProgressMonitor(j_common_ptr cinfo) {
  JpegJob* job = static_cast<JpegJob*>(cinfo->client_data);
  if (job->cinfo.input_scan_number > kMaxScans) {
    job->reason = "too many scans";
    std::longjmp(job->err.jump, 1);
  }
}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  MemorySource* src = reinterpret_cast<MemorySource*>(cinfo->src);
  size_t left = src->size - src->pos;
  if (left == 0) {
    if (src->pos == 0) return FALSE;
    src->pub.next_input_byte = kEndOfImage;
    src->pub.bytes_in_buffer = 2;
    return TRUE;
  }
  size_t n = left < kSourceChunk ? left : kSourceChunk;
  src->pub.next_input_byte = src->data + src->pos;
  src->pub.bytes_in_buffer = n;
  src->pos += n;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* src = cinfo->src;
  while (count > static_cast<long>(src->bytes_in_buffer)) {
    count -= static_cast<long>(src->bytes_in_buffer);
    if (!FillInputBuffer(cinfo)) {
      src->bytes_in_buffer = 0;
      return;
    }
  }
  src->next_input_byte += count;
  src->bytes_in_buffer -= count;
}

// Decodes job->data into job->pixels, rows bottom first. False on a library error or a
// refused picture; the decompressor is destroyed on every path.
bool DecodeJpeg(JpegJob* job) {
  std::memset(&job->cinfo, 0, sizeof(job->cinfo));
  job->cinfo.err = jpeg_std_error(&job->err.pub);
  job->err.pub.error_exit = ErrorExit;
  if (setjmp(job->err.jump)) {
    jpeg_destroy_decompress(&job->cinfo);
    return false;
  }
  jpeg_create_decompress(&job->cinfo);
  j_decompress_ptr cinfo = &job->cinfo;
  cinfo->client_data = job;
  job->progress.progress_monitor = ProgressMonitor;
  cinfo->progress = &job->progress;

  MemorySource* src = static_cast<MemorySource*>(
      (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT,
                                 sizeof(MemorySource)));
  src->pub.init_source = InitSource;
  src->pub.fill_input_buffer = FillInputBuffer;
  src->pub.skip_input_data = SkipInputData;
  src->pub.resync_to_restart = jpeg_resync_to_restart;
  src->pub.term_source = TermSource;
  src->pub.next_input_byte = nullptr;
  src->pub.bytes_in_buffer = 0;
  src->data = job->data;
  src->size = job->size;
  src->pos = 0;
  cinfo->src = &src->pub;

  if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) {
    job->reason = "no picture in the file";
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  jpeg_calc_output_dimensions(cinfo);
  u64 bytes = u64(cinfo->output_width) * cinfo->output_height * cinfo->output_components;
  if (cinfo->output_width == 0 || cinfo->output_height == 0 ||
      cinfo->output_width > kMaxImageSide || cinfo->output_height > kMaxImageSide ||
      bytes > job->maxBytes) {
    job->reason = "picture too large";
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  // Whole-picture coefficient buffers (progressive files) need about two bytes a sample;
  // beyond that the library stops with an error instead of allocating.
  cinfo->mem->max_memory_to_use = static_cast<long>(2 * job->maxBytes + (u64(16) << 20));
  jpeg_start_decompress(cinfo);

  job->width = cinfo->output_width;
  job->height = cinfo->output_height;
  job->components = cinfo->output_components;
  u32 stride = job->width * job->components;
  job->pixels = new (std::nothrow) u8[u64(stride) * job->height + 1];
  if (!job->pixels) {
    job->reason = "out of memory";
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                               stride, 1);
  std::memset(row[0], 0, stride);
  while (cinfo->output_scanline < cinfo->output_height) {
    u32 line = cinfo->output_scanline;
    if (jpeg_read_scanlines(cinfo, row, 1) != 1) {
      job->reason = "decoding stopped";
      jpeg_destroy_decompress(cinfo);
      return false;
    }
    std::memcpy(job->pixels + u64(job->height - 1 - line) * stride, row[0], stride);
  }
  jpeg_finish_decompress(cinfo);
  jpeg_destroy_decompress(cinfo);
  return true;
}

}  // namespace

u32 ReadJPEG(cImage& image, const void* data, size_t size, const char* name, u64 maxBytes) {
  auto job = std::make_unique<JpegJob>();
  job->data = static_cast<const u8*>(data);
  job->size = size;
  job->maxBytes = maxBytes < kMaxImageBytes ? maxBytes : kMaxImageBytes;
  job->pixels = nullptr;
  job->reason = nullptr;
  bool ok = DecodeJpeg(job.get());
  std::unique_ptr<u8[]> pixels(job->pixels);
  if (!ok) {
    if (job->reason)
      LogWarning("Data Manager", "Invalid JPEG file %s: %s\n", name, job->reason);
    else
      LogWarning("Data Manager", "Internal error in JPEG file: %s\n", name);
    return e_ImgDecodeError;
  }
  u32 id = job->components == 1 ? e_PixGrey8 : job->components == 3 ? e_PixRGB : e_PixNone;
  image.CreateFromBlock(id, job->width, job->height, std::move(pixels),
                        job->width * job->height * job->components);
  return e_ImgOk;
}

}  // namespace vek
