#include "game/island/buildings.h"

#include <algorithm>
#include <cmath>

#include "engine/core/log.h"
#include "engine/render/quad_batch.h"
#include "engine/render/texture_info.h"
#include "engine/render/texture_manager.h"
#include "game/island/building_table.h"
#include "game/island/house_rules.h"
#include "game/app/sprite.h"

using vek::f32;
using vek::i32;
using vek::u32;

namespace {
constexpr f32 kStepSeconds = 1.0f / 30.0f;
constexpr f32 kEpsilon = 1.1920929e-7f;

// The pixel size of a texture; the container's first texture for an index out of range.
vek::vec2 TexturePixels(u32 texture) {
  if (!vek::g_pTextureManager) return {};
  const vek::cTexture* t = vek::g_pTextureManager->Get(texture);
  if (!t) t = vek::g_pTextureManager->Get(0);
  return t ? vek::vec2{static_cast<f32>(t->GetWidth()), static_cast<f32>(t->GetHeight())} : vek::vec2{};
}

// What a building draws for an out-of-range sprite index.
cDecorSprite& EmptySprite() {
  static cDecorSprite empty;
  empty = {};
  return empty;
}

// Replaces the text's first "%i" with the number.
vek::string FormatNumber(const vek::string& text, i32 n) {
  const size_t at = text.find("%i");
  if (at == vek::string::npos) return text;
  return text.substr(0, at) + std::to_string(n) + text.substr(at + 2);
}
}  // namespace

// ---- cBuild ----

cBuild::cBuild(std::string name, iBuildingOwner* owner)
    : cObject(nullptr), m_Name(std::move(name)), m_pOwner(owner) {
  SetSize(0.0f, 0.0f);
}

cBuild::~cBuild() {
  if (m_pOwner && m_pAnchor) m_pOwner->RemoveAnchor(m_pAnchor);
}

void cBuild::Step() {
  // A template has no island and is never processed.
  if (m_pOwner && m_pOwner->GetMode() != 0) Process();
}

bool cBuild::Contains(f32 x, f32 y) const {
  return m_X < x && x < m_X + m_W && m_Y < y && y < m_Y + m_H;
}

bool cBuild::Overlaps(const vek::rectf& r) const {
  return r.x < m_X + m_W && m_Y < r.y + r.h && m_X < r.x + r.w && r.y < m_Y + m_H;
}

bool cBuild::IsNear(const vek::vec2& p, f32 radius) const {
  const vek::vec2 corners[4] = {{m_X, m_Y}, {m_X + m_W, m_Y}, {m_X + m_W, m_Y + m_H}, {m_X, m_Y + m_H}};
  for (const vek::vec2& c : corners) {
    const f32 dx = c.x - p.x, dy = c.y - p.y;
    if (dx * dx + dy * dy > radius * radius) return false;
  }
  return true;
}

void cBuild::OnEvent(i32 /*code*/, i32 /*param*/) {}

void cBuild::CopyFrom(const cBuild& b) {
  m_Name = b.m_Name;
  m_Category = b.m_Category;
}

bool cBuild::Read(vek::cBitStream& stream) {
  m_X = stream.ReadFloat();
  m_Y = stream.ReadFloat();
  if (m_pOwner) {
    if (vek::rectf* anchor = m_pOwner->AddAnchor()) {
      *anchor = {m_X, m_Y, m_W, m_H};
      // Read twice, the building keeps the newer anchor and gives the older one back.
      if (m_pAnchor) m_pOwner->RemoveAnchor(m_pAnchor);
      m_pAnchor = anchor;
    }
  }
  return true;
}

bool cBuild::Write(vek::cBitStream& stream) const {
  stream.WriteFloat(m_X);
  stream.WriteFloat(m_Y);
  return true;
}

// ---- cDecor ----

