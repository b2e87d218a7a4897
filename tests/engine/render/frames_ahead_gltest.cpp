// Frames handed to the OpenGL device as fast as they can be made (no retrace wait, no pacing,
// as in the step-clock test mode): the driver must not be left to queue them. Each frame here
// is cheap to make and costly to draw (the window filled many times over, in several batches),
// so a driver that draws behind the program holds every queued frame's commands and buffer
// storage.
#include <unistd.h>

#include <cstdio>

#include "engine/render/quad_batch.h"
#include "tests/engine/render/gl_fixture.h"

namespace {

using vek::rectf;

double ResidentMb() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

class FramesAheadGLTest : public vektest::GLRenderFixture {
 protected:
  void Frame(vek::cQuadBatch& batch) {
    ASSERT_EQ(render->Begin(), 0);
    render->Clear(plat::gfx::kClearTarget, 1.0f);
    vek::Begin2D(static_cast<float>(kWidth), static_cast<float>(kHeight));
    vek::SetBlendMode(vek::e_BlendAlpha, 0.0f);
    for (int flush = 0; flush < 4; ++flush) {
      batch.Clear();
      for (int q = 0; q < 10; ++q)
        vek::DrawQuad(&batch, 0, rectf{0, 0, kWidth, kHeight}, rectf{0, 0, 1, 1}, 0x20406080u + q);
      vek::FlushBatches(&batch);
    }
    vek::SetBlendMode(vek::e_BlendNone, 0.0f);
    vek::End2D();
    render->End();
    render->SwapBuffers();
  }
};

TEST_F(FramesAheadGLTest, UnpacedFramesKeepTheMemoryLevel) {
  vek::cQuadBatch batch;
  for (int i = 0; i < 100; ++i) Frame(batch);
  const double before = ResidentMb();
  for (int i = 0; i < 2000; ++i) Frame(batch);
  const double after = ResidentMb();
  EXPECT_LT(after - before, 64.0) << "resident " << before << " MB -> " << after << " MB";
}

}  // namespace
