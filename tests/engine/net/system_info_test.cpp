#include "engine/net/system_info.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "platform/system_probe.h"
#include "tests/engine/core/captured_log.h"

namespace {

using vek::cCpuInfo;
using vek::cOsInfo;
using vek::cVideoInfo;

// Installs a fixed probe for one test and restores the real one afterwards.
class SystemInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto probe = std::make_unique<plat::FixedSystemProbe>();
    m_Probe = probe.get();
    plat::SetSystemProbe(std::move(probe));
  }
  void TearDown() override { plat::SetSystemProbe(nullptr); }

  // Four characters of a register, first character in the lowest byte.
  static std::uint32_t Chars(const char* four) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4 && four[i]; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(four[i])) << (8 * i);
    return v;
  }
  // Puts a brand name of up to 48 characters into the three brand leaves.
  void SetBrand(const std::string& brand) {
    char text[49] = {};
    std::memcpy(text, brand.data(), std::min<std::size_t>(brand.size(), 48));
    for (std::uint32_t leaf = 0; leaf < 3; ++leaf) {
      const char* p = text + 16 * leaf;
      m_Probe->leaves[0x80000002u + leaf] = {Chars(p), Chars(p + 4), Chars(p + 8), Chars(p + 12)};
    }
  }
  void SetIntelLike() {
    m_Probe->leaves[0] = {0xD, Chars("Genu"), Chars("ntel"), Chars("ineI")};
    m_Probe->leaves[1] = {0x000906A3, 0, 0, (1u << 23) | (1u << 25) | (1u << 26) | (1u << 28)};
    m_Probe->leaves[0x80000000u] = {0x80000008u, 0, 0, 0};
    m_Probe->leaves[0x80000001u] = {0, 0, 0, 0};
    SetBrand("Intel(R) Core(TM) i7-9700 CPU @ 3.00GHz");
  }

  plat::FixedSystemProbe* m_Probe = nullptr;
};

TEST(SystemInfoFormat, CpuSectionAndExtensionList) {
  cCpuInfo cpu;
  cpu.count = 8;
  cpu.name = "Test CPU";
  cpu.vendor = "GenuineIntel";
  cpu.family = 6;
  cpu.frequency = 2999999999ull;
  cpu.hasMMX = true;
  EXPECT_EQ(vek::FormatCpuInformation(cpu),
            "CPU:\n  Count: 8\n  Name: Test CPU\n  Vendor: GenuineIntel\n  Family: 6\n"
            "  Frequency: ~2999MGz\n  Extensions: MMX\n");

  struct Case {
    bool mmx, mmxExt, sse, sse2, now, nowExt, ht;
    const char* list;
  } cases[] = {
      {true, true, true, true, true, true, true,
       "MMX, MMX Ext, SSE, SSE2, 3DNow!, 3DNow! Ext, Hyper-Threading"},
      // Without MMX the list begins with the comma of the next item.
      {false, false, true, true, false, false, false, ", SSE, SSE2"},
      {false, true, false, false, true, false, true, ", MMX Ext, 3DNow!, Hyper-Threading"},
      {false, false, false, false, false, false, false, ""},
  };
  for (const Case& c : cases) {
    cCpuInfo info;
    info.hasMMX = c.mmx;
    info.hasMMXExt = c.mmxExt;
    info.hasSSE = c.sse;
    info.hasSSE2 = c.sse2;
    info.has3DNow = c.now;
    info.has3DNowExt = c.nowExt;
    info.hasHyperThreading = c.ht;
    std::string text = vek::FormatCpuInformation(info);
    std::size_t at = text.find("  Extensions: ");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(text.substr(at), std::string("  Extensions: ") + c.list + "\n") << c.list;
  }
}