bool cDecor::AddSprite(const vek::string& texture, const vek::string& area) {
  cDecorSprite sprite;
  sprite.textureName = texture;
  sprite.areaName = area;
  const u32 index = vek::g_pTextureManager ? vek::g_pTextureManager->FindIndex(texture) : 0;
  if (index == 0) {
    vek::LogWarning("cDecor", "AddSprite: texture %s not found\n", texture);
    return false;
  }
  const vek::cTextureInfo* info = vek::FindTextureInfo(texture);
  if (!info || info->name != texture) {
    vek::LogWarning("cDecor", "AddSprite: texinfo for texture %s not found\n", texture);
    return false;
  }
  const u32 item = info->FindIndex(area);
  if (item >= info->GetCount()) {
    vek::LogWarning("cDecor", "AddSprite: texture %s not containes area %s\n", texture, area);
    return false;
  }
  const vek::cTextureInfo::cItem& node = info->GetByIndex(item);
  if (node.frames.empty()) {
    vek::LogWarning("cDecor", "AddSprite: texture %s area %s - invalid\n", texture, area);
    return false;
  }
  sprite.texture = index;
  sprite.frames = node.frames.data();
  sprite.count = static_cast<u32>(node.frames.size());
  const f32 rate = node.frameTime > kEpsilon ? node.frameTime : 2.0f;
  sprite.animation.Init(static_cast<i32>(sprite.count), rate, vek::cFrameAnimation::e_Stop);
  m_Sprites.push_back(std::move(sprite));
  return true;
}

bool cDecor::SetSprite(u32 index) {
  if (index >= m_Sprites.size()) return false;
  m_Current = index;
  const cDecorSprite& s = m_Sprites[index];
  if (!s.frames || s.count == 0) return false;
  const vek::vec2 px = TexturePixels(s.texture);
  SetSize(px.x * s.frames[0].w, px.y * s.frames[0].h);
  return true;
}

const cDecorSprite& cDecor::GetCurrentSprite() const {
  return m_Current < m_Sprites.size() ? m_Sprites[m_Current] : EmptySprite();
}

cDecorSprite& cDecor::GetCurrentSprite() {
  return m_Current < m_Sprites.size() ? m_Sprites[m_Current] : EmptySprite();
}

void cDecor::SetFrames(i32 count, f32 framesPerSecond) {
  if (m_Sprites.empty()) {
    m_Sprites.emplace_back();
    m_Current = 0;
  }
  GetCurrentSprite().animation.Init(std::max(0, count), framesPerSecond > kEpsilon ? framesPerSecond : 2.0f,
                                    vek::cFrameAnimation::e_Stop);
}

void cDecor::SetFrame(i32 frame) {
  vek::cFrameAnimation& a = GetCurrentSprite().animation;
  a.m_Frame = a.m_Count > 0 ? std::clamp(frame, 0, a.m_Count - 1) : 0;
}

void cDecor::CopyFrom(const cDecor& d) {
  cBuild::CopyFrom(d);
  m_Sprites.clear();
  m_Current = 0;
  for (const cDecorSprite& s : d.m_Sprites) {
    if (s.textureName.empty()) {
      m_Sprites.push_back(s);  // a headless frame counter
      continue;
    }
    AddSprite(s.textureName, s.areaName);
  }
  SetSprite(d.m_Current);
}

void cDecor::Step() {
  cBuild::Step();
  if (m_Current < m_Sprites.size()) m_Sprites[m_Current].animation.Update(kStepSeconds);
}

void cDecor::DrawSprite(const cDecorSprite& s, bool wholeWithoutFrames) const {
  vek::cQuadBatch* batch = m_pOwner ? m_pOwner->GetBatch() : nullptr;
  if (!batch || s.texture == 0) return;
  const vek::rectf rect{m_X, m_Y, m_W, m_H};
  if (s.frames && s.count > 0) {
    const i32 f = std::clamp(s.animation.m_Frame, 0, static_cast<i32>(s.count) - 1);
    vek::DrawQuad(batch, s.texture, rect, s.frames[f], GetColor());
  } else if (wholeWithoutFrames) {
    vek::DrawQuad(batch, s.texture, rect, {0.0f, 0.0f, 1.0f, 1.0f}, GetColor());
  }
}

