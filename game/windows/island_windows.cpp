#include "game/windows/island_windows.h"

#include "engine/app/game.h"
#include "engine/gui/widget.h"
#include "engine/gui/window.h"
#include "game/app/sprite.h"
#include "game/island/building_table.h"
#include "game/island/island.h"
#include "game/windows/comics_wf.h"
#include "game/windows/edit_wf.h"
#include "game/windows/garden_comics.h"
#include "game/windows/hint_gd_wf.h"
#include "game/windows/hint_mp_wf.h"
#include "game/windows/island_wf.h"
#include "game/windows/stat_garden_wf.h"
#include "game/windows/stat_island_wf.h"
#include "game/windows/controls/toolbar_ctrl.h"

namespace {

// The island's event for the pointer leaving it.
constexpr vek::u32 kIslandLeave = 33;

template <class T>
T* FindWidget(const char* name) {
  if (!vek::g_pGame) return nullptr;
  for (vek::cWidget* w : vek::g_pGame->GetWidgets())
    if (w && w->GetName() == name)
      if (auto* found = dynamic_cast<T*>(w)) return found;
  return nullptr;
}

// A building of the catalogue as the editor's shelf shows it: the template row's name and
// its first sprite, looked up once its sheet is loaded.
class cTemplateBuilding : public iCatalogueBuilding {
 public:
  explicit cTemplateBuilding(const cBuildingTemplateRow& row)
      : m_Name(row.name), m_Texture(row.sprites[0].texture ? row.sprites[0].texture : ""),
        m_Area(row.sprites[0].area ? row.sprites[0].area : "") {}
  const vek::string& GetName() const override { return m_Name; }
  const cSprite* GetFirstSprite() const override {
    if (m_Area.empty()) return nullptr;
    if (m_Sprite.texture == 0) FindSprite(m_Sprite, m_Texture, m_Area);
    return m_Sprite.texture != 0 ? &m_Sprite : nullptr;
  }
  // The built look (frame 4 of houses and factories).
  int GetPictureIndex() const override { return BuildingStageFrame(m_Name, 1); }

 private:
  vek::string m_Name, m_Texture, m_Area;
  mutable cSprite m_Sprite;
};

}  // namespace

cBuildingCatalogue& EditorCatalogue() {
  static cBuildingCatalogue catalogue;
  if (catalogue.GetCount() == 0)
    for (const cBuildingTemplateRow& row : BuildingTemplateRows()) catalogue.AddBuilding(new cTemplateBuilding(row));
  return catalogue;
}

vek::cWindowFunction* MakeIslandWindowFunction(const vek::string& name) {
  // The editor's shelf finds its buildings in the catalogue.
  if (name == "edit") SetToolbarCatalogue(&EditorCatalogue());
  if (name == "hint") return new cHintGDWF();
  if (name == "hint_mp") return new cHintMPWF();
  if (name == "island") return new cIslandWF();
  if (name == "edit") return new cEditWF();
  if (name == "stat_garden") return new cStatGardenWF();
  if (name == "stat_island") return new cStatIslandWF();
  if (name == "comics") return new cComicsWF();
  if (name == "comics00" || name == "comics01" || name == "comics02") return new vek::cWindowFunction();
  return nullptr;
}

cGardenComics* CreateGardenComics() {
  if (cGardenComics* made = FindComicsWidget()) return made;
  return new cGardenComics();
}

bool PlayGardenComics(vek::i32 mode) {
  cGardenComics* comics = FindComicsWidget();
  if (!comics || !vek::g_pGame) return false;
  comics->SetMode(mode);
  // A comic that has the focus already starts again from its first page.
  if (vek::g_pGame->GetFocusWidget() == comics)
    comics->OnActivate();
  else
    vek::g_pGame->SetFocusWidget("comics");
  return true;
}

cIsland* FindIslandWidget() { return FindWidget<cIsland>("island"); }
cGardenComics* FindComicsWidget() { return FindWidget<cGardenComics>("comics"); }

void ClearIslandHover() {
  if (cIsland* island = FindIslandWidget()) island->OnEvent(kIslandLeave, 0);
}

bool GetIslandPlaceOnScreen(vek::u32 place, vek::vec2* point) {
  const cIsland* island = FindIslandWidget();
  if (!island || place >= island->GetPaths().markers.size()) return false;
  if (point) *point = island->GetPaths().markers[place] - island->GetScroll();
  return true;
}
