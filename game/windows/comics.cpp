#include "game/windows/comics.h"

#include "engine/app/game.h"
#include "engine/core/color.h"
#include "engine/core/format.h"
#include "engine/gui/gui.h"
#include "engine/gui/gui_draw.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/label_ctrl.h"
#include "engine/gui/window.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render.h"
#include "platform/gfx.h"

using vek::f32;
using vek::u32;

namespace {

constexpr vek::rectf kWholeTexture{0.0f, 0.0f, 1.0f, 1.0f};

vek::cGUI* GameGUI() { return vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr; }

}  // namespace

cComics::cComics() : vek::cWidget("comics") {}

cComics::~cComics() { ClearPages(); }

void cComics::ScreenSize(f32* width, f32* height) {
  const vek::cGUI* gui = GameGUI();
  *width = gui ? gui->GetWidth() : 1024.0f;
  *height = gui ? gui->GetHeight() : 768.0f;
}

void cComics::ClearPages() { m_Pages.clear(); }

void cComics::AddPage(const vek::string& windowName) {
  vek::cGUI* gui = GameGUI();
  const unsigned id = gui ? gui->FindWindow(windowName) : 0;
  const vek::cWindow* window = id ? gui->GetWindowById(id) : nullptr;
  if (!window) return;
  cComicsPage page;
  f32 total = 0.0f;
  for (unsigned c = 0; c < window->GetControlCount(); ++c) {
    // A text after a panel is that panel's caption; it takes no time of its own.
    if (dynamic_cast<const vek::cLabelCtrl*>(window->GetControl(c)) && !page.panels.empty()) {
      page.captions.push_back({page.panels.size() - 1, id, c});
      continue;
    }
    const auto* image = dynamic_cast<const vek::cImageCtrl*>(window->GetControl(c));
    // Only plain pictures: derived image controls report class names of their own.
    if (!image || vek::string(image->GetClassName()) != "cImageCtrl") continue;
    cComicsPanel panel;
    panel.texture = image->GetTexture();
    panel.uv = image->GetUVRect();
    panel.rect = image->GetRect();
    vek::string name = image->GetName();
    if (!name.empty()) {
      if (name[0] == '#') {
        panel.still = 1;
        name.erase(0, 1);
      }
      total += vek::StringToFloat(name);
      panel.delay = total;
    }
    page.panels.push_back(panel);
  }
  m_Pages.push_back(std::move(page));
}

vek::cCtrl* cComics::GetCaption(const cComicsCaption& caption) {
  vek::cGUI* gui = GameGUI();
  const vek::cWindow* window = gui ? gui->GetWindowById(caption.window) : nullptr;
  return window ? window->GetControl(caption.control) : nullptr;
}

void cComics::NextPage() {
  if (!m_Pages.empty()) m_Pages.pop_front();
  if (!m_Pages.empty() || !m_bPlaying) return;
  m_bPlaying = false;
  Finish();
}

void cComics::OnActivate() {
  ClearPages();
  m_bPlaying = true;
  Start();
}

void cComics::Step() {
  if (m_Pages.empty()) return;
  for (cComicsPanel& p : m_Pages.front().panels) {
    p.delay -= kStep;
    if (p.delay < 0.0f) p.delay = 0.0f;
  }
}

void cComics::OnEvent(u32 kind, u32 /*value*/) {
  if (kind != kKeyPressed && kind != kButtonPressed) return;
  if (!m_Pages.empty()) {
    bool waiting = false;
    for (cComicsPanel& p : m_Pages.front().panels)
      if (p.delay > 0.0f) {
        p.delay = 0.0f;
        waiting = true;
      }
    if (waiting) return;
  }
  NextPage();
}

cPanelQuad cComics::PanelQuad(const cComicsPanel& panel, f32 width, f32 height) {
  cPanelQuad q;
  const f32 d = panel.delay;
  if (d > 1.0f) return q;
  q.drawn = true;
  q.alpha = 1.0f - d;
  const vek::rectf& r = panel.rect;
  if (panel.still) {
    q.rect = r;
    return q;
  }
  const f32 s = 1.0f + d;
  const f32 w = r.w * s, h = r.h * s;
  const f32 cx = (width - w) * 0.5f, cy = (height - h) * 0.5f;
  q.rect = {r.x + (cx - r.x) * d, r.y + (cy - r.y) * d, w, h};
  return q;
}

void cComics::DrawPage(f32 width, f32 height) {
  if (vek::g_pRender) {
    vek::g_pRender->SetAlphaBlend(plat::gfx::blend::SrcAlpha, plat::gfx::blend::InvSrcAlpha);
    vek::g_pRender->SetAlphaTest(0, 0.0f);
  }
  vek::gui_draw::BeginPass();
  if (!m_Pages.empty()) {
    for (const cComicsPanel& p : m_Pages.front().panels) {
      const cPanelQuad q = PanelQuad(p, width, height);
      if (q.drawn) vek::gui_draw::Quad(p.texture, q.rect, p.uv, vek::ColorFromFloats(1.0f, 1.0f, 1.0f, q.alpha));
    }
  }
  vek::gui_draw::EndPass();
  vek::gui_draw::BeginPass();
  if (!m_Pages.empty())
    for (const cComicsCaption& c : m_Pages.front().captions)
      if (vek::cCtrl* text = GetCaption(c); text && m_Pages.front().panels[c.panel].delay == 0.0f) text->Draw();
  vek::gui_draw::EndPass();
  if (vek::g_pRender) {
    vek::g_pRender->SetAlphaBlend(0, 0);
    vek::g_pRender->SetAlphaTest(0, 0.0f);
  }
}

void cComics::Render() {
  f32 width = 0.0f, height = 0.0f;
  ScreenSize(&width, &height);
  vek::gui_draw::Begin2D(width, height);
  vek::gui_draw::BeginPass();
  vek::gui_draw::Quad(0, {0.0f, 0.0f, width, height}, kWholeTexture, 0xFFFFFFFFu);
  vek::gui_draw::EndPass();
  DrawPage(width, height);
  vek::gui_draw::End2D();
  if (vek::cGUI* gui = GameGUI()) gui->Draw();
}
