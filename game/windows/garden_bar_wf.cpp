#include "game/windows/garden_bar_wf.h"

#include <algorithm>

#include "engine/core/log.h"
#include "engine/gui/gui.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/window.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/app/sprite.h"
#include "game/app/window_host.h"
#include "game/windows/controls/toolbar_ctrl.h"
#include "game/windows/play_host.h"
#include "game/world/ware_manager.h"

using vek::f32;
using vek::i32;
using vek::u32;

std::vector<cChainItem*>& ChainItems() {
  static std::vector<cChainItem*> items;
  return items;
}

namespace {

iChainItems* g_pRegistered = nullptr;

// The shelf pieces of "gui_plants" keep the sheet's transparent ring of one texel on every
// side; on the sides where two pieces meet it would show the meadow through a seam, so those
// sides are cut off the pieces' texture rectangles (before the bar records its middle strip).
void TrimShelfPiece(vek::cCtrl* control, const char* area, bool left, bool right) {
  auto* image = dynamic_cast<vek::cImageCtrl*>(control);
  const cSprite sprite = FindSprite("gui_plants", area);
  if (!image || sprite.texture == 0 || sprite.width <= 2.0f) return;
  const vek::rectf uv = image->GetUVRect();
  const f32 texel = sprite.Frame().w / sprite.width;
  image->SetUVPos(uv.x + (left ? texel : 0.0f), uv.y, 0);
  image->SetUVSize(uv.w - texel * static_cast<f32>(int{left} + int{right}), uv.h, 0);
}

void AddWare(cToolbarCtrl* bar, u32 ware) {
  vek::rectf uv[cToolbarItemCtrl::kPictures] = {};
  SetupPlantButton(uv, nullptr, ware);
  bar->AddWareItem(uv, static_cast<i32>(ware));
}

}  // namespace

cGardenWF::cGardenWF() = default;

cGardenWF::~cGardenWF() {
  Unlist();
  if (g_pRegistered == this) {
    SetChainItems(nullptr);
    g_pRegistered = nullptr;
  }
}

void cGardenWF::Unlist() {
  std::vector<cChainItem*>& all = ChainItems();
  for (cChainItem& item : m_Items) all.erase(std::remove(all.begin(), all.end(), &item), all.end());
}

int cGardenWF::OnAfterCreate(vek::cWindow* window) {
  m_pPlants = GetControlAs<cToolbarCtrl>(window, "plants");
  m_pGrass = GetControlAs<cToolbarCtrl>(window, "grass");
  m_pAnimals = GetControlAs<cToolbarCtrl>(window, "animals");

  for (u32 i = 0; i < kItems; ++i) {
    cChainItem& item = m_Items[i];
    const std::string n = std::to_string(i);
    item.button = GetControlByName(window, "but_" + n);
    item.arrow = GetControlByName(window, "arrow_" + n);
    item.inputIcon = GetControlByName(window, "img0_" + n);
    item.inputCount = GetControlByName(window, "lb0_" + n);
    item.outputIcon = GetControlByName(window, "img1_" + n);
    item.progress = GetControlByName(window, "progress_" + n);
    item.progressBack = GetControlByName(window, "back_progress_" + n);
    if (item.button) {
      item.buttonRect = item.button->GetRect();
      if (i == 0) {
        cChainItem::s_ShownX = item.buttonRect.x;
        cChainItem::s_HiddenX = -1.0f - item.buttonRect.w;
      }
    }
    if (!item.IsComplete()) return ReportError(window, "wndAfterCreate: factory control invalid\n");
    // The layout gives the icons the bare sheet: they show a ware only once a factory is
    // bound, so a fresh row, or one for a ware no factory makes, draws no icon at all.
    if (item.GetFactory()) {
      item.SetFactory(item.GetFactory());
    } else {
      ShowControl(item.inputIcon, false);
      ShowControl(item.outputIcon, false);
    }
  }
  if (!m_pPlants || !m_pGrass || !m_pAnimals) return ReportError(window, "wndAfterCreate");

  // The program-wide list holds the rows of the garden bar made last, each once: a second
  // creation does not list them twice, and a window function that is gone takes its rows off.
  m_List.clear();
  ChainItems().clear();
  for (cChainItem& item : m_Items) {
    m_List.push_back(&item);
    ChainItems().push_back(&item);
  }
  SetChainItems(this);
  g_pRegistered = this;

  for (auto [bar, name] : {std::pair{m_pPlants, "plants"}, std::pair{m_pGrass, "grass"}, std::pair{m_pAnimals, "animals"}}) {
    const std::string n = name;
    vek::cCtrl* left = GetControlByName(window, "left_" + n);
    vek::cCtrl* middle = GetControlByName(window, "center_" + n);
    vek::cCtrl* right = GetControlByName(window, "right_" + n);
    TrimShelfPiece(left, "bar_left", false, true);
    TrimShelfPiece(middle, "bar_center", true, true);
    TrimShelfPiece(right, "bar_right", true, false);
    bar->SetDecorations(left, middle, right);
    bar->DeleteAllItems();
    bar->SetTexture("gui_plants");
  }
  if (g_pWareManager) {
    for (const char* name : {"grass", "flowers"}) {
      const i32 id = g_pWareManager->GetWareId(name);
      if (id != kNoWare) AddWare(m_pGrass, static_cast<u32>(id));
    }
    for (u32 id = 0; id < g_pWareManager->GetCount(); ++id) AddWare(m_pPlants, id);
  }
  for (i32 kind = 0; kind < 4; ++kind) m_pAnimals->AddAnimalItem(kind);
  if (vek::cCtrl* frame = GetControlByName(window, "MainFrame")) frame->EnableState(vek::cCtrl::e_Disabled);
  return HandleMessage(window, vek::e_wndAfterCreate, 0, 0);
}

