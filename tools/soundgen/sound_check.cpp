#include "tools/soundgen/sound_check.h"

#include <xmp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/soundgen/synth.h"

namespace soundgen {

namespace {

double Db(double amplitude) { return amplitude > 1e-10 ? 20.0 * std::log10(amplitude) : -200.0; }

template <class T>
double Loudness(const std::vector<T>& pcm, int rate, double scale) {
  if (pcm.empty()) return -200.0;
  std::vector<double> sq(pcm.size() + 1, 0.0);  // running sums of squares
  for (std::size_t i = 0; i < pcm.size(); ++i) {
    const double v = double(pcm[i]) / scale;
    sq[i + 1] = sq[i] + v * v;
  }
  const std::size_t window = std::min(pcm.size(), std::size_t(rate / 10));
  const std::size_t hop = std::max<std::size_t>(1, std::size_t(rate / 100));
  double best = 0;
  for (std::size_t start = 0;; start += hop) {
    const std::size_t end = std::min(start + window, pcm.size());
    best = std::max(best, (sq[end] - sq[start]) / double(window));
    if (end == pcm.size()) break;
  }
  return Db(std::sqrt(best));
}

std::string Format(const char* fmt, double a, double b = 0, double c = 0) {
  char buf[200];
  std::snprintf(buf, sizeof buf, fmt, a, b, c);
  return buf;
}

}  // namespace

double LoudnessDb(const std::vector<double>& pcm, int rate) { return Loudness(pcm, rate, 1.0); }
double LoudnessDb(const std::vector<std::int16_t>& pcm, int rate) {
  return Loudness(pcm, rate, 32767.0);
}

EffectMeasure MeasureEffect(const std::vector<std::int16_t>& pcm, int rate) {
  EffectMeasure m;
  if (rate <= 0) return m;
  m.ms = double(pcm.size()) * 1000.0 / rate;
  int peak = 0;
  for (std::int16_t s : pcm) peak = std::max(peak, std::abs(int(s)));
  m.peakDb = Db(peak / 32767.0);
  m.loudnessDb = LoudnessDb(pcm, rate);
  const double threshold = peak * std::pow(10.0, -40.0 / 20.0);
  std::size_t first = 0;
  while (first < pcm.size() && std::abs(int(pcm[first])) < threshold) ++first;
  m.leadingSilenceMs = double(first) * 1000.0 / rate;
  const std::size_t fade = std::size_t(kFadeMs * rate / 1000.0);
  if (pcm.size() >= 2 * fade && fade > 0) {
    // The fade's five slices of 1 ms each stay under a ramp to full scale, and the end
    // samples are (nearly) zero.
    m.fadeIn = m.fadeOut = true;
    const double edge = 32767.0 / double(fade) + 1.0;
    if (std::abs(int(pcm.front())) > edge) m.fadeIn = false;
    if (std::abs(int(pcm.back())) > edge) m.fadeOut = false;
    for (std::size_t i = 0; i < fade; ++i) {
      const double bound = 32767.0 * double(i * 5 / fade + 1) / 5.0 + 1.0;
      if (std::abs(int(pcm[i])) > bound) m.fadeIn = false;
      if (std::abs(int(pcm[pcm.size() - 1 - i])) > bound) m.fadeOut = false;
    }
  }
  return m;
}

std::vector<std::string> CheckEffect(const EffectMeasure& m, double minMs, double maxMs,
                                     double medianLoudnessDb) {
  std::vector<std::string> faults;
  if (m.ms < minMs || m.ms > maxMs)
    faults.push_back(Format("length %.0f ms outside %.0f..%.0f ms", m.ms, minMs, maxMs));
  if (m.peakDb > kCheckPeak) faults.push_back(Format("peak %.2f dBFS above %.1f dBFS", m.peakDb, kCheckPeak));
  if (m.loudnessDb < -45.0) {
    faults.push_back(Format("silent (loudness %.1f dBFS)", m.loudnessDb));
  } else if (std::abs(m.loudnessDb - medianLoudnessDb) > kLoudnessBand) {
    faults.push_back(Format("loudness %.1f dBFS more than %.0f dB from the set's %.1f dBFS",
                            m.loudnessDb, kLoudnessBand, medianLoudnessDb));
  }
  if (m.leadingSilenceMs > 30.0)
    faults.push_back(Format("starts after %.0f ms of silence", m.leadingSilenceMs));
  if (!m.fadeIn) faults.push_back("no 5 ms fade in");
  if (!m.fadeOut) faults.push_back("no 5 ms fade out");
  return faults;
}

ModuleMeasure MeasureModule(const std::string& bytes, double limitSeconds) {
  ModuleMeasure m;
  xmp_context ctx = xmp_create_context();
  if (xmp_load_module_from_memory(ctx, bytes.data(), long(bytes.size())) != 0) {
    m.error = "libxmp cannot load it";
    xmp_free_context(ctx);
    return m;
  }
  m.loaded = true;
  xmp_module_info info;
  xmp_get_module_info(ctx, &info);
  const xmp_module* mod = info.mod;
  m.orders = mod->len;
  m.channels = mod->chn;
  m.notesPerChannel.assign(std::size_t(mod->chn), 0);
  m.ordersPlayed.assign(std::size_t(mod->len), false);
  for (int o = 0; o < mod->len; ++o) {
    const int p = mod->xxo[o];
    if (p >= mod->pat) continue;
    for (int c = 0; c < mod->chn; ++c) {
      const xmp_track* t = mod->xxt[mod->xxp[p]->index[c]];
      for (int r = 0; r < t->rows; ++r) {
        if (t->event[r].note > 0) ++m.notesPerChannel[std::size_t(c)];
      }
    }
  }
  constexpr int kRate = 44100;
  if (xmp_start_player(ctx, kRate, 0) != 0) {
    m.error = "libxmp cannot play it";
    xmp_release_module(ctx);
    xmp_free_context(ctx);
    return m;
  }
  double sum = 0;
  std::uint64_t samples = 0;
  int peak = 0;
  while (double(samples / 2) / kRate < limitSeconds) {
    if (xmp_play_frame(ctx) != 0) break;
    xmp_frame_info fi;
    xmp_get_frame_info(ctx, &fi);
    if (fi.loop_count > 0) {
      m.looped = true;
      break;
    }
    if (fi.pos >= 0 && fi.pos < m.orders) m.ordersPlayed[std::size_t(fi.pos)] = true;
    const auto* s = static_cast<const std::int16_t*>(fi.buffer);
    const int n = fi.buffer_size / 2;
    for (int i = 0; i < n; ++i) {
      sum += double(s[i]) * double(s[i]);
      peak = std::max(peak, std::abs(int(s[i])));
    }
    samples += std::uint64_t(n);
  }
  m.secondsToLoop = double(samples / 2) / kRate;
  m.peakDb = Db(peak / 32767.0);
  m.loudnessDb = samples ? Db(std::sqrt(sum / double(samples)) / 32767.0) : -200.0;
  xmp_end_player(ctx);
  xmp_release_module(ctx);
  xmp_free_context(ctx);
  return m;
}

std::vector<std::string> CheckModule(const ModuleMeasure& m, double minSeconds, double maxSeconds) {
  std::vector<std::string> faults;
  if (!m.loaded) return {m.error.empty() ? "not loaded" : m.error};
  if (!m.error.empty()) faults.push_back(m.error);
  for (std::size_t o = 0; o < m.ordersPlayed.size(); ++o) {
    if (!m.ordersPlayed[o]) faults.push_back(Format("order %.0f never played", double(o)));
  }
  if (!m.looped) faults.push_back("does not loop");
  if (m.secondsToLoop < minSeconds || m.secondsToLoop > maxSeconds)
    faults.push_back(Format("plays %.1f s before it loops, outside %.0f..%.0f s", m.secondsToLoop,
                            minSeconds, maxSeconds));
  for (std::size_t c = 0; c < m.notesPerChannel.size(); ++c) {
    if (m.notesPerChannel[c] == 0) faults.push_back(Format("channel %.0f plays no note", double(c + 1)));
  }
  if (m.loudnessDb < -40.0) faults.push_back(Format("nearly silent (%.1f dBFS)", m.loudnessDb));
  if (m.peakDb > -0.05) faults.push_back("clips");
  return faults;
}

bool ParseWav(const std::string& b, int& rate, std::vector<std::int16_t>& pcm) {
  auto u32 = [&](std::size_t at) {
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 16 | std::uint32_t(std::uint8_t(b[at + 3])) << 24;
  };
  auto u16 = [&](std::size_t at) { return unsigned(std::uint8_t(b[at])) | unsigned(std::uint8_t(b[at + 1])) << 8; };
  if (b.size() < 44 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 8, "WAVEfmt ") != 0) return false;
  if (u16(20) != 1 || u16(22) != 1 || u16(34) != 16 || b.compare(36, 4, "data") != 0) return false;
  rate = int(u32(24));
  const std::uint32_t bytes = u32(40);
  if (rate <= 0 || bytes > b.size() - 44) return false;
  pcm.resize(bytes / 2);
  for (std::size_t i = 0; i < pcm.size(); ++i) pcm[i] = std::int16_t(u16(44 + 2 * i));
  return true;
}

}  // namespace soundgen
