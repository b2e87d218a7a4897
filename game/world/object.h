#pragma once
// The base of everything that stands on the garden's grid: an id in the play field's registry,
// a state with a veto hook, a position and a cell, a sprite with a frame animation, a busy
// counter (drawn as target markers) and the first fields of its level-file record.
#include "engine/core/bitstream.h"
#include "engine/core/geometry.h"
#include "engine/core/types.h"
#include "engine/render/frame_animation.h"
#include "game/app/sprite.h"
#include "game/app/ware_id.h"

class cLevel;

// A grid cell {row, column}; rows count upwards from the bottom of the field.
struct cCell {
  vek::i32 i = -1;
  vek::i32 j = -1;
  bool operator==(const cCell&) const = default;
  bool IsSentinel() const { return i == -1 && j == -1; }
};
inline constexpr cCell kNoCell{-1, -1};

// Type identifiers: a family bit and, for members, one low bit each.
enum eObjectType : vek::u32 {
  e_TypeGardener = 0x80000000u,
  e_TypePlant = 0x20000000u,
  e_TypeHole = 0x10000000u,
  e_TypeAnimal = 0x08000000u,
  e_TypeOstrich = 0x08000001u,
  e_TypePeacock = 0x08000002u,
  e_TypeGoat = 0x08000004u,
  e_TypeBee = 0x04000000u,
  e_TypeAnimalProduct = 0x02000000u,
  e_TypeEgg = 0x02000001u,
  e_TypeNib = 0x02000002u,
  e_TypeTool = 0x00100000u,
  e_TypeToolWater = 0x00100001u,
  e_TypeToolWeed = 0x00100002u,
  e_TypeToolBin = 0x00100004u,
  e_TypeWorkStation = 0x00080000u,
  e_TypeCar = 0x00080001u,
  e_TypeWaterPump = 0x00080002u,
  e_TypeHive = 0x00080004u,
};


class cObject {
 public:
  explicit cObject(cLevel* level);
  virtual ~cObject();
  cObject(const cObject&) = delete;
  cObject& operator=(const cObject&) = delete;

  virtual vek::u32 GetType() const { return 0; }
  // All bits of the mask set in the identifier (mask 0 matches everything).
  virtual bool IsType(vek::u32 mask) const { return (GetType() & mask) == mask; }
  // Whether the change is allowed; the base queues the object's removal for state 2.
  virtual bool OnStateChange(vek::i32 from, vek::i32 to);
  virtual void SetState(vek::i32 state);
  virtual vek::i32 GetState() const { return m_State; }
  virtual void Remove();
  virtual vek::u32 GetId() const { return m_Id; }
  virtual bool SetSprite(const vek::string& sheet, const vek::string& area, vek::u32 mode);
  // {x - w/2, y, w, h}.
  virtual vek::rectf GetRect() const;
  virtual bool HitTest(const vek::vec2& p) const { return GetRect().Contains(p); }
  virtual void SetSelected(bool selected) { m_bSelected = selected; }
  virtual bool IsSelected() const { return m_bSelected; }
  virtual vek::f32 GetDepth() const { return m_Y; }
  // The level-file record: row and column, 4 bytes each, low byte first.
  virtual bool Read(vek::cBitStream& stream);
  virtual bool Write(vek::cBitStream& stream) const;
  virtual void IncBusy() { ++m_Busy; }
  virtual void DecBusy();
  virtual void ResetBusy() { m_Busy = 0; }
  virtual void MoveBy(const vek::vec2& d) { MoveBy(d.x, d.y); }
  virtual void MoveBy(vek::f32 dx, vek::f32 dy) { SetPosition(m_X + dx, m_Y + dy); }
  virtual void SetPosition(const vek::vec2& p) { SetPosition(p.x, p.y); }
  virtual void SetPosition(vek::f32 x, vek::f32 y) {
    m_X = x;
    m_Y = y;
  }
  virtual void SetCell(vek::i32 row, vek::i32 column);
  virtual void SetCell(const cCell& cell) { SetCell(cell.i, cell.j); }
  virtual cCell GetCell() const;
  // The fixed step (1/30 s).
  virtual void Update();
  // Per frame with the frame time.
  virtual void Move(vek::f32 /*dt*/) {}
  virtual void Draw();
  // The plant an animal has chosen to eat; 0 none (and for everything but animals).
  virtual vek::u32 GetFood() const { return 0; }

  // What the play field's input asks of the objects that live on it; the classes that have
  // the answer override these.
  virtual vek::u32 GetWareId() const { return kNoWare; }  // a plant's sort
  virtual vek::i32 GetStage() const { return -1; }         // a plant's need (0 water)
  virtual bool IsReady() const { return false; }           // a hive full of honey
  virtual bool IsTaken() const { return false; }           // a tool carried by the gardener
  // Kept by the field's need update: whether a mission task still wants what the object
  // gives (plants, animals, hives).
  virtual void SetNeeded(bool /*needed*/) {}
  // The object it belongs to (a bee's hive).
  virtual void SetHome(vek::u32 /*id*/) {}
  // Drops what it has gathered (a hive's honey).
  virtual void ClearStock() {}

  cLevel* GetLevel() const { return m_pLevel; }
  vek::vec2 GetPosition() const { return {m_X, m_Y}; }
  vek::f32 GetWidth() const { return m_W; }
  vek::f32 GetHeight() const { return m_H; }
  void SetSize(vek::f32 w, vek::f32 h) {
    m_W = w;
    m_H = h;
  }
  vek::i32 GetBusy() const { return m_Busy; }
  vek::u32 GetTexture() const { return m_Texture; }
  const vek::cFrameAnimation& GetAnimation() const { return m_Anim; }
  const vek::rectf* GetFrames() const { return m_pFrames; }

  // The target marker shared by all objects ("target" of "icons00").
  static const cSprite& GetMarker() { return s_Marker; }
  // Forgets the marker so the next object looks it up again (after the textures changed).
  static void ResetMarker() { s_Marker = {}; }

 protected:
  cLevel* m_pLevel = nullptr;
  vek::u32 m_Id = 0;
  vek::i32 m_State = -1;
  bool m_bSelected = false;
  vek::f32 m_X = 0.0f, m_Y = 0.0f;
  vek::f32 m_W = 1.0f, m_H = 1.0f;
  vek::u32 m_Texture = 0;
  const vek::rectf* m_pFrames = nullptr;
  vek::cFrameAnimation m_Anim;
  vek::i32 m_Busy = 0;

 private:
  static cSprite s_Marker;
};
