#pragma once
// The garden's shop rows: a tool bar of picture items (seed sorts, grass and flowers, animal
// kinds or buildings), each with its price written under it. A pick reaches the window as
// message 53 (item index, tool bar id); entering and leaving an item as 32 and 33.
#include "engine/core/geometry.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/label_ctrl.h"
#include "engine/gui/toolbar_sys_ctrl.h"
#include "game/app/building_catalogue.h"

class cSort;
class cToolbarCtrl;

// The catalogue whose buildings the building items show, and the animal prices the animal
// items show (the game sets both; by default no catalogue and the balance table's prices).
void SetToolbarCatalogue(cBuildingCatalogue* catalogue);
cAnimalPrices& ToolbarAnimalPrices();

class cToolbarItemCtrl : public vek::cImageCtrl {
 public:
  // Pictures: normal, hover, pressed, disabled.
  static constexpr int kPictures = 4;

  explicit cToolbarItemCtrl(cToolbarCtrl* owner);

  void Draw() override;
  // It draws a picture of its ware, animal or building, not its own texture: nothing known.
  bool GetCover(vek::rectf* /*area*/) const override { return false; }
  bool OnEvent(vek::u32 code, vek::u32 p1, vek::u32 p2) override;
  const char* GetClassName() const override { return "cToolbarItemCtrl"; }

  virtual void SetSort(vek::i32 ware);
  virtual void SetBuilding(int index);
  virtual void SetAnimalKind(vek::i32 kind) { m_AnimalKind = kind; }
  // Whether the current player has this item unlocked (a locked item is neither drawn nor
  // reacts to the mouse).
  virtual bool IsAvailable() const;

  // The picture the item shows now: 3 disabled, 2 pressed, 1 hovered, 0 normal.
  int GetPictureIndex() const;
  bool IsHovered() const { return m_bHovered; }
  bool IsPressed() const { return m_bPressed; }
  const cSort* GetSort() const { return m_pSort; }
  iCatalogueBuilding* GetBuilding() const { return m_pBuilding; }
  vek::i32 GetAnimalKind() const { return m_AnimalKind; }
  // The price text under the picture ("" for a building item).
  vek::string GetPriceText() const;

  vek::rectf m_UV[kPictures];

 private:
  void SendToOwnerWindow(vek::u32 message);

  cToolbarCtrl* m_pOwner;
  bool m_bHovered = false;
  bool m_bPressed = false;
  const cSort* m_pSort = nullptr;
  iCatalogueBuilding* m_pBuilding = nullptr;
  vek::i32 m_AnimalKind = -1;
};

class cToolbarCtrl : public vek::cToolbarSysCtrl {
 public:
  static constexpr vek::f32 kGap = 3.0f;  // units between items

  cToolbarCtrl(const vek::string& name, vek::cWindow* window);

  bool OnEvent(vek::u32 code, vek::u32 p1, vek::u32 p2) override;
  void UpdateLayout() override;
  void EnableState(int flags) override;
  void DisableState(int flags) override;
  const char* GetClassName() const override { return "cToolbarCtrl"; }
  unsigned GetVisibleCount() const override;

  // The texture of that name for sort items (the default texture when there is none).
  void SetTexture(const vek::string& name);
  vek::u32 GetTexture() const { return m_Texture; }

  virtual void AddWareItem(const vek::rectf uv[cToolbarItemCtrl::kPictures], vek::i32 ware);
  virtual void AddBuildingItem(int index);
  virtual void AddAnimalItem(vek::i32 kind);
  virtual iCatalogueBuilding* GetItemBuilding(unsigned index) const;
  virtual vek::f32 GetItemWidth() const { return m_ItemSize.x; }
  // The width of the run of unlocked items (at most the visible count), gaps between them.
  vek::f32 GetStripWidth() const;

  // The decorations the owner window places around the row (not owned; null for none).
  void SetDecorations(vek::cCtrl* left, vek::cCtrl* middle, vek::cCtrl* right);
  vek::cLabelCtrl& GetPriceLabel() { return m_Price; }
  cToolbarItemCtrl* GetToolbarItem(unsigned index) const;

  // Forgets the middle strip's recorded texture scale (a new GUI).
  static void ResetStripRecord();

 private:
  vek::u32 m_Texture = 0;
  vek::cLabelCtrl m_Price;
  vek::cCtrl* m_pLeft = nullptr;
  vek::cCtrl* m_pMiddle = nullptr;
  vek::cCtrl* m_pRight = nullptr;
};
