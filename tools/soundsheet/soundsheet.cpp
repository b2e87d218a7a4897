// soundsheet: a contact sheet of every sound effect, to judge them by eye: per effect its name,
// length, peak and loudness, its waveform and its spectrogram (log frequency, 40 Hz to 20 kHz,
// 90 dB of range), in the order of the recipe.
//   soundsheet <effects recipe> <sound folder> <font file> <output PNG>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "tools/soundgen/recipe_text.h"
#include "tools/soundgen/sound_check.h"
#include "tools/soundgen/synth.h"

namespace {

constexpr int kColumns = 3;
constexpr int kCellW = 520, kCellH = 176;
constexpr int kLabelH = 20, kWaveH = 52, kSpecH = 96, kPad = 4;
constexpr int kFft = 1024;

struct Rgb {
  std::uint8_t r, g, b;
};

struct Canvas {
  int w, h;
  std::vector<Rgb> px;
  Canvas(int width, int height) : w(width), h(height), px(std::size_t(width * height), Rgb{24, 26, 30}) {}
  void Set(int x, int y, Rgb c) {
    if (x >= 0 && y >= 0 && x < w && y < h) px[std::size_t(y * w + x)] = c;
  }
  void Blend(int x, int y, Rgb c, double a) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    Rgb& d = px[std::size_t(y * w + x)];
    d = {std::uint8_t(d.r + (c.r - d.r) * a), std::uint8_t(d.g + (c.g - d.g) * a),
         std::uint8_t(d.b + (c.b - d.b) * a)};
  }
};

// Dark blue through purple and orange to pale yellow, for 0..1.
Rgb Heat(double v) {
  static const double stops[5][3] = {{8, 8, 30}, {60, 20, 110}, {190, 40, 90}, {250, 150, 40}, {255, 250, 200}};
  v = std::clamp(v, 0.0, 1.0) * 4.0;
  const int i = std::min(int(v), 3);
  const double f = v - i;
  auto mix = [&](int k) { return std::uint8_t(stops[i][k] + (stops[i + 1][k] - stops[i][k]) * f); };
  return {mix(0), mix(1), mix(2)};
}

void Fft(std::vector<std::complex<double>>& a) {
  const std::size_t n = a.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> w = std::polar(1.0, -2.0 * M_PI / double(len));
    for (std::size_t i = 0; i < n; i += len) {
      std::complex<double> wn(1.0);
      for (std::size_t k = 0; k < len / 2; ++k) {
        const auto u = a[i + k], v = a[i + k + len / 2] * wn;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
        wn *= w;
      }
    }
  }
}

void Text(Canvas& c, FT_Face face, int x, int y, const std::string& s, Rgb colour) {
  for (char ch : s) {
    if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(ch)), FT_LOAD_RENDER)) continue;
    const FT_GlyphSlot g = face->glyph;
    for (unsigned row = 0; row < g->bitmap.rows; ++row) {
      for (unsigned col = 0; col < g->bitmap.width; ++col) {
        const double a = g->bitmap.buffer[row * unsigned(g->bitmap.pitch) + col] / 255.0;
        if (a > 0) c.Blend(x + g->bitmap_left + int(col), y - g->bitmap_top + int(row), colour, a);
      }
    }
    x += int(g->advance.x >> 6);
  }
}

void Waveform(Canvas& c, int x0, int y0, const std::vector<std::int16_t>& pcm) {
  const int mid = y0 + kWaveH / 2;
  for (int x = 0; x < kCellW - 2 * kPad; ++x) c.Set(x0 + x, mid, {60, 64, 72});
  for (int x = 0; x < kCellW - 2 * kPad; ++x) {
    const std::size_t a = pcm.size() * std::size_t(x) / std::size_t(kCellW - 2 * kPad);
    const std::size_t b = std::max(a + 1, pcm.size() * std::size_t(x + 1) / std::size_t(kCellW - 2 * kPad));
    int lo = 0, hi = 0;
    for (std::size_t i = a; i < b && i < pcm.size(); ++i) {
      lo = std::min(lo, int(pcm[i]));
      hi = std::max(hi, int(pcm[i]));
    }
    const int top = mid - hi * (kWaveH / 2) / 32768, bottom = mid - lo * (kWaveH / 2) / 32768;
    for (int y = top; y <= bottom; ++y) c.Set(x0 + x, y, {110, 200, 140});
  }
}

