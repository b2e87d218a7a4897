#include "game/windows/garden_comics.h"

#include "engine/app/game.h"
#include "engine/gui/gui.h"
#include "engine/gui/gui_draw.h"
#include "game/app/window_host.h"
#include "game/island/island.h"
#include "game/windows/island_windows.h"

using vek::f32;
using vek::i32;

namespace {

constexpr vek::rectf kWholeTexture{0.0f, 0.0f, 1.0f, 1.0f};
// The two background pieces fill the 1024 x 768 screen.
constexpr vek::rectf kUpperPiece{0.0f, 256.0f, 1024.0f, 512.0f};
constexpr vek::rectf kLowerPiece{0.0f, 0.0f, 1024.0f, 256.0f};

vek::cGUI* GameGUI() { return vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr; }

}  // namespace

i32 cGardenComics::GetGrey() const { return static_cast<i32>(255.0f - 155.0f * m_Fade); }

void cGardenComics::Step() {
  cComics::Step();
  m_Fade += kStep;
  if (m_Fade > 1.0f) m_Fade = 1.0f;
}

void cGardenComics::Start() {
  m_Fade = 0.0f;
  vek::cGUI* gui = GameGUI();
  if (gui) gui->ShowWindow("comics");
  if (m_Mode == kOpening) {
    AddPage("comics00");
    AddPage("comics01");
    m_Upper = vek::gui_draw::FindTexture("comicsb0");
    m_Lower = vek::gui_draw::FindTexture("comicsb1");
  } else if (m_Mode == kEnding) {
    AddPage("comics02");
    m_Upper = vek::gui_draw::FindTexture("comicsb2");
    m_Lower = vek::gui_draw::FindTexture("comicsb3");
  }
}

void cGardenComics::Finish() {
  if (vek::cGUI* gui = GameGUI()) gui->HideWindow("comics");
  if (m_Mode == kOpening) {
    if (vek::g_pGame) vek::g_pGame->SetFocusWidget("island");
    if (cIsland* island = FindIslandWidget()) island->Show(1);
  } else if (m_Mode == kEnding) {
    if (cWindowHost* host = GetWindowHost()) host->SwitchWindow("main", 1);
  }
}

void cGardenComics::Render() {
  f32 width = 0.0f, height = 0.0f;
  ScreenSize(&width, &height);
  const vek::u32 g = static_cast<vek::u32>(GetGrey());
  const vek::u32 color = 0xFF000000u | g << 16 | g << 8 | g;
  vek::gui_draw::Begin2D(width, height);
  vek::gui_draw::BeginPass();
  vek::gui_draw::Quad(m_Upper, kUpperPiece, kWholeTexture, color);
  vek::gui_draw::Quad(m_Lower, kLowerPiece, kWholeTexture, color);
  vek::gui_draw::EndPass();
  DrawPage(width, height);
  vek::gui_draw::End2D();
  if (vek::cGUI* gui = GameGUI()) gui->Draw();
}
