// fontbake: turns a TrueType font into the engine's bitmap font, a PNG atlas and a Lua script
// that builds the font with cFont, Init, Texture, Transform and one Char call for each of
// the 256 bytes of the windows-1252 code page.
//
//   fontbake <font.ttf> <pixel size> <font name> <atlas.png> <script.lua> [outline=<pixels>]
//
// With an outline every glyph gets a dark rim of that width (headers and money texts that
// must read on any background): the cells and the line grow by the rim on each side, the
// rim is dark brown under the white glyph, and vertex colours still tint and fade the whole.
//
// Every glyph's cell is one line high (descender to ascender) so that a quad of the glyph's
// width and the line height draws it pixel for pixel; the texture is named after the atlas's
// file name. Control bytes and the five bytes the code page leaves undefined get empty glyphs
// that neither draw nor advance. Outputs are written beside their final names and renamed
// into place, so a failed run leaves no half-written file.
#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Unicode code points of the bytes 0x80..0x9F of windows-1252; 0 where the code page
// defines no character. The other bytes equal their code points.
const unsigned kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The character of a byte, or 0 for control bytes and undefined positions.
unsigned CodePoint(unsigned byte) {
  if (byte < 0x20 || byte == 0x7F) return 0;
  if (byte >= 0x80 && byte <= 0x9F) return kCp1252High[byte - 0x80];
  return byte;
}

struct Glyph {
  unsigned code = 0;     // Unicode code point, 0 for an empty glyph
  int width = 0;         // pixels of the cell (the bitmap's width)
  int offset = 0;        // from the pen to the cell's left edge
  int advance = 0;       // pen step
  int x = 0, y = 0;      // cell position in the atlas, from the top-left corner
  std::vector<unsigned char> pixels;  // coverage, width x line height
  std::vector<unsigned char> rim;     // outline coverage (empty without an outline)
};

// The outline's colour under the white glyph (the art's dark outline colour).
constexpr unsigned char kRim[3] = {0x4a, 0x2f, 0x1d};

struct Error {
  std::string text;
};

[[noreturn]] void Fail(const std::string& text) { throw Error{text}; }

// Renders every glyph into its own cell of the line's height.
std::vector<Glyph> RenderGlyphs(FT_Face face, int lineHeight, int ascent) {
  std::vector<Glyph> glyphs(256);
  for (unsigned b = 0; b < 256; ++b) {
    Glyph& g = glyphs[b];
    g.code = CodePoint(b);
    if (g.code == 0) continue;
    FT_UInt index = FT_Get_Char_Index(face, g.code);
    if (index == 0)
      std::fprintf(stderr, "fontbake: warning: the font has no glyph for U+%04X (byte 0x%02X); using its missing-glyph box\n",
                   g.code, b);
    if (FT_Error e = FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT))
      Fail("cannot render U+" + std::to_string(g.code) + " (FreeType error " + std::to_string(e) + ")");
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.width > 0)
      Fail("unexpected bitmap format for U+" + std::to_string(g.code));
    g.width = static_cast<int>(bm.width);
    g.offset = slot->bitmap_left;
    g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    g.pixels.assign(static_cast<size_t>(g.width) * lineHeight, 0);
    // Bitmap row r lies at cell row ascent - bitmap_top + r; rows outside the line are cut.
    for (unsigned r = 0; r < bm.rows; ++r) {
      const int row = ascent - slot->bitmap_top + static_cast<int>(r);
      if (row < 0 || row >= lineHeight) continue;
      const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(r) * bm.pitch;
      std::memcpy(&g.pixels[static_cast<size_t>(row) * g.width], src, bm.width);
    }
  }
  return glyphs;
}

// Widens every cell by the rim on each side and fills the rim with the glyph's coverage
// spread over a disc of that radius. The line grows by twice the rim.
void AddOutline(std::vector<Glyph>& glyphs, int lineHeight, int rim) {
  const int h = lineHeight + 2 * rim;
  for (Glyph& g : glyphs) {
    if (g.width == 0) continue;
    const int w = g.width + 2 * rim;
    std::vector<unsigned char> body(static_cast<size_t>(w) * h, 0), spread(body.size(), 0);
    for (int r = 0; r < lineHeight; ++r)
      for (int c = 0; c < g.width; ++c)
        body[static_cast<size_t>(r + rim) * w + c + rim] = g.pixels[static_cast<size_t>(r) * g.width + c];
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w; ++c) {
        int best = 0;
        for (int dr = -rim; dr <= rim; ++dr)
          for (int dc = -rim; dc <= rim; ++dc) {
            const int rr = r + dr, cc = c + dc;
            if (rr < 0 || rr >= h || cc < 0 || cc >= w || dr * dr + dc * dc > rim * rim + rim) continue;
            best = std::max(best, static_cast<int>(body[static_cast<size_t>(rr) * w + cc]));
          }
        spread[static_cast<size_t>(r) * w + c] = static_cast<unsigned char>(best);
      }
    g.pixels = std::move(body);
    g.rim = std::move(spread);
    g.width = w;
    g.offset -= rim;
    g.advance += rim;
  }
}

