#include "game/app/splash_widget.h"

#include <lua.hpp>

#include "engine/core/color.h"
#include "engine/files/file_system.h"
#include "engine/files/filename.h"
#include "engine/app/game.h"
#include "engine/files/image.h"
#include "engine/script/script.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render.h"
#include "engine/render/texture.h"
#include "engine/render/texture_manager.h"
#include "game/app/flash_player.h"
#include "game/app/middle.h"
#include "platform/gfx.h"

namespace {

// A key press and a mouse button press end the current slide.
constexpr vek::u32 kEventKeyDown = 1;
constexpr vek::u32 kEventButtonDown = 4;

// Whether the index names a texture that was loaded (not the default one, not an empty slot).
bool IsLoadedTexture(vek::u32 index) {
  vek::cTextureManager* textures = vek::g_pTextureManager;
  if (!textures || index == 0 || index >= textures->Count()) return false;
  const vek::cTexture* t = textures->Get(index);
  return t && t != textures->Get(0);
}

}  // namespace

void cSplashWidget::cNode::AddImage(const vek::string& texture, vek::f32 x, vek::f32 y, vek::f32 w, vek::f32 h) {
  textures.push_back(vek::g_pTextureManager ? vek::g_pTextureManager->FindIndex(texture) : 0);
  rects.push_back(vek::rectf{x, y, w, h});
}

cSplashWidget::cSplashWidget(cMiddle* owner) : vek::cWidget("splash"), m_pOwner(owner) {
  m_Fade.speed = 2.0f;
  auto load = [this](const vek::filename& file) {
    vek::u32 index = 0;
    cMiddle::LoadTexture(file, &index);
    if (index) m_Pictures.push_back(index);
  };
  load("{StaticPath}/fsdata/splash2.jpg");
  load("{StaticPath}/fsdata/splash1.jpg");
  vek::cFileSystem fs;
  for (vek::filename f = fs.GetFirst("{StaticPath}/texture/splash/"); !f.empty(); f = fs.GetNext()) load(f);
  vek::cScript* script = vek::GetScript();
  if (script && script->LoadFile("{StaticPath}/conf/splash.lua")) {
    lua_State* L = script->GetState();
    lua_getglobal(L, "FillSplash");
    vek::push_pointer(L, this);
    vek::cScript::PCall(L, 1, 1);
    lua_settop(L, 0);
  }
  m_Fade.SetTarget(1.0f);
}

cSplashWidget::~cSplashWidget() { m_pFlash.reset(); }

void cSplashWidget::SetBackColor(vek::f32 r, vek::f32 g, vek::f32 b) {
  if (!m_pOwner) return;
  m_pOwner->m_BackColor[0] = r;
  m_pOwner->m_BackColor[1] = g;
  m_pOwner->m_BackColor[2] = b;
  m_pOwner->m_BackColor[3] = 1.0f;
}

cSplashWidget::cNode* cSplashWidget::AddNode(vek::f32 seconds) {
  m_Slides.push_back(std::make_unique<cNode>());
  m_Slides.back()->time = seconds;
  return m_Slides.back().get();
}

cSplashWidget::cNode* cSplashWidget::AddFlashNode(const vek::string& movie, vek::f32 seconds) {
  if (!m_pFlash) {
    const bool depth16 = vek::g_pGame && vek::g_pGame->GetCurrentMode().bpp == 16;
    vek::cImage image(depth16 ? vek::e_PixRGB565 : vek::e_PixARGB, 512, 512, 1);
    auto* texture = new vek::cTexture("ShockwaveFlash", false, &image);
    m_pFlash = std::make_unique<cFlashPlayer>();
    m_pFlash->Create(texture);
    m_FlashTexture = vek::g_pTextureManager ? vek::g_pTextureManager->FindIndex("ShockwaveFlash") : 0;
  }
  cNode* node = AddNode(seconds);
  node->AddImage("ShockwaveFlash", 0.0f, 0.0f, 800.0f, 600.0f);
  node->movie = movie;
  return node;
}

void cSplashWidget::Step() {
  if (m_Current >= m_Slides.size()) {
    // The application moves the focus on; should it not, the end is still told only once.
    if (!m_bEnded) {
      m_bEnded = true;
      if (m_pOwner) m_pOwner->OnSplashEnd();
      // The slides are over: their pictures are not shown again.
      if (vek::g_pTextureManager)
        for (vek::u32 index : m_Pictures) vek::g_pTextureManager->DeleteTexture(index);
      m_Pictures.clear();
    }
    m_pFlash.reset();
    return;
  }
  cNode& slide = *m_Slides[m_Current];
  if (slide.textures.empty() || !IsLoadedTexture(slide.textures[0])) slide.time = 0.0f;
  m_Fade.Update(vek::kFixedStep);
  slide.time -= vek::kFixedStep;
  if (!slide.movie.empty() && m_pFlash) m_pFlash->CopyFrame();
  if (!m_bFadingOut && slide.time <= 0.5f) {
    m_Fade.SetTarget(0.0f);
    m_bFadingOut = true;
  }
  if (slide.time <= 0.0f) {
    ++m_Current;
    m_Fade.SetTarget(1.0f);
    m_bFadingOut = false;
    if (m_pFlash && m_Current < m_Slides.size() && !m_Slides[m_Current]->movie.empty())
      m_pFlash->LoadMovie(m_Slides[m_Current]->movie);
  }
}

void cSplashWidget::OnEvent(vek::u32 type, vek::u32 /*param*/) {
  if ((type == kEventKeyDown || type == kEventButtonDown) && m_Current < m_Slides.size())
    m_Slides[m_Current]->time = 0.0f;
}

void cSplashWidget::Render() {
  vek::cRender* render = vek::g_pRender;
  cMiddle::ClearScreen(m_pOwner);
  if (m_Current >= m_Slides.size()) return;
  vek::cQuadBatch* batch = vek::g_pGame ? vek::g_pGame->GetQuadBatch() : nullptr;
  if (render && batch) {
    const cNode& slide = *m_Slides[m_Current];
    vek::Begin2D(800.0f, 600.0f);
    vek::SetBlendMode(vek::e_BlendAlpha, 0.0f);
    const vek::u32 color = vek::ColorFromFloats(1.0f, 1.0f, 1.0f, m_Fade.current);
    // One pass of its own: the batch starts empty and is drawn at the end.
    batch->Clear();
    for (size_t i = 0; i < slide.textures.size(); ++i) {
      if (!IsLoadedTexture(slide.textures[i])) continue;
      // The movie's frames arrive upside down.
      const vek::rectf uv = slide.textures[i] == m_FlashTexture && m_FlashTexture != 0 ? vek::rectf{0.0f, 0.0f, 1.0f, -1.0f}
                                                                                       : vek::rectf{0.0f, 0.0f, 1.0f, 1.0f};
      vek::DrawQuad(batch, slide.textures[i], slide.rects[i], uv, color);
    }
    vek::FlushBatches(batch);
    batch->Clear();
    vek::SetBlendMode(vek::e_BlendNone, 0.0f);
    vek::End2D();
  }
  vek::cWidget::Render();
}
