#pragma once
// The garden world in the game: at the end of loading the particle textures, the play field
// "garden", the particle system and the flyer list are made, the holes layouts read and the
// field's "level.dat" joins every save; the game object then reaches the field through this
// link, and the field's questions of the rules are answered here.
#include <memory>

#include "game/app/garden_link.h"

class cLevel;
class cParticles;
class cFlyerList;

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
  void ClearLevel() override;

 private:
  cLevel* m_pLevel;
  std::unique_ptr<cParticles> m_pParticles;
  std::unique_ptr<cFlyerList> m_pFlyers;
};
