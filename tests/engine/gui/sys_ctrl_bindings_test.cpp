// The system controls' script classes: constructors, every bound overload, the script bases
// and controls looked up again as their most derived class.
#include <gtest/gtest.h>
#include <lua.hpp>

#include "engine/app/game.h"
#include "engine/gui/button_sys_ctrl.h"
#include "engine/gui/check_box_sys_ctrl.h"
#include "engine/gui/edit_sys_ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/progress_bar_sys_ctrl.h"
#include "engine/gui/slider_sys_ctrl.h"
#include "engine/gui/text_box_sys_ctrl.h"
#include "engine/gui/window.h"
#include "engine/script/script.h"
#include "tests/support/script_engine_fixture.h"

namespace {

class SysCtrlBindings : public vektest::ScriptEngineFixture {
 protected:
  void SetUp() override {
    ScriptEngineFixture::SetUp();
    gui = game->GetGUI();
  }
  template <class T>
  T* Control(unsigned id) {
    return dynamic_cast<T*>(gui->GetWindow("sys")->GetControl(id));
  }
  vek::cGUI* gui = nullptr;
};

TEST_F(SysCtrlBindings, EveryBoundOperationReachesTheControl) {
  ASSERT_TRUE(Run(R"(
    local w = cWindow(theGUI) w:SetName('sys')
    local label = cLabelSysCtrl('label', w)
    label:SetColor(1, 0, 0)
    label:SetText('Garden')                       -- from cLabelCtrl
    local box = cTextBoxSysCtrl('box', w)
    box:SetColor(vec3(0, 1, 0))                    -- the vec3 overload, from cLabelSysCtrl
    box:SetSize(200, 100, 0)                       -- from cCtrl
    box:SetAlign(cAlign.Center)
    local bar = cProgressBarSysCtrl('bar', w)
    bar:SetTexture('gui_system') bar:SetSize(100, 10, 0) bar:SetValue(0.5)
    barValue = bar:GetValue()
    local slider = cSliderSysCtrl('slider', w)
    slider:SetTexture('gui_system', cCtrl.e_sldImage)
    slider:SetSize(100, 10, 0) slider:SetSize(10, 10, cCtrl.e_sldImage)
    slider:SetMinMax(0, 10) slider:SetValue(20)    -- from cSliderCtrl: clamped
    sliderValue = slider:GetValue()
    local edit = cEditSysCtrl('edit', w)
    edit:SetTexture('gui_system', 12345)           -- the number is not used
    edit:SetAlign(cAlign.Right) edit:SetFontPrt('system') edit:SetColor(0, 0, 1)
    edit:SetMaxLength(4) edit:SetText('name')
    editText = edit:GetText()
    local button = cButtonSysCtrl('button', w)
    button:SetText('OK') button:SetFontPrt('system') button:SetColor(1, 1, 0)
    button:SetTexture('gui_system', cCtrl.e_btnNormal + cCtrl.e_btnPush)
    button:SetUVSize(0.25, 0.125, cCtrl.e_btnPush)
    local check = cCheckBoxSysCtrl('check', w)
    check:SetColor(0, 1, 1) check:SetText('Music') check:SetFontPrt('system') check:SetAlign(cAlign.Left)
    check:SetTexture('gui_system', cCtrl.e_cbPush)
    check:SetCheck(true)
    checked = check:IsChecked()
    visible = check:GetState(cCtrl.e_Visibility)
  )"));
  EXPECT_EQ(Eval("barValue"), "0.5");
  EXPECT_EQ(Eval("sliderValue"), "10");
  EXPECT_EQ(Eval("editText"), "name");
  EXPECT_EQ(Eval("checked"), "true");
  EXPECT_EQ(Eval("visible"), "true");

  EXPECT_EQ(Control<vek::cLabelSysCtrl>(1)->GetColor(), 0xFFFF0000u);
  EXPECT_EQ(Control<vek::cLabelSysCtrl>(1)->GetText(), "Garden");
  EXPECT_EQ(Control<vek::cTextBoxSysCtrl>(2)->GetColor(), 0xFF00FF00u);
  EXPECT_EQ(Control<vek::cTextBoxSysCtrl>(2)->GetAlign(), 2);
  EXPECT_EQ(Control<vek::cProgressBarSysCtrl>(3)->GetRect().w, 50.0f);
  EXPECT_EQ(Control<vek::cSliderSysCtrl>(4)->GetThumbRect().x, 90.0f);
  EXPECT_EQ(Control<vek::cEditSysCtrl>(5)->GetLabel().GetColor(), 0xFF0000FFu);
  EXPECT_EQ(Control<vek::cEditSysCtrl>(5)->GetLabel().GetAlign(), 4);
  EXPECT_EQ(Control<vek::cEditSysCtrl>(5)->GetMaxLength(), 4u);
  EXPECT_EQ(Control<vek::cButtonSysCtrl>(6)->GetText(), "OK");
  EXPECT_EQ(Control<vek::cButtonSysCtrl>(6)->GetLabel().GetColor(), 0xFFFFFF00u);
  EXPECT_EQ(Control<vek::cButtonSysCtrl>(6)->GetPushedFrame().GetUVRect().w, 0.25f);
  EXPECT_EQ(Control<vek::cButtonSysCtrl>(6)->GetNormalFrame().GetUVRect().w, 1.0f);
  EXPECT_EQ(Control<vek::cCheckBoxSysCtrl>(7)->GetLabel().GetText(), "Music");
  EXPECT_EQ(Control<vek::cCheckBoxSysCtrl>(7)->GetLabel().GetColor(), 0xFF00FFFFu);
  EXPECT_TRUE(Control<vek::cCheckBoxSysCtrl>(7)->IsChecked());
}

TEST_F(SysCtrlBindings, ControlsComeBackAsTheirOwnClassAndLiveWithTheNativeSide) {
  ASSERT_TRUE(Run(R"(
    local w = cWindow(theGUI) w:SetName('sys')
    cCheckBoxSysCtrl('check', w)
    cTextBoxSysCtrl('box', w)
    loose = cButtonSysCtrl('loose', nil)   -- usable without a window
    loose:SetText('free')
    w = nil
    collectgarbage() collectgarbage()
  )"));
  // Looked up by id, the script reaches the derived operations.
  EXPECT_EQ(Eval("theGUI:GetWindow('sys'):GetControl(1):IsChecked()"), "false");
  ASSERT_TRUE(Run("theGUI:GetWindow('sys'):GetControl(1):SetCheck(true)"));
  EXPECT_TRUE(Control<vek::cCheckBoxSysCtrl>(1)->IsChecked());
  ASSERT_TRUE(Run("theGUI:GetWindow('sys'):GetControl(2):SetColor(vec3(0, 0, 1))"));
  EXPECT_EQ(Control<vek::cTextBoxSysCtrl>(2)->GetColor(), 0xFF0000FFu);
  EXPECT_EQ(Eval("loose:GetID()"), "0");
  // A script-made control without a window is kept by the GUI until a window takes it.
  ASSERT_TRUE(Run("loose = nil collectgarbage() collectgarbage()"));
  auto* w = gui->GetWindow("sys");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->GetControlCount(), 3u);
  // Wrong arguments are a script error, not a crash.
  EXPECT_FALSE(Run("cCheckBoxSysCtrl(5, nil):SetCheck('yes')"));
  EXPECT_FALSE(Run("theGUI:GetWindow('sys'):GetControl(2):SetColor('red')"));
}

}  // namespace
