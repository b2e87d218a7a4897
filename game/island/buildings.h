#pragma once
// The island's buildings: cBuild -> cDecor -> cHouse -> cFactory. The logic here is headless;
// the island that owns the buildings is reached through iBuildingOwner, which tests fake.
#include <string>
#include <vector>

#include "engine/core/bitstream.h"
#include "engine/core/geometry.h"
#include "engine/core/tween.h"
#include "engine/core/types.h"
#include "engine/render/frame_animation.h"
#include "game/island/house_rules.h"
#include "game/world/object.h"

namespace vek {
class cQuadBatch;
}
class cBuild;
class cHouse;
class cFactory;

class iBuildingOwner {
 public:
  virtual ~iBuildingOwner() = default;
  virtual vek::i32 GetMode() const = 0;
  virtual vek::f32 RandomFloat(vek::f32 lo, vek::f32 hi) = 0;
  virtual void AddFirework(const vek::vec2& centre) = 0;
  // The comics that follow the statue's fireworks.
  virtual void StartComics() = 0;
  // Whether the building belongs to the newest level (its completion runs the after-level
  // sequence from the star flyer on).
  virtual bool IsNewestLevelBuilding(const cHouse& house) const = 0;
  virtual void StartAfterLevelStage(int stage, vek::f32 seconds) = 0;

  // What the map shows and where: the batch to draw into (none: nothing is drawn), the scroll
  // offset, the markers' pulse (0..1) and the shared wave phase (an angle).
  virtual vek::cQuadBatch* GetBatch() const { return nullptr; }
  virtual vek::vec2 GetScrollOffset() const { return {}; }
  virtual vek::f32 GetPulse() const { return 1.0f; }
  virtual vek::f32 GetWavePhase() const { return 0.0f; }
  // The building under the cursor and the one hanging on it in the editor.
  virtual cBuild* GetHoveredBuilding() const { return nullptr; }
  virtual cBuild* GetPlacedBuilding() const { return nullptr; }
  virtual void ForgetPlacedBuilding(const cBuild* /*building*/) {}
  // The player's bank.
  virtual vek::i32 GetBank() const { return 0; }
  virtual void SetBank(vek::i32 /*bank*/) {}
  // Game services the buildings use.
  virtual void PlaySound(vek::i32 /*index*/) {}
  virtual vek::string GetText(const vek::string& /*key*/) { return {}; }
  virtual void AddFloatingText(const vek::string& /*text*/, const vek::vec2& /*screen*/) {}
  virtual void SendWindowMessage(const vek::string& /*window*/, vek::i32 /*p1*/, vek::i32 /*p2*/) {}
  virtual void NextHintStep(vek::i32 /*hint*/, vek::i32 /*step*/) {}
  // A click on a building ends the training step that points at the island.
  virtual void EndTrainingOnClick() {}
  // A construction has finished: the profile forgets the level picked on the map, and the
  // newest level's building sends its star to the island's rating.
  virtual void OnConstructionFinished(cHouse& /*house*/, const vek::vec2& /*screenCentre*/) {}
  // Where a building's position is registered with the people (they fade behind it).
  virtual vek::rectf* AddAnchor() { return nullptr; }
  virtual void RemoveAnchor(const vek::rectf* /*anchor*/) {}
  // Factories: the next factory of a chain, whether an active mission task wants the ware,
  // the product's way on (to: the next factory, or null for the delivery car), the count of
  // produced wares, and a ware that reached a factory (plants no task needs any more lose
  // their mark).
  virtual cFactory* FindFactoryByInput(const vek::string& /*ware*/) const { return nullptr; }
  virtual bool HasMissionTask(const vek::string& /*ware*/) const { return false; }
  virtual void AddTransfer(const vek::string& /*ware*/, cFactory& /*from*/, cFactory* /*to*/) {}
  virtual void CountProduced(const vek::string& /*ware*/) {}
  virtual void OnFactoryInput(cFactory& /*factory*/) {}
};

// A sprite of a building: an area of a sheet with its own frame animation.
struct cDecorSprite {
  vek::u32 texture = 0;
  const vek::rectf* frames = nullptr;
  vek::u32 count = 0;
  vek::cFrameAnimation animation;
  vek::string textureName;
  vek::string areaName;
};

