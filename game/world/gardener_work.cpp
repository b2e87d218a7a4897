// The gardener's state machine: each kind of work has a start, a work and an end state. Start
// and end states play a short area forward and backward; the work state plays the work area
// (or runs a timer), then does the work's effect and moves on.
#include <cstdio>

#include "engine/sound/sound.h"
#include "engine/sound/sound_manager.h"
#include "game/app/garden_services.h"
#include "game/app/locale_gd.h"
#include "game/world/animal.h"
#include "game/world/balance.h"
#include "game/world/gardener.h"
#include "game/world/hive.h"
#include "game/world/level.h"
#include "game/world/plant.h"
#include "game/world/tools.h"
#include "game/world/ware_manager.h"

namespace {

using vek::cFrameAnimation;

// Game sounds.
constexpr vek::i32 kSoundSeed = 3, kSoundHarvest = 6, kSoundWaterRepair = 8, kSoundGoatMilk = 20,
                   kSoundHiveOpen = 21, kSoundPutCar = 22;
// The goat wanders again once milked.
constexpr vek::i32 kGoatContent = 1;
// The car stands and can be loaded.
constexpr vek::i32 kCarStanding = 1;
// The pump at rest and pumping.
constexpr vek::i32 kPumpIdle = 1, kPumpWorking = 3;

// The frame at which the car-loading sound last played: one value for the whole program, so a
// loading whose frame did not change since the last one plays no second sound.
vek::i32 g_LastPutCarFrame = -1;

vek::string MoneyText(vek::i32 amount) { return FillPlaceholder("-$%i", amount); }

}  // namespace

// ---- animation

bool cGardener::PlayAnimation(const vek::string& sheet, const vek::string& area, vek::i32 loops, vek::f32 duration,
                              vek::u32 mode) {
  m_LoopsLeft = 0;
  if (!cObject::SetSprite(sheet, area, cFrameAnimation::e_Stop)) return false;
  const cSprite rec = FindSprite(sheet, area);
  if (rec.texture == 0) return false;
  m_LoopsLeft = loops;
  m_Bounce = mode == cFrameAnimation::e_Stop ? 0
             : (mode == cFrameAnimation::e_OnceBackward || mode == cFrameAnimation::e_LoopBackward) ? -1
                                                                                                    : 1;
  const vek::i32 count = static_cast<vek::i32>(rec.frameCount);
  m_Anim.m_Frame = 0;
  m_Anim.m_Elapsed = 0.0f;
  m_Anim.m_Count = count;
  const vek::f32 passes = static_cast<vek::f32>(count) * static_cast<vek::f32>(loops > 0 ? loops : 1);
  m_Anim.m_FrameTime = passes > 0.0f ? duration / passes : 0.0f;
  m_Anim.m_Direction = 1;
  m_Anim.m_Mode = mode;
  if (mode <= cFrameAnimation::e_PingPong) m_Anim.SetMode(mode, true);
  return true;
}

void cGardener::ShowSprite(const vek::string& sheet, const vek::string& area, vek::u32 mode) {
  if (SetSprite(sheet, area, mode)) return;
  // No such area: nothing to wait for.
  m_Anim.m_Mode = cFrameAnimation::e_Stop;
  m_Anim.m_Count = 0;
  m_Anim.m_Frame = 0;
}

bool cGardener::IsAnimEnded() const {
  if (m_Anim.m_Mode == cFrameAnimation::e_Stop) return true;
  // A once or ping-pong area with fewer than two frames never moves, so it never stops by
  // itself: it counts as played.
  const bool bounded = m_Anim.m_Mode == cFrameAnimation::e_OnceForward ||
                       m_Anim.m_Mode == cFrameAnimation::e_OnceBackward || m_Anim.m_Mode == cFrameAnimation::e_PingPong;
  return bounded && m_Anim.m_Count < 2;
}

