#include "game/windows/controls/toolbar_ctrl.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "engine/gui/frame_ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/gui_draw.h"
#include "engine/gui/window.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/app/sprite.h"
#include "game/windows/controls/control_sound.h"
#include "game/world/ware_manager.h"

using vek::f32;
using vek::i32;
using vek::u32;

namespace {

constexpr u32 kWhite = 0xFFFFFFFFu;
constexpr f32 kEpsilon = 1.1920929e-7f;

cBuildingCatalogue* g_pCatalogue = nullptr;

// The animal pictures: ostrich, goat, hive, peacock of "gui_plants", built on first use.
const std::vector<cSprite>& AnimalSprites() {
  static std::vector<cSprite> sprites;
  if (sprites.empty())
    for (const char* area : {"ostrich", "goat", "hive", "peacock"}) {
      cSprite s;
      sprites.push_back(FindSprite(s, "gui_plants", area));
    }
  return sprites;
}

i32 WareIdOf(const char* name) { return g_pWareManager ? g_pWareManager->GetWareId(name) : kNoWare; }

// The player's unlock state; a game without a player has nothing unlocked.
i32 LastSort() { return CurrentPlayer() ? CurrentPlayer()->lastSort : -1; }
i32 AnimalKinds() { return CurrentPlayer() ? CurrentPlayer()->animalKinds : -1; }

// The middle strip's first rectangle and texture rectangle, shared by every tool bar.
struct cStripRecord {
  vek::rectf rect;
  vek::rectf uv;
};
cStripRecord g_Strip;

vek::rectf UVOf(const vek::cCtrl* c) {
  if (auto* image = dynamic_cast<const vek::cImageCtrl*>(c)) return image->GetUVRect();
  if (auto* frame = dynamic_cast<const vek::cFrameCtrl*>(c)) return frame->GetUVRect();
  return {};
}

}  // namespace

void SetToolbarCatalogue(cBuildingCatalogue* catalogue) { g_pCatalogue = catalogue; }

cAnimalPrices& ToolbarAnimalPrices() {
  static cAnimalPrices prices;
  return prices;
}

// ---- cToolbarItemCtrl ----

cToolbarItemCtrl::cToolbarItemCtrl(cToolbarCtrl* owner) : vek::cImageCtrl("", nullptr), m_pOwner(owner) {}

void cToolbarItemCtrl::SetSort(i32 ware) {
  m_pSort = g_pWareManager ? &g_pWareManager->GetSort(static_cast<u32>(ware)) : nullptr;
}

void cToolbarItemCtrl::SetBuilding(int index) {
  m_pBuilding = g_pCatalogue && index >= 0 ? g_pCatalogue->GetBuilding(index) : nullptr;
}

bool cToolbarItemCtrl::IsAvailable() const {
  if (m_pBuilding) return true;
  if (m_pSort) {
    const i32 s = m_pSort->GetId();
    const i32 grass = WareIdOf("grass"), flowers = WareIdOf("flowers");
    if (s != grass && s != flowers && s > LastSort()) return false;
    if (s == grass && AnimalKinds() == -1) return false;
    if (s != flowers) return true;
    return AnimalKinds() >= 2;
  }
  if (m_AnimalKind >= 0) return m_AnimalKind <= AnimalKinds();
  return true;
}

int cToolbarItemCtrl::GetPictureIndex() const {
  if (GetState(e_Disabled)) return 3;
  if (m_bPressed) return 2;
  return m_bHovered ? 1 : 0;
}

vek::string cToolbarItemCtrl::GetPriceText() const {
  if (m_pSort) return "$" + std::to_string(m_pSort->GetPrice());
  if (m_AnimalKind >= 0) return "$" + std::to_string(GetAnimalPrice(ToolbarAnimalPrices(), m_AnimalKind));
  return {};
}

