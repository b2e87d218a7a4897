#pragma once
// Small image files built by the tests themselves, and a capture of the engine log.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include "engine/core/log.h"
#include "engine/core/path_tokens.h"
#include "engine/core/types.h"

namespace vektest {

using Bytes = std::vector<vek::u8>;

// Collects what the engine logs while it lives.
class LogCapture {
 public:
  LogCapture() {
    m_OwnHolder = vek::g_pLogHolder == nullptr;
    if (m_OwnHolder) {
      const vek::string saved = vek::GetPathToken(vek::e_AppPath);
      vek::SetPathToken(vek::e_AppPath, "");
      vek::CreateLogHolder(1024, 768);
      vek::SetPathToken(vek::e_AppPath, saved);
    }
    m_File = std::tmpfile();
    vek::g_pLogHolder->m_LogFile.Attach(m_File);
  }
  ~LogCapture() {
    vek::g_pLogHolder->m_LogFile.Attach(nullptr);
    if (m_File) std::fclose(m_File);
    if (m_OwnHolder) vek::DestroyLogHolder();
  }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  std::string Text() const {
    std::string text;
    if (!m_File) return text;
    std::fflush(m_File);
    std::rewind(m_File);
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, m_File)) > 0) text.append(buf, n);
    return text;
  }
  bool Has(const std::string& part) const { return Text().find(part) != std::string::npos; }

 private:
  std::FILE* m_File = nullptr;
  bool m_OwnHolder = false;
};

inline void PutU16(Bytes& b, size_t at, vek::u32 v) {
  b[at] = vek::u8(v);
  b[at + 1] = vek::u8(v >> 8);
}
inline void PutU32(Bytes& b, size_t at, vek::u32 v) {
  for (int i = 0; i < 4; ++i) b[at + i] = vek::u8(v >> (8 * i));
}

// An uncompressed BMP: 14-byte file header, 40-byte information header, then the rows as
// given (the caller pads them).
inline Bytes MakeBmp(vek::i32 width, vek::i32 height, vek::u32 bits, const Bytes& rows) {
  Bytes b(54 + rows.size());
  b[0] = 'B';
  b[1] = 'M';
  PutU32(b, 2, vek::u32(54 + rows.size()));
  PutU32(b, 10, 54);
  PutU32(b, 14, 40);
  PutU32(b, 18, vek::u32(width));
  PutU32(b, 22, vek::u32(height));
  PutU16(b, 26, 1);
  PutU16(b, 28, bits);
  std::copy(rows.begin(), rows.end(), b.begin() + 54);
  return b;
}

// A DDS header (magic + 124 bytes) followed by data. fourCC empty for uncompressed files.
struct DdsHeader {
  vek::u32 width = 4, height = 4, mipCount = 0;
  const char* fourCC = "";
  vek::u32 bitCount = 0, alphaMask = 0, caps2 = 0;
};

inline Bytes MakeDds(const DdsHeader& h, const Bytes& data) {
  Bytes b(128 + data.size());
  std::memcpy(b.data(), "DDS ", 4);
  PutU32(b, 4, 124);
  PutU32(b, 8, 0x1007);
  PutU32(b, 12, h.height);
  PutU32(b, 16, h.width);
  PutU32(b, 28, h.mipCount);
  PutU32(b, 76, 32);
  if (*h.fourCC) {
    PutU32(b, 80, 4);
    std::memcpy(b.data() + 84, h.fourCC, 4);
  } else {
    PutU32(b, 80, 0x40);
  }
  PutU32(b, 88, h.bitCount);
  PutU32(b, 104, h.alphaMask);
  PutU32(b, 108, 0x1000);
  PutU32(b, 112, h.caps2);
  std::copy(data.begin(), data.end(), b.begin() + 128);
  return b;
}

// A PNG written with libpng straight from the given rows (top row first, as in the file).
struct PngFixture {
  vek::u32 width = 1, height = 1;
  int colorType = PNG_COLOR_TYPE_RGB;
  int depth = 8;
  bool interlace = false;
  std::vector<png_color> palette;
  Bytes trns;              // palette alpha values
  int trnsGrey = -1;       // grey value made transparent
  std::vector<Bytes> rows;  // packed as libpng expects for colorType and depth
};

inline void AppendPngBytes(png_structp png, png_bytep data, png_size_t n) {
  Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

inline Bytes MakePng(const PngFixture& s) {
  Bytes out;
  std::vector<png_bytep> rows;
  for (const Bytes& r : s.rows) rows.push_back(const_cast<png_bytep>(r.data()));
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, AppendPngBytes, nullptr);
  png_set_IHDR(png, info, s.width, s.height, s.depth, s.colorType,
               s.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!s.palette.empty())
    png_set_PLTE(png, info, s.palette.data(), static_cast<int>(s.palette.size()));
  if (!s.trns.empty()) {
    png_set_tRNS(png, info, s.trns.data(), static_cast<int>(s.trns.size()), nullptr);
  } else if (s.trnsGrey >= 0) {
    png_color_16 grey{};
    grey.gray = static_cast<png_uint_16>(s.trnsGrey);
    png_set_tRNS(png, info, nullptr, 0, &grey);
  }
  png_set_rows(png, info, rows.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

// A baseline JPEG from packed rows (top row first), quality 100.
inline Bytes MakeJpeg(vek::u32 width, vek::u32 height, int components, J_COLOR_SPACE space,
                      const Bytes& pixels) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = components;
  cinfo.in_color_space = space;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 100, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < height) {
    JSAMPROW row = const_cast<JSAMPROW>(pixels.data() + cinfo.next_scanline * width * components);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  Bytes out(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return out;
}

}  // namespace vektest
