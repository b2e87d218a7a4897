#include "tests/support/sound_fixtures.h"

#include <vorbis/vorbisenc.h>

#include "tools/soundgen/sound_writer.h"

#include <cmath>
#include <cstring>

namespace vektest {

namespace {
void Put16(Bytes& b, int v) {
  b.push_back(char(v & 0xFF));
  b.push_back(char((v >> 8) & 0xFF));
}
void Put32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(char((v >> (8 * i)) & 0xFF));
}
}  // namespace

Bytes MakeWav(int rate, int channels, int bits, int frames,
              const std::function<int(int, int)>& value) {
  const int align = channels * bits / 8;
  const std::uint32_t data = std::uint32_t(frames) * std::uint32_t(align);
  Bytes b = "RIFF";
  Put32(b, 36 + data);
  b += "WAVEfmt ";
  Put32(b, 16);
  Put16(b, 1);
  Put16(b, channels);
  Put32(b, std::uint32_t(rate));
  Put32(b, std::uint32_t(rate * align));
  Put16(b, align);
  Put16(b, bits);
  b += "data";
  Put32(b, data);
  for (int f = 0; f < frames; ++f) {
    for (int c = 0; c < channels; ++c) {
      int v = value(f, c);
      if (bits == 8) {
        b.push_back(char((v >> 8) + 128));
      } else if (bits == 16) {
        Put16(b, v);
      } else if (bits == 24) {
        b.push_back(0);
        Put16(b, v);
      } else {
        Put16(b, 0);
        Put16(b, v);
      }
    }
  }
  return b;
}

Bytes MakeConstantWav(int frames, int value, int rate, int channels) {
  return MakeWav(rate, channels, 16, frames, [value](int, int) { return value; });
}

Bytes MakeModule(int orders, int rowsPerOrder) {
  static const int kPeriods[] = {428, 339, 285, 214, 170, 143, 113, 107};
  soundgen::ModSample square;
  for (int i = 0; i < 32; ++i) square.data.push_back(std::int8_t(i < 16 ? 100 : -100));
  square.loopLength = 32;
  std::vector<soundgen::ModPattern> patterns(static_cast<std::size_t>(orders));
  std::vector<int> order;
  for (int p = 0; p < orders; ++p) {
    soundgen::ModPattern& pattern = patterns[std::size_t(p)];
    pattern.cells[0][0] = {kPeriods[p % 8], 1, 0, 0};
    pattern.cells[0][1] = {0, 0, 0xF, 1};  // speed 1: one tick a row
    if (rowsPerOrder < 64) pattern.cells[rowsPerOrder - 1][1] = {0, 0, 0xD, 0};  // break
    order.push_back(p);
  }
  return soundgen::ModuleBytes("vektest", {square}, patterns, order);
}

Bytes MakeOgg(int rate, int channels, int frames, double hz) {
  Bytes out;
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, rate, 0.4f) != 0) {
    vorbis_info_clear(&vi);
    return out;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 1234);
  ogg_packet h1, h2, h3;
  vorbis_analysis_headerout(&vd, &vc, &h1, &h2, &h3);
  ogg_stream_packetin(&os, &h1);
  ogg_stream_packetin(&os, &h2);
  ogg_stream_packetin(&os, &h3);
  ogg_page og;
  auto writePage = [&out](const ogg_page& page) {
    out.append(reinterpret_cast<const char*>(page.header), std::size_t(page.header_len));
    out.append(reinterpret_cast<const char*>(page.body), std::size_t(page.body_len));
  };
  while (ogg_stream_flush(&os, &og)) writePage(og);
  auto drain = [&]() {
    ogg_packet op;
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      while (vorbis_bitrate_flushpacket(&vd, &op)) {
        ogg_stream_packetin(&os, &op);
        while (ogg_stream_pageout(&os, &og)) writePage(og);
      }
    }
  };
  const int block = 1024;
  for (int done = 0; done < frames; done += block) {
    int n = std::min(block, frames - done);
    float** buf = vorbis_analysis_buffer(&vd, n);
    for (int i = 0; i < n; ++i) {
      float v = float(0.5 * std::sin(2.0 * M_PI * hz * double(done + i) / rate));
      for (int c = 0; c < channels; ++c) buf[c][i] = v;
    }
    vorbis_analysis_wrote(&vd, n);
    drain();
  }
  vorbis_analysis_wrote(&vd, 0);
  drain();
  while (ogg_stream_flush(&os, &og)) writePage(og);
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}

std::uint32_t ReadU32(const Bytes& b, std::size_t at) {
  if (at + 4 > b.size()) return 0;
  const auto* p = reinterpret_cast<const unsigned char*>(b.data() + at);
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}

std::uint16_t ReadU16(const Bytes& b, std::size_t at) {
  if (at + 2 > b.size()) return 0;
  const auto* p = reinterpret_cast<const unsigned char*>(b.data() + at);
  return std::uint16_t(p[0] | p[1] << 8);
}

}  // namespace vektest