void cDecor::Draw() {
  if (m_Current >= m_Sprites.size()) return;
  DrawSprite(m_Sprites[m_Current], true);
}

// ---- cHouse ----

cHouse::cHouse(std::string name, std::string displayName, iBuildingOwner* owner)
    : cDecor(std::move(name), owner), m_DisplayName(std::move(displayName)) {
  m_Category = BuildingCategoryFromName(m_Name);
}

i32 cHouse::GetStageFrame(i32 stage) const { return BuildingStageFrame(m_Name, stage); }

void cHouse::SetState(i32 state) {
  if (state == m_HouseState) return;
  if (OnStateChange(m_HouseState, state)) m_HouseState = state;
}

vek::vec2 cHouse::GetScreenCenter() const {
  const vek::vec2 scroll = m_pOwner ? m_pOwner->GetScrollOffset() : vek::vec2{};
  return {m_X + 0.5f * m_W - scroll.x, m_Y + 0.5f * m_H - scroll.y};
}

bool cHouse::OnStateChange(i32 from, i32 to) {
  if (from == 1 && to == 2) {
    if (m_pOwner) {
      if (m_pOwner->GetPlacedBuilding() == this) m_pOwner->ForgetPlacedBuilding(this);
      m_pOwner->OnConstructionFinished(*this, GetScreenCenter());
      // The newest level's building: the sequence goes on with the star flyer (its fifth
      // stage); restarting it from the first stage would replay the stars already flown.
      if (m_pOwner->IsNewestLevelBuilding(*this)) m_pOwner->StartAfterLevelStage(4, 2.0f);
      vek::string text;
      if (m_Category == e_catHouse) text = FormatNumber(m_pOwner->GetText("IncPeople"), m_Value);
      if (m_Category == e_catMarket) text = FormatNumber(m_pOwner->GetText("IncMarket"), m_Value);
      if (!text.empty()) m_pOwner->AddFloatingText(text, GetScreenCenter());
    }
    StartFireworks(m_Name == "statue00" ? 6 : 3);
    if (m_Name == "animals00" && m_pOwner) m_pOwner->SendWindowMessage("garden", 1, 0);
  }
  vek::cFrameAnimation& a = GetCurrentSprite().animation;
  switch (to) {
    case 0:
      a.SetMode(vek::cFrameAnimation::e_Stop, true);
      if (GetStageFrame(0) >= 1) SetFrame(GetStageFrame(0));
      break;
    case 1:
      a.SetMode(vek::cFrameAnimation::e_Stop, true);
      a.SetMode(vek::cFrameAnimation::e_OnceForward, true);
      if (m_pOwner) m_pOwner->PlaySound(28);
      break;
    case 2:
      a.SetMode(vek::cFrameAnimation::e_Stop, true);
      if (GetStageFrame(1) >= 1) SetFrame(GetStageFrame(1));
      break;
    default:
      break;
  }
  return true;
}

i32 cHouse::Buy(i32& bank) {
  const cHousePurchase p = HousePurchase(bank, m_Price);
  if (m_HouseState != 1) SetState(1);
  bank = p.bankAfter;
  if (m_pOwner) m_pOwner->AddFloatingText("-$" + std::to_string(p.cost), GetScreenCenter());
  return p.cost;
}

void cHouse::Buy() {
  i32 bank = m_pOwner ? m_pOwner->GetBank() : 0;
  Buy(bank);
  if (m_pOwner) m_pOwner->SetBank(bank);
}

void cHouse::OnEvent(i32 code, i32 param) {
  if (!m_Available || code != 48 || param != 1 || !m_pOwner) return;
  m_pOwner->EndTrainingOnClick();
  m_pOwner->PlaySound(13);
  if (m_HouseState == 0 && m_pOwner->GetMode() == 2) Buy();
}

