#pragma once
// The engine object with its window on the real OpenGL device (the offscreen driver in the
// tests), 1024 x 768, the data folder beside the test programs and a mouse.
#include <gtest/gtest.h>

#include <string>

#include "engine/app/game.h"
#include "tests/support/temp_dir.h"

namespace vektest {

class GLGameFixture : public ::testing::Test {
 protected:
  explicit GLGameFixture(std::string title) : m_Title(std::move(title)) {}
  void SetUp() override;
  void TearDown() override;

  TempDir tmp;
  vek::cGame* game = nullptr;

 private:
  std::string m_Title;
};

}  // namespace vektest
