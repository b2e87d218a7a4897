#include <gtest/gtest.h>

#include "engine/net/system_info.h"
#include "platform/system_probe.h"
#include "platform/window.h"

namespace {

// With a window and its GL context, the adapter is the context's renderer.
TEST(SystemInfoGL, AdapterFromTheGLContext) {
  plat::SetSystemProbe(nullptr);
  plat::Window& window = plat::GetWindow();
  ASSERT_TRUE(window.Open("system information", true, 64, 64));
  ASSERT_TRUE(window.HasGLContext());
  vek::cVideoInfo video;
  vek::GetVideoInfo(video);
  EXPECT_FALSE(video.adapter.empty());
  EXPECT_EQ(vek::FormatVideoInformation(video).rfind("Video:\n  Adapter: " + video.adapter + "\n", 0),
            0u);
  // The driver's own names of what runs: a version such as "4.5 (Core Profile) Mesa 22.3.6".
  std::string renderer, vendor, version;
  ASSERT_TRUE(plat::GetSystemProbe().GLStrings(renderer, vendor, version));
  EXPECT_FALSE(renderer.empty());
  EXPECT_FALSE(vendor.empty());
  EXPECT_TRUE(!version.empty() && version[0] >= '1' && version[0] <= '9') << version;
  EXPECT_EQ(plat::GetSystemProbe().VideoDriver(), "offscreen");
  window.Shutdown();
}

}  // namespace