class cBuild : public cObject {
 public:
  cBuild(std::string name, iBuildingOwner* owner);
  ~cBuild() override;
  vek::u32 GetType() const override { return 1; }
  vek::i32 GetCategory() const { return m_Category; }
  const std::string& GetName() const { return m_Name; }
  iBuildingOwner* GetOwner() const { return m_pOwner; }
  // One fixed step: processing runs only when the owner's island is not in mode 0.
  virtual void Step();
  virtual void Process() {}
  virtual void DrawBack() {}
  void Draw() override {}
  virtual void DrawFront() {}
  // Strict point test: a point on the edge is outside.
  bool Contains(vek::f32 x, vek::f32 y) const;
  bool Overlaps(const vek::rectf& r) const;
  // All four corners within the radius.
  bool IsNear(const vek::vec2& p, vek::f32 radius) const;
  void CopyFrom(const cBuild& b);
  // Pointer events from the island: 32 enter, 33 leave, 48 press.
  virtual void OnEvent(vek::i32 code, vek::i32 param);
  // The building record: x and y (f32 each). Reading registers the position with the people
  // as an anchor, which the building gives back when it goes.
  bool Read(vek::cBitStream& stream) override;
  bool Write(vek::cBitStream& stream) const override;
  // The per-player record: nothing but for factories.
  virtual bool ReadState(vek::cBitStream& /*stream*/) { return true; }
  virtual bool WriteState(vek::cBitStream& /*stream*/) const { return true; }
  const vek::rectf* GetAnchor() const { return m_pAnchor; }
  // Takes an anchor the owner made for the building; given back when the building goes.
  void SetAnchor(vek::rectf* anchor) { m_pAnchor = anchor; }
  // The serial number on the island and whether the player may build it now.
  vek::i32 GetNumber() const { return m_Number; }
  void SetNumber(vek::i32 number) { m_Number = number; }
  bool IsAvailable() const { return m_Available; }
  void SetAvailable(bool available) { m_Available = available; }

 protected:
  std::string m_Name;
  vek::i32 m_Category = 0;
  vek::i32 m_Number = -1;
  bool m_Available = false;
  iBuildingOwner* m_pOwner = nullptr;
  vek::rectf* m_pAnchor = nullptr;
};

// A building drawn from sprite sheets: its sprites with their frame animations.
class cDecor : public cBuild {
 public:
  using cBuild::cBuild;
  vek::u32 GetType() const override { return 2; }
  void Step() override;
  void Draw() override;
  // Looks the area up and appends it; false (with a warning) when the texture, its areas or
  // the area's frames are missing. The current sprite does not change.
  bool AddSprite(const vek::string& texture, const vek::string& area);
  // Makes the sprite current and takes the size of its first frame; false for an index out
  // of range (nothing changes) or a sprite without frames (the size stays). The object's
  // sprite by sheet and area stays reachable beside it.
  using cBuild::SetSprite;
  bool SetSprite(vek::u32 index);
  const cDecorSprite& GetCurrentSprite() const;
  cDecorSprite& GetCurrentSprite();
  vek::u32 GetCurrentSpriteIndex() const { return m_Current; }
  const std::vector<cDecorSprite>& GetSprites() const { return m_Sprites; }
  void CopyFrom(const cDecor& d);
  // ARGB tint of the drawing.
  virtual vek::u32 GetColor() const { return 0xFFFFFFFFu; }

  // The current sprite's sheet animation. A building without sprites keeps a frame counter
  // of its own, so its stages run headless.
  void SetFrames(vek::i32 count, vek::f32 framesPerSecond = 2.0f);
  vek::i32 GetFrameCount() const { return GetCurrentSprite().animation.m_Count; }
  vek::i32 GetFrame() const { return GetCurrentSprite().animation.m_Frame; }
  // Clamped to the last frame.
  void SetFrame(vek::i32 frame);
  vek::f32 GetHoverAlpha() const { return m_Highlight.hover; }
  vek::f32 GetSelectionAlpha() const { return m_Highlight.selection; }

 protected:
  // Draws the current sprite; a sprite without frames draws the whole texture when asked.
  void DrawSprite(const cDecorSprite& sprite, bool wholeWithoutFrames) const;

