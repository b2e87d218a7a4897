// The list classes as scripts see them: every bound operation reaches the native list.
#include <gtest/gtest.h>
#include <lua.hpp>

#include "engine/app/game.h"
#include "engine/gui/gui.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/image_list_sys_ctrl.h"
#include "engine/gui/list_sys_ctrl.h"
#include "engine/gui/toolbar_sys_ctrl.h"
#include "engine/gui/window.h"
#include "engine/render/font.h"
#include "engine/render/texture.h"
#include "engine/render/texture_manager.h"
#include "engine/script/script.h"
#include "tests/support/script_engine_fixture.h"

namespace {

class ListBindings : public vektest::ScriptEngineFixture {
 protected:
  void SetUp() override {
    ScriptEngineFixture::SetUp();
    gui = game->GetGUI();
  }
  vek::cGUI* gui = nullptr;
};

TEST_F(ListBindings, EveryBoundOperationReachesTheList) {
  new vek::cFont("big");
  new vek::cTexture("selection", 8, 8);
  new vek::cTexture("tool", 8, 8);
  ASSERT_TRUE(Run(R"(
    r = {}
    local w = cWindow(theGUI) w:SetName('lists')
    local plain = cListCtrl('plain', w)
    local text = cListSysCtrl('text', w)
    text:SetPos(10, 10, 0) text:SetSize(100, 40, 0) text:SetSize(100, 20, cCtrl.e_lstItems)
    text:SetTexture('selection', cCtrl.e_lstSelection)
    text:SetFontPrt('big')
    text:SetAlign(cAlign.Right + cAlign.Middle)
    text:SetColor(1, 0, 0, cCtrl.e_lstNormal + cCtrl.e_lstHighlight)
    text:InsertItem(0, 'one', 11) text:InsertItem(1, 'two', 12) text:InsertItem(2, 'three', 13)
    text:SetItemText(2, 'drei')
    r.text = text:GetItemText(2) .. ',' .. text:GetItemText(5)
    text:SetItemData(0, 21)
    r.data = text:GetItemData(0) .. ',' .. text:GetItemData(1)
    r.count = text:GetItemCount()
    text:SetMultiselect(true)
    r.multi = text:IsMultiselect()
    text:SelectItem(0, true, false) text:SelectItem(2, true, true)
    r.selected = text:GetSelectedItem(1) .. ',' .. tostring(text:IsSelectedItem(0))
    r.visible = text:GetVisibleCount()
    text:SetFirstVisible(2)
    r.first = text:GetFirstVisible()
    text:EnsureVisible(0)
    r.ensured = text:GetFirstVisible() .. ',' .. tostring(text:IsVisible(2))
    text:DeleteItem(1)
    plain:SetSize(50, 50, 0)
    plain:DeleteAllItems()
    r.plain = plain:GetItemCount() .. ',' .. plain:GetVisibleCount()

    local grid = cImageListSysCtrl('grid', w)
    grid:SetSize(60, 30, 0) grid:SetSize(30, 30, cCtrl.e_lstItems)
    grid:InsertItem(0, 'tool', rectf(0.5, 0, 0.5, 1), 7)
    local bar = cToolbarSysCtrl('bar', w)
    bar:InsertItem(0, 'tool', rectf(0, 0, 1, 1), 3)
    bar:InsertItem(0, 'tool', rectf(0, 0, 0.5, 0.5), 4)
    r.bar = bar:GetItemCount() .. ',' .. bar:GetItemData(0)
    -- Made without a window, placed later.
    loose = cListSysCtrl('loose', nil)
    loose:InsertItem(0, 'later', 0)
    w:AddControl(loose)
    w = nil text = nil grid = nil bar = nil plain = nil
    collectgarbage() collectgarbage()
  )"));
  EXPECT_EQ(Eval("r.text"), "drei,");
  EXPECT_EQ(Eval("r.data"), "21,12");
  EXPECT_EQ(Eval("r.count"), "3");
  EXPECT_EQ(Eval("r.multi"), "true");
  EXPECT_EQ(Eval("r.selected"), "2,true");
  EXPECT_EQ(Eval("r.visible"), "2");
  EXPECT_EQ(Eval("r.first"), "2");
  EXPECT_EQ(Eval("r.ensured"), "0,false");
  EXPECT_EQ(Eval("r.plain"), "0,3");
  EXPECT_EQ(Eval("r.bar"), "2,4");

  vek::cWindow* w = gui->GetWindow("lists");
  ASSERT_NE(w, nullptr);
  ASSERT_EQ(w->GetControlCount(), 6u);
  auto* text = dynamic_cast<vek::cListSysCtrl*>(w->GetControl(2));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->GetItemCount(), 2u);
  EXPECT_EQ(text->GetItemText(1), "drei");
  EXPECT_EQ(text->GetSelectionFrame().GetTexture(), vek::g_pTextureManager->FindIndex("selection"));
  const auto& style = text->GetTemplate();
  EXPECT_EQ(style.GetFont(), vek::g_pFontManager->FindIndex("big"));
  EXPECT_EQ(style.GetAlign(), 4 + 16);
  EXPECT_EQ(text->GetHighlightColor(), 0xFFFF0000u);
  auto* grid = dynamic_cast<vek::cImageListSysCtrl*>(w->GetControl(3));
  ASSERT_NE(grid, nullptr);
  auto* cell = static_cast<vek::cImageCtrl*>(grid->GetItem(0));
  EXPECT_EQ(cell->GetTexture(), vek::g_pTextureManager->FindIndex("tool"));
  EXPECT_EQ(cell->GetUVRect().x, 0.5f);
  EXPECT_EQ(grid->GetItemData(0), 7u);
  EXPECT_NE(dynamic_cast<vek::cToolbarSysCtrl*>(w->GetControl(4)), nullptr);
  EXPECT_EQ(w->FindControl("loose"), 5u);

  // Looked up again, each list reaches scripts as its own class.
  EXPECT_EQ(Eval("theGUI:GetWindow('lists'):GetControl(2):GetItemText(1)"), "drei");
  ASSERT_TRUE(Run("theGUI:GetWindow('lists'):GetControl(4):InsertItem(9, 'tool', rectf(0, 0, 1, 1), 5)"));
  EXPECT_EQ(Eval("theGUI:GetWindow('lists'):GetControl(4):GetItemData(2)"), "5");
  // The grid has only its own insertion: the text list's is no member of it.
  EXPECT_NE(Eval("theGUI:GetWindow('lists'):GetControl(3):InsertItem(0, 'text', 1)").find("<error"),
            std::string::npos);
  EXPECT_EQ(grid->GetItemCount(), 1u);
  EXPECT_NE(Eval("theGUI:GetWindow('lists'):GetControl(3):SetItemText(0, 'x')").find("<error"),
            std::string::npos);
  EXPECT_EQ(Eval("cToolbarSysCtrl('t', nil):GetState(cCtrl.e_Visibility)"), "true");
}

}  // namespace