void cToolbarItemCtrl::Draw() {
  if (!IsAvailable()) return;
  const int p = GetPictureIndex();
  if (m_pSort) {
    vek::gui_draw::Quad(m_pOwner->GetTexture(), m_Rect, m_UV[p], kWhite);
  } else if (m_AnimalKind >= 0) {
    const auto& sprites = AnimalSprites();
    if (static_cast<size_t>(m_AnimalKind) < sprites.size()) {
      const cSprite& s = sprites[static_cast<size_t>(m_AnimalKind)];
      if (s.frames && s.frameCount >= static_cast<u32>(kPictures)) vek::gui_draw::Quad(s.texture, m_Rect, s.frames[p], kWhite);
    }
  } else {
    // A building item: its building's picture, no price.
    const cSprite* sprite = m_pBuilding ? m_pBuilding->GetFirstSprite() : nullptr;
    const int frame = m_pBuilding ? m_pBuilding->GetPictureIndex() : -1;
    if (sprite && sprite->texture != 0 && sprite->frames && frame >= 0 && static_cast<u32>(frame) < sprite->frameCount)
      vek::gui_draw::Quad(sprite->texture, m_Rect, sprite->frames[frame], kWhite);
    return;
  }
  vek::cLabelCtrl& price = m_pOwner->GetPriceLabel();
  price.SetText(GetPriceText());
  price.SetPos(m_Rect.x, m_Rect.y - 26.0f, 0);
  price.Draw();
}

void cToolbarItemCtrl::SendToOwnerWindow(u32 message) {
  vek::cWindow* window = m_pOwner->GetWindow();
  if (!window || !window->GetGUI()) return;
  window->GetGUI()->SendMessage(window->GetID(), message, static_cast<u32>(m_pOwner->GetHighlight()), m_pOwner->GetID());
}

bool cToolbarItemCtrl::OnEvent(u32 code, u32 /*p1*/, u32 /*p2*/) {
  if (!IsAvailable()) return false;
  switch (code) {
    case e_evLButtonDown:
      m_bPressed = true;
      break;
    case e_evLButtonUp:
      m_bPressed = false;
      break;
    case e_evMouseEnter:
      if (!GetState(e_Disabled)) {
        PlayControlSound("mouse_in");
        m_bHovered = true;
      }
      SendToOwnerWindow(e_evMouseEnter);
      break;
    case e_evMouseLeave:
      m_bHovered = m_bPressed = false;
      SendToOwnerWindow(e_evMouseLeave);
      break;
    default:
      break;
  }
  return code == e_evChar;
}

// ---- cToolbarCtrl ----

cToolbarCtrl::cToolbarCtrl(const vek::string& name, vek::cWindow* window)
    : vek::cToolbarSysCtrl(name, window), m_Price("", nullptr) {
  m_Price.SetAlign(34);
  m_Price.SetFontPrt("header24x24");
}

void cToolbarCtrl::SetTexture(const vek::string& name) { m_Texture = vek::gui_draw::FindTexture(name); }

cToolbarItemCtrl* cToolbarCtrl::GetToolbarItem(unsigned index) const {
  return dynamic_cast<cToolbarItemCtrl*>(GetItem(index));
}

void cToolbarCtrl::AddWareItem(const vek::rectf uv[cToolbarItemCtrl::kPictures], i32 ware) {
  auto* item = new cToolbarItemCtrl(this);
  for (int i = 0; i < cToolbarItemCtrl::kPictures; ++i) item->m_UV[i] = uv[i];
  item->SetSort(ware);
  AddItem(GetItemCount(), item, static_cast<u32>(ware));
}

void cToolbarCtrl::AddBuildingItem(int index) {
  auto* item = new cToolbarItemCtrl(this);
  item->SetBuilding(index);
  AddItem(GetItemCount(), item, static_cast<u32>(index));
}

void cToolbarCtrl::AddAnimalItem(i32 kind) {
  if (kind < 0) return;
  auto* item = new cToolbarItemCtrl(this);
  item->SetAnimalKind(kind);
  AddItem(GetItemCount(), item, static_cast<u32>(kind));
}

iCatalogueBuilding* cToolbarCtrl::GetItemBuilding(unsigned index) const {
  const cToolbarItemCtrl* item = GetToolbarItem(index);
  return item ? item->GetBuilding() : nullptr;
}

unsigned cToolbarCtrl::GetVisibleCount() const {
  const f32 n = std::floor((m_Rect.w + kGap) / (m_ItemSize.x + kGap));
  return n > 0.0f ? static_cast<unsigned>(n) : 0u;
}

