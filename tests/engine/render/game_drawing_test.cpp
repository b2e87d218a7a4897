// The engine object's drawing services: the quad batch and the font manager.
#include "engine/app/game.h"
#include "engine/render/font.h"
#include "engine/render/quad_batch.h"
#include "engine/script/script.h"
#include "tests/support/engine_fixture.h"

namespace {

using GameDrawing = vektest::EngineFixture;

TEST_F(GameDrawing, BatchAndFontManagerLiveWithTheEngine) {
  ASSERT_NE(game->GetQuadBatch(), nullptr);
  EXPECT_EQ(game->GetQuadBatch()->GetUsed(), 0u);
  ASSERT_NE(vek::GetFonts(), nullptr);
  // Scripts reach the fonts through the engine's registration.
  ASSERT_TRUE(vek::GetScript()->DoString("cFont('console'):Init('', '', 0, 14)", "=test"));
  EXPECT_EQ(vek::GetFonts()->Find("console"), 1u);

  game->Shutdown();
  delete game;
  game = nullptr;
  vek::g_pGame = nullptr;
  EXPECT_EQ(vek::GetFonts(), nullptr);
  // The font manager is the last service made and the first destroyed.
  const std::string log = LogText();
  const size_t made = log.find("CreateFontManager");
  const size_t destroyed = log.find("DestroyFontManager");
  ASSERT_NE(made, std::string::npos);
  ASSERT_NE(destroyed, std::string::npos);
  EXPECT_GT(made, log.find("CreateTextureManager"));
  EXPECT_LT(destroyed, log.find("DestroyTextureManager"));
}

}  // namespace
