#include "game/windows/stat_garden_wf.h"

#include "engine/core/format.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/label_sys_ctrl.h"
#include "game/app/garden_services.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/world/ware_manager.h"

using vek::i32;
using vek::u32;

namespace {

// The training step whose arrow points at the island window's garden statistics button.
constexpr i32 kStatGardenTraining = 5;

i32 CountAt(const std::vector<i32>& counts, size_t i) { return i < counts.size() ? counts[i] : 0; }

void ShowSprite(vek::cCtrl* image, const char* texture, const cSprite& s) {
  auto* picture = dynamic_cast<vek::cImageCtrl*>(image);
  if (!picture || s.frameCount == 0 || !s.frames) return;
  picture->SetTexture(texture);
  picture->SetSize(s.width, s.height, 0);
  picture->SetUVPos(s.frames[0].x, s.frames[0].y, 0);
  picture->SetUVSize(s.frames[0].w, s.frames[0].h, 0);
}

}  // namespace

void SetStatCount(vek::cCtrl* label, i32 n, bool locked) {
  auto* text = dynamic_cast<vek::cLabelCtrl*>(label);
  if (!text) return;
  text->SetText(vek::Formatted("x%i", locked ? 0 : n));
  if (auto* coloured = dynamic_cast<vek::cLabelSysCtrl*>(label)) {
    const vek::f32* c = locked ? kStatLockColor : kStatCountColor;
    coloured->SetColor(c[0], c[1], c[2]);
  }
}

const char* const cStatGardenWF::kAnimalNames[kAnimalKinds] = {"ostrich", "goat", "hive", "peacock"};

int cStatGardenWF::AfterCreate(vek::cWindow* window) {
  const u32 wares = g_pWareManager ? g_pWareManager->GetCount() : 0;
  m_WareImages.assign(wares, nullptr);
  m_WareCounts.assign(wares, nullptr);
  for (u32 i = 0; i < wares; ++i) {
    const vek::string& name = g_pWareManager->GetWare(i).GetName();
    vek::cCtrl* image = GetControlByName(window, name);
    vek::cCtrl* count = GetControlByName(window, "num_" + name);
    if (name.empty() || !image || !count) continue;
    m_WareImages[i] = image;
    m_WareCounts[i] = count;
  }
  m_AnimalImages.assign(kAnimalKinds, nullptr);
  m_AnimalCounts.assign(kAnimalKinds, nullptr);
  for (int k = 0; k < kAnimalKinds; ++k) {
    vek::cCtrl* image = GetControlByName(window, kAnimalNames[k]);
    vek::cCtrl* count = GetControlByName(window, vek::string("num_") + kAnimalNames[k]);
    if (!image || !count) return ReportError(window, "wndAfterCreate");
    m_AnimalImages[static_cast<size_t>(k)] = image;
    m_AnimalCounts[static_cast<size_t>(k)] = count;
  }
  return -1;
}

void cStatGardenWF::ShowRow(vek::cCtrl* image, vek::cCtrl* count, const vek::string& area, i32 n) const {
  if (n == 0) {
    ShowSprite(image, "icons01", m_Lock);
    SetStatCount(count, 0, true);
    return;
  }
  cSprite icon;
  ShowSprite(image, "icons00", FindSprite(icon, "icons00", area));
  SetStatCount(count, n, false);
}

void cStatGardenWF::Refresh() {
  const cPlayer* player = CurrentPlayer();
  static const std::vector<i32> kNone;
  const std::vector<i32>& produced = player ? player->produced : kNone;
  const std::vector<i32>& bought = player ? player->animalsBought : kNone;
  for (size_t i = 0; i < m_WareImages.size(); ++i) {
    if (!m_WareImages[i]) continue;
    ShowRow(m_WareImages[i], m_WareCounts[i], g_pWareManager->GetWare(static_cast<u32>(i)).GetName(),
            CountAt(produced, i));
  }
  for (size_t k = 0; k < m_AnimalImages.size(); ++k)
    ShowRow(m_AnimalImages[k], m_AnimalCounts[k], kAnimalNames[k], CountAt(bought, k));
}

int cStatGardenWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (!IsReady()) return HandleMessage(window, message, p1, p2);
  switch (message) {
    case vek::e_wndAfterCreate:
      if (const int failed = AfterCreate(window); failed >= 0) return failed;
      break;
    case vek::e_wndShow:
      if (!m_bLockLooked) {
        m_bLockLooked = true;
        FindSprite(m_Lock, "icons01", "lock");
      }
      if (m_Lock.frameCount == 0 || !m_Lock.frames) break;
      GardenServices()->EndTraining(kStatGardenTraining);
      m_Pause.Take();
      Refresh();
      break;
    case vek::e_wndHideImmediately:
      m_Pause.Release();
      break;
    case vek::e_ntfButtonClick:
      if (IsControl(window, p2, "ok") && window->GetGUI()) window->GetGUI()->HideWindow(window->GetName());
      break;
    default:
      break;
  }
  return HandleMessage(window, message, p1, p2);
}
