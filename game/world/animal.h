#pragma once
// The animals of the field: they live in a pen of cells, wander, get hungry, run to a grass
// plant and eat it, and now and then give a product (the ostrich lays an egg, the peacock
// drops a nib, the goat waits to be milked). An animal that finds no grass in time leaves.
//
// States: -1 new, 8 appearing (bought), 0 start, 1 content, 3 hungry, 4 eating, 5 idle,
// 6 laying (or being milked), 7 leaving, 9 waiting to be milked (goat), 2 removed.
#include "engine/core/tween.h"
#include "game/world/object.h"

class cAnimal : public cObject {
 public:
  // GetParam indices.
  enum eParam : vek::u32 {
    e_ParamHunger = 0,    // seconds until hungry
    e_ParamEating = 1,    // seconds of eating
    e_ParamSearch = 2,    // seconds to find grass before leaving
    e_ParamIdle = 3,      // seconds of idling (0: never idles)
    e_ParamSpeed = 4,     // walk speed, units per second
    e_ParamProduct = 5,   // seconds between products
    e_ParamLaying = 6,    // seconds of laying (and of milking)
    e_ParamMilkWait = 7,  // seconds a goat waits to be milked
  };
  // Animal kinds as the shop and the mission count them.
  enum eKind : vek::i32 { e_KindOstrich = 0, e_KindGoat = 1, e_KindHive = 2, e_KindPeacock = 3 };

  explicit cAnimal(cLevel* level);
  ~cAnimal() override;

  vek::u32 GetType() const override { return e_TypeAnimal; }
  bool OnStateChange(vek::i32 from, vek::i32 to) override;
  vek::rectf GetRect() const override;
  bool HitTest(const vek::vec2&) const override { return false; }
  vek::f32 GetDepth() const override { return m_Y - 60.0f; }
  void Update() override;
  void Move(vek::f32 dt) override;
  void Draw() override;
  void SetNeeded(bool needed) override { m_bNeeded = needed; }

  // The nearest free grass plant (claimed for this animal); 0 when none.
  virtual vek::u32 FindFood();
  // The next cell of the wander: one random diagonal step, or a random pen cell.
  virtual cCell ChooseNextCell();
  virtual vek::f32 GetParam(vek::u32 index) const;
  // 0 hungry, 1 idle; -1 for no sound.
  virtual vek::i32 GetSoundId(vek::i32 which) const;
  virtual void Walk(const vek::vec2& target);
  virtual bool StartMove(const vek::string& texture, const vek::string& area, vek::u32 mode, bool flip);
  virtual bool IsCellFree(const cCell& cell) const;

  // The ware of its product (1000 for none) and the mission's kind of the species (-1 none).
  virtual vek::u32 GetProductWare() const { return kNoWare; }
  virtual vek::i32 GetKind() const { return -1; }

  // The need update's reset of an animal no task needs: no food, content, walking again.
  void Calm();
  bool IsNeeded() const { return m_bNeeded; }
  void SetQuickStart(bool quick) { m_bQuickStart = quick; }
  bool IsQuickStart() const { return m_bQuickStart; }
  vek::u32 GetFood() const override { return m_Food; }
  void SetPen(vek::i32 firstRow, vek::i32 firstColumn, vek::i32 lastRow, vek::i32 lastColumn);
  bool IsInPen(const cCell& cell) const;
  const vek::cAnimatedFloat& GetHungerTimer() const { return m_Hunger; }
  const vek::cAnimatedFloat& GetProductTimer() const { return m_Product; }
  const vek::cAnimatedFloat& GetStateTimer() const { return m_StateTimer; }
  const vek::cAnimatedFloat& GetVoiceTimer() const { return m_Voice; }
  const vek::cAnimatedVec2& GetWalk() const { return m_Walk; }
  const vek::string& GetTextureName() const { return m_TextureName; }

  // The game's generator: a float in [lo, hi) from one draw.
  static vek::f32 RandomFloat(vek::f32 lo, vek::f32 hi);

 protected:
  // Clears the timer and starts it from 0 towards the value.
  static void Restart(vek::cAnimatedFloat& timer, vek::f32 value, vek::f32 speed = 1.0f);
  // Whether the current mission asks for the species' product.
  bool IsProductWanted() const;
  // The voice's step: restarts the voice timer when it is not running; the result tells
  // whether it had just arrived.
  bool StepVoice();
  // Products come 0.6 times as fast on an open field.
  vek::f32 ProductInterval() const;
  // The step every species shares (after its own).
  void CommonUpdate();
  // A burst of particles at the rectangle's centre.
  void Burst(vek::u32 count, vek::f32 value) const;
  bool WalkWentRight() const { return m_Walk.start.x < m_Walk.target.x; }

  vek::cAnimatedVec2 m_Walk;
  vek::cAnimatedFloat m_Hunger;
  vek::cAnimatedFloat m_Product;
  vek::cAnimatedFloat m_StateTimer;
  vek::u32 m_Food = 0;
  vek::string m_TextureName;
  vek::cAnimatedFloat m_Voice;
  vek::cAnimatedFloat m_Scale;
  bool m_bQuickStart = false;
  vek::i32 m_Pen[4] = {0, 0, 0, 0};  // first row, first column, last row, last column
  bool m_bNeeded = true;
};

class cOstrich : public cAnimal {
 public:
  explicit cOstrich(cLevel* level);
  ~cOstrich() override;
  vek::u32 GetType() const override { return e_TypeOstrich; }
  void Update() override;
  vek::f32 GetParam(vek::u32 index) const override;
  vek::i32 GetSoundId(vek::i32 which) const override;
  vek::u32 GetProductWare() const override;
  vek::i32 GetKind() const override { return e_KindOstrich; }
};

class cPeacock : public cAnimal {
 public:
  explicit cPeacock(cLevel* level);
  ~cPeacock() override;
  vek::u32 GetType() const override { return e_TypePeacock; }
  vek::rectf GetRect() const override;
  void Update() override;
  vek::f32 GetParam(vek::u32 index) const override;
  vek::i32 GetSoundId(vek::i32 which) const override;
  // Each walking and eating area lives on its own sheet.
  bool StartMove(const vek::string& texture, const vek::string& area, vek::u32 mode, bool flip) override;
  vek::u32 GetProductWare() const override;
  vek::i32 GetKind() const override { return e_KindPeacock; }
};

class cGoat : public cAnimal {
 public:
  explicit cGoat(cLevel* level);
  ~cGoat() override;
  vek::u32 GetType() const override { return e_TypeGoat; }
  bool OnStateChange(vek::i32 from, vek::i32 to) override;
  // Only while it waits to be milked and the gardener has not queued it yet.
  bool HitTest(const vek::vec2& p) const override;
  void Update() override;
  void Draw() override;
  vek::f32 GetParam(vek::u32 index) const override;
  vek::i32 GetSoundId(vek::i32 which) const override;
  vek::u32 GetProductWare() const override;
  vek::i32 GetKind() const override { return e_KindGoat; }

  // Waiting for the gardener (state 9).
  bool IsWaitingToBeMilked() const { return m_State == 9; }
  // The gardener let go of the goat before taking its milk: it waits again while its wait
  // lasts (state 9), else it goes back to wandering (state 1).
  void ReleaseMilking();
  // What is left of the wait to be milked.
  const vek::cAnimatedFloat& GetMilkWait() const { return m_MilkWait; }

 private:
  // Whether the gardener is at the milking work now.
  bool IsBeingMilked() const;

  vek::cAnimatedFloat m_MilkWait;
};

// Registers the ostrich, peacock and goat makers with the field.
void RegisterAnimalMakers();
