#pragma once
// An engine object on the scripted window and the fixed clock, logging into a temporary folder.
#include <gtest/gtest.h>

#include <memory>

#include "engine/app/game.h"
#include "platform/gfx_recording.h"
#include "platform/input.h"
#include "platform/os.h"
#include "platform/window.h"
#include "tests/support/temp_dir.h"

namespace vektest {

class EngineFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The _log.html written so far.
  std::string LogText() const;

  TempDir tmp;
  plat::FixedOs* os = nullptr;          // owned by the platform
  plat::ScriptedWindow* window = nullptr;  // owned by the platform
  std::shared_ptr<plat::gfx::Recorder> gfx;  // what the renderer's device saw
  plat::ScriptedInput* input = nullptr;    // owned by the platform
  vek::cGame* game = nullptr;
};

}  // namespace vektest
