#pragma once
// The garden world in the game: at the end of loading the particle textures, the play field
// "garden", the particle system and the flyer list are made, the holes layouts read and the
// field's "level.dat" joins every save; the game object then reaches the field through this
// link, and the field's questions of the rules are answered here.
#include <memory>

#include "game/app/garden_link.h"
#include "game/play/water_pump_timer.h"

class cLevel;
class cParticles;
class cFlyerList;
struct cBalance;

class cGardenWorld : public cGardenLink {
 public:
  // The field is the engine's widget (the engine deletes it); the effect lists are owned here.
  cGardenWorld(cGarden& garden, cLevel* level);
  ~cGardenWorld() override;

  cLevel* GetLevel() const { return m_pLevel; }

  cParticles* GetParticles() override { return m_pParticles.get(); }
  cFlyerList* GetFlyers() override { return m_pFlyers.get(); }
  void ShowLevel() override;
  bool HasGardener() override;
  bool IsFieldFocused() override;
  // The end of a level: the ware transfers, floating texts and flyers go, the gardener drops
  // its work, the bin is emptied and what lived on the field is cleared away; the gardener,
  // the tools, the car, the pump and the holes stay.
  void ClearLevel() override;

  // ---- the field's answers to the world's services
  // The game's balance record (upgrade effects and the field's fallback prices).
  const cBalance* GetBalance() override { return m_pBalance.get(); }
  // The task indicators show the new counts.
  void DecWareTask(vek::i32 ware) override;
  void DecKindTask(vek::i32 kind) override;
  // A hint that opens stops the gardener's work: its queue is emptied and its targets freed.
  // The hints' and tips' targets on the field (see field_targets.h).
  bool FindFieldTarget(const vek::string& target, vek::f32* rect) override;
  // The field's side of the hints (see field_hints.h).
  int CheckHintStep(int hint, int step) override;
  bool HintSituation(int hint) override;
  // While the pump is closed and the field has the focus: once the default sort's first plant
  // asked for water, the pump opens 5 s later.
  void StepWaterPump() override;
  // A burst of particles at the centre of the field's object ("can", "pump").
  void BurstAt(const vek::string& object, int count) override;
  // The field shows its hidden holes (see cLevel::ShowHiddenHoles).
  void ShowHiddenHoles() override;
  void AddLayoutHoles() override;

  // ---- the rules' world, as far as the field holds it
  void UpdateToolbars() override;
  // The marks of the objects serving the ware's task (0: of every object).
  void UpdateNeedFlags(vek::i32 ware) override;
  // The gardener walks at the speed of a new speed level.
  void ApplyUpgrade(int upgrade, int level) override;
  void BindTaskControls(std::vector<cMissionTask>& tasks) override;
  int GetTaskIndicatorState(int index) override;
  void ResetTaskIndicators() override;
  int GetCarState() override;
  // The can standing on its own cell of the field (not one the gardener carries) is filled up.
  void RefillToolCellWater() override;
  void ResetGardenerWork() override;
  bool HasPlantSort(int offset) override;
  bool IsPlantSort(vek::i32 ware) override;
  vek::i32 GetWarePrice(vek::i32 ware) override;
  vek::i32 CountTransfers(vek::i32 ware) override;

  // ---- the rules' host: the ware manager's names
  vek::i32 GetWareId(const vek::string& name) override;
  vek::string GetWareName(vek::i32 id) override;

 private:
  cLevel* m_pLevel;
  std::unique_ptr<cParticles> m_pParticles;
  std::unique_ptr<cFlyerList> m_pFlyers;
  std::unique_ptr<cBalance> m_pBalance;
  cWaterPumpTimer m_PumpTimer;
};
