#include "game/app/title_backdrop.h"

#include "engine/app/game.h"
#include "engine/core/color.h"
#include "engine/files/filename.h"
#include "engine/gui/gui.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render.h"
#include "engine/render/texture.h"
#include "engine/render/texture_manager.h"
#include "game/app/middle.h"

cTitleBackdrop::cTitleBackdrop(const cMiddle* owner) : vek::cWidget("title"), m_pOwner(owner) {
  // The splash freed its pictures when it ended: the painting comes back for the backdrop.
  if (vek::g_pTextureManager && vek::g_pTextureManager->FindIndex("splash2") == 0)
    cMiddle::LoadTexture(vek::filename("{StaticPath}/fsdata/splash2.jpg"));
}

void cTitleBackdrop::Render() {
  // The windows go over the painting in this frame (cWidget::Render): none of it is drawn
  // where they cover the screen fully.
  if (vek::g_pGame && vek::g_pGame->GetGUI()) vek::g_pGame->GetGUI()->PrepareCovers();
  cMiddle::ClearScreen(m_pOwner);
  vek::cTextureManager* textures = vek::g_pTextureManager;
  vek::cQuadBatch* batch = vek::g_pGame ? vek::g_pGame->GetQuadBatch() : nullptr;
  const vek::u32 index = textures ? textures->FindIndex("splash2") : 0;
  // No painting loaded: the background colour alone.
  if (vek::g_pRender && batch && index != 0 && index < textures->Count() && textures->Get(index) != textures->Get(0)) {
    vek::Begin2D(800.0f, 600.0f);
    // A painting with no see-through pixel needs no blending: the same picture for less work.
    const vek::rectf whole{0.0f, 0.0f, 1.0f, 1.0f};
    vek::SetBlendMode(vek::DrawsSolid(index, whole) ? vek::e_BlendNone : vek::e_BlendAlpha, 0.0f);
    batch->Clear();
    vek::DrawQuad(batch, index, vek::rectf{0.0f, 0.0f, 800.0f, 600.0f}, whole, vek::ColorFromFloats(1.0f, 1.0f, 1.0f, 1.0f));
    vek::FlushBatches(batch);
    batch->Clear();
    vek::SetBlendMode(vek::e_BlendNone, 0.0f);
    vek::End2D();
  }
  vek::cWidget::Render();
}
