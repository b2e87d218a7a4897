// The audio library: handles, the mixer and its three outputs (SDL2 callback, null, offline).
#include "platform/audio.h"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/audio_channel.h"
#include "platform/audio_decoder.h"

namespace plat::audio {

using namespace detail;

namespace {

// The top four bits of a handle tell its kind.
enum Kind : std::uint32_t { kSample = 1, kSampleChannel = 2, kMusic = 3, kStream = 4 };
Kind KindOf(Handle h) { return Kind(h >> 28); }

constexpr std::uint32_t kMaxVolume = 10000;
constexpr std::uint32_t kMaxPlaybacks = 65535;
// The null output never mixes more than this much of missed time at once.
constexpr double kNullCatchUpSeconds = 1.0;
// A sample holds at most this many frames (about six minutes at 44100 Hz): a small file that
// decodes to more is refused rather than filling the memory.
constexpr std::size_t kMaxSampleFrames = std::size_t(1) << 24;

struct Sample {
  SampleData data;
  std::vector<std::unique_ptr<SampleChannel>> channels;
};

class Mixer {
 public:
  std::mutex lock;

  OutputKind wanted = OutputKind::Device;
  OutputKind kind = OutputKind::Null;
  bool initialised = false;
  bool running = false;
  int device = -1;
  int rate = 44100;
  std::string fallback;
  std::string deviceName;
  std::string driverName;
  SDL_AudioDeviceID sdlDevice = 0;
  std::uint32_t sdlFrames = 0;

  std::uint32_t volume[3] = {kMaxVolume, kMaxVolume, kMaxVolume};
  float factors[3] = {1.0f, 1.0f, 1.0f};
  bool pending3D = false;

  std::unordered_map<Handle, std::unique_ptr<Sample>> samples;
  std::unordered_map<Handle, std::unique_ptr<Channel>> owned;  // modules and streams
  std::unordered_map<Handle, Channel*> channels;               // every channel
  std::vector<Channel*> list;                                  // mixing order
  std::uint32_t nextId = 0;

  std::vector<float> acc = std::vector<float>(2 * kBlockFrames);
  std::vector<std::int16_t> scratch;
  std::chrono::steady_clock::time_point nullClock;

  Handle NewHandle(Kind k) {
    nextId = (nextId + 1) & 0x0FFFFFFFu;
    if (nextId == 0) nextId = 1;
    return Handle(k) << 28 | nextId;
  }

  void AddChannel(Channel* c) {
    channels[c->handle] = c;
    list.push_back(c);
  }
  void RemoveChannel(Handle h) {
    channels.erase(h);
    list.erase(std::remove_if(list.begin(), list.end(), [h](Channel* c) { return c->handle == h; }),
               list.end());
  }

  Channel* Find(Handle h) {
    auto it = channels.find(h);
    return it == channels.end() ? nullptr : it->second;
  }

  // Mixes `frames` frames into `out`; a stopped output writes silence and moves nothing.
  void MixLocked(std::int16_t* out, std::size_t frames) {
    if (!running) {
      std::fill(out, out + frames * 2, std::int16_t(0));
      return;
    }
    const float gain[3] = {float(volume[0]) / float(kMaxVolume), float(volume[1]) / float(kMaxVolume),
                           float(volume[2]) / float(kMaxVolume)};
    while (frames > 0) {
      int n = int(std::min<std::size_t>(frames, kBlockFrames));
      std::fill(acc.begin(), acc.begin() + 2 * n, 0.0f);
      for (Channel* c : list) {
        if (c->Decoding()) continue;
        c->Mix(acc.data(), n, gain[int(c->group)]);
      }
      for (int i = 0; i < 2 * n; ++i) {
        float v = std::clamp(acc[std::size_t(i)], -32768.0f, 32767.0f);
        out[i] = std::int16_t(std::lrintf(v));
      }
      out += 2 * n;
      frames -= std::size_t(n);
    }
  }

  // The null output keeps time: every call first mixes the time gone by (into nothing).
  void CatchUp() {
    if (!initialised || kind != OutputKind::Null) return;
    auto now = std::chrono::steady_clock::now();
    double seconds = std::chrono::duration<double>(now - nullClock).count();
    std::size_t frames = std::size_t(std::min(seconds, kNullCatchUpSeconds) * rate);
    if (frames < 64) return;  // keep the remainder for the next call
    nullClock = now;
    scratch.resize(kBlockFrames * 2);
    while (frames > 0) {
      std::size_t n = std::min<std::size_t>(frames, kBlockFrames);
      MixLocked(scratch.data(), n);
      frames -= n;
    }
  }

