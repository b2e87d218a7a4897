#include "game/world/object.h"

#include "engine/render/quad_batch.h"
#include "game/world/level.h"

cSprite cObject::s_Marker;

cObject::cObject(cLevel* level) : m_pLevel(level) {
  if (m_pLevel) {
    m_Id = m_pLevel->GetRegistry().Add(this);
    m_pLevel->AddToDrawList(this);
  }
  if (s_Marker.texture == 0) s_Marker = FindSprite("icons00", "target");
}

cObject::~cObject() {
  if (!m_pLevel) return;
  m_pLevel->GetRegistry().Remove(m_Id);
  m_pLevel->RemoveFromDrawList(this);
}

bool cObject::OnStateChange(vek::i32 /*from*/, vek::i32 to) {
  if (to == 2) Remove();
  return true;
}

void cObject::SetState(vek::i32 state) {
  if (state == m_State) return;
  if (OnStateChange(m_State, state)) m_State = state;
}

void cObject::Remove() {
  if (m_pLevel) m_pLevel->QueueRemove(m_Id);
}

bool cObject::SetSprite(const vek::string& sheet, const vek::string& area, vek::u32 mode) {
  const cSprite rec = FindSprite(sheet, area);
  if (rec.texture == 0) {
    m_Texture = 0;
    m_pFrames = nullptr;
    m_W = m_H = 0.0f;
    return false;
  }
  m_Texture = rec.texture;
  m_pFrames = rec.frames;
  m_W = rec.width;
  m_H = rec.height;
  m_Anim.m_Mode = mode;
  m_Anim.m_Frame = 0;
  m_Anim.m_Count = static_cast<vek::i32>(rec.frameCount);
  m_Anim.m_Elapsed = 0.0f;
  m_Anim.m_FrameTime = rec.secondsPerFrame < vek::kEpsilon ? 1.0f / 30.0f : rec.secondsPerFrame;
  m_Anim.m_Direction = 1;
  if (mode <= 5) m_Anim.SetMode(mode, true);
  return true;
}

vek::rectf cObject::GetRect() const { return {m_X - m_W * 0.5f, m_Y, m_W, m_H}; }

static void WriteI32(vek::cBitStream& s, vek::i32 v) { s.WriteInt(static_cast<vek::u32>(v)); }

bool cObject::Read(vek::cBitStream& stream) {
  const vek::i32 row = static_cast<vek::i32>(stream.ReadInt());
  const vek::i32 column = static_cast<vek::i32>(stream.ReadInt());
  SetCell(row, column);
  return true;
}

bool cObject::Write(vek::cBitStream& stream) const {
  const cCell c = GetCell();
  WriteI32(stream, c.i);
  WriteI32(stream, c.j);
  return true;
}

void cObject::DecBusy() {
  if (m_Busy != 0) --m_Busy;
  if (m_Busy < 0) m_Busy = 0;
}

void cObject::SetCell(vek::i32 row, vek::i32 column) {
  const vek::vec2 p = m_pLevel ? m_pLevel->CellToPos(row, column) : vek::vec2{};
  SetPosition(vek::vec2(p.x + 0.0f, p.y + 0.1f));
}

cCell cObject::GetCell() const { return m_pLevel ? m_pLevel->PointToCell(m_X, m_Y) : kNoCell; }

void cObject::Update() {
  m_Anim.Update(1.0f / 30.0f);
  const vek::i32 state = GetState();
  if (state == -1) SetState(0);
  else if (state == 2) Remove();
}

void cObject::Draw() {
  vek::cQuadBatch* batch = m_pLevel ? m_pLevel->GetBatch() : nullptr;
  if (!batch) return;
  vek::rectf r = GetRect();
  if (m_Texture && m_pFrames) {
    const vek::i32 frame = m_Anim.m_Frame >= 0 && m_Anim.m_Frame < m_Anim.m_Count ? m_Anim.m_Frame : 0;
    vek::DrawQuad(batch, m_Texture, r, m_pFrames[frame], 0xFFFFFFFFu);
  }
  if (r.w < 0.0f) {
    r.x += r.w;
    r.w = -r.w;
  }
  if (s_Marker.texture == 0 || !s_Marker.frames) return;
  for (vek::i32 i = 0; i < m_Busy; ++i) {
    const vek::f32 mw = s_Marker.width;
    vek::DrawQuad(batch, s_Marker.texture,
                  {r.x + r.w + (0.25f * static_cast<vek::f32>(i) - 1.0f) * mw, r.y, mw, s_Marker.height},
                  s_Marker.frames[0], 0xFFFFFFFFu);
  }
}
