#pragma once
// Image readers (DDS, BMP, JPEG, PNG) and the PNG writer.
//
// Each reader fills a cImage with rows bottom row first and pixels in red, green, blue,
// alpha byte order, and returns 0 when the picture was read. The output image is changed
// only when the read succeeds. Every size, level count and offset a file states is checked
// against the file's length and the limits of image.h before anything is allocated; a bad
// file is a warning in the log (sender "Data Manager") and a failure result.
//
// Results of the readers:
//   ReadDDS   2 not opened, 3 no "DDS " magic or bad header / short file,
//             5 cube map or unsupported pixel format
//   ReadBMP   2 not opened, 3 bad headers or short file
//   ReadJPEG  2 not opened, 4 decoding error (or a picture beyond the limits)
//   ReadPNG   2 not opened, 3 bad signature, 4 library structures not made, library error
//             or a picture beyond the limits
// WritePNG:   3 no level data or a format other than 1, 2, 4, 6; 4 library structures not
//             made or library error; 5 the file was not written whole (the previous file
//             of that name is then kept).
#include <cstddef>
#include <vector>

#include "engine/core/types.h"
#include "engine/files/image.h"

namespace vek {

class filename;

// Result codes shared by the readers and the writer.
enum : u32 {
  e_ImgOk = 0,
  e_ImgNotOpened = 2,
  e_ImgBadFile = 3,
  e_ImgDecodeError = 4,
  e_ImgUnsupported = 5,
  e_ImgNotWritten = 5,
};

// Readers over a file opened with vek::cFile (mode "rb"): on disk or inside a zip archive.
u32 ReadDDS(cImage& image, const vek::filename& name);
u32 ReadBMP(cImage& image, const vek::filename& name);
u32 ReadJPEG(cImage& image, const vek::filename& name);
u32 ReadPNG(cImage& image, const vek::filename& name);

// The same readers over bytes already in memory; name is what messages quote. maxBytes
// lowers the limit on the decoded picture (never above kMaxImageBytes).
u32 ReadDDS(cImage& image, const void* data, size_t size, const char* name,
            u64 maxBytes = kMaxImageBytes);
u32 ReadBMP(cImage& image, const void* data, size_t size, const char* name,
            u64 maxBytes = kMaxImageBytes);
u32 ReadJPEG(cImage& image, const void* data, size_t size, const char* name,
             u64 maxBytes = kMaxImageBytes);
u32 ReadPNG(cImage& image, const void* data, size_t size, const char* name,
            u64 maxBytes = kMaxImageBytes);

// Writes level 0 as a PNG file on disk (top row first in the file), replacing the file only
// once the new one is complete.
u32 WritePNG(const cImage& image, const vek::filename& path);
// Encodes level 0 as PNG bytes; the same results but 5. name is what messages quote.
u32 WritePNG(const cImage& image, std::vector<u8>& out, const char* name = "");

}  // namespace vek