void Spectrogram(Canvas& c, int x0, int y0, const std::vector<std::int16_t>& pcm, int rate) {
  const int w = kCellW - 2 * kPad;
  std::vector<std::vector<double>> db(std::size_t(w), std::vector<double>(kFft / 2, -200.0));
  double top = -200;
  std::vector<std::complex<double>> buf(kFft);
  for (int x = 0; x < w; ++x) {
    const long centre = long(pcm.size()) * x / w;
    for (int i = 0; i < kFft; ++i) {
      const long k = centre - kFft / 2 + i;
      const double s = (k >= 0 && k < long(pcm.size())) ? pcm[std::size_t(k)] / 32768.0 : 0.0;
      buf[std::size_t(i)] = s * (0.5 - 0.5 * std::cos(2.0 * M_PI * i / (kFft - 1)));
    }
    Fft(buf);
    for (int b = 1; b < kFft / 2; ++b) {
      const double m = std::abs(buf[std::size_t(b)]);
      db[std::size_t(x)][std::size_t(b)] = m > 1e-9 ? 20.0 * std::log10(m) : -200.0;
      top = std::max(top, db[std::size_t(x)][std::size_t(b)]);
    }
  }
  const double lo = std::log(40.0), hi = std::log(20000.0);
  for (int y = 0; y < kSpecH; ++y) {
    // Each row spans a band of bins; it shows the strongest.
    const double f0 = std::exp(lo + (hi - lo) * double(kSpecH - 1 - y) / kSpecH);
    const double f1 = std::exp(lo + (hi - lo) * double(kSpecH - y) / kSpecH);
    const int b0 = std::clamp(int(f0 * kFft / rate), 1, kFft / 2 - 1);
    const int b1 = std::clamp(int(f1 * kFft / rate), b0, kFft / 2 - 1);
    for (int x = 0; x < w; ++x) {
      double v = -200;
      for (int b = b0; b <= b1; ++b) v = std::max(v, db[std::size_t(x)][std::size_t(b)]);
      c.Set(x0 + x, y0 + y, Heat((v - (top - 90.0)) / 90.0));
    }
  }
  // Octave marks at 100 Hz, 1 kHz and 10 kHz.
  for (double f : {100.0, 1000.0, 10000.0}) {
    const int y = y0 + kSpecH - 1 - int((std::log(f) - lo) / (hi - lo) * kSpecH);
    for (int x = 0; x < 6; ++x) c.Set(x0 + x, y, {255, 255, 255});
  }
}

bool WritePng(const Canvas& c, const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, png_uint_32(c.w), png_uint_32(c.h), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < c.h; ++y)
    png_write_row(png, reinterpret_cast<png_const_bytep>(&c.px[std::size_t(y * c.w)]));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: soundsheet <effects recipe> <sound folder> <font file> <output PNG>\n";
    return 2;
  }
  std::string text, error;
  std::vector<soundgen::EffectRecipe> recipes;
  if (!soundgen::ReadFile(argv[1], text) || !soundgen::ParseEffects(text, recipes, error)) {
    std::cerr << argv[1] << ": " << (error.empty() ? "cannot read" : error) << "\n";
    return 1;
  }
  FT_Library ft;
  FT_Face face;
  if (FT_Init_FreeType(&ft) || FT_New_Face(ft, argv[3], 0, &face) || FT_Set_Pixel_Sizes(face, 0, 13)) {
    std::cerr << "soundsheet: cannot open the font " << argv[3] << "\n";
    return 1;
  }
  const int rows = int((recipes.size() + kColumns - 1) / kColumns);
  Canvas sheet(kColumns * kCellW, rows * kCellH);
  for (std::size_t i = 0; i < recipes.size(); ++i) {
    std::string bytes;
    int rate = 0;
    std::vector<std::int16_t> pcm;
    const std::string path = std::string(argv[2]) + "/" + recipes[i].name + ".wav";
    if (!soundgen::ReadFile(path, bytes) || !soundgen::ParseWav(bytes, rate, pcm) || pcm.empty()) {
      std::cerr << "soundsheet: cannot read " << path << "\n";
      return 1;
    }
    const int x0 = int(i % kColumns) * kCellW + kPad, y0 = int(i / kColumns) * kCellH + kPad;
    const soundgen::EffectMeasure m = soundgen::MeasureEffect(pcm, rate);
    char label[160];
    std::snprintf(label, sizeof label, "%s   %.0f ms   peak %.1f dB   loud %.1f dB", recipes[i].name.c_str(),
                  m.ms, m.peakDb, m.loudnessDb);
    Text(sheet, face, x0, y0 + 14, label, {235, 235, 235});
    Waveform(sheet, x0, y0 + kLabelH, pcm);
    Spectrogram(sheet, x0, y0 + kLabelH + kWaveH + 2, pcm, rate);
  }
  FT_Done_Face(face);
  FT_Done_FreeType(ft);
  if (!WritePng(sheet, argv[4])) {
    std::cerr << "soundsheet: cannot write " << argv[4] << "\n";
    return 1;
  }
  return 0;
}