void cGardener::CountLoops(vek::i32 prev) {
  if (m_LoopsLeft <= 0) return;
  const vek::i32 frame = m_Anim.m_Frame;
  if (m_Anim.m_Mode == cFrameAnimation::e_Stop) {
    --m_LoopsLeft;
  } else if (IsAnimEnded()) {
    m_LoopsLeft = 0;  // too short to bounce or wrap
  } else if (m_Anim.m_Mode == cFrameAnimation::e_PingPong) {
    if ((frame < prev && m_Bounce == 1) || (frame > prev && m_Bounce == -1)) {
      m_Bounce = -m_Bounce;
      --m_LoopsLeft;
    }
  } else if (frame < prev) {
    --m_LoopsLeft;
  }
}

bool cGardener::StepWorkTimer() { return m_WorkTimer.Update(kStep) == vek::e_TweenRunning; }

void cGardener::StartWorkTimer(vek::f32 seconds) {
  m_WorkTimer.start = m_WorkTimer.target = m_WorkTimer.current = 0.0f;
  m_WorkTimer.elapsed = m_WorkTimer.duration = 0.0f;
  m_WorkTimer.speed = 1.0f;
  m_WorkTimer.SetTarget(seconds);
}

// ---- the fixed step

void cGardener::Update() {
  if (m_State == e_StateCar) {
    // The bin is emptied only into a car that stands; the gardener waits for it. With no car
    // at all there is nothing to wait for.
    if (!IsValid(m_pLevel->GetCarId())) {
      SetState(e_StateIdle);
      return;
    }
    if (Find(m_pLevel->GetCarId())->GetState() != kCarStanding) return;
  }
  const vek::i32 prev = m_Anim.m_Frame;
  m_Anim.Update(kStep);
  if (m_State == e_StateNew) SetState(e_StateStart);
  else if (m_State == e_StateRemoved) Remove();
  m_NeedTimer.Update(kStep);
  CountLoops(prev);
  StepState();
}

