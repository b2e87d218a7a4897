#pragma once
// What the play windows (score, mission start and goal, garden bar, mission finish, upgrades)
// ask of the running game beyond the profile (CurrentPlayer) and the window switch
// (GetWindowHost): the rules object, the pause state of the mission, the field's shop, the
// island's factories, hints, sounds and the game-wide effect lists. The game object registers
// its own with SetPlayHost; tests register a fake. Every operation has a plain answer here, so
// the windows run without a game.
#include "engine/core/types.h"

namespace vek {
class cMusic;
}
class cFlyerList;
class cFloatingTexts;
class cGameRules;
class cParticles;

// An island factory as the garden bar's chain items show it.
class iChainFactory {
 public:
  virtual ~iChainFactory() = default;
  // 2 idle, 3 working.
  virtual vek::i32 GetState() const = 0;
  virtual vek::i32 GetInputWare() const = 0;
  virtual vek::i32 GetOutputWare() const = 0;
  // Units of input waiting.
  virtual vek::i32 GetStock() const = 0;
  // Seconds worked on the current unit and seconds a unit takes.
  virtual vek::f32 GetWorkDone() const = 0;
  virtual vek::f32 GetWorkTime() const = 0;
  // Starts work on one unit of the stock.
  virtual void Activate() = 0;
};

class cPlayHost {
 public:
  cPlayHost();
  virtual ~cPlayHost();
  cPlayHost(const cPlayHost&) = delete;
  cPlayHost& operator=(const cPlayHost&) = delete;

  // The game's rules on the current profile (money, bank, upgrades, grades, award flags):
  // the game object's while there is one.
  virtual cGameRules& Rules();

  // The pause state of the mission: 0 runs; 1 the mission start, 2 the mission finish, 3 the
  // upgrades window hold it.
  // (The game object's while there is one.)
  virtual vek::i32 GetPauseState() const;
  virtual void SetPauseState(vek::i32 state);

  // The field (the engine's widget of class cLevel): whether a level is played, the shop's
  // picks and the tool bars' enabled items.
  virtual bool HasLevel();
  virtual void SelectSeed(vek::i32 ware);
  virtual void BuyAnimal(vek::i32 kind);
  virtual void UpdateToolbars();

  // The island factory whose output is the ware (the island widget's); null when none.
  virtual iChainFactory* FindFactoryMaking(vek::i32 ware);

  // The text-table entry of a key (the key itself without a window host).
  virtual vek::string GetText(const vek::string& key);
  // Sound `id` of the game's sound table.
  virtual void PlaySound(vek::i32 id);
  // Hints and training: the active hint steps on when it is `hint` at `step`; a training step.
  virtual void NextHintStep(vek::i32 hint, vek::i32 step);
  virtual void ShowTraining(vek::i32 step);

  // Game-wide effect lists and the level's music (null when none).
  virtual cParticles* GetParticles();
  virtual cFlyerList* GetFlyers();
  virtual cFloatingTexts* GetFloatingTexts();
  virtual vek::cMusic* GetMusic();

 private:
  vek::i32 m_PauseState = 0;
  cGameRules* m_pRules;
};

// The registered host, or a plain one while none is registered.
cPlayHost* GetPlayHost();
// The game object registers itself (a test its fake); null unregisters.
void SetPlayHost(cPlayHost* host);

// Helpers the play windows share.
namespace vek {
class cCtrl;
}
// The text of a label (nothing for a control of another class or null).
void SetControlText(vek::cCtrl* control, const vek::string& text);
// An image takes the sheet as its texture and the area's first frame as its texture
// coordinates. When the sheet has no such area the image is hidden (it is not shown again
// here: the caller shows it). True when the area was found.
bool SetControlPicture(vek::cCtrl* control, const vek::string& sheet, const vek::string& area);
// Shows (e_Visibility set) or hides a control; null does nothing.
void ShowControl(vek::cCtrl* control, bool shown);
// The centre of a control's rectangle (0, 0 for null).
struct cPoint2 {
  vek::f32 x = 0.0f, y = 0.0f;
};
cPoint2 ControlCentre(const vek::cCtrl* control);
// A burst of the game's particles at the centre of a control.
void BurstAt(const vek::cCtrl* control, vek::u32 count, vek::f32 spread);
// A flyer of the game's flyer list with the sheet's area; where the sheet lacks it, the coin
// and the star of the play windows' own icons fly instead. Null without a flyer list.
class cFlyer;
cFlyer* AddPlayFlyer(const vek::string& sheet, const vek::string& area, vek::f32 spacing, vek::u32 trailPoints);
