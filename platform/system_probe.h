#pragma once
// Raw machine facts for the engine's system information: processor identification leaves,
// the time-stamp counter against the monotonic clock, the processor count, the kernel's
// names, the distribution's os-release text, the GL strings, the display's name and the
// video driver.
// A real back end (CPUID, clock_gettime, uname, /etc/os-release, GL, SDL) and a fixed one
// for tests. Texts are handed over in windows-1252.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace plat {

struct CpuidRegisters {
  std::uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

struct KernelNames {
  std::string sysname;  // "Linux"
  std::string release;  // "6.1.0-18-amd64"
  std::string version;  // "#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)"
  std::string machine;  // "x86_64"
};

class SystemProbe {
 public:
  virtual ~SystemProbe() = default;

  // One processor identification leaf; false when the processor has no such instruction.
  virtual bool Cpuid(std::uint32_t leaf, CpuidRegisters& out) = 0;
  // The processor's time-stamp counter; 0 when there is none.
  virtual std::uint64_t TimeStamp() = 0;
  // The monotonic clock and its ticks per second.
  virtual std::int64_t Counter() = 0;
  virtual std::int64_t CounterFrequency() = 0;
  // Processors online; at least 1.
  virtual std::uint32_t ProcessorCount() = 0;
  // The kernel's names; false when unknown.
  virtual bool Kernel(KernelNames& out) = 0;
  // The whole os-release text of the distribution; empty when there is none.
  virtual std::string OsRelease() = 0;
  // GL_RENDERER, GL_VENDOR and GL_VERSION of the window's GL context; false when no context
  // exists.
  virtual bool GLStrings(std::string& renderer, std::string& vendor, std::string& version) = 0;
  // The name of the first display; empty when the video system is not running.
  virtual std::string DisplayName() = 0;
  // The video driver the window system runs on ("x11", "wayland", "offscreen"); empty when the
  // video system is not running.
  virtual std::string VideoDriver() = 0;
};

// The active back end (the real one unless a test installed another).
SystemProbe& GetSystemProbe();
// Installs a back end (tests); null restores the real one.
void SetSystemProbe(std::unique_ptr<SystemProbe> probe);

// Fixed back end: every answer is a field the test sets. Each Counter call advances the
// clock by counterStep and each TimeStamp call the time-stamp counter by timeStampStep.
class FixedSystemProbe : public SystemProbe {
 public:
  bool hasCpuid = true;
  std::map<std::uint32_t, CpuidRegisters> leaves;  // a missing leaf reads as zeros
  std::uint64_t timeStamp = 0;
  std::uint64_t timeStampStep = 0;
  std::int64_t counter = 0;
  std::int64_t counterStep = 0;
  std::int64_t counterFrequency = 1000000000;
  std::uint32_t processors = 1;
  bool hasKernel = true;
  KernelNames kernel;
  std::string osRelease;
  bool hasGL = false;
  std::string glRenderer, glVendor, glVersion;
  std::string displayName;
  std::string videoDriver;

  bool Cpuid(std::uint32_t leaf, CpuidRegisters& out) override {
    if (!hasCpuid) return false;
    auto it = leaves.find(leaf);
    out = it == leaves.end() ? CpuidRegisters{} : it->second;
    return true;
  }
  std::uint64_t TimeStamp() override {
    std::uint64_t v = timeStamp;
    timeStamp += timeStampStep;
    return v;
  }
  std::int64_t Counter() override {
    std::int64_t v = counter;
    counter += counterStep;
    return v;
  }
  std::int64_t CounterFrequency() override { return counterFrequency; }
  std::uint32_t ProcessorCount() override { return processors; }
  bool Kernel(KernelNames& out) override {
    if (!hasKernel) return false;
    out = kernel;
    return true;
  }
  std::string OsRelease() override { return osRelease; }
  bool GLStrings(std::string& renderer, std::string& vendor, std::string& version) override {
    if (!hasGL) return false;
    renderer = glRenderer;
    vendor = glVendor;
    version = glVersion;
    return true;
  }
  std::string DisplayName() override { return displayName; }
  std::string VideoDriver() override { return videoDriver; }
};

}  // namespace plat