void cHouse::Process() {
  if (m_HouseState != 1) return;
  // A construction animation shorter than the built frame ends on its last frame.
  if (!ConstructionDone(m_Name, GetFrameCount(), GetFrame())) return;
  SetState(2);
}

void cHouse::StartFireworks(i32 count) {
  m_FireworksTimer = 0.0f;
  m_FireworksLeft = count;
}

vek::u32 cHouse::GetColor() const {
  const i32 mode = m_pOwner ? m_pOwner->GetMode() : 0;
  return HouseColor(mode, m_HouseState, m_Available, m_pOwner ? m_pOwner->GetPulse() : 1.0f);
}

void cHouse::Step() {
  cDecor::Step();
  if (m_FireworksTimer > 0.0f) m_FireworksTimer -= kStepSeconds;
  if (m_FireworksLeft > 0 && m_FireworksTimer <= 0.0f && m_pOwner) {
    const f32 dx = m_pOwner->RandomFloat(-m_W / 3.0f, m_W / 3.0f);
    const f32 dy = m_pOwner->RandomFloat(-m_H / 3.0f, m_H / 3.0f);
    m_pOwner->AddFirework({m_X + m_W * 0.5f + dx, m_Y + m_H * 0.5f + dy});
    --m_FireworksLeft;
    m_FireworksTimer = m_pOwner->RandomFloat(0.5f, 0.8f);
    m_pOwner->PlaySound(23);
    // The statue's last firework opens the comics, once: not again when they end.
    if (m_FireworksLeft == 0 && m_Name == "statue00" && m_HouseState == 2 && !m_ComicsStarted) {
      m_ComicsStarted = true;
      m_pOwner->StartComics();
    }
  }
  if (m_Available && m_pOwner)
    m_Highlight.Step(m_pOwner->GetHoveredBuilding() == this, m_pOwner->GetPlacedBuilding() == this);
}

void cHouse::DrawBack() {
  if (m_HouseState != 0 || m_Highlight.hover <= 0.0f || !m_pOwner) return;
  vek::cQuadBatch* batch = m_pOwner->GetBatch();
  if (!batch) return;
  static cSprite glow;
  if (glow.texture == 0) glow = FindSprite("peacock02", "hl");
  if (glow.texture == 0 || !glow.frames) return;
  const f32 s = std::max(m_W, m_H) + 8.0f;
  const f32 side = std::trunc(s);
  const f32 left = std::trunc(m_X + m_W / 2.0f - s / 2.0f);
  const f32 top = std::trunc(m_Y + m_H / 2.0f - side / 2.0f);
  const u32 alpha = static_cast<u32>(std::clamp(m_Highlight.hover, 0.0f, 1.0f) * 255.0f);
  vek::DrawRotatedQuad(batch, glow.texture, {left, top, side, side}, glow.frames[0], alpha << 24 | 0x00FFFFFFu,
                       m_pOwner->GetWavePhase());
}

void cHouse::Draw() {
  if (m_Current >= m_Sprites.size()) return;
  DrawSprite(m_Sprites[m_Current], false);
}

void cHouse::CopyFrom(const cHouse& h) {
  cDecor::CopyFrom(h);
  m_DisplayName = h.m_DisplayName;
  m_Price = h.m_Price;
  m_Value = h.m_Value;
}

// ---- cFactory ----

cFactory::cFactory(std::string name, std::string displayName, iBuildingOwner* owner)
    : cHouse(std::move(name), std::move(displayName), owner) {
  m_Category = e_catFactory;
}

void cFactory::SetOutput(std::string ware, f32 workSeconds) {
  m_Output = std::move(ware);
  m_WorkSeconds = workSeconds > kEpsilon ? workSeconds : 1.0f;
  const cSprite icon = FindSprite("icons00", m_Output);
  if (icon.texture != 0 && icon.frames && icon.frameCount > 0) {
    m_IconFrame = icon.frames[0];
    m_IconRect = {0.0f, 0.0f, icon.width, icon.height};
  }
}

