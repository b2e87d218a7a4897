// The field's headers first: they declare their own unsigned "no ware" id before the rules'
// one arrives with the link.
#include "game/world/effects.h"
#include "game/world/holes_layouts.h"
#include "game/world/level.h"
#include "game/world/particles.h"
#include "game/play/garden_world.h"
#include "game/play/play_steps.h"

#include "engine/app/game.h"
#include "engine/core/bitstream.h"
#include "engine/core/log.h"
#include "game/app/game_hooks.h"
#include "game/app/garden.h"
#include "game/app/player.h"

namespace {

// The play field of the running game; null outside its life.
cLevel* g_pLevel = nullptr;

void MakeField(cGarden& garden) {
  g_pLevel = new cLevel();
  garden.SetLink(std::make_unique<cGardenWorld>(garden, g_pLevel));
}

void ReadLayouts(cGarden& garden) {
  cDataManagerGD::ReadTheme("{StaticPath}/conf/holes.lvs", &garden.HolesLayouts());
}

void EndWorld(cGarden& garden) {
  // The game's own link again: the field outlives the game object by a little (the engine
  // deletes its widgets last) and must not reach effect lists that are gone.
  garden.SetLink(nullptr);
  g_pLevel = nullptr;
}

}  // namespace

cGardenWorld::cGardenWorld(cGarden& garden, cLevel* level)
    : cGardenLink(garden), m_pLevel(level), m_pParticles(std::make_unique<cParticles>()) {
  m_pParticles->LoadTextures();
  m_pFlyers = std::make_unique<cFlyerList>(level ? level->GetBatch() : nullptr, m_pParticles.get());
}

cGardenWorld::~cGardenWorld() {
  m_pFlyers.reset();
  if (m_pParticles) m_pParticles->ClearAll();
}

void cGardenWorld::ShowLevel() {
  cGardenLink::ShowLevel();  // the island's part
  if (vek::g_pGame && m_pLevel) vek::g_pGame->SetFocusWidget("garden");
}

bool cGardenWorld::HasGardener() { return m_pLevel && m_pLevel->IsObjectValid(m_pLevel->GetGardenerId()); }

bool cGardenWorld::IsFieldFocused() { return vek::g_pGame && vek::g_pGame->GetFocusWidgetName() == "garden"; }

void cGardenWorld::ClearLevel() {
  cGardenLink::ClearLevel();  // the island's part
  if (m_pLevel) m_pLevel->Clear();
}

void InstallGardenWorld() {
  AddLoadingStep(eLoadingStep::Widgets, &MakeField);
  AddLoadingStep(eLoadingStep::Layouts, &ReadLayouts);
  AddShutdownStep(&EndWorld);
  // The field's file joins every save, after save.dat and before the island's.
  AddWorldSaveFile({"level.dat",
                    [](vek::cBitStream& out, int) {
                      if (g_pLevel) g_pLevel->WriteLevel(out);
                      return true;
                    },
                    [](const vek::string&, int slot) {
                      if (g_pLevel) g_pLevel->Load(slot);
                    }});
}
