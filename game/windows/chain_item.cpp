#include "game/windows/chain_item.h"

#include "engine/gui/ctrl.h"
#include "engine/gui/progress_bar_sys_ctrl.h"
#include "game/app/locale_gd.h"
#include "game/windows/controls/display_ctrl.h"
#include "game/windows/play_host.h"
#include "game/world/ware_manager.h"

using vek::f32;

namespace {

constexpr f32 kEpsilon = 1.1920929e-7f;

void AtRest(vek::cAnimatedFloat& t, f32 value) {
  t.start = t.target = t.current = value;
  t.elapsed = t.duration = 0.0f;
}

vek::string WareName(vek::i32 id) {
  return g_pWareManager && id >= 0 ? g_pWareManager->GetWare(static_cast<vek::u32>(id)).GetName() : vek::string();
}

}  // namespace

namespace {

// At rest at 1 (arrows fully shown), swinging at 2 units per second once it starts.
vek::cAnimatedFloat FirstBlink() {
  vek::cAnimatedFloat blink;
  AtRest(blink, 1.0f);
  blink.speed = 2.0f;
  return blink;
}

}  // namespace

f32 cChainItem::s_ShownX = 0.0f;
f32 cChainItem::s_HiddenX = 0.0f;
vek::cAnimatedFloat cChainItem::s_Blink = FirstBlink();

void cChainItem::StepBlink(f32 seconds) {
  if (s_Blink.Update(seconds) == vek::e_TweenAtRest) s_Blink.SetTarget(s_Blink.current <= 0.5f ? 1.0f : 0.0f);
}

cChainItem::cChainItem() {
  m_Slide.speed = kSlideSpeed;
  AtRest(m_Pulse, 1.0f);
  m_Pulse.speed = 0.3f;
}

bool cChainItem::IsComplete() const {
  return arrow && inputIcon && inputCount && button && outputIcon && progress && progressBack;
}

void cChainItem::MoveTo(f32 x) {
  if (!IsComplete()) return;
  const f32 dx = x - button->GetRect().x;
  for (vek::cCtrl* c : {button, arrow, inputIcon, inputCount, outputIcon, progress, progressBack}) c->MoveBy(dx, 0.0f, 0);
}

void cChainItem::SlideTowards(f32 x, int state) {
  AtRest(m_Slide, button ? button->GetRect().x : 0.0f);
  m_Slide.SetTarget(x);
  m_State = state;
  // Already there: the slide ends now rather than waiting for a step that never comes.
  if (!m_Slide.IsRunning()) {
    if (state == e_SlidingIn) {
      AtRest(m_Slide, 0.0f);
      MoveTo(s_ShownX);
      m_State = e_Shown;
    } else {
      HideNow();
    }
  }
}

void cChainItem::Show() {
  if (m_State == e_Shown || m_State == e_SlidingIn) return;
  SlideTowards(s_ShownX, e_SlidingIn);
}

void cChainItem::Hide() {
  if (m_State == e_Hidden || m_State == e_SlidingOut) return;
  SlideTowards(s_HiddenX, e_SlidingOut);
}

void cChainItem::HideNow() {
  AtRest(m_Slide, 0.0f);
  MoveTo(s_HiddenX);
  m_State = e_Hidden;
}

void cChainItem::SetFactory(iChainFactory* factory) {
  if (!factory) return;
  m_pFactory = factory;
  if (IsComplete()) {
    // A picture shows again after a factory whose ware had none hid it.
    ShowControl(inputIcon, true);
    ShowControl(outputIcon, true);
    SetControlPicture(inputIcon, "icons00", WareName(factory->GetInputWare()));
    SetControlPicture(outputIcon, "icons00", WareName(factory->GetOutputWare()));
  }
  Refresh();
}

void cChainItem::SetArrowAlpha(f32 alpha) {
  if (auto* image = dynamic_cast<cImageCtrlEx*>(arrow)) image->SetColor(1.0f, 1.0f, 1.0f, alpha);
}

void cChainItem::Refresh() {
  if (!IsComplete() || !m_pFactory) return;
  const bool working = m_pFactory->GetState() == 3;
  const vek::i32 stock = m_pFactory->GetStock();
  if (!working && stock > 0)
    button->DisableState(vek::cCtrl::e_Disabled);
  else
    button->EnableState(vek::cCtrl::e_Disabled);
  ShowControl(arrow, !working);
  ShowControl(progress, working);
  ShowControl(progressBack, working);
  if (working || stock <= 0) SetArrowAlpha(1.0f);
  SetControlText(inputCount, FillPlaceholder("x%i", stock));
}

void cChainItem::Update(f32 seconds) {
  if (!IsComplete()) return;
  const bool working = m_pFactory && m_pFactory->GetState() == 3;
  if (working) {
    switch (m_Pulse.Update(seconds)) {
      case vek::e_TweenAtRest:
        AtRest(m_Pulse, 1.0f);
        m_Pulse.SetTarget(kPulseTop);
        break;
      case vek::e_TweenArrived: {
        const f32 top = m_Pulse.current;
        AtRest(m_Pulse, m_Pulse.start);
        m_Pulse.SetTarget(top);
        break;
      }
      default: {
        const f32 h = buttonRect.h;
        const f32 height = m_Pulse.current * h;
        const vek::rectf r = button->GetRect();
        button->SetPos(r.x, buttonRect.y - (height - h) * 0.5f, 0);
        button->SetSize(r.w, height, 0);
        break;
      }
    }
    const f32 time = m_pFactory->GetWorkTime();
    if (auto* bar = dynamic_cast<vek::cProgressBarSysCtrl*>(progress))
      bar->SetValue(time > kEpsilon ? m_pFactory->GetWorkDone() / time : 0.0f);
  } else if (m_Pulse.current != 1.0f) {
    AtRest(m_Pulse, 1.0f);
    const vek::rectf r = button->GetRect();
    button->SetSize(buttonRect.w, buttonRect.h, 0);
    button->SetPos(r.x, buttonRect.y, 0);
  }
  if (m_pFactory && !working && m_pFactory->GetStock() > 0) SetArrowAlpha(s_Blink.current);

  if (m_Slide.current == m_Slide.target) return;
  switch (m_Slide.Update(seconds)) {
    case vek::e_TweenRunning:
      MoveTo(m_Slide.current);
      break;
    case vek::e_TweenArrived:
      if (m_State == e_SlidingIn) {
        AtRest(m_Slide, 0.0f);
        MoveTo(s_ShownX);
        m_State = e_Shown;
      } else if (m_State == e_SlidingOut) {
        HideNow();
      }
      break;
    default:
      break;
  }
}
