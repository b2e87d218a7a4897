#pragma once
// The island's buildings: cBuild -> cDecor -> cHouse -> cFactory. The logic here is headless;
// the island that owns the buildings is reached through iBuildingOwner, which tests fake.
#include <string>

#include "engine/core/types.h"
#include "game/island/house_rules.h"
#include "game/world/object.h"

class cHouse;

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
};

class cBuild : public cObject {
 public:
  cBuild(std::string name, iBuildingOwner* owner);
  vek::u32 GetType() const override { return 1; }
  vek::i32 GetCategory() const { return m_Category; }
  const std::string& GetName() const { return m_Name; }
  iBuildingOwner* GetOwner() const { return m_pOwner; }
  // One fixed step: processing runs only when the owner's island is not in mode 0.
  virtual void Step();
  virtual void Process() {}
  // Strict point test: a point on the edge is outside.
  bool Contains(vek::f32 x, vek::f32 y) const;
  bool Overlaps(const vek::rectf& r) const;
  // All four corners within the radius.
  bool IsNear(const vek::vec2& p, vek::f32 radius) const;
  void CopyFrom(const cBuild& b);
  // Pointer events from the island: 32 enter, 33 leave, 48 press. Houses keep their hover
  // and selection highlights with them.
  virtual void OnEvent(vek::i32 code, vek::i32 param);
  const cHighlight& GetHighlight() const { return m_Highlight; }
  // The serial number on the island and whether the player may build it now.
  vek::i32 GetNumber() const { return m_Number; }
  void SetNumber(vek::i32 number) { m_Number = number; }
  bool IsAvailable() const { return m_Available; }
  void SetAvailable(bool available) { m_Available = available; }

 protected:
  std::string m_Name;
  vek::i32 m_Category = 0;
  vek::i32 m_Number = 0;
  bool m_Available = false;
  bool m_Hovered = false;
  bool m_Pressed = false;
  cHighlight m_Highlight;
  iBuildingOwner* m_pOwner = nullptr;
};

// A building drawn from a sprite sheet: the construction animation's frames.
class cDecor : public cBuild {
 public:
  using cBuild::cBuild;
  vek::u32 GetType() const override { return 2; }
  void Step() override;
  // The sheet animation, kept as a frame count and a frame that advances at the sheet's rate.
  void SetFrames(vek::i32 count, vek::f32 framesPerSecond = 2.0f);
  vek::i32 GetFrameCount() const { return m_FrameCount; }
  vek::i32 GetFrame() const { return m_Frame; }
  void SetFrame(vek::i32 frame);
  void RestartAnimation(bool playing);

 protected:
  vek::i32 m_FrameCount = 0;
  vek::i32 m_Frame = 0;
  vek::f32 m_FrameTime = 0.5f;
  vek::f32 m_Elapsed = 0.0f;
  bool m_Playing = false;
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
  // Starts construction and pays; returns what was paid (the bank is changed in place).
  vek::i32 Buy(vek::i32& bank);
  vek::i32 GetStageFrame(vek::i32 stage) const;
  void StartFireworks(vek::i32 count);
  vek::i32 GetFireworksLeft() const { return m_FireworksLeft; }
  void CopyFrom(const cHouse& h);
  void SetPrice(vek::i32 price) { m_Price = price; }
  void SetValue(vek::i32 value) { m_Value = value; }
  vek::i32 GetPrice() const { return m_Price; }
  vek::i32 GetValue() const { return m_Value; }

 protected:
  std::string m_DisplayName;
  vek::i32 m_Price = 0;
  vek::i32 m_Value = 0;
  vek::i32 m_HouseState = -1;
  vek::f32 m_FireworksTimer = 0.0f;
  vek::i32 m_FireworksLeft = 0;
  bool m_ComicsStarted = false;
};

// A house that turns a harvested ware into a product: state 3 while working.
class cFactory : public cHouse {
 public:
  static constexpr vek::f32 kStep = 1.0f / 30.0f;
  cFactory(std::string name, std::string displayName, iBuildingOwner* owner);
  vek::u32 GetType() const override { return 4; }
  void SetInput(std::string ware) { m_Input = std::move(ware); }
  void SetOutput(std::string ware, vek::f32 workSeconds);
  const std::string& GetInput() const { return m_Input; }
  const std::string& GetOutput() const { return m_Output; }
  // The work time in fixed steps (7 s: 210).
  vek::i32 GetWorkSteps() const;
  bool OnStateChange(vek::i32 from, vek::i32 to) override;
  void Process() override;
  // A ware delivered: stocked, work starts when the factory is built and idle.
  void AddInput(vek::i32 count = 1);
  vek::i32 GetStock() const { return m_Stock; }
  vek::i32 GetProduced() const { return m_Produced; }
  void CopyFrom(const cFactory& f);

 private:
  std::string m_Input, m_Output;
  vek::f32 m_WorkSeconds = 0.0f;
  vek::i32 m_WorkLeft = 0;
  vek::i32 m_Stock = 0;
  vek::i32 m_Produced = 0;
};