  void FreeAll() {
    list.clear();
    channels.clear();
    owned.clear();
    samples.clear();
  }
};

Mixer& M() {
  static Mixer mixer;
  return mixer;
}

// Locks the mixer and brings the null output up to date.
struct Locked {
  std::lock_guard<std::mutex> guard;
  Locked() : guard(M().lock) { M().CatchUp(); }
};

void SdlCallback(void*, Uint8* stream, int len) {
  Mixer& m = M();
  std::lock_guard<std::mutex> guard(m.lock);
  m.MixLocked(reinterpret_cast<std::int16_t*>(stream), std::size_t(len) / 4);
}

// The ALSA library prints every failure of its own on stderr (a machine without a sound card
// gets a screenful at start); the reason that matters reaches the log through SDL. ALSA is
// loaded the way SDL loads it, so its error handler is set here before SDL opens a device.
void AlsaQuiet(const char*, int, const char*, int, const char*, ...) {}

void SilenceAlsa() {
  static bool done = false;
  if (done) return;
  done = true;
  void* alsa = ::dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (!alsa) return;  // no ALSA library: nothing prints
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetHandler = int (*)(Handler);
  if (auto set = reinterpret_cast<SetHandler>(::dlsym(alsa, "snd_lib_error_set_handler"))) set(&AlsaQuiet);
  // The library stays loaded for the program's life, with the handler in it.
}

// Opens the SDL output; false with the reason in `why`.
bool OpenSdl(Mixer& m, std::string& why) {
  SilenceAlsa();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    why = SDL_GetError();
    return false;
  }
  SDL_AudioSpec want{}, have{};
  want.freq = m.rate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = SdlCallback;
  SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (dev == 0) {
    why = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  m.sdlDevice = dev;
  m.sdlFrames = have.samples;
  const char* driver = SDL_GetCurrentAudioDriver();
  m.driverName = driver ? driver : "SDL";
  const char* name = SDL_GetNumAudioDevices(0) > 0 ? SDL_GetAudioDeviceName(0, 0) : nullptr;
  m.deviceName = name ? name : "Default output";
  return true;
}

}  // namespace

// --- Output --------------------------------------------------------------------------------

void SetOutputKind(OutputKind kind) {
  std::lock_guard<std::mutex> guard(M().lock);
  M().wanted = kind;
}

bool Init(int device, int frequency) {
  Mixer& m = M();
  {
    std::lock_guard<std::mutex> guard(m.lock);
    if (m.initialised) return false;
    if (frequency < kMinRate || frequency > kMaxRate) return false;
    m.rate = frequency;
  }
  OutputKind kind = device == 0 ? OutputKind::Null : m.wanted;
  std::string why;
  if (kind == OutputKind::Device && !OpenSdl(m, why)) kind = OutputKind::Null;
  {
    std::lock_guard<std::mutex> guard(m.lock);
    m.kind = kind;
    m.fallback = (kind == OutputKind::Null && device != 0 && m.wanted == OutputKind::Device)
                     ? (why.empty() ? std::string("no audio device") : why)
                     : std::string();
    if (kind == OutputKind::Null) {
      m.deviceName = "No sound";
      m.driverName = "null";
    } else if (kind == OutputKind::Offline) {
      m.deviceName = "Offline render";
      m.driverName = "offline";
    }
    m.device = kind == OutputKind::Null ? 0 : 1;
    std::fill(std::begin(m.volume), std::end(m.volume), kMaxVolume);
    std::fill(std::begin(m.factors), std::end(m.factors), 1.0f);
    m.pending3D = false;
    m.nullClock = std::chrono::steady_clock::now();
    m.initialised = true;
    m.running = true;
  }
  if (kind == OutputKind::Device) SDL_PauseAudioDevice(m.sdlDevice, 0);
  return true;
}

bool Free() {
  Mixer& m = M();
  SDL_AudioDeviceID dev = 0;
  {
    std::lock_guard<std::mutex> guard(m.lock);
    if (!m.initialised) return false;
    m.initialised = false;
    m.running = false;
    dev = m.sdlDevice;
    m.sdlDevice = 0;
  }
  // Closing waits for the callback, which takes the lock: never close while holding it.
  if (dev) {
    SDL_CloseAudioDevice(dev);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  std::lock_guard<std::mutex> guard(m.lock);
  m.FreeAll();
  m.device = -1;
  return true;
}

bool IsInitialised() {
  std::lock_guard<std::mutex> guard(M().lock);
  return M().initialised;
}

bool Start() {
  Locked l;
  if (!M().initialised) return false;
  M().running = true;
  M().nullClock = std::chrono::steady_clock::now();
  return true;
}

bool Pause() {
  Locked l;
  if (!M().initialised) return false;
  M().running = false;
  return true;
}

OutputKind CurrentOutput() {
  std::lock_guard<std::mutex> guard(M().lock);
  return M().kind;
}

std::string FallbackReason() {
  std::lock_guard<std::mutex> guard(M().lock);
  return M().fallback;
}

bool GetInfo(OutputInfo& info) {
  Locked l;
  Mixer& m = M();
  if (!m.initialised) return false;
  info = OutputInfo{};
  info.minRate = info.maxRate = info.frequency = std::uint32_t(m.rate);
  info.latencyMs = m.kind == OutputKind::Device ? m.sdlFrames * 1000u / std::uint32_t(m.rate) : 0u;
  return true;
}

int GetDevice() {
  std::lock_guard<std::mutex> guard(M().lock);
  return M().initialised ? M().device : -1;
}

bool GetDeviceInfo(int device, DeviceInfo& info) {
  std::lock_guard<std::mutex> guard(M().lock);
  Mixer& m = M();
  if (device == 0) {
    info.name = "No sound";
    info.driver = "null";
    return true;
  }
  if (!m.initialised || device != m.device) return false;
  info.name = m.deviceName;
  info.driver = m.driverName;
  return true;
}

std::size_t Render(std::int16_t* out, std::size_t frames) {
  std::lock_guard<std::mutex> guard(M().lock);
  if (!M().initialised || M().kind != OutputKind::Offline) return 0;
  M().MixLocked(out, frames);
  return frames;
}

// --- Configuration and 3-D -----------------------------------------------------------------

bool SetConfig(Config option, std::uint32_t value) {
  Locked l;
  if (!M().initialised || value > kMaxVolume) return false;
  M().volume[int(option)] = value;
  return true;
}

std::uint32_t GetConfig(Config option) {
  Locked l;
  if (!M().initialised) return kConfigError;
  return M().volume[int(option)];
}

bool Set3DFactors(float distance, float rollOff, float doppler) {
  Locked l;
  Mixer& m = M();
  if (!m.initialised) return false;
  const float v[3] = {distance, rollOff, doppler};
  for (int i = 0; i < 3; ++i) {
    if (v[i] >= 0.0f) m.factors[i] = v[i];
  }
  m.pending3D = true;
  return true;
}

bool Get3DFactors(float* distance, float* rollOff, float* doppler) {
  Locked l;
  Mixer& m = M();
  if (!m.initialised) return false;
  if (distance) *distance = m.factors[0];
  if (rollOff) *rollOff = m.factors[1];
  if (doppler) *doppler = m.factors[2];
  return true;
}

void Apply3D() {
  Locked l;
  // Channels carry no position in this engine: the factors and attributes are kept and a
  // stereo mix has nothing further to recompute.
  M().pending3D = false;
}

// --- Samples -------------------------------------------------------------------------------

Handle SampleLoad(const void* data, std::size_t size, std::uint32_t maxPlaybacks,
                  std::uint32_t flags) {
  if (!data || size == 0 || !IsInitialised()) return 0;
  std::string error;
  auto decoder = OpenDecoder(MemoryInput(data, size), error);
  if (!decoder) return 0;
  auto s = std::make_unique<Sample>();
  SampleData& d = s->data;
  d.rate = decoder->rate;
  d.channels = decoder->channels;
  // The decoder's count comes from the header: read in blocks, never trusting it further.
  const std::size_t block = 16384;
  std::vector<std::int16_t>& pcm = d.pcm;
  for (;;) {
    std::size_t have = pcm.size() / std::size_t(d.channels);
    pcm.resize((have + block) * std::size_t(d.channels));
    std::size_t got = decoder->Read(pcm.data() + have * std::size_t(d.channels), block);
    pcm.resize((have + got) * std::size_t(d.channels));
    if (got < block) break;
    if (have + got > kMaxSampleFrames) return 0;
  }
  d.frames = pcm.size() / std::size_t(d.channels);
  if (d.frames == 0) return 0;
  d.maxPlaybacks = std::clamp<std::uint32_t>(maxPlaybacks, 1, kMaxPlaybacks);
  d.flags = flags & (kLoop | k3D | kOverPos);
  Locked l;
  Mixer& m = M();
  if (!m.initialised) return 0;
  d.outputRate = m.rate;
  d.handle = m.NewHandle(kSample);
  Handle h = d.handle;
  m.samples[h] = std::move(s);
  return h;
}

bool SampleFree(Handle sample) {
  Locked l;
  Mixer& m = M();
  auto it = m.samples.find(sample);
  if (it == m.samples.end()) return false;
  for (auto& c : it->second->channels) m.RemoveChannel(c->handle);
  m.samples.erase(it);
  return true;
}

bool SampleGetInfo(Handle sample, SampleInfo& info) {
  Locked l;
  auto it = M().samples.find(sample);
  if (it == M().samples.end()) return false;
  const SampleData& d = it->second->data;
  info.frequency = std::uint32_t(d.rate);
  info.channels = std::uint32_t(d.channels);
  info.length = std::uint32_t(std::min<std::uint64_t>(d.frames * std::uint64_t(d.channels) * 2u, 0xFFFFFFFFu));
  info.flags = d.flags;
  info.maxPlaybacks = d.maxPlaybacks;
  return true;
}

Handle SampleGetChannel(Handle sample, bool onlyNew) {
  Locked l;
  Mixer& m = M();
  auto it = m.samples.find(sample);
  if (it == m.samples.end()) return 0;
  Sample& s = *it->second;
  SampleChannel* chosen = nullptr;
  if (s.channels.size() < s.data.maxPlaybacks) {
    auto c = std::make_unique<SampleChannel>(&s.data);
    c->handle = m.NewHandle(kSampleChannel);
    c->group = Group::Sample;
    chosen = c.get();
    s.channels.push_back(std::move(c));
    m.AddChannel(chosen);
  } else {
    // Every playback exists: one that is not in use serves again.
    for (auto& c : s.channels) {
      if (c->state == State::Stopped) {
        chosen = c.get();
        break;
      }
    }
    if (!chosen && !onlyNew && (s.data.flags & kOverPos)) {
      for (auto& c : s.channels) {
        if (!chosen || c->playedFrames > chosen->playedFrames) chosen = c.get();
      }
    }
  }
  if (!chosen) return 0;
  chosen->Reset();
  return chosen->handle;
}

// --- Modules and streams -------------------------------------------------------------------

Handle MusicLoad(const void* data, std::size_t size, std::uint32_t flags) {
  if (!IsInitialised()) return 0;
  int rate;
  {
    std::lock_guard<std::mutex> guard(M().lock);
    rate = M().rate;
  }
  std::string error;
  auto module = ModuleChannel::Load(data, size, rate, error);
  if (!module) return 0;
  module->flags = flags & kLoop;
  Locked l;
  Mixer& m = M();
  if (!m.initialised) return 0;
  module->handle = m.NewHandle(kMusic);
  Channel* c = module.get();
  m.owned[c->handle] = std::move(module);
  m.AddChannel(c);
  return c->handle;
}

bool MusicFree(Handle music) {
  Locked l;
  Mixer& m = M();
  if (KindOf(music) != kMusic || !m.owned.count(music)) return false;
  m.RemoveChannel(music);
  m.owned.erase(music);
  return true;
}

bool MusicSetOrderRange(Handle music, int first, int last) {
  Locked l;
  if (KindOf(music) != kMusic) return false;
  auto* c = static_cast<ModuleChannel*>(M().Find(music));
  return c && c->SetRange(first, last);
}

namespace {
Handle AddStream(std::unique_ptr<ByteInput> input, std::uint32_t flags) {
  if (!input || !IsInitialised()) return 0;
  std::string error;
  auto decoder = OpenDecoder(std::move(input), error);
  if (!decoder) return 0;
  Locked l;
  Mixer& m = M();
  if (!m.initialised) return 0;
  auto stream = std::make_unique<StreamChannel>(std::move(decoder), flags, m.rate);
  stream->handle = m.NewHandle(kStream);
  Channel* c = stream.get();
  m.owned[c->handle] = std::move(stream);
  m.AddChannel(c);
  return c->handle;
}
}  // namespace

Handle StreamCreateMemory(const void* data, std::size_t size, std::uint32_t flags) {
  if (!data || size == 0) return 0;
  return AddStream(MemoryInput(data, size), flags);
}

Handle StreamCreateFile(const std::string& path, std::uint32_t flags) {
  std::string p = path;
  std::replace(p.begin(), p.end(), '\\', '/');
  return AddStream(FileInput(p), flags);
}

bool StreamFree(Handle stream) {
  Locked l;
  Mixer& m = M();
  if (KindOf(stream) != kStream || !m.owned.count(stream)) return false;
  m.RemoveChannel(stream);
  m.owned.erase(stream);
  return true;
}

// --- Channels ------------------------------------------------------------------------------

bool ChannelPlay(Handle channel, bool restart) {
  Locked l;
  Channel* c = M().Find(channel);
  return c && c->Play(restart);
}

bool ChannelPause(Handle channel) {
  Locked l;
  Channel* c = M().Find(channel);
  if (!c || c->state != State::Playing) return false;
  c->state = State::Paused;
  return true;
}

bool ChannelStop(Handle channel) {
  Locked l;
  Channel* c = M().Find(channel);
  if (!c) return false;
  c->Stop();
  return true;
}

State ChannelIsActive(Handle channel) {
  Locked l;
  Channel* c = M().Find(channel);
  return c ? c->state : State::Stopped;
}

std::uint32_t ChannelFlags(Handle channel, std::uint32_t flags, std::uint32_t mask) {
  Locked l;
  Channel* c = M().Find(channel);
  if (!c) return kFlagsError;
  mask &= kLoop;
  c->flags = (c->flags & ~mask) | (flags & mask);
  return c->flags;
}

bool ChannelSetVolume(Handle channel, float volume) {
  Locked l;
  Channel* c = M().Find(channel);
  if (!c || !(volume >= 0.0f)) return false;
  c->SetVolume(std::min(volume, 1.0f));
  return true;
}

bool ChannelGetVolume(Handle channel, float* volume) {
  Locked l;
  Channel* c = M().Find(channel);
  if (!c || !volume) return false;
  *volume = c->volume;
  return true;
}

bool ChannelSlideVolume(Handle channel, float target, std::uint32_t ms) {
  Locked l;
  Channel* c = M().Find(channel);
  if (!c || !(target >= 0.0f || target == -1.0f)) return false;
  c->Slide(target, ms, M().rate);
  return true;
}

bool ChannelIsSliding(Handle channel) {
  Locked l;
  Channel* c = M().Find(channel);
  return c && c->Sliding();
}

bool ChannelSetPosition(Handle channel, std::uint64_t position, PosMode mode) {
  Locked l;
  Channel* c = M().Find(channel);
  return c && c->SetPosition(position, mode);
}

std::uint64_t ChannelGetPosition(Handle channel, PosMode mode) {
  Locked l;
  Channel* c = M().Find(channel);
  return c ? c->Position(mode) : kPositionError;
}

std::uint64_t ChannelGetLength(Handle channel, PosMode mode) {
  Locked l;
  Channel* c = M().Find(channel);
  return c ? c->Length(mode) : kPositionError;
}

bool ChannelGetInfo(Handle channel, ChannelInfo& info) {
  Locked l;
  Channel* c = M().Find(channel);
  if (!c) return false;
  info = c->Info();
  return true;
}

int ChannelGetData(Handle channel, void* buffer, std::uint32_t bytes) {
  Locked l;
  if (KindOf(channel) != kStream || !buffer) return -1;
  auto* c = static_cast<StreamChannel*>(M().Find(channel));
  return c ? c->GetData(buffer, bytes) : -1;
}

bool ChannelSet3DAttributes(Handle channel, int mode, float minDistance, float maxDistance,
                            int insideAngle, int outsideAngle, float outsideVolume) {
  Locked l;
  Channel* c = M().Find(channel);
  if (!c || !(c->flags & k3D) || mode > int(Mode3D::Off)) return false;
  Attributes3D& a = c->attributes3D;
  if (mode >= 0) a.mode = Mode3D(mode);
  if (minDistance >= 0.0f) a.minDistance = minDistance;
  if (maxDistance >= 0.0f) a.maxDistance = maxDistance;
  if (insideAngle >= 0) a.insideAngle = std::min(insideAngle, 360);
  if (outsideAngle >= 0) a.outsideAngle = std::min(outsideAngle, 360);
  if (outsideVolume >= 0.0f) a.outsideVolume = std::min(outsideVolume, 1.0f);
  M().pending3D = true;
  return true;
}

bool ChannelGet3DAttributes(Handle channel, Attributes3D& attributes) {
  Locked l;
  Channel* c = M().Find(channel);
  if (!c || !(c->flags & k3D)) return false;
  attributes = c->attributes3D;
  return true;
}

}  // namespace plat::audio
