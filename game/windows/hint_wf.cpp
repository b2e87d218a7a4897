#include "game/windows/hint_wf.h"

#include <algorithm>

#include "engine/gui/ctrl.h"
#include "engine/gui/frame_ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/gui_draw.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/label_ctrl.h"
#include "engine/render/quad_batch.h"
#include "game/app/window_host.h"
#include "game/windows/base_wf.h"

using vek::f32;
using vek::u32;

namespace {

constexpr f32 kFadeSpeed = 2.0f;
// Room for the text to be laid out before its height is taken.
constexpr f32 kLayoutHeight = 1280.0f;
constexpr u32 kKeySpace = 57;
constexpr vek::rectf kWholeTexture{0.0f, 0.0f, 1.0f, 1.0f};

// The colour a control is drawn in (white for controls without one).
u32 ControlColor(const vek::cCtrl* c) {
  if (const auto* image = dynamic_cast<const vek::cImageCtrl*>(c)) return image->GetColor();
  if (const auto* frame = dynamic_cast<const vek::cFrameCtrl*>(c)) return frame->GetColor();
  return 0xFFFFFFFFu;
}

}  // namespace

bool IsRectEmptyHint(const vek::rectf& r) {
  return r.x == kNoHintTarget.x && r.y == kNoHintTarget.y && r.w == kNoHintTarget.w && r.h == kNoHintTarget.h;
}

std::array<vek::rectf, 4> HintDimStrips(const vek::rectf& lit, f32 w, f32 h) {
  return {{{0.0f, 0.0f, lit.x, h},
           {lit.x, 0.0f, lit.w, lit.y},
           {lit.x, lit.y + lit.h, lit.w, h - lit.y - lit.h},
           {lit.x + lit.w, 0.0f, w - lit.x - lit.w, h}}};
}

cHintWF::cHintWF() { m_Fade.speed = kFadeSpeed; }

bool cHintWF::Visible(const vek::cCtrl* c) { return c && c->GetState(vek::cCtrl::e_Visibility); }

int cHintWF::PlaceCentered(const vek::string& text, bool blocking) {
  const vek::vec2 none{-1.0f, -1.0f};
  return Place(text, &kNoHintTarget, &none, 0, blocking);
}

int cHintWF::Place(const vek::string& text, const vek::rectf* target, const vek::vec2* point, u32 align,
                   bool blocking) {
  if (m_bNotReady) return 0;
  const vek::rectf t = target ? *target : kNoHintTarget;
  const vek::vec2 p = point ? *point : vek::vec2{-1.0f, -1.0f};
  m_bBlocking = blocking;
  if (align != 0)
    m_pArrow->EnableState(vek::cCtrl::e_Visibility);
  else
    m_pArrow->DisableState(vek::cCtrl::e_Visibility);
  if (IsRectEmptyHint(t)) {
    if (blocking)
      m_pClose->EnableState(vek::cCtrl::e_Visibility);
    else
      m_pClose->DisableState(vek::cCtrl::e_Visibility);
    m_pHighlight->DisableState(vek::cCtrl::e_Visibility);
  } else {
    m_pClose->DisableState(vek::cCtrl::e_Visibility);
    m_pHighlight->EnableState(vek::cCtrl::e_Visibility);
  }
  m_pHighlight->SetPos(t.x, t.y, 0);
  m_pHighlight->SetSize(t.w, t.h, 0);

  // The text's height follows the laid-out text; the frame follows the text.
  const f32 textWidth = m_pText->GetRect().w;
  m_pText->SetSize(textWidth, kLayoutHeight, 0);
  m_pText->SetText(text);
  const f32 textHeight = m_pText->GetTextRect().h;
  m_pText->SetSize(textWidth, textHeight, 0);
  const bool closeShown = Visible(m_pClose);
  f32 frameHeight = textHeight + m_FrameMargin;
  if (!closeShown) frameHeight -= m_CloseRow;
  const vek::rectf frame = m_pFrame->GetRect();
  m_pFrame->SetSize(frame.w, frameHeight, 0);

  const vek::cGUI* gui = m_pWindow ? m_pWindow->GetGUI() : nullptr;
  const f32 W = gui ? gui->GetWidth() : 1024.0f, H = gui ? gui->GetHeight() : 768.0f;
  const vek::rectf arrow = m_pArrow->GetRect();
  const f32 aw = arrow.w < 0.0f ? -arrow.w : arrow.w, ah = arrow.h < 0.0f ? -arrow.h : arrow.h;
  const f32 fw = frame.w, fh = frameHeight;
  f32 x = 0.0f, y = 0.0f;
  if (p.x == -1.0f && p.y == -1.0f) {
    x = (W - fw) / 2.0f;
    y = (H - fh) / 2.0f;
  } else {
    f32 sw = aw, sh = ah;
    bool left = align == 0 ? p.x > W / 2.0f : (align & kAlignLeft) != 0;
    bool below = align == 0 ? p.y > H / 2.0f : (align & kAlignBottom) != 0;
    // A board that would leave the screen on its side goes to the other side when it fits
    // there (a target at the screen's edge), so its text is always read.
    const bool roomLeft = p.x - aw - fw >= 0.0f, roomRight = p.x + aw + fw <= W;
    if (left && !roomLeft && roomRight) left = false;
    else if (!left && !roomRight && roomLeft) left = true;
    const bool roomBelow = p.y - ah - fh >= 0.0f, roomAbove = p.y + ah + fh <= H;
    if (below && !roomBelow && roomAbove) below = false;
    else if (!below && !roomAbove && roomBelow) below = true;
    if (left) {
      x = p.x - aw - fw;
      sw = -aw;
    } else {
      x = p.x + aw;
    }
    if (below) {
      y = p.y - ah - fh;
      sh = -ah;
    } else {
      y = p.y + ah;
    }
    m_pArrow->SetPos(p.x, p.y, 0);
    m_pArrow->SetSize(sw, sh, 0);
    // A point off the screen (a ship still out at sea) would take the board with it, where its
    // text cannot be read nor its button pressed: the board stays on the screen.
    x = std::clamp(x, 0.0f, std::max(0.0f, W - fw));
    y = std::clamp(y, 0.0f, std::max(0.0f, H - fh));
  }
  m_pFrame->MoveBy(x - m_FramePos.x, y - m_FramePos.y, 0);
  m_FramePos = {x, y};

  const vek::rectf r = m_pFrame->GetRect();
  if (closeShown)
    m_pText->SetPos(r.x + m_TextOffset.x, r.y + m_TextOffset.y, 0);
  else
    m_pText->SetPos(r.x + m_TextOffset.x, r.y + m_CloseOffset.y, 0);
  m_pClose->SetPos(r.x + m_CloseOffset.x, r.y + m_CloseOffset.y, 0);
  return 0;
}