// Places the cells in rows with a one-pixel gap around each; picks the smallest square power
// of two that holds them all and then trims the height to the smallest power of two.
void Pack(std::vector<Glyph>& glyphs, int lineHeight, int* atlasW, int* atlasH) {
  for (int w = 64; w <= 4096; w *= 2) {
    int x = 1, y = 1;
    bool fits = true;
    for (Glyph& g : glyphs) {
      if (g.width == 0) continue;
      if (g.width + 2 > w) {
        fits = false;
        break;
      }
      if (x + g.width + 1 > w) {
        x = 1;
        y += lineHeight + 1;
      }
      g.x = x;
      g.y = y;
      x += g.width + 1;
    }
    const int used = y + lineHeight + 1;
    if (!fits || used > w) continue;
    int h = 1;
    while (h < used) h *= 2;
    *atlasW = w;
    *atlasH = h;
    return;
  }
  Fail("the glyphs do not fit into a 4096 x 4096 atlas; choose a smaller size");
}

// Writes a file through a temporary beside it, renamed over the target when complete.
void Commit(const fs::path& tmp, const fs::path& target) {
  std::error_code ec;
  fs::rename(tmp, target, ec);
  if (ec) {
    fs::remove(tmp, ec);
    Fail("cannot write " + target.string() + ": " + ec.message());
  }
}

fs::path TempBeside(const fs::path& target) { return fs::path(target.string() + ".tmp"); }

void WriteAtlas(const fs::path& path, const std::vector<Glyph>& glyphs, int lineHeight, int w, int h) {
  // White everywhere, the coverage in the alpha channel: vertex colours tint the text.
  std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4, 0);
  for (size_t i = 0; i < rgba.size(); i += 4) rgba[i] = rgba[i + 1] = rgba[i + 2] = 255;
  for (const Glyph& g : glyphs) {
    for (int r = 0; r < lineHeight && g.width > 0; ++r)
      for (int c = 0; c < g.width; ++c) {
        const size_t src = static_cast<size_t>(r) * g.width + c;
        unsigned char* px = &rgba[(static_cast<size_t>(g.y + r) * w + g.x + c) * 4];
        if (g.rim.empty()) {
          px[3] = g.pixels[src];
          continue;
        }
        // White glyph over its dark rim.
        const int a = g.pixels[src];
        for (int k = 0; k < 3; ++k) px[k] = static_cast<unsigned char>((kRim[k] * (255 - a) + 255 * a + 127) / 255);
        px[3] = std::max(g.pixels[src], g.rim[src]);
      }
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(w);
  image.height = static_cast<png_uint_32>(h);
  image.format = PNG_FORMAT_RGBA;
  const fs::path tmp = TempBeside(path);
  if (!png_image_write_to_file(&image, tmp.c_str(), 0, rgba.data(), 0, nullptr)) {
    std::error_code ec;
    fs::remove(tmp, ec);
    Fail("cannot write " + path.string() + ": " + image.message);
  }
  Commit(tmp, path);
}

// A Lua string literal of one byte; printable ASCII as itself, everything else escaped.
std::string LuaChar(unsigned b) {
  if (b >= 0x20 && b < 0x7F && b != '"' && b != '\\') return std::string("\"") + static_cast<char>(b) + "\"";
  char buf[8];
  std::snprintf(buf, sizeof buf, "\"\\%03u\"", b);
  return buf;
}

// Quotes a name for a Lua string (font names, the family and style of the face).
std::string LuaString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\%03u", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