i32 cFactory::GetWorkSteps() const {
  return std::max(1, static_cast<i32>(std::lround(m_WorkSeconds / kStep)));
}

bool cFactory::OnStateChange(i32 from, i32 to) {
  if (to == 0 || to == 2 || to == 3) {
    const f32 speed = m_WorkTimer.speed;
    m_WorkTimer = vek::cAnimatedFloat{};
    m_WorkTimer.speed = speed;
  }
  if (to == 3) {
    m_WorkTimer.SetTarget(m_WorkSeconds);
    if (m_Name != "houses02") {
      GetCurrentSprite().animation.SetMode(vek::cFrameAnimation::e_Stop, true);
      SetFrame(GetStageFrame(1));
    }
  }
  return cHouse::OnStateChange(from, to);
}

void cFactory::AddInput(i32 count) {
  if (count <= 0) return;
  if (m_pOwner) m_pOwner->NextHintStep(3, 0);
  m_Stock += count;
  if (m_pOwner) {
    m_pOwner->SendWindowMessage("garden", 2, 0);
    m_pOwner->OnFactoryInput(*this);
  }
}

bool cFactory::Activate() {
  if (m_HouseState != 2 || m_Stock < 1) return false;
  if (m_pOwner) m_pOwner->NextHintStep(3, 1);
  SetState(3);
  if (m_pOwner) m_pOwner->SendWindowMessage("garden", 2, 0);
  return true;
}

bool cFactory::Deactivate() {
  if (m_HouseState != 3) return false;
  SetState(2);
  if (m_pOwner) m_pOwner->SendWindowMessage("garden", 2, 0);
  return true;
}

void cFactory::Process() {
  cHouse::Process();
  // The mill's sails turn while it stands built.
  if (m_Name == "factory02" && m_Sprites.size() >= 2 && (m_HouseState == 2 || m_HouseState == 3)) {
    vek::cFrameAnimation& sails = m_Sprites[1].animation;
    if (sails.m_Mode == vek::cFrameAnimation::e_Stop) sails.SetMode(vek::cFrameAnimation::e_LoopForward, true);
    sails.Update(kStepSeconds);
  }
  if (m_HouseState != 3) return;
  // Fixed steps summed in floats fall a hair short of whole seconds: a run ends on the step
  // that reaches its work time within a thousandth of a step (7 s: the 210th).
  if (m_WorkTimer.Update(kStepSeconds) == vek::e_TweenRunning &&
      m_WorkTimer.duration - m_WorkTimer.elapsed > kStepSeconds * 1e-3f)
    return;
  m_Stock = std::max(0, m_Stock - 1);
  ++m_Produced;
  if (m_pOwner) {
    m_pOwner->CountProduced(m_Output);
    // The product goes on to the next factory of the chain only while the mission wants that
    // factory's product; otherwise the car sells it.
    cFactory* next = m_pOwner->FindFactoryByInput(m_Output);
    if (next && !m_pOwner->HasMissionTask(next->GetOutput())) next = nullptr;
    m_pOwner->AddTransfer(m_Output, *this, next);
  }
  SetState(2);
  if (m_pOwner) m_pOwner->SendWindowMessage("garden", 2, 0);
}

void cFactory::Draw() {
  if (m_Name == "factory02" && (m_HouseState == 2 || m_HouseState == 3) && m_Sprites.size() >= 2) {
    DrawSprite(m_Sprites[1], false);
    return;
  }
  cHouse::Draw();
}

bool cFactory::ReadState(vek::cBitStream& stream) {
  m_Stock = static_cast<i32>(stream.ReadInt());
  return true;
}

bool cFactory::WriteState(vek::cBitStream& stream) const {
  stream.WriteInt(static_cast<u32>(m_Stock));
  return true;
}

void cFactory::CopyFrom(const cFactory& f) {
  cHouse::CopyFrom(f);
  m_Category = e_catFactory;
  m_Input = f.m_Input;
  SetOutput(f.m_Output, f.m_WorkSeconds);
}