void cHintWF::Paint(vek::cWindow* window) {
  const f32 v = m_Fade.current;
  const bool tinted = v < 1.0f;
  if (tinted) {
    const u32 alpha = static_cast<u32>((v < 0.0f ? 0.0f : v) * 255.0f);
    vek::SetColorFactor((alpha << 24) | 0x00FFFFFFu);
  }
  vek::gui_draw::BeginPass();
  if (Visible(m_pHighlight)) {
    m_pHighlight->Draw();
    const vek::cGUI* gui = window->GetGUI();
    const f32 W = gui ? gui->GetWidth() : 1024.0f, H = gui ? gui->GetHeight() : 768.0f;
    const u32 color = ControlColor(m_pHighlight);
    for (const vek::rectf& strip : HintDimStrips(m_pHighlight->GetRect(), W, H))
      vek::gui_draw::Quad(0, strip, kWholeTexture, color);
  }
  if (Visible(m_pArrow)) m_pArrow->Draw();
  m_pFrame->Draw();
  m_pText->Draw();
  if (Visible(m_pClose)) m_pClose->Draw();
  vek::gui_draw::EndPass();
  if (tinted) vek::SetColorFactor(0xFFFFFFFFu);
}

int cHintWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  vek::cGUI* gui = window ? window->GetGUI() : nullptr;
  switch (message) {
    case vek::e_wndAfterCreate: {
      m_pWindow = window;
      m_pArrow = cBaseWF::GetControlByName(window, "arrow");
      m_pHighlight = cBaseWF::GetControlByName(window, "highlight");
      m_pText = cBaseWF::GetControlAs<vek::cLabelCtrl>(window, "text");
      m_pFrame = cBaseWF::GetControlByName(window, "frame");
      m_pClose = cBaseWF::GetControlByName(window, "close");
      if (m_pArrow && m_pHighlight && m_pText && m_pFrame && m_pClose) {
        m_bNotReady = false;
        const vek::rectf frame = m_pFrame->GetRect(), text = m_pText->GetRect(), close = m_pClose->GetRect();
        m_CloseOffset = {close.x - frame.x, close.y - frame.y};
        m_TextOffset = {text.x - frame.x, text.y - frame.y};
        m_FrameMargin = frame.h - text.h;
        m_CloseRow = text.y - close.y;
      }
      break;
    }
    case vek::e_wndPaint:
      if (m_bNotReady || !window) return 0;
      Paint(window);
      return 0;
    case vek::e_wndTimer:
      // The arrow's own animation runs on the timer that the default handling hands to
      // every control.
      m_Fade.Update(vek::cGUI::ParamToTime(p1));
      if (m_Fade.current == 0.0f && gui && window) gui->CloseWindow(window->GetID());
      break;
    case vek::e_wndKeyDown:
      if (m_bBlocking && (p1 == kKeyEnter || p1 == kKeySpace)) {
        if (Visible(m_pClose)) cBaseWF::NotifyControl(window, "close");
        return 1;
      }
      break;
    case vek::e_wndMouseMove:
    case vek::e_wndLButtonDown: {
      const int result = vek::cWindowFunction::Call(window, message, p1, p2);
      if (m_pHighlight && !Visible(m_pHighlight)) return m_bBlocking ? 1 : result;
      const f32 x = static_cast<f32>(p2 & 0xFFFFu), y = static_cast<f32>(p2 >> 16);
      return m_pHighlight && m_pHighlight->HitTest(x, y) ? 0 : 1;
    }
    case vek::e_wndShow:
      m_Fade.SetTarget(1.0f);
      break;
    case vek::e_wndHide:
      m_Fade.SetTarget(0.0f);
      return 0;
    case vek::e_wndHideImmediately:
      if (cWindowHost* host = GetWindowHost(); host && window) host->OnMessageBox(window->GetName());
      break;
    case vek::e_ntfButtonClick:
      if (gui && window && m_pClose && p2 == m_pClose->GetID() && p2 != 0) gui->HideWindow(window->GetName());
      break;
    default:
      break;
  }
  return vek::cWindowFunction::Call(window, message, p1, p2);
}
