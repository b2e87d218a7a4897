// The delivery car and its back part.
#include "game/world/car.h"

#include <cmath>

#include "game/app/garden_services.h"
#include "game/world/gardener_base.h"
#include "game/world/level.h"

namespace {

constexpr vek::f32 kStep = 1.0f / 30.0f;
// The gardener's states while it empties the bin into the car.
constexpr vek::i32 kGardenerLoading[2] = {28, 29};

}  // namespace

cCar::cCar(cLevel* level) : cWorkStation(level) {
  m_Drive.speed = kSpeed;
  if (SetSprite("images00", "car", vek::cFrameAnimation::e_Stop)) m_Rect = {kParkedX, kParkedY, m_W, m_H};
  m_Wheel.Init("car", "wheel", vek::cFrameAnimation::e_Stop, {64.0f, 0.0f});
  m_Board.Init("car", "bort", vek::cFrameAnimation::e_Stop, {160.0f, -1.0f});
  SetCarX(m_Rect.x);
}

void cCar::SetCarX(vek::f32 x) {
  m_Rect.x = x;
  if (m_pLevel && m_pLevel->IsObjectValid(m_pLevel->GetCarBackId()))
    m_pLevel->FindObject(m_pLevel->GetCarBackId())->SetPosition(std::trunc(x) + 160.0f, std::trunc(m_Rect.y));
}

bool cCar::IsWareLeaving() const {
  if (!m_pLevel) return false;
  for (const cWareTransfer& t : m_pLevel->GetTransfers())
    if (t.target == cWareTransfer::e_Away) return true;
  return false;
}

bool cCar::IsWareArriving() const {
  if (!m_pLevel) return false;
  for (const cWareTransfer& t : m_pLevel->GetTransfers())
    if (t.target == cWareTransfer::e_Car && t.value < t.to) return true;
  return false;
}

bool cCar::IsGardenerAtCar() const {
  cGardenerBase* g = m_pLevel ? m_pLevel->GetGardener() : nullptr;
  return g && !g->GetTasks().empty() && g->GetTasks().front().id == m_Id;
}

void cCar::Update() {
  cWorkStation::Update();
  if (m_State == e_Leaving && IsWareLeaving()) return;
  if (m_State == e_Parked && IsGardenerAtCar()) return;
  m_Wheel.Step(kStep);
  m_Board.Step(kStep);
  switch (m_State) {
    case e_Parked: {
      cGardenerBase* g = m_pLevel ? m_pLevel->GetGardener() : nullptr;
      const vek::i32 gs = g ? g->GetState() : -1;
      const bool loading = gs == kGardenerLoading[0] || gs == kGardenerLoading[1];
      if (GardenServices()->GetCarLoadCount() != 0 && !loading && !IsWareArriving()) SetState(e_Selling);
      break;
    }
    case e_Selling:
      if (!m_Board.IsPlaying()) SetState(e_Leaving);
      break;
    case e_Closing:
      if (!m_Board.IsPlaying()) SetState(e_Parked);
      break;
    default:
      break;
  }
}

void cCar::Move(vek::f32 dt) {
  if (m_State != e_Leaving && m_State != e_Returning) return;
  if (m_State == e_Leaving && IsWareLeaving()) return;
  if (m_Drive.Update(dt) != vek::e_TweenRunning) SetState(m_State == e_Leaving ? e_Returning : e_Closing);
  SetCarX(m_Drive.current);
}

bool cCar::OnStateChange(vek::i32 from, vek::i32 to) {
  if (to == e_Selling) {
    iGardenServices* s = GardenServices();
    if (!s->PrepareCarLoad()) return false;
    m_Board.Play(vek::cFrameAnimation::e_OnceForward);
    s->PlaySound(9);
    const vek::i32 earnings = s->SellCarLoad();
    if (earnings != 0) {
      s->AddMoney(earnings);
      if (m_pLevel) {
        m_pLevel->UpdateToolbars();
        m_pLevel->ShowSaleMoney(earnings);
      }
    }
    s->NextHintStep(0, 10);
  }
  if (from == e_Leaving || from == e_Returning) m_Wheel.Play(vek::cFrameAnimation::e_Stop);
  switch (to) {
    case e_Leaving:
      m_ParkedX = m_Rect.x;
      m_Drive.start = m_Drive.target = m_Drive.current = m_Rect.x;
      m_Drive.elapsed = m_Drive.duration = 0.0f;
      m_Drive.SetTarget(-(m_Board.sprite.width + m_Rect.w));
      m_Wheel.Play(vek::cFrameAnimation::e_LoopForward);
      GardenServices()->PlaySound(10);
      break;
    case e_Returning:
      m_Drive.SetTarget(m_ParkedX);
      m_Wheel.Play(vek::cFrameAnimation::e_LoopBackward);
      break;
    case e_Closing:
      m_Board.Play(vek::cFrameAnimation::e_OnceBackward);
      break;
    default:
      break;
  }
  return cWorkStation::OnStateChange(from, to);
}

vek::rectf cCar::GetRect() const { return {m_Rect.x, m_Rect.y, m_Rect.w + 40.0f, m_Rect.h}; }

void cCar::Draw() {
  vek::cQuadBatch* batch = GetBatch();
  if (!batch) return;
  const auto partRect = [this](const cStationPart& p) {
    return vek::rectf{m_Rect.x + p.offset.x, m_Rect.y + p.offset.y, p.sprite.width, p.sprite.height};
  };
  m_Board.Draw(batch, partRect(m_Board));
  if (m_Texture && m_pFrames) {
    const vek::i32 frame = m_Anim.m_Frame >= 0 && m_Anim.m_Frame < m_Anim.m_Count ? m_Anim.m_Frame : 0;
    vek::DrawQuad(batch, m_Texture, m_Rect, m_pFrames[frame], 0xFFFFFFFFu);
  }
  m_Wheel.Draw(batch, partRect(m_Wheel));
  DrawMarkers(GetRect());
}

cCarBack::cCarBack(cLevel* level) : cWorkStation(level) { SetSprite("car", "back", vek::cFrameAnimation::e_Stop); }

void RegisterCarMakers() {
  cLevel::SetMaker(e_KindCar, [](cLevel* level) -> cObject* { return new cCar(level); });
  cLevel::SetMaker(e_KindCarBack, [](cLevel* level) -> cObject* { return new cCarBack(level); });
}
