#pragma once
// The gardener: the one worker of the garden. Clicks on the field become tasks in its queue;
// it works through them in order, checks each against the tool it carries, the selected seed
// and the player's money, walks in a straight line to the target and does the work there.
// It carries at most one tool and names the one it needs in a thought bubble.
#include <deque>
#include <memory>
#include <vector>

#include "engine/core/tween.h"
#include "game/world/gardener_base.h"
#include "game/app/sprite.h"

namespace vek {
class cSound;
}
struct cBalance;
class cPlant;

class cGardener : public cGardenerBase {
 public:
  static constexpr vek::f32 kStep = 1.0f / 30.0f;
  // Seconds the need bubble shows.
  static constexpr vek::f32 kNeedSeconds = 3.0f;
  // Money one unit of water costs at the pump.
  static constexpr vek::i32 kWaterPrice = 5;

  // The need bubble's icons.
  enum eNeed : vek::i32 { e_NeedBin, e_NeedWeed, e_NeedWater, e_NeedStock, e_NeedPump };
  // The states of the work (the object's states 0..3 take tasks and walk).
  enum eState : vek::i32 {
    e_StateNew = -1,
    e_StateStart = 0,
    e_StateWalk = 1,
    e_StateRemoved = 2,
    e_StateIdle = 3,
    e_StateSow = 4,  // start, work, end: 4, 5, 6
    e_StateWater = 7,
    e_StateWeed = 10,
    e_StateHarvest = 13,
    e_StatePickUp = 16,
    e_StateHoney = 19,
    e_StateMilk = 22,
    e_StatePump = 25,
    e_StateCar = 28,  // start, end: 28, 29
  };

  explicit cGardener(cLevel* level);
  ~cGardener() override;

  // ---- cObject
  bool OnStateChange(vek::i32 from, vek::i32 to) override;
  vek::rectf GetRect() const override;
  bool HitTest(const vek::vec2&) const override { return false; }  // clicks fall through to the cell
  vek::f32 GetDepth() const override { return m_Y - 10.0f; }
  using cObject::SetPosition;
  // The held tool follows at (x, y + 15).
  void SetPosition(vek::f32 x, vek::f32 y) override;
  void Update() override;
  void Move(vek::f32 dt) override;
  void Draw() override;

  // Plays an area so that `loops` passes over its frames take `duration` seconds.
  virtual bool PlayAnimation(const vek::string& sheet, const vek::string& area, vek::i32 loops, vek::f32 duration,
                             vek::u32 mode);

  // ---- the queue
  void AddTaskCell(const cCell& cell) override;
  void AddTaskObject(vek::u32 id) override;
  void AddTaskAction(vek::u32 ware) override;
  void AddTaskByType(vek::u32 mask) override;
  virtual void DropFirstTask();
  void ReleaseTaskTargets() override;
  // Whether the task can be done now; shows or hides the need bubble.
  virtual bool CanDoTask(const cGardenerTask& task);
  // At the front task's cell: starts its work (or nothing).
  virtual void BeginTask();
  virtual void OnArrive();

  // ---- tools and seed
  virtual bool TakeTool(vek::u32 id);
  vek::i32 GetHeldToolKind() const override;
  virtual void DropTool();
  virtual bool CanUseTool() const;
  virtual bool SetSeed(vek::u32 ware);
  void ClearSeed() override;
  vek::u32 GetSeed() const override { return m_Seed; }
  void SetSpeed(vek::f32 speed) override;

  // ---- the need bubble
  virtual void ShowNeed(vek::i32 icon);
  virtual void HideNeed();

  const std::deque<cGardenerTask>& GetTasks() const override { return m_Tasks; }
  vek::u32 GetHeldTool() const { return m_HeldTool; }
  vek::u32 GetWorkTarget() const { return m_WorkTarget; }
  vek::u32 GetGoatTarget() const { return m_GoatTarget; }
  vek::i32 GetLoopsLeft() const { return m_LoopsLeft; }
  // The texture of the bubble's icon (0: none) and whether the bubble shows.
  vek::u32 GetNeedTexture() const { return m_NeedTexture; }
  const vek::rectf& GetNeedFrame() const { return m_NeedFrame; }
  bool IsNeedShown() const { return m_NeedTexture != 0 && m_NeedTimer.current != m_NeedTimer.target; }
  const vek::cAnimatedVec2& GetWalk() const { return m_Walk; }
  const vek::cAnimatedFloat& GetWorkTimer() const { return m_WorkTimer; }

  // An upgrade row's entry at the player's level of that upgrade; 0 past the row's end.
  static vek::f32 UpgradeValue(const std::vector<vek::f32>& row, vek::i32 upgrade);

 private:
  // gardener_work.cpp: the state machine.
  void StepState();
  void EnterState(vek::i32 state);
  void LeaveState(vek::i32 state, vek::i32 next);
  void TakeNextTask();
  // The animation of a once or ping-pong area has ended (also when it is too short to play).
  bool IsAnimEnded() const;
  void CountLoops(vek::i32 prevFrame);
  // Runs the work timer one step; true while it runs.
  bool StepWorkTimer();
  void StartWorkTimer(vek::f32 seconds);
  // The sprite of the state; an area that cannot be found stops the animation.
  void ShowSprite(const vek::string& sheet, const vek::string& area, vek::u32 mode);
  void SowSeed();
  void FillAtPump();
  void LoadCar();
  // Hands a goat taken for milking back when the milking does not end normally.
  void ReleaseGoat();
  // The goat's seconds of milking.
  vek::f32 MilkingSeconds() const;

  // gardener.cpp
  cObject* Find(vek::u32 id) const;
  bool IsValid(vek::u32 id) const;
  cObject* HeldTool() const;
  bool IsCover(vek::u32 ware) const;
  vek::i32 SeedPrice() const;
  const char* ToolSheet() const;
  vek::vec2 WalkTarget(const cGardenerTask& task, cObject* obj) const;
  // The grid cell nearest to the gardener's position (its own cell when on the grid).
  cCell NearestGridCell() const;

  std::deque<cGardenerTask> m_Tasks;
  vek::u32 m_HeldTool = 0;
  vek::u32 m_WorkTarget = 0;
  vek::u32 m_Seed = kNoWare;
  vek::u32 m_ProductTarget = 0;
  vek::u32 m_HiveTarget = 0;
  vek::u32 m_GoatTarget = 0;
  vek::cAnimatedFloat m_WorkTimer;
  vek::cAnimatedVec2 m_Walk;
  vek::i32 m_Bounce = 0;
  vek::i32 m_LoopsLeft = 0;
  vek::u32 m_NeedTexture = 0;
  vek::rectf m_NeedFrame;
  vek::f32 m_NeedW = 0.0f, m_NeedH = 0.0f;
  vek::cAnimatedFloat m_NeedTimer;
  cSprite m_SeedIcon;
  cSprite m_Cloud, m_Ring;
  std::unique_ptr<vek::cSound> m_WeedChannel;
  std::unique_ptr<vek::cSound> m_WaterChannel;
};

// Registers the gardener's maker with the field.
void RegisterGardenerMaker();
