#include "engine/net/system_info.h"

#include <cctype>
#include <cstring>
#include <map>

#include "engine/core/format.h"
#include "engine/core/log.h"
#include "platform/system_probe.h"

namespace vek {
namespace {

// The records' texts hold up to this many characters.
constexpr std::size_t kMaxText = 511;

vek::string Limited(vek::string text, std::size_t limit = kMaxText) {
  if (text.size() > limit) text.resize(limit);
  return text;
}

void AppendRegister(vek::string& out, u32 value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Text up to the first terminator, without surrounding blanks.
vek::string Trimmed(const vek::string& raw) {
  vek::string text = raw.substr(0, raw.find('\0'));
  std::size_t first = text.find_first_not_of(' ');
  if (first == vek::string::npos) return {};
  std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

// Reads a leading decimal number (saturating); pos moves past it. False when no digit.
bool ReadNumber(const vek::string& text, std::size_t& pos, i32& value) {
  std::size_t start = pos;
  i64 v = 0;
  while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
    if (v < 1000000000) v = v * 10 + (text[pos] - '0');
    ++pos;
  }
  if (pos == start) return false;
  value = static_cast<i32>(v > 2147483647 ? 2147483647 : v);
  return true;
}

// KEY=VALUE lines of an os-release text; values may be quoted and escaped.
std::map<vek::string, vek::string> ParseOsRelease(const vek::string& text) {
  std::map<vek::string, vek::string> fields;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == vek::string::npos) end = text.size();
    vek::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t eq = line.find('=');
    if (line.empty() || line[0] == '#' || eq == vek::string::npos || eq == 0) continue;
    vek::string key = line.substr(0, eq);
    vek::string raw = line.substr(eq + 1);
    vek::string value;
    char quote = 0;
    for (std::size_t i = 0; i < raw.size(); ++i) {
      char c = raw[i];
      if (quote == 0 && (c == '"' || c == '\'') && i == 0) {
        quote = c;
      } else if (quote != 0 && c == quote) {
        break;
      } else if (quote == '"' && c == '\\' && i + 1 < raw.size()) {
        value.push_back(raw[++i]);
      } else {
        value.push_back(c);
      }
    }
    fields[key] = value;
  }
  return fields;
}

}  // namespace

void GetCpuInfo(cCpuInfo& info) {
  info = cCpuInfo();
  plat::SystemProbe& probe = plat::GetSystemProbe();

  plat::CpuidRegisters r;
  if (probe.Cpuid(0, r)) {
    u32 highest = r.eax;
    vek::string vendor;
    AppendRegister(vendor, r.ebx);
    AppendRegister(vendor, r.edx);
    AppendRegister(vendor, r.ecx);
    info.vendor = Trimmed(vendor);
    if (highest >= 1) {
      probe.Cpuid(1, r);
      info.family = static_cast<i32>((r.eax >> 8) & 0xF);
      info.hasMMX = (r.edx >> 23) & 1;
      info.hasSSE = (r.edx >> 25) & 1;
      info.hasSSE2 = (r.edx >> 26) & 1;
      info.hasHyperThreading = (r.edx >> 28) & 1;
      probe.Cpuid(0x80000000u, r);
      u32 highestExt = r.eax;
      if (highestExt >= 0x80000001u) {
        probe.Cpuid(0x80000001u, r);
        info.hasMMXExt = (r.edx >> 22) & 1;
        info.has3DNowExt = (r.edx >> 30) & 1;
        info.has3DNow = (r.edx >> 31) & 1;
      }
      vek::string brand;
      for (u32 leaf = 0x80000002u; leaf <= 0x80000004u && highestExt >= leaf; ++leaf) {
        probe.Cpuid(leaf, r);
        AppendRegister(brand, r.eax);
        AppendRegister(brand, r.ebx);
        AppendRegister(brand, r.ecx);
        AppendRegister(brand, r.edx);
      }
      info.name = Trimmed(brand);
    }
  }

  // Time-stamp ticks over a short busy loop, measured against the monotonic clock.
  i64 c0 = probe.Counter();
  u64 t0 = probe.TimeStamp();
  volatile int spin = 0;
  while (spin < 1000000) spin = spin + 1;
  i64 c1 = probe.Counter();
  u64 t1 = probe.TimeStamp();
  i64 ticks = c1 - c0;
  if (ticks > 0 && t1 > t0 && probe.CounterFrequency() > 0) {
    unsigned __int128 hz = static_cast<unsigned __int128>(t1 - t0) *
                           static_cast<u64>(probe.CounterFrequency()) / static_cast<u64>(ticks);
    info.frequency = hz > ~u64(0) ? ~u64(0) : static_cast<u64>(hz);
  }

  info.count = probe.ProcessorCount();
}