void cGardener::StepState() {
  iGardenServices* s = GardenServices();
  switch (m_State) {
    case e_StateStart:
      SetState(e_StateIdle);
      break;
    case e_StateIdle:
      TakeNextTask();
      break;
    case 4:
    case 7:
    case 10:
    case 13:
    case 16:
    case 19:
    case 22:
    case 25:
      if (IsAnimEnded()) SetState(m_State + 1);
      break;
    case 6:
    case 9:
    case 12:
    case 15:
    case 18:
    case 21:
    case 24:
    case 27:
    case 29:
      if (IsAnimEnded()) SetState(e_StateIdle);
      break;
    case 5:
      if (m_LoopsLeft > 0) break;
      SowSeed();
      SetState(6);
      break;
    case 8: {
      if (!IsValid(m_WorkTarget)) {
        SetState(e_StateIdle);
        break;
      }
      if (m_LoopsLeft > 0) break;
      if (auto* can = dynamic_cast<cToolWater*>(HeldTool())) can->Use(1);
      if (auto* plant = dynamic_cast<cPlant*>(Find(m_WorkTarget))) plant->Tend();
      SetState(9);
      break;
    }
    case 11:
      if (!IsValid(m_WorkTarget)) {
        SetState(e_StateIdle);
        break;
      }
      if (m_LoopsLeft > 0) break;
      if (auto* plant = dynamic_cast<cPlant*>(Find(m_WorkTarget))) plant->Tend();
      SetState(12);
      break;
    case 14: {
      auto* bin = dynamic_cast<cToolBin*>(HeldTool());
      if (!bin || !CanUseTool() || !IsValid(m_WorkTarget)) {
        SetState(e_StateIdle);
        break;
      }
      if (m_LoopsLeft > 0) break;
      if (auto* plant = dynamic_cast<cPlant*>(Find(m_WorkTarget))) {
        const vek::u32 ware = plant->Harvest();
        if (ware != kNoWare) {
          bin->AddItem(ware);
          s->CountProduced(static_cast<vek::i32>(ware));
        }
      }
      SetState(15);
      break;
    }
    case 17: {
      auto* bin = dynamic_cast<cToolBin*>(HeldTool());
      if (!bin || !CanUseTool() || !IsValid(m_ProductTarget)) {
        SetState(e_StateIdle);
        break;
      }
      if (m_LoopsLeft > 0) break;
      cObject* product = Find(m_ProductTarget);
      const vek::u32 ware = product->GetWareId();
      bin->AddItem(ware);
      s->CountProduced(static_cast<vek::i32>(ware));
      s->NextHintStep(6, 1);
      product->SetState(2);
      SetState(18);
      break;
    }
    case 20: {
      auto* bin = dynamic_cast<cToolBin*>(HeldTool());
      if (!bin || !CanUseTool() || !IsValid(m_HiveTarget)) {
        SetState(e_StateIdle);
        break;
      }
      if (StepWorkTimer()) break;
      auto* hive = dynamic_cast<cHive*>(Find(m_HiveTarget));
      if (hive && hive->TakeHoney()) {
        const vek::i32 ware = g_pWareManager ? g_pWareManager->GetWareId("honey") : static_cast<vek::i32>(kNoWare);
        bin->AddItem(static_cast<vek::u32>(ware));
        s->CountProduced(ware);
        s->NextHintStep(10, 1);
      }
      SetState(21);
      break;
    }
    case 23: {
      auto* bin = dynamic_cast<cToolBin*>(HeldTool());
      if (!bin || !CanUseTool()) {
        SetState(e_StateIdle);
        break;
      }
      if (StepWorkTimer()) break;
      if (IsValid(m_GoatTarget)) {
        const vek::i32 ware = g_pWareManager ? g_pWareManager->GetWareId("milk") : static_cast<vek::i32>(kNoWare);
        bin->AddItem(static_cast<vek::u32>(ware));
        s->CountProduced(ware);
        Find(m_GoatTarget)->SetState(kGoatContent);
      }
      SetState(24);
      break;
    }
    case 26:
      FillAtPump();
      break;
    case 28:
      LoadCar();
      break;
    default:
      break;
  }
}

void cGardener::SowSeed() {
  iGardenServices* s = GardenServices();
  if (m_Seed == kNoWare) return;
  const vek::i32 price = SeedPrice();
  if (price > s->GetMoney()) return;
  const cCell cell = GetCell();
  cObject* old = m_pLevel->FindObjectAt(cell, e_TypePlant);
  if (old != m_pLevel->GetFirstObject()) {
    old->SetState(2);
    s->MarkHint11Shown();  // the sowing-over hint has been met
  }
  m_pLevel->AddPlant(m_Seed, cell);
  s->SpendMoney(price);
  m_pLevel->GetTexts().Add(MoneyText(price), {m_X, m_Y + m_pLevel->GetCellSize().y * 0.5f});
}

void cGardener::FillAtPump() {
  iGardenServices* s = GardenServices();
  if (StepWorkTimer()) return;
  auto* can = dynamic_cast<cToolWater*>(HeldTool());
  if (!can || s->GetMoney() < kWaterPrice) {
    SetState(27);
    return;
  }
  can->Fill(1);
  s->SpendMoney(kWaterPrice);
  m_pLevel->GetTexts().Add(MoneyText(kWaterPrice), {m_X + 40.0f, m_Y + 130.0f});
  if (!can->IsFull() && s->GetMoney() >= kWaterPrice) {
    const vek::f32 unit = m_WorkTimer.target;
    StartWorkTimer(unit);
    return;
  }
  SetState(27);
}