TEST(SystemInfoFormat, OsSectionLeavesOutEmptyParts) {
  struct Case {
    cOsInfo os;
    const char* line;
  } cases[] = {
      {{"Fedora Linux 39", "Workstation Edition", "Linux 6.5.6 x86_64", 6, 5, 3},
       "  Fedora Linux 39 Workstation Edition 6.5 Linux 6.5.6 x86_64 (Build 3)\n"},
      {{"Debian GNU/Linux 12 (bookworm)", "", "Linux 6.1.0-18-amd64 x86_64", 6, 1, 1},
       "  Debian GNU/Linux 12 (bookworm) 6.1 Linux 6.1.0-18-amd64 x86_64 (Build 1)\n"},
      // No product name: two blanks, then the rest.
      {{"", "Workstation", "", 0, 0, 0}, "   Workstation\n"},
      {{"", "", "", 0, 0, 0}, "  \n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(vek::FormatOsInformation(c.os), std::string("Operating System:\n") + c.line);
}

TEST(SystemInfoFormat, VideoSection) {
  EXPECT_EQ(vek::FormatVideoInformation(cVideoInfo{"llvmpipe (Mesa)", "Display 1"}),
            "Video:\n  Adapter: llvmpipe (Mesa)\n  Monitor: Display 1\n");
  EXPECT_EQ(vek::FormatVideoInformation(cVideoInfo{}), "Video:\n  Adapter: \n  Monitor: \n");
}

TEST_F(SystemInfoTest, ProcessorProbeReadsLeavesAndMeasuresFrequency) {
  SetIntelLike();
  // 2.4 million time-stamp ticks per millisecond of the monotonic clock: 2.4 GHz.
  m_Probe->counterStep = 1000000;
  m_Probe->timeStampStep = 2400000;
  m_Probe->processors = 8;
  cCpuInfo cpu;
  vek::GetCpuInfo(cpu);
  EXPECT_EQ(cpu.vendor, "GenuineIntel");
  EXPECT_EQ(cpu.name, "Intel(R) Core(TM) i7-9700 CPU @ 3.00GHz");
  EXPECT_EQ(cpu.family, 6);
  EXPECT_EQ(cpu.frequency, 2400000000ull);
  EXPECT_EQ(cpu.count, 8u);
  EXPECT_TRUE(cpu.hasMMX && cpu.hasSSE && cpu.hasSSE2 && cpu.hasHyperThreading);
  EXPECT_FALSE(cpu.hasMMXExt || cpu.has3DNow || cpu.has3DNowExt);

  // The extended flags of the other vendor's leaf.
  m_Probe->leaves[0x80000001u] = {0, 0, 0, (1u << 22) | (1u << 30) | (1u << 31)};
  vek::GetCpuInfo(cpu);
  EXPECT_TRUE(cpu.hasMMXExt && cpu.has3DNow && cpu.has3DNowExt);
}

TEST_F(SystemInfoTest, ProcessorProbeStopsAtTheHighestLeaf) {
  SetIntelLike();
  m_Probe->leaves[0].eax = 0;  // only the vendor leaf
  cCpuInfo cpu;
  vek::GetCpuInfo(cpu);
  EXPECT_EQ(cpu.vendor, "GenuineIntel");
  EXPECT_EQ(cpu.name, "");
  EXPECT_EQ(cpu.family, 0);
  EXPECT_FALSE(cpu.hasMMX);
  // A clock that does not move gives no frequency instead of a division by zero.
  EXPECT_EQ(cpu.frequency, 0u);

  SetIntelLike();
  m_Probe->leaves[0x80000000u].eax = 0x80000003u;  // two of the three brand leaves
  vek::GetCpuInfo(cpu);
  EXPECT_EQ(cpu.name, "Intel(R) Core(TM) i7-9700 CPU @");

  m_Probe->hasCpuid = false;
  vek::GetCpuInfo(cpu);
  EXPECT_EQ(cpu.vendor, "");
  EXPECT_EQ(cpu.count, 1u);
}

TEST_F(SystemInfoTest, SystemProbeFromKernelAndOsRelease) {
  m_Probe->kernel = {"Linux", "6.1.0-18-amd64", "#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1", "x86_64"};
  m_Probe->osRelease =
      "# comment\nNAME=\"Debian GNU/Linux\"\nVERSION=\"12 (bookworm)\"\n"
      "PRETTY_NAME=\"Debian GNU/Linux 12 \\\"bookworm\\\"\"\nVARIANT='Workstation Edition'\n";
  cOsInfo os;
  vek::GetOsInfo(os);
  EXPECT_EQ(os.name, "Debian GNU/Linux 12 \"bookworm\"");
  EXPECT_EQ(os.edition, "Workstation Edition");
  EXPECT_EQ(os.major, 6);
  EXPECT_EQ(os.minor, 1);
  EXPECT_EQ(os.servicePack, "Linux 6.1.0-18-amd64 x86_64");
  EXPECT_EQ(os.build, 1);

  // Without a pretty name: name and version; without os-release: the kernel's name.
  m_Probe->osRelease = "NAME=Arch\r\nVERSION=rolling\r\n";
  vek::GetOsInfo(os);
  EXPECT_EQ(os.name, "Arch rolling");
  EXPECT_EQ(os.edition, "");
  m_Probe->osRelease.clear();
  m_Probe->kernel = {"Linux", "garbage", "", ""};
  vek::GetOsInfo(os);
  EXPECT_EQ(os.name, "Linux");
  EXPECT_EQ(os.major, 0);
  EXPECT_EQ(os.build, 0);
  EXPECT_EQ(vek::FormatOsInformation(os), "Operating System:\n  Linux Linux garbage\n");

  m_Probe->hasKernel = false;
  vek::GetOsInfo(os);
  EXPECT_EQ(vek::FormatOsInformation(os), "Operating System:\n  \n");
}

TEST_F(SystemInfoTest, VideoProbeUsesGLStringsAndDisplayName) {
  cVideoInfo video;
  m_Probe->displayName = "Built-in Display";
  vek::GetVideoInfo(video);
  EXPECT_EQ(video.adapter, "");
  EXPECT_EQ(video.monitor, "Built-in Display");
  // Before the window's context exists, the video driver it will run on.
  m_Probe->videoDriver = "x11";
  vek::GetVideoInfo(video);
  EXPECT_EQ(video.adapter, "OpenGL on the x11 video driver");

  m_Probe->hasGL = true;
  m_Probe->glRenderer = "llvmpipe (LLVM 15.0.6, 256 bits)";
  m_Probe->glVendor = "Mesa";
  vek::GetVideoInfo(video);
  EXPECT_EQ(video.adapter, "llvmpipe (LLVM 15.0.6, 256 bits) (Mesa)");

  // Texts are kept to 511 characters.
  m_Probe->glRenderer.assign(600, 'r');
  m_Probe->glVendor.clear();
  vek::GetVideoInfo(video);
  EXPECT_EQ(video.adapter, std::string(511, 'r'));
}

TEST_F(SystemInfoTest, DumpsWriteTheirSectionsToTheLog) {
  SetIntelLike();
  m_Probe->kernel = {"Linux", "6.1.0", "#7", "x86_64"};
  m_Probe->displayName = "Monitor-X";
  vektest::CapturedLog log;
  vek::DumpCpuInformation();
  vek::DumpOsInformation();
  vek::DumpVideoInformation();
  std::string text = log.Text();
  for (const char* part : {"CPU:", "GenuineIntel", "MMX, SSE, SSE2, Hyper-Threading",
                           "Operating System:", "(Build 7)", "Video:", "Monitor-X"})
    EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
  EXPECT_LT(text.find("CPU:"), text.find("Operating System:"));
  EXPECT_LT(text.find("Operating System:"), text.find("Video:"));
}

// The real probes on this machine: plausible values, no crash.
TEST(SystemInfoReal, ProbesThisMachine) {
  plat::SetSystemProbe(nullptr);
  cCpuInfo cpu;
  vek::GetCpuInfo(cpu);
  EXPECT_GE(cpu.count, 1u);
#if defined(__x86_64__)
  EXPECT_EQ(cpu.vendor.size(), 12u);
  EXPECT_GT(cpu.frequency, 0u);
#endif
  cOsInfo os;
  vek::GetOsInfo(os);
  EXPECT_FALSE(os.name.empty());
  EXPECT_GT(os.major, 0);
}

}  // namespace