void GetOsInfo(cOsInfo& info) {
  info = cOsInfo();
  plat::SystemProbe& probe = plat::GetSystemProbe();

  plat::KernelNames kernel;
  bool hasKernel = probe.Kernel(kernel);
  std::map<vek::string, vek::string> release = ParseOsRelease(probe.OsRelease());

  vek::string name = release["PRETTY_NAME"];
  if (name.empty()) {
    name = release["NAME"];
    const vek::string& version = release["VERSION"];
    if (!name.empty() && !version.empty()) name += " " + version;
  }
  if (name.empty() && hasKernel) name = kernel.sysname;
  info.name = Limited(name);
  info.edition = Limited(release["VARIANT"]);

  if (!hasKernel) return;
  std::size_t pos = 0;
  i32 major = 0, minor = 0;
  if (ReadNumber(kernel.release, pos, major)) {
    info.major = major;
    if (pos < kernel.release.size() && kernel.release[pos] == '.' &&
        ReadNumber(kernel.release, ++pos, minor))
      info.minor = minor;
  }
  vek::string text = kernel.sysname;
  for (const vek::string* part : {&kernel.release, &kernel.machine}) {
    if (part->empty()) continue;
    if (!text.empty()) text += " ";
    text += *part;
  }
  info.servicePack = Limited(text);
  // The kernel's version text starts with its build count, "#<n> ...".
  std::size_t hash = kernel.version.find('#');
  i32 build = 0;
  if (hash != vek::string::npos && ReadNumber(kernel.version, ++hash, build)) info.build = build;
}

void GetVideoInfo(cVideoInfo& info) {
  info = cVideoInfo();
  plat::SystemProbe& probe = plat::GetSystemProbe();
  vek::string renderer, vendor, version;
  if (probe.GLStrings(renderer, vendor, version)) {
    vek::string adapter = renderer;
    if (!vendor.empty()) adapter += adapter.empty() ? vendor : " (" + vendor + ")";
    info.adapter = Limited(adapter);
  } else if (const vek::string driver = probe.VideoDriver(); !driver.empty()) {
    // Before the window exists the renderer is not known yet (the render section names it):
    // the adapter is the video driver the window will use.
    info.adapter = Limited("OpenGL on the " + driver + " video driver");
  }
  info.monitor = Limited(probe.DisplayName());
}

vek::string FormatCpuInformation(const cCpuInfo& info) {
  vek::string out;
  AppendFormat(out,
               "CPU:\n  Count: %i\n  Name: %s\n  Vendor: %s\n  Family: %i\n  Frequency: ~%iMGz\n"
               "  Extensions: ",
               static_cast<int>(info.count), info.name, info.vendor, info.family,
               static_cast<int>(info.frequency / 1000000));
  const struct {
    bool present;
    const char* text;
  } extensions[] = {{info.hasMMX, "MMX"},        {info.hasMMXExt, ", MMX Ext"},
                    {info.hasSSE, ", SSE"},      {info.hasSSE2, ", SSE2"},
                    {info.has3DNow, ", 3DNow!"}, {info.has3DNowExt, ", 3DNow! Ext"},
                    {info.hasHyperThreading, ", Hyper-Threading"}};
  for (const auto& e : extensions)
    if (e.present) out += e.text;
  out += "\n";
  return out;
}

vek::string FormatOsInformation(const cOsInfo& info) {
  vek::string out = "Operating System:\n";
  AppendFormat(out, "  %s", info.name);
  if (!info.edition.empty()) AppendFormat(out, " %s", info.edition);
  if (info.major > 0) AppendFormat(out, " %i.%i", info.major, info.minor);
  if (!info.servicePack.empty()) AppendFormat(out, " %s", info.servicePack);
  if (info.build > 0) AppendFormat(out, " (Build %i)", info.build);
  out += "\n";
  return out;
}

vek::string FormatVideoInformation(const cVideoInfo& info) {
  vek::string out;
  AppendFormat(out, "Video:\n  Adapter: %s\n  Monitor: %s\n", info.adapter, info.monitor);
  return out;
}

void DumpCpuInformation() {
  cCpuInfo info;
  GetCpuInfo(info);
  LogPlain("%s", FormatCpuInformation(info));
}

void DumpOsInformation() {
  cOsInfo info;
  GetOsInfo(info);
  LogPlain("%s", FormatOsInformation(info));
}

void DumpVideoInformation() {
  cVideoInfo info;
  GetVideoInfo(info);
  LogPlain("%s", FormatVideoInformation(info));
}

}  // namespace vek