void WriteScript(const fs::path& path, const std::string& fontName, const std::string& textureName,
                 FT_Face face, const fs::path& ttf, int pixelSize, int lineHeight, int w, int h,
                 const std::vector<Glyph>& glyphs) {
  const fs::path tmp = TempBeside(path);
  std::FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) Fail("cannot write " + path.string() + ": " + std::strerror(errno));
  const std::string family = face->family_name ? face->family_name : "";
  const std::string style = face->style_name ? face->style_name : "";
  std::fprintf(f, "-- Font %s: %s %s, %d pixels, windows-1252.\n", LuaString(fontName).c_str(), family.c_str(),
               style.c_str(), pixelSize);
  std::fprintf(f, "-- Made by fontbake from %s; do not edit.\n", ttf.filename().c_str());
  std::fprintf(f, "-- Char(byte, quad width, recti(x, y, w, h) in the atlas from its top-left, offset, advance)\n");
  std::fprintf(f, "local font = cFont(%s)\n", LuaString(fontName).c_str());
  std::fprintf(f, "font:Init(%s, %s, %d, %d)\n", LuaString(family).c_str(), LuaString(style).c_str(), pixelSize,
               lineHeight);
  std::fprintf(f, "font:Texture(%s, %d, %d)\n", LuaString(textureName).c_str(), w, h);
  std::fprintf(f, "font:Transform(0, 1, 1)\n");
  for (unsigned b = 0; b < 256; ++b) {
    const Glyph& g = glyphs[b];
    const int rw = g.width, rh = g.width > 0 ? lineHeight : 0;
    std::fprintf(f, "font:Char(%s, %d, recti(%d, %d, %d, %d), %d, %d)", LuaChar(b).c_str(), g.width, g.x, g.y, rw,
                 rh, g.offset, g.advance);
    if (g.code >= 0x80) std::fprintf(f, " -- U+%04X", g.code);
    std::fputc('\n', f);
  }
  const bool ok = std::fflush(f) == 0 && !std::ferror(f);
  if (std::fclose(f) != 0 || !ok) {
    std::error_code ec;
    fs::remove(tmp, ec);
    Fail("cannot write " + path.string());
  }
  Commit(tmp, path);
}

int Bake(const fs::path& ttf, const std::string& sizeText, const std::string& fontName, const fs::path& png,
         const fs::path& lua, int outline) {
  char* end = nullptr;
  errno = 0;
  const long size = std::strtol(sizeText.c_str(), &end, 10);
  if (sizeText.empty() || *end != '\0' || errno != 0 || size < 4 || size > 256)
    Fail("the pixel size must be a whole number from 4 to 256, not \"" + sizeText + "\"");
  if (fontName.empty()) Fail("the font name is empty");
  if (png.extension() != ".png") Fail("the atlas must be a .png file: " + png.string());

  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib)) Fail("cannot start FreeType");
  struct LibGuard {
    FT_Library l;
    ~LibGuard() { FT_Done_FreeType(l); }
  } libGuard{lib};
  FT_Face face = nullptr;
  if (FT_Error e = FT_New_Face(lib, ttf.c_str(), 0, &face))
    Fail("cannot open the font " + ttf.string() + " (FreeType error " + std::to_string(e) + ")");
  if (!FT_IS_SCALABLE(face)) Fail("not a scalable font: " + ttf.string());
  if (FT_Error e = FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size)))
    Fail("cannot set the size " + sizeText + " (FreeType error " + std::to_string(e) + ")");

  // Scaled metrics of a scalable face are already whole pixels in 26.6.
  const int ascent = static_cast<int>(std::ceil(face->size->metrics.ascender / 64.0));
  const int descent = static_cast<int>(std::floor(face->size->metrics.descender / 64.0));
  int lineHeight = ascent - descent;
  if (lineHeight <= 0) Fail("the font has no usable line height");

  std::vector<Glyph> glyphs = RenderGlyphs(face, lineHeight, ascent);
  if (outline > 0) {
    AddOutline(glyphs, lineHeight, outline);
    lineHeight += 2 * outline;
  }
  int w = 0, h = 0;
  Pack(glyphs, lineHeight, &w, &h);

  std::error_code ec;
  for (const fs::path& out : {png, lua}) {
    if (out.has_parent_path()) fs::create_directories(out.parent_path(), ec);
    if (ec) Fail("cannot create the folder " + out.parent_path().string() + ": " + ec.message());
  }
  WriteAtlas(png, glyphs, lineHeight, w, h);
  WriteScript(lua, fontName, png.stem().string(), face, ttf, static_cast<int>(size), lineHeight, w, h, glyphs);
  FT_Done_Face(face);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int outline = 0;
  if (argc == 7) {
    const std::string opt = argv[6];
    char* end = nullptr;
    const long n = opt.rfind("outline=", 0) == 0 ? std::strtol(opt.c_str() + 8, &end, 10) : -1;
    if (!end || *end != '\0' || n < 1 || n > 8) {
      std::fprintf(stderr, "fontbake: the option must be outline=<1..8>, not \"%s\"\n", opt.c_str());
      return 2;
    }
    outline = static_cast<int>(n);
  }
  if (argc != 6 && argc != 7) {
    std::fprintf(stderr, "usage: fontbake <font.ttf> <pixel size> <font name> <atlas.png> <script.lua> [outline=<pixels>]\n");
    return 2;
  }
  try {
    return Bake(argv[1], argv[2], argv[3], argv[4], argv[5], outline);
  } catch (const Error& e) {
    std::fprintf(stderr, "fontbake: %s\n", e.text.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fontbake: %s\n", e.what());
  }
  return 1;
}