bool cToolbarCtrl::OnEvent(u32 code, u32 p1, u32 p2) {
  if ((code == e_evLButtonDown || code == e_evLButtonUp) && m_Highlight >= 0 &&
      static_cast<unsigned>(m_Highlight) < GetItemCount())
    m_Items[static_cast<size_t>(m_Highlight)].control->OnEvent(code, p1, p2);
  // A locked item is not shown, so a click on its place picks nothing.
  if (code == e_evLButtonDown && m_Highlight >= 0) {
    const cToolbarItemCtrl* item = GetToolbarItem(static_cast<unsigned>(m_Highlight));
    if (item && !item->IsAvailable()) return vek::cCtrl::OnEvent(code, p1, p2);
  }
  return vek::cToolbarSysCtrl::OnEvent(code, p1, p2);
}

f32 cToolbarCtrl::GetStripWidth() const {
  if (m_Items.empty()) return 0.0f;
  const cToolbarItemCtrl* first = GetToolbarItem(0);
  i32 n = 0;
  if (first && first->GetBuilding()) {
    n = 20;
  } else if (first && first->GetSort()) {
    const i32 s = first->GetSort()->GetId();
    const i32 kinds = AnimalKinds();
    if (s != WareIdOf("grass") && s != WareIdOf("flowers"))
      n = LastSort() + 1;
    else
      n = kinds < 0 ? 0 : (kinds < 2 ? 1 : 2);
  } else {
    n = AnimalKinds() >= 0 ? AnimalKinds() + 1 : 0;
  }
  n = std::clamp<i32>(n, 0, static_cast<i32>(GetVisibleCount()));
  // With nothing unlocked yet the run ends one gap before the bar (-3): the award stars aim
  // from its end, so the first animal's star lands on the first animal's place as the next
  // ones land on theirs.
  return (m_ItemSize.x + kGap) * static_cast<f32>(n) - kGap;
}

void cToolbarCtrl::SetDecorations(vek::cCtrl* left, vek::cCtrl* middle, vek::cCtrl* right) {
  m_pLeft = left;
  m_pMiddle = middle;
  m_pRight = right;
  UpdateLayout();
}

void cToolbarCtrl::ResetStripRecord() { g_Strip = {}; }

void cToolbarCtrl::UpdateLayout() {
  m_Price.SetSize(m_ItemSize.x, m_ItemSize.y, 0);
  f32 x = m_Rect.x;
  const f32 y = m_Rect.y + m_Rect.h - m_ItemSize.y;
  const unsigned end = std::min(m_FirstVisible + GetVisibleCount(), GetItemCount());
  for (unsigned i = m_FirstVisible; i < end; ++i) {
    m_Items[i].control->SetPos(x, y, 0);
    m_Items[i].control->SetSize(m_ItemSize.x, m_ItemSize.y, 0);
    x += m_ItemSize.x + kGap;
  }
  if (m_pLeft) {
    const vek::rectf r = m_pLeft->GetRect();
    m_pLeft->SetPos(m_Rect.x - r.w, r.y, 0);
  }
  if (m_pMiddle) {
    const vek::rectf r = m_pMiddle->GetRect();
    if (g_Strip.rect.w < kEpsilon) g_Strip = {r, UVOf(m_pMiddle)};
    // An empty run draws no strip (its width of -3 is a position, not a size).
    const f32 w = std::max(GetStripWidth(), 0.0f);
    m_pMiddle->SetSize(w, r.h, 0);
    if (g_Strip.rect.w >= kEpsilon) m_pMiddle->SetUVSize(g_Strip.uv.w * w / g_Strip.rect.w, g_Strip.uv.h, 0);
    if (m_pRight) {
      const vek::rectf m = m_pMiddle->GetRect();
      m_pRight->SetPos(m.x + m.w, m_pRight->GetRect().y, 0);
    }
  }
}

void cToolbarCtrl::EnableState(int flags) {
  vek::cToolbarSysCtrl::EnableState(flags);
  for (vek::cCtrl* c : {m_pLeft, m_pMiddle, m_pRight})
    if (c) c->EnableState(flags);
}

void cToolbarCtrl::DisableState(int flags) {
  vek::cToolbarSysCtrl::DisableState(flags);
  for (vek::cCtrl* c : {m_pLeft, m_pMiddle, m_pRight})
    if (c) c->DisableState(flags);
}
