// The GUI's script classes: windows, window functions and controls made by scripts.
#include <gtest/gtest.h>
#include <lua.hpp>

#include "engine/app/game.h"
#include "engine/gui/cursor.h"
#include "engine/gui/label_ctrl.h"
#include "engine/script/script.h"
#include "tests/engine/gui/gui_probe.h"
#include "tests/support/script_engine_fixture.h"

namespace {

class GuiBindings : public vektest::ScriptEngineFixture {
 protected:
  void SetUp() override {
    ScriptEngineFixture::SetUp();
    gui = game->GetGUI();
  }
  vek::cGUI* gui = nullptr;
};

TEST_F(GuiBindings, ClassesMessagesAndFlags) {
  EXPECT_EQ(Eval("cGUI.e_wndPaint"), "1");
  EXPECT_EQ(Eval("cGUI.e_wndHideImmediately"), "14");
  EXPECT_EQ(Eval("cCtrl.e_Visibility"), "2");
  EXPECT_EQ(Eval("cCtrl.e_All"), "-1");
  EXPECT_EQ(Eval("cCtrl.e_lstSelection"), "1048576");
  EXPECT_EQ(Eval("theGUI:ParamToTime(250)"), "0.25");
  EXPECT_EQ(Eval("theGUI:FindWindow('none')"), "0");
  EXPECT_EQ(Eval("GetFonts():Count()"), "1");
  ASSERT_TRUE(Run("theGUI:GetCursor():Set('cursor_pointer', vec2(32, 64), cAlign.Left + cAlign.Top, 1, 1)"));
  EXPECT_EQ(gui->GetCursor()->GetSize(), vek::vec2(32.0f, 64.0f));
}

TEST_F(GuiBindings, ScriptWindowsAndControlsBelongToTheNativeSide) {
  ASSERT_TRUE(Run(R"(
    local w = cWindow(theGUI)
    w:SetName('options') w:SetActive(true) w:SetModal(true)
    local label = cLabelCtrl('title', w)
    label:SetText('Options')
    local image = cImageCtrl('icon', w)
    image:SetPos(10, 20, 0)
    loose = cFrameCtrl('loose', nil)   -- usable without a window
    loose:SetSize(4, 4, 0)
    visible = loose:GetState(cCtrl.e_Visibility)
    w = nil label = nil image = nil
    collectgarbage() collectgarbage()
  )"));
  EXPECT_EQ(Eval("visible"), "true");
  vek::cWindow* w = gui->GetWindow("options");
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->IsModal());
  ASSERT_EQ(w->GetControlCount(), 3u);
  EXPECT_STREQ(w->GetControl(1)->GetClassName(), "cLabelCtrl");
  EXPECT_EQ(static_cast<vek::cLabelCtrl*>(w->GetControl(1))->GetText(), "Options");
  // Looked up again, the script reaches the most derived class.
  EXPECT_EQ(Eval("theGUI:GetWindow('options'):GetControl(1):GetName()"), "title");
  ASSERT_TRUE(Run("theGUI:GetWindow('options'):GetControl(2):SetPos(5, 6, 0)"));
  EXPECT_EQ(w->GetControl(2)->GetRect().x, 5.0f);
  // A native control class the scripts do not know is reached through its registered base.
  auto* edit = new vektest::TestEdit("name", w);
  ASSERT_TRUE(Run("local e = theGUI:GetWindow('options'):GetControl(3) e:SetText('abc') typed = e:GetText()"));
  EXPECT_EQ(edit->GetText(), "abc");
  EXPECT_EQ(Eval("typed"), "abc");
  // The loose control joins a window that adds it.
  ASSERT_TRUE(Run("theGUI:GetWindow('options'):AddControl(loose)"));
  EXPECT_EQ(w->GetControlCount(), 5u);
  EXPECT_EQ(Eval("theGUI:GetWindow('options'):FindControl('loose')"), "4");
}

TEST_F(GuiBindings, ScriptWindowFunctionsGetMessagesOnceOwned) {
  ASSERT_TRUE(Run(R"(
    got = {}
    class 'Logger' (cWindowFunction)
    function Logger:__init(tag) cWindowFunction.__init(self) self.tag = tag end
    function Logger:Call(wnd, msg, p1, p2)
      got[#got + 1] = self.tag .. ':' .. msg
      if msg == 1000 then error('handler fails') end
      if msg == 3 then return 1 end
      return cWindowFunction.Call(self, wnd, msg, p1, p2)
    end
    class 'Silent' (cWindowFunction)       -- no Call of its own: the default handling
    function Silent:__init() cWindowFunction.__init(self) end

    local shared = Logger('a')
    local w = cWindow(theGUI, shared) w:SetName('a') w:SetActive(true)
    local w2 = cWindow(theGUI, shared) w2:SetName('b')   -- taken already: b gets a default one
    local w3 = cWindow(theGUI, Silent()) w3:SetName('c')
    Logger('never used')
    shared = nil
    collectgarbage() collectgarbage()
  )"));
  EXPECT_NE(LogText().find("The window function belongs to another window already"), std::string::npos);
  EXPECT_EQ(Eval("table.concat(got, ' ')"), "a:8");
  gui->ShowWindow("a");
  EXPECT_TRUE(gui->OnKeyDown(0x1E));
  EXPECT_EQ(Eval("table.concat(got, ' ')"), "a:8 a:10 a:15 a:5 a:3");
  // A failing handler is reported through "_ERROR" and counts as not taken.
  EXPECT_EQ(gui->SendMessage(gui->FindWindow("a"), 1000, 0, 0), 0);
  EXPECT_NE(LogText().find("handler fails"), std::string::npos);
  gui->ShowWindow("c");
  EXPECT_EQ(gui->SendMessage(gui->FindWindow("c"), vek::e_wndHide, 0, 0), 0);
  EXPECT_FALSE(gui->IsWindowShown("c"));
}

}  // namespace