void cGardenWF::RefreshToolbars() {
  const cPlayer* player = CurrentPlayer();
  const i32 last = player ? player->lastSort : -1;
  const i32 kinds = player ? player->animalKinds : -1;
  m_pPlants->UpdateLayout();
  const u32 n = m_pPlants->GetVisibleCount();
  const u32 shown = static_cast<u32>(last + 1);
  m_pPlants->SetFirstVisible(shown > n ? shown - n : 0);
  for (cToolbarCtrl* bar : {m_pGrass, m_pAnimals}) {
    bar->UpdateLayout();
    ShowControl(bar, kinds >= 0);
  }
}

int cGardenWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (!IsReady()) return HandleMessage(window, message, p1, p2);
  cPlayHost* host = GetPlayHost();
  switch (message) {
    case vek::e_wndAfterCreate:
      return OnAfterCreate(window);
    case vek::e_wndShow:
      // The bar comes on screen at the start of every level: its shelves follow the player's
      // unlocks from the first frame (a row with nothing unlocked yet is hidden, posts and all).
      RefreshToolbars();
      break;
    case vek::e_wndTimer: {
      const f32 seconds = vek::cGUI::ParamToTime(p1);
      for (cChainItem* item : m_List) item->Update(seconds);
      cChainItem::StepBlink(seconds);
      break;
    }
    case vek::e_ntfButtonClick:
      for (cChainItem* item : m_List)
        if (item->button && item->button->GetID() == p2) {
          if (item->GetFactory()) {
            item->GetFactory()->Activate();
            item->Refresh();
            host->PlaySound(24);
          }
          break;
        }
      break;
    case vek::e_ntfListChoose: {
      if (!host->HasLevel()) break;
      cToolbarCtrl* bar = nullptr;
      for (cToolbarCtrl* b : {m_pPlants, m_pGrass, m_pAnimals})
        if (b && b->GetID() == p2) bar = b;
      // A pick names an item of the row; any other index is not a pick.
      if (!bar || p1 >= bar->GetItemCount()) {
        if (bar) vek::LogWarning("cGardenWF", "pick %u of '%s' is not an item\n", p1, bar->GetName());
        break;
      }
      const u32 data = bar->GetItemData(p1);
      if (bar == m_pAnimals)
        host->BuyAnimal(static_cast<i32>(data));
      else
        host->SelectSeed(static_cast<i32>(data));
      break;
    }
    case kRefreshMessage:
      if (p1 == 2 || p1 == 0) {
        for (cChainItem* item : m_List) {
          if (p2 == 20)
            item->HideNow();
          else
            item->Refresh();
        }
      }
      if (p1 == 1 || p1 == 0) RefreshToolbars();
      break;
    default:
      break;
  }
  return HandleMessage(window, message, p1, p2);
}

cChainItem* cGardenWF::Mine(void* item) {
  for (cChainItem* mine : m_List)
    if (mine == item) return mine;
  return nullptr;
}

void* cGardenWF::FindParkedItem() {
  for (cChainItem* item : m_List)
    if (item->GetState() == cChainItem::e_Hidden) return item;
  return nullptr;
}

void cGardenWF::ShowFactoryOf(void* item, i32 ware) {
  cChainItem* row = Mine(item);
  if (!row) return;
  row->SetFactory(GetPlayHost()->FindFactoryMaking(ware));
  row->Show();
}

void cGardenWF::Hide(void* item) {
  if (cChainItem* row = Mine(item)) row->Hide();
}

i32 cGardenWF::GetFactoryInput(i32 ware) {
  iChainFactory* factory = GetPlayHost()->FindFactoryMaking(ware);
  return factory ? factory->GetInputWare() : kNoWare;
}