  std::vector<cDecorSprite> m_Sprites;
  vek::u32 m_Current = 0;
  cHighlight m_Highlight;
};

class cHouse : public cDecor {
 public:
  cHouse(std::string name, std::string displayName, iBuildingOwner* owner);
  vek::u32 GetType() const override { return 3; }
  vek::i32 GetState() const override { return m_HouseState; }
  void SetState(vek::i32 state) override;
  bool OnStateChange(vek::i32 from, vek::i32 to) override;
  void Step() override;
  void Process() override;
  void DrawBack() override;
  void Draw() override;
  vek::u32 GetColor() const override;
  void OnEvent(vek::i32 code, vek::i32 param) override;
  // Starts construction and pays from the owner's bank.
  void Buy();
  // Starts construction and pays; returns what was paid (the bank is changed in place).
  vek::i32 Buy(vek::i32& bank);
  vek::i32 GetStageFrame(vek::i32 stage) const;
  void StartFireworks(vek::i32 count);
  vek::i32 GetFireworksLeft() const { return m_FireworksLeft; }
  // The rectangle's centre on the screen (the map scrolled by the owner's offset).
  vek::vec2 GetScreenCenter() const;
  void CopyFrom(const cHouse& h);
  void SetPrice(vek::i32 price) { m_Price = price; }
  void SetValue(vek::i32 value) { m_Value = value; }
  vek::i32 GetPrice() const { return m_Price; }
  vek::i32 GetValue() const { return m_Value; }
  const vek::string& GetDisplayName() const { return m_DisplayName; }

 protected:
  std::string m_DisplayName;
  vek::i32 m_Price = 0;
  vek::i32 m_Value = 0;
  vek::i32 m_HouseState = -1;
  vek::f32 m_FireworksTimer = 0.0f;
  vek::i32 m_FireworksLeft = 0;
  bool m_ComicsStarted = false;
};

// A house that turns units of one ware into units of another: state 3 while a run works.
// Wares arrive into the stock; the player starts each run, which takes one unit and sends
// the product on when the work time is over.
class cFactory : public cHouse {
 public:
  static constexpr vek::f32 kStep = 1.0f / 30.0f;
  cFactory(std::string name, std::string displayName, iBuildingOwner* owner);
  vek::u32 GetType() const override { return 4; }
  void SetInput(std::string ware) { m_Input = std::move(ware); }
  // The product and the seconds a run takes (1 s when not above zero); the product's icon
  // of "icons00" is kept for the windows when the sheet has it.
  void SetOutput(std::string ware, vek::f32 workSeconds);
  const std::string& GetInput() const { return m_Input; }
  const std::string& GetOutput() const { return m_Output; }
  vek::f32 GetWorkTime() const { return m_WorkSeconds; }
  // The work time in fixed steps (7 s: 210).
  vek::i32 GetWorkSteps() const;
  const vek::cAnimatedFloat& GetWorkTimer() const { return m_WorkTimer; }
  const vek::rectf& GetOutputIconFrame() const { return m_IconFrame; }
  const vek::rectf& GetOutputIconRect() const { return m_IconRect; }
  bool OnStateChange(vek::i32 from, vek::i32 to) override;
  void Process() override;
  void Draw() override;
  // Units of input arrived (a ware transfer or the car).
  void AddInput(vek::i32 count = 1);
  // Starts a run when built and idle with stock; stops one (the unit stays in the stock).
  bool Activate();
  bool Deactivate();
  vek::i32 GetStock() const { return m_Stock; }
  void SetStock(vek::i32 stock) { m_Stock = stock; }
  vek::i32 GetProduced() const { return m_Produced; }
  bool ReadState(vek::cBitStream& stream) override;
  bool WriteState(vek::cBitStream& stream) const override;
  void CopyFrom(const cFactory& f);

 private:
  std::string m_Input, m_Output;
  vek::f32 m_WorkSeconds = 1.0f;
  vek::i32 m_Stock = 0;
  vek::i32 m_Produced = 0;
  vek::cAnimatedFloat m_WorkTimer;
  vek::rectf m_IconFrame;
  vek::rectf m_IconRect;
};
