#pragma once
// Machine description for the start-up dump and the "info" sections "cpu", "os" and
// "video": three probes that fill their records, and the sections that print them.
#include "engine/core/types.h"

namespace vek {

// Filled by the processor probe.
struct cCpuInfo {
  vek::string vendor;  // 12 characters of the identification leaf
  vek::string name;    // brand name, up to 48 characters
  i32 family = 0;
  u64 frequency = 0;  // Hz
  u32 count = 0;      // processors
  bool has3DNow = false;
  bool has3DNowExt = false;
  bool hasMMX = false;
  bool hasMMXExt = false;
  bool hasSSE = false;
  bool hasSSE2 = false;
  bool hasHyperThreading = false;
};

// Filled by the operating-system probe. On Linux: the distribution's name as the product,
// its variant as the edition, the kernel's major and minor version, the kernel's name,
// release and machine as the service-pack text and the kernel's build count as the build.
struct cOsInfo {
  vek::string name;
  vek::string edition;
  vek::string servicePack;
  i32 major = 0;
  i32 minor = 0;
  i32 build = 0;
};

// Filled by the video probe: the GL renderer (with its vendor), or before the window exists
// the video driver it will use, and the display's name.
struct cVideoInfo {
  vek::string adapter;
  vek::string monitor;
};

// The probes; they cannot fail: a missing piece leaves its field empty or 0.
void GetCpuInfo(cCpuInfo& info);
void GetOsInfo(cOsInfo& info);
void GetVideoInfo(cVideoInfo& info);

// The text of each section for a given record.
vek::string FormatCpuInformation(const cCpuInfo& info);
vek::string FormatOsInformation(const cOsInfo& info);
vek::string FormatVideoInformation(const cVideoInfo& info);

// Run a probe and print its section as plain lines (console and log file).
void DumpCpuInformation();
void DumpOsInformation();
void DumpVideoInformation();

}  // namespace vek