void cGardener::LoadCar() {
  auto* bin = dynamic_cast<cToolBin*>(HeldTool());
  if (!bin) {
    SetState(e_StateIdle);
    return;
  }
  if (IsAnimEnded()) {
    SetState(29);
    iGardenServices* s = GardenServices();
    while (bin->GetCount() != 0) s->AddToCarLoad(static_cast<vek::i32>(bin->TakeFirstItem()));
    return;
  }
  if (m_Anim.m_Mode == cFrameAnimation::e_OnceForward) {
    const vek::i32 half = m_Anim.m_Count / 2 - 1;
    if (m_Anim.m_Frame == half && m_Anim.m_Frame != g_LastPutCarFrame) GardenServices()->PlaySound(kSoundPutCar);
    g_LastPutCarFrame = m_Anim.m_Frame;
  }
}

// ---- state changes

bool cGardener::OnStateChange(vek::i32 from, vek::i32 to) {
  LeaveState(from, to);
  EnterState(to);
  if (to == e_StateRemoved) Remove();
  return true;
}

vek::f32 cGardener::MilkingSeconds() const {
  const auto* goat = dynamic_cast<const cAnimal*>(Find(m_GoatTarget));
  return goat ? goat->GetParam(cAnimal::e_ParamLaying) : 0.0f;
}

void cGardener::ReleaseGoat() {
  // It waits again while its wait lasts, else it wanders off; it never stays being milked.
  if (auto* goat = IsValid(m_GoatTarget) ? dynamic_cast<cGoat*>(Find(m_GoatTarget)) : nullptr) goat->ReleaseMilking();
  m_GoatTarget = 0;
}

void cGardener::LeaveState(vek::i32 from, vek::i32 to) {
  iGardenServices* s = GardenServices();
  switch (from) {
    // Work broken off (a right click, a hint) leaves the plant waiting for the gardener: its
    // in-work mark stays, so a plant whose work has started never withers.
    case 7:
    case 10:
    case 13:
      if (to != from + 1) m_WorkTarget = 0;
      break;
    case 8:
    case 11:
      if (vek::cSound* channel = (from == 8 ? m_WaterChannel : m_WeedChannel).get()) channel->FadeOut(0.3f);
      m_WorkTarget = 0;
      break;
    case 14:
      m_WorkTarget = 0;
      break;
    case 17:
      m_ProductTarget = 0;
      break;
    case 22:
      if (to != 23) ReleaseGoat();
      break;
    case 23:
      ReleaseGoat();
      s->NextHintStep(8, 1);
      break;
    case 26:
      if (IsValid(m_pLevel->GetPumpId())) Find(m_pLevel->GetPumpId())->SetState(kPumpIdle);
      s->NextHintStep(1, 1);
      break;
    default:
      break;
  }
}

