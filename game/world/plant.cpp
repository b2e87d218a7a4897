// Plants and holes of the field.
#include "game/world/plant.h"

#include <algorithm>

#include "game/app/garden_services.h"
#include "game/world/level.h"
#include "game/world/particles.h"

namespace {

constexpr vek::f32 kStep = 1.0f / 30.0f;
constexpr vek::u32 kRipe = 2;

// The care icons by stage: water, weed.
const cSprite& StageIcon(vek::i32 stage) {
  static const cSprite icons[2] = {FindSprite("icons00", "tool_water"), FindSprite("icons00", "tool_weed")};
  return icons[stage == 1 ? 1 : 0];
}

// Every period-th call answers true; a period of 0 never does.
bool CountNeed(vek::i32 period, vek::i32* counter) {
  if (period == 0) return false;
  if (*counter < period - 1) {
    ++*counter;
    return false;
  }
  *counter = 0;
  return true;
}

}  // namespace

cPlant::cPlant(vek::u32 wareId, cLevel* level) : cObject(level) {
  m_pSort = g_pWareManager ? &g_pWareManager->GetSort(kNoWare) : nullptr;
  if (g_pWareManager && wareId < g_pWareManager->GetCount()) SetKind(wareId);
  m_Rate = m_pSort && m_pSort->m_GrowthTime > 0.0f ? 1.0f / m_pSort->m_GrowthTime : 0.0f;
}

bool cPlant::IsSort(const char* name) const { return m_pSort && m_pSort->GetName() == name; }

bool cPlant::IsGround() const { return IsSort("grass") || IsSort("flowers"); }

bool cPlant::SetKind(vek::u32 wareId) {
  if (!g_pWareManager) return false;
  m_pSort = &g_pWareManager->GetSort(wareId);
  m_Rate = m_pSort->m_GrowthTime > 0.0f ? 1.0f / m_pSort->m_GrowthTime : 0.0f;
  return SetSprite("images00", m_pSort->GetName(), vek::cFrameAnimation::e_Stop);
}

void cPlant::SetGrowth(vek::f32 g) {
  if (!(g >= 0.0f && g <= 1.0f)) return;
  m_Growth = g;
  m_Anim.SetMode(vek::cFrameAnimation::e_Stop, true);
  m_Anim.m_Frame = 0;
  const vek::i32 frame = static_cast<vek::i32>(g * static_cast<vek::f32>(m_Anim.m_Count - 1));
  if (frame > 0) m_Anim.m_Frame = std::min(frame, m_Anim.m_Count - 1);
}

void cPlant::AddGrowth(vek::f32 d) { SetGrowth(std::min(m_Growth + d, 1.0f)); }

void cPlant::StartCycle() {
  iGardenServices* s = GardenServices();
  s->NextHintStep(0, 3);
  if (s->NextHintStep(0, 2)) {
    // The training plant asks for weeding at once.
    OnStageChange(1);
    return;
  }
  s->NextHintStep(0, 1);
  s->NextHintStep(11, 1);
  if (IsSort("grass")) s->NextHintStep(5, 2);
  if (IsSort("flowers")) s->NextHintStep(9, 2);
  if (s->GetHintIndex() != 0) {
    m_NextNeed = -1;
    if (CountNeed(m_pSort->m_NeedPeriods[1], &m_pSort->m_NeedCounters[1])) m_NextNeed = 1;
    else if (CountNeed(m_pSort->m_NeedPeriods[0], &m_pSort->m_NeedCounters[0])) m_NextNeed = 0;
  }
  // Flowers ask for water until the player has learnt to water them.
  if (IsSort("flowers") && !s->IsTrainingDone(kFlowersTraining)) {
    m_NextNeed = 0;
    m_pSort->m_NeedCounters[0] = 0;
  }
  SetState(1);
}

void cPlant::Update() {
  m_Anim.Update(kStep);
  if (m_State == -1) SetState(0);
  else if (m_State == 2) Remove();
  switch (m_State) {
    case 0:
      StartCycle();
      break;
    case 1: {
      if (m_Eater != 0) {
        cLevel* level = GetLevel();
        if (!level->IsObjectValid(m_Eater)) {
          m_Eater = 0;
          break;
        }
        if (level->FindObject(m_Eater)->GetFood() != m_Id) m_Eater = 0;
      }
      const vek::f32 before = m_Growth;
      AddGrowth(m_Rate * kStep);
      if (m_Growth >= 1.0f) {
        const bool justNow = m_Growth != before;
        if (m_bNeeded && justNow && GardenServices()->GetHintIndex() != 0 && m_NextNeed != -1) {
          const vek::i32 need = m_NextNeed;
          OnStageChange(need);
          m_NextNeed = -1;
        } else {
          OnStageChange(kRipe);
        }
      }
      break;
    }
    case 3:
      // A plant does not wither while a lesson holds the player's attention elsewhere.
      if (m_Stage != static_cast<vek::i32>(kRipe) && !m_bInWork && !GardenServices()->IsFieldHeldByHint() &&
          m_Wait.Update(kStep) != vek::e_TweenRunning)
        SetState(2);
      break;
    default:
      break;
  }
}

