#include "platform/system_probe.h"

#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include <SDL.h>

#include "platform/os.h"
#include "platform/window.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define PLAT_HAS_CPUID 1
#else
#define PLAT_HAS_CPUID 0
#endif

namespace plat {
namespace {

constexpr unsigned kGLVendor = 0x1F00;
constexpr unsigned kGLRenderer = 0x1F01;
constexpr unsigned kGLVersion = 0x1F02;
using GetStringFn = const unsigned char* (*)(unsigned);

std::string ReadWholeFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class RealSystemProbe : public SystemProbe {
 public:
  bool Cpuid(std::uint32_t leaf, CpuidRegisters& out) override {
#if PLAT_HAS_CPUID
    __cpuid(leaf, out.eax, out.ebx, out.ecx, out.edx);
    return true;
#else
    (void)leaf;
    out = {};
    return false;
#endif
  }

  std::uint64_t TimeStamp() override {
#if PLAT_HAS_CPUID
    return __rdtsc();
#else
    return 0;
#endif
  }

  std::int64_t Counter() override {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
  }
  std::int64_t CounterFrequency() override { return 1000000000; }

  std::uint32_t ProcessorCount() override {
    long n = sysconf(_SC_NPROCESSORS_ONLN);
    return n > 0 ? static_cast<std::uint32_t>(n) : 1;
  }

  bool Kernel(KernelNames& out) override {
    utsname names{};
    if (uname(&names) != 0) return false;
    out.sysname = Utf8ToCp1252(names.sysname);
    out.release = Utf8ToCp1252(names.release);
    out.version = Utf8ToCp1252(names.version);
    out.machine = Utf8ToCp1252(names.machine);
    return true;
  }

  std::string OsRelease() override {
    std::string text = ReadWholeFile("/etc/os-release");
    if (text.empty()) text = ReadWholeFile("/usr/lib/os-release");
    // The file is small; anything huge is not an os-release file.
    if (text.size() > 65536) text.clear();
    return Utf8ToCp1252(text);
  }

  bool GLStrings(std::string& renderer, std::string& vendor, std::string& version) override {
    Window& window = GetWindow();
    if (!window.HasGLContext()) return false;
    auto getString = reinterpret_cast<GetStringFn>(window.GLGetProcAddress("glGetString"));
    if (!getString) return false;
    auto text = [&](unsigned name) {
      const unsigned char* s = getString(name);
      return s ? Utf8ToCp1252(reinterpret_cast<const char*>(s)) : std::string();
    };
    renderer = text(kGLRenderer);
    vendor = text(kGLVendor);
    version = text(kGLVersion);
    return true;
  }

  std::string DisplayName() override {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return {};
    const char* name = SDL_GetDisplayName(0);
    return name ? Utf8ToCp1252(name) : std::string();
  }

  std::string VideoDriver() override {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return {};
    const char* name = SDL_GetCurrentVideoDriver();
    return name ? Utf8ToCp1252(name) : std::string();
  }
};

std::unique_ptr<SystemProbe>& Active() {
  static std::unique_ptr<SystemProbe> probe = std::make_unique<RealSystemProbe>();
  return probe;
}

}  // namespace

SystemProbe& GetSystemProbe() { return *Active(); }

void SetSystemProbe(std::unique_ptr<SystemProbe> probe) {
  Active() = probe ? std::move(probe) : std::make_unique<RealSystemProbe>();
}

}  // namespace plat
