#pragma once
// The audio library of the engine: one output, samples with a number of simultaneous
// playbacks, tracker modules (libxmp), streams (OGG through vorbisfile, WAV through our own
// reader) and the channels that play them, mixed by our own mixer.
//
// Handles are 32-bit values, 0 meaning none. A module or a stream is itself a channel; a
// sample gives channels through SampleGetChannel. Every call is safe from the main thread
// while the output runs on its own thread.
//
// Output back ends: the SDL2 audio callback (the real one), a null output that keeps the
// channels running on the wall clock with nothing heard (used when no device opens), and an
// offline output that mixes only when Render is called (tests).
#include <cstddef>
#include <cstdint>
#include <string>

namespace plat::audio {

using Handle = std::uint32_t;

// Flags of samples, modules, streams and channels.
enum : std::uint32_t {
  kLoop = 1u << 0,      // the channel starts again at its end (the only flag ChannelFlags changes)
  k3D = 1u << 1,        // a 3-D sample and its channels
  kMono = 1u << 2,      // streams: decode to one channel
  kDecode = 1u << 3,    // streams: decoding only (ChannelGetData), never played
  kOverPos = 1u << 4,   // samples: with every playback in use, a new channel takes over the
                        // one that has been playing longest
  kPrescan = 1u << 5,   // modules and streams: find the exact length at creation
};

// Output back ends (SetOutputKind).
enum class OutputKind { Device, Null, Offline };

// Channel states (ChannelIsActive).
enum class State { Stopped = 0, Playing = 1, Stalled = 2, Paused = 3 };

// Position and length units.
enum class PosMode {
  Byte,   // bytes of 16-bit decoded sound in the channel's own rate and channel count
  Order,  // modules: order in the low 16 bits, row in the high 16 bits
};

// Global configuration values, each 0..10000.
enum class Config { SampleVolume, MusicVolume, StreamVolume };

// Returned by GetConfig on failure (above every valid value).
constexpr std::uint32_t kConfigError = 0xFFFFFFFFu;
// Returned by ChannelGetPosition and ChannelGetLength on failure.
constexpr std::uint64_t kPositionError = ~std::uint64_t{0};
// Returned by ChannelFlags on failure.
constexpr std::uint32_t kFlagsError = 0xFFFFFFFFu;

// Capability bits of OutputInfo::flags (a software mixer sets none of them).
enum : std::uint32_t {
  kCapsEmulated = 1u << 0,
  kCapsCertified = 1u << 1,
  kCapsHardwareMono = 1u << 2,
  kCapsHardwareStereo = 1u << 3,
  kCapsHardware8Bit = 1u << 4,
  kCapsHardware16Bit = 1u << 5,
};

struct OutputInfo {
  std::uint32_t flags = 0;
  std::uint32_t hardwareMemory = 0;
  std::uint32_t freeHardwareMemory = 0;
  std::uint32_t freeSlots = 0;
  std::uint32_t free3DSlots = 0;
  std::uint32_t minRate = 0;
  std::uint32_t maxRate = 0;
  bool eax = false;
  std::uint32_t frequency = 0;  // the mixing rate
  std::uint32_t latencyMs = 0;  // the output buffer's length
};

struct DeviceInfo {
  std::string name;
  std::string driver;
};

struct SampleInfo {
  std::uint32_t frequency = 0;
  std::uint32_t channels = 0;
  std::uint32_t length = 0;  // bytes of 16-bit sound
  std::uint32_t flags = 0;
  std::uint32_t maxPlaybacks = 0;
};

struct ChannelInfo {
  std::uint32_t frequency = 0;
  std::uint32_t channels = 0;
  std::uint32_t flags = 0;
  std::uint32_t bits = 16;
};

// 3-D attribute modes.
enum class Mode3D { Normal = 0, Relative = 1, Off = 2 };

struct Attributes3D {
  Mode3D mode = Mode3D::Normal;
  float minDistance = 1.0f;
  float maxDistance = 1.0e9f;
  int insideAngle = 360;
  int outsideAngle = 360;
  float outsideVolume = 1.0f;
};

// --- Output --------------------------------------------------------------------------------

// Chooses the back end of the next Init (Device unless a test chose otherwise).
void SetOutputKind(OutputKind kind);
// Starts the library: device 0 is the null output, 1 (and -1) the system's default device.
// A device that cannot be opened falls back to the null output (Init still succeeds; see
// FallbackReason). The output runs after Init. Fails when already started.
bool Init(int device, int frequency);
// Stops the output and frees every sample, module, stream and channel.
bool Free();
bool IsInitialised();
// Starts (resumes) and pauses the output; while paused nothing is mixed and no channel moves.
bool Start();
bool Pause();
// The back end in use, and why a Device output fell back to Null (empty when it did not).
OutputKind CurrentOutput();
std::string FallbackReason();

bool GetInfo(OutputInfo& info);
// The device in use (0 null output, 1 a real device); -1 without Init.
int GetDevice();
bool GetDeviceInfo(int device, DeviceInfo& info);

// Offline output: mixes `frames` stereo frames into `out` (interleaved, 2 values a frame).
// A paused output gives silence and moves nothing. Returns the frames written (0 when the
// offline output is not in use).
std::size_t Render(std::int16_t* out, std::size_t frames);

// --- Configuration and 3-D -----------------------------------------------------------------

bool SetConfig(Config option, std::uint32_t value);  // values above 10000 are refused
std::uint32_t GetConfig(Config option);              // kConfigError without Init

// Distance, roll-off and Doppler factors; a negative value leaves that factor unchanged.
bool Set3DFactors(float distance, float rollOff, float doppler);
bool Get3DFactors(float* distance, float* rollOff, float* doppler);
// Makes the 3-D changes since the last call take effect.
void Apply3D();

// --- Samples -------------------------------------------------------------------------------

// A sample from a WAV or OGG file in memory (copied); maxPlaybacks is limited to 1..65535.
// Flags: kLoop, k3D, kOverPos. 0 on failure.
Handle SampleLoad(const void* data, std::size_t size, std::uint32_t maxPlaybacks,
                  std::uint32_t flags);
bool SampleFree(Handle sample);
bool SampleGetInfo(Handle sample, SampleInfo& info);
// A channel of the sample, reset to the start at full volume with the sample's flags and
// stopped. With every playback in use: when onlyNew is false and the sample has kOverPos, the
// channel that has been playing longest is stopped and handed out again; otherwise 0.
Handle SampleGetChannel(Handle sample, bool onlyNew);

// --- Modules and streams -------------------------------------------------------------------

// A tracker module (MOD, S3M, XM, IT ...) from memory (copied); flags: kLoop, kPrescan.
Handle MusicLoad(const void* data, std::size_t size, std::uint32_t flags);
bool MusicFree(Handle music);
// Playing range in orders: at the end of `last` the module goes back to `first` when looped
// and ends otherwise. A negative `last` plays to the module's own end.
bool MusicSetOrderRange(Handle music, int first, int last);

// A stream of an OGG or WAV file in memory; the data is read while the stream lives and must
// outlive it. Flags: kLoop, kMono, kDecode, kPrescan.
Handle StreamCreateMemory(const void* data, std::size_t size, std::uint32_t flags);
// The same from a file, read by the stream itself.
Handle StreamCreateFile(const std::string& path, std::uint32_t flags);
bool StreamFree(Handle stream);

// --- Channels (sample channels, modules, streams) -----------------------------------------

// Plays from the start when `restart` is true, else from where the channel is.
bool ChannelPlay(Handle channel, bool restart);
bool ChannelPause(Handle channel);
bool ChannelStop(Handle channel);
State ChannelIsActive(Handle channel);
// Sets the bits of `mask` to those of `flags` (only kLoop may change) and returns the
// channel's flags afterwards; a mask of 0 only reads them. kFlagsError on failure.
std::uint32_t ChannelFlags(Handle channel, std::uint32_t flags, std::uint32_t mask);
// Volume 0..1; setting it ends a slide in progress.
bool ChannelSetVolume(Handle channel, float volume);
bool ChannelGetVolume(Handle channel, float* volume);
// Slides the volume to `target` (0..1) over `ms` milliseconds of output time; a target of -1
// slides to silence and then stops the channel.
bool ChannelSlideVolume(Handle channel, float target, std::uint32_t ms);
bool ChannelIsSliding(Handle channel);
bool ChannelSetPosition(Handle channel, std::uint64_t position, PosMode mode);
std::uint64_t ChannelGetPosition(Handle channel, PosMode mode);
std::uint64_t ChannelGetLength(Handle channel, PosMode mode);
bool ChannelGetInfo(Handle channel, ChannelInfo& info);
// Decoding streams: up to `bytes` bytes of interleaved 16-bit sound; the byte count
// delivered, or -1 at the end or on failure.
int ChannelGetData(Handle channel, void* buffer, std::uint32_t bytes);
// 3-D channels only. A negative value (mode -1 included) leaves that attribute unchanged.
bool ChannelSet3DAttributes(Handle channel, int mode, float minDistance, float maxDistance,
                            int insideAngle, int outsideAngle, float outsideVolume);
bool ChannelGet3DAttributes(Handle channel, Attributes3D& attributes);

}  // namespace plat::audio