void cPlant::OnStageChange(vek::i32 stage) {
  if (stage == static_cast<vek::i32>(kRipe) && !IsGround()) {
    if (cParticles* particles = GardenServices()->GetParticles()) {
      const vek::rectf r = GetRect();
      particles->AddPlantBurst({r.x + r.w * 0.5f, r.y + r.h * 0.5f, 0.0f}, 24.0f);
    }
  }
  m_Stage = stage;
  m_Wait = vek::cAnimatedFloat{};
  m_Wait.SetTarget(kWaitSeconds);
  SetState(3);
  if (stage == 0 && IsSort("flowers")) GardenServices()->ShowTraining(kFlowersTraining);
}

void cPlant::Tend() {
  if (m_State != 3) return;
  iGardenServices* s = GardenServices();
  s->NextHintStep(0, 5);
  s->NextHintStep(1, 2);
  if (m_Stage == 0 && IsSort("flowers") && s->GetTrainingStep() != -1) {
    if (s->GetTrainingStep() == kFlowersTraining) s->HideWindowIfShown("hint");
    s->ShowTraining(-1);
  }
  m_Stage = -1;
  m_NextNeed = -1;
  m_Wait.SetTarget(0.0f);
  SetState(1);
}

vek::f32 cPlant::GetProgress() const {
  if (m_Stage == static_cast<vek::i32>(kRipe) || m_Wait.target < vek::kEpsilon) return 0.0f;
  return m_Wait.current / m_Wait.target;
}

vek::u32 cPlant::Harvest() {
  // An unripe plant gives nothing: the no-ware id, never a real ware's id.
  if (m_Stage != static_cast<vek::i32>(kRipe)) return kNoWare;
  SetGrowth(0.0f);
  SetState(0);
  iGardenServices* s = GardenServices();
  s->NextHintStep(0, 9);
  s->NextHintStep(0, 8);
  s->NextHintStep(0, 7);
  return GetKind();
}

bool cPlant::OnStateChange(vek::i32 from, vek::i32 to) {
  if (from == 3) {
    m_bInWork = false;
    m_Stage = -1;
    m_Wait = vek::cAnimatedFloat{};
  }
  if (to == 0) m_NextNeed = -1;
  if (to == 2) Remove();
  return true;
}

vek::rectf cPlant::GetRect() const {
  return {m_X - m_W * 0.5f, IsGround() ? m_Y - 12.0f : m_Y, m_W, m_H};
}

vek::f32 cPlant::GetDepth() const { return IsGround() ? m_Y + 100.0f : m_Y - 50.0f; }

bool cPlant::Read(vek::cBitStream& stream) {
  if (!SetKind(stream.ReadInt())) return false;
  if (GardenServices()->GetSaveVersion() <= 0.4f) stream.ReadInt();
  const vek::f32 g = stream.ReadFloat();
  SetGrowth(g != g ? 0.0f : std::clamp(g, 0.0f, 1.0f));
  return cObject::Read(stream);
}

bool cPlant::Write(vek::cBitStream& stream) const {
  stream.WriteInt(GetKind());
  stream.WriteFloat(m_Growth);
  return cObject::Write(stream);
}

void cPlant::Draw() {
  cObject::Draw();
  if (m_State != 3 || (m_Stage != 0 && m_Stage != 1)) return;
  const vek::vec2 centre{m_X, m_Y + 14.0f};
  GetLevel()->DrawProgressRing(GetProgress(), 18.0f, centre);
  const cSprite& icon = StageIcon(m_Stage);
  vek::cQuadBatch* batch = GetLevel()->GetBatch();
  if (!batch || !icon.texture || !icon.frames) return;
  const vek::f32 w = icon.width * 0.9f, h = icon.height * 0.9f;
  vek::DrawQuad(batch, icon.texture, {centre.x - w * 0.5f, centre.y - h * 0.5f, w, h}, icon.frames[0], 0xFFFFFFFFu);
}

// ---- holes

cHole::cHole(cLevel* level) : cObject(level) { SetSprite("images00", "hole", vek::cFrameAnimation::e_Stop); }

vek::rectf cHole::GetRect() const {
  if (!m_bShown) return {0.0f, 0.0f, 0.0f, 0.0f};
  return {m_X - m_W * 0.5f, m_Y - 12.0f, m_W, m_H};
}

void cHole::Draw() {
  if (!m_bShown) return;
  if (m_bSelected) {
    static const cSprite highlight = FindSprite("images00", "highlight");
    vek::cQuadBatch* batch = GetLevel()->GetBatch();
    if (batch && highlight.texture && highlight.frames)
      vek::DrawQuad(batch, highlight.texture, GetRect(), highlight.frames[0], 0xFFFFFFFFu);
  }
  cObject::Draw();
}

vek::u32 cHole::GetPlantId() const {
  const cCell cell = GetCell();
  if (cell.IsSentinel()) return 0;
  for (cObject* o : GetLevel()->ObjectsAtCell(cell))
    if (o->IsType(e_TypePlant) && o->GetState() != 2) return o->GetId();
  return 0;
}

void RegisterPlantMakers() {
  cLevel::SetMaker(e_KindPlant, [](cLevel* level) -> cObject* { return new cPlant(kNoWare, level); });
  cLevel::SetMaker(e_KindHole, [](cLevel* level) -> cObject* { return new cHole(level); });
}