void cGardener::EnterState(vek::i32 to) {
  iGardenServices* s = GardenServices();
  const cBalance& b = GameBalance();
  const vek::f32 binTime = UpgradeValue(b.binTime, 5);
  switch (to) {
    case e_StateWalk:
      if (IsTweenMoving(m_Walk)) {
        vek::vec2 d = m_Walk.target - m_Walk.start;
        const vek::f32 len = d.Length();
        if (len > 0.0f) d = d * (1.0f / len);
        const vek::f32 ax = d.x < 0.0f ? -d.x : d.x, ay = d.y < 0.0f ? -d.y : d.y;
        const char* dir = nullptr;
        if (d.x > 0.0f && d.x >= ay) dir = "r";
        else if (d.x < 0.0f && ax >= ay) dir = "l";
        else if (d.y > 0.0f && d.y >= ax) dir = "u";
        else if (d.y < 0.0f && ay >= ax) dir = "d";
        if (dir) {
          const vek::i32 kind = GetHeldToolKind();
          const bool left = dir[0] == 'l' || dir[0] == 'u';
          const char* sheet = kind == 0   ? (left ? "gard07" : "gard06")
                              : kind == 1 ? (left ? "gard05" : "gard04")
                              : kind == 2 ? (left ? "gard03" : "gard02")
                                          : (left ? "gard01" : "gard00");
          ShowSprite(sheet, dir, cFrameAnimation::e_LoopForward);
        }
      }
      break;
    case 4:
      DropTool();
      ShowSprite("gard09", "seed_start", cFrameAnimation::e_OnceForward);
      break;
    case 5:
      s->PlaySound(kSoundSeed);
      PlayAnimation("gard09", "seed_work", 2, binTime, cFrameAnimation::e_PingPong);
      break;
    case 6:
      ShowSprite("gard09", "seed_start", cFrameAnimation::e_OnceBackward);
      break;
    case 7:
    case 9:
      ShowSprite("gard10", "water_start", to == 7 ? cFrameAnimation::e_OnceForward : cFrameAnimation::e_OnceBackward);
      break;
    case 8:
      if (m_WaterChannel) {
        if (vek::cSoundManager* sound = vek::GetSound()) m_WaterChannel->SetVolume(sound->GetVolume(1));
        m_WaterChannel->Play(true);
      }
      PlayAnimation("gard10", "water_work", 2, UpgradeValue(b.wateringTime, 3), cFrameAnimation::e_PingPong);
      break;
    case 10:
    case 12:
      ShowSprite("gard10", "weed_start", to == 10 ? cFrameAnimation::e_OnceForward : cFrameAnimation::e_OnceBackward);
      break;
    case 11:
      if (m_WeedChannel) {
        if (vek::cSoundManager* sound = vek::GetSound()) m_WeedChannel->SetVolume(sound->GetVolume(1));
        m_WeedChannel->Play(true);
      }
      PlayAnimation("gard10", "weed_work", 2, UpgradeValue(b.weedingTime, 4), cFrameAnimation::e_PingPong);
      break;
    case 13:
    case 16:
      ShowSprite("gard11", "harvest_start", cFrameAnimation::e_OnceForward);
      break;
    case 15:
    case 18:
      ShowSprite("gard11", "harvest_start", cFrameAnimation::e_OnceBackward);
      break;
    case 14:
    case 17:
      s->PlaySound(kSoundHarvest);
      PlayAnimation("gard11", "harvest_work", 2, binTime, cFrameAnimation::e_PingPong);
      break;
    case 19:
    case 21: {
      s->PlaySound(kSoundHiveOpen);
      const vek::u32 mode = to == 19 ? cFrameAnimation::e_OnceForward : cFrameAnimation::e_OnceBackward;
      ShowSprite("gard11", "honey_start", mode);
      if (auto* hive = IsValid(m_HiveTarget) ? dynamic_cast<cHive*>(Find(m_HiveTarget)) : nullptr)
        hive->SetTopMode(mode);
      break;
    }
    case 20:
      StartWorkTimer(binTime);
      ShowSprite("gard11", "honey_work", cFrameAnimation::e_LoopForward);
      break;
    case 22:
    case 24:
      ShowSprite("gard08", "milking_start", to == 22 ? cFrameAnimation::e_OnceForward : cFrameAnimation::e_OnceBackward);
      break;
    case 23:
      s->PlaySound(kSoundGoatMilk);
      if (IsValid(m_GoatTarget)) StartWorkTimer(MilkingSeconds());
      ShowSprite("gard08", "milking_work", cFrameAnimation::e_LoopForward);
      break;
    case 25:
    case 27:
      ShowSprite("gard08", "water_put", to == 25 ? cFrameAnimation::e_OnceForward : cFrameAnimation::e_OnceBackward);
      break;
    case 26:
      s->PlaySound(kSoundWaterRepair);
      StartWorkTimer(b.pumpTime);
      ShowSprite("gard08", "water_wait", cFrameAnimation::e_PingPong);
      if (IsValid(m_pLevel->GetPumpId())) Find(m_pLevel->GetPumpId())->SetState(kPumpWorking);
      break;
    case 28:
    case 29:
      ShowSprite("gard09", "been_stock", to == 28 ? cFrameAnimation::e_OnceForward : cFrameAnimation::e_OnceBackward);
      break;
    default:
      break;
  }
}
