// Mission and task indicators: the line's layout, the tick, the click message and the task
// indicator's slide between its in and out places.
#include <gtest/gtest.h>

#include "game/windows/controls/mission_ctrl.h"
#include "tests/game/windows/title_fixture.h"
#include "tests/support/script_engine_fixture.h"

namespace titletest {
namespace {

class MissionControls : public TitleFixture {
 protected:
  void SetUp() override {
    TitleFixture::SetUp();
    w = new vek::cWindow(gui, new vek::cWindowFunction());
    w->SetName("score");
    w->SetActive(true);
    gui->ShowWindow("score");
  }
  cTaskCtrl* Task() {
    auto* t = new cTaskCtrl("task0", w);
    t->SetSize(200.0f, 48.0f, 0);
    t->m_InPos = vek::vec2(10.0f, 100.0f);
    t->m_OutPos = vek::vec2(-240.0f, 100.0f);
    t->SnapToTarget();
    return t;
  }
  vek::cWindow* w = nullptr;
};

TEST_F(MissionControls, IconLabelAndTickFollowTheFrame) {
  auto* m = new cMissionCtrl("m", w);
  m->SetSize(200.0f, 48.0f, 0);
  m->SetSize(32.0f, 32.0f, cMissionCtrl::e_itemImage);
  m->SetPos(100.0f, 200.0f, 0);
  EXPECT_FLOAT_EQ(m->GetIcon().GetRect().x, 140.0f);
  EXPECT_FLOAT_EQ(m->GetIcon().GetRect().y, 208.0f);
  EXPECT_FLOAT_EQ(m->GetLabel().GetRect().x, 176.0f);
  EXPECT_FLOAT_EQ(m->GetLabel().GetRect().y, 208.0f);
  EXPECT_FLOAT_EQ(m->GetRect().w, 200.0f);  // the icon's size left the frame alone
  m->MoveBy(10.0f, 0.0f, 0);
  EXPECT_FLOAT_EQ(m->GetIcon().GetRect().x, 150.0f);
  // A sprite that is not there leaves the old picture.
  m->SetIcon("no_sheet", "plant00");
  EXPECT_FLOAT_EQ(m->GetIcon().GetRect().w, 32.0f);
  // Unknown part selectors do nothing.
  const vek::rectf uv = m->GetIcon().GetUVRect();
  m->SetUVPos(0.5f, 0.5f, cMissionCtrl::e_itemImage | cMissionCtrl::e_itemLabel);
  m->SetUVSize(0.5f, 0.5f, cMissionCtrl::e_itemLabel);
  EXPECT_EQ(m->GetIcon().GetUVRect().x, uv.x);
  EXPECT_EQ(m->GetIcon().GetUVRect().w, uv.w);
  m->SetUVSize(0.25f, 0.5f, cMissionCtrl::e_itemImage);
  EXPECT_FLOAT_EQ(m->GetIcon().GetUVRect().w, 0.25f);
}

TEST_F(MissionControls, ReleasePostsTheClickMessage) {
  auto* m = new cMissionCtrl("m", w);
  EXPECT_FALSE(w->SendControlEvent(m, vek::cCtrl::e_evLButtonDown, 0, 0));
  EXPECT_EQ(gui->GetQueuedCount(), 0u);
  w->SendControlEvent(m, vek::cCtrl::e_evLButtonUp, 0, 0);
  EXPECT_EQ(gui->GetQueuedCount(), 1u);
  m->SetText("x3");
  EXPECT_EQ(m->GetText(), "x3");
  m->SetCheck(true);
  EXPECT_TRUE(m->IsChecked());
}

TEST_F(MissionControls, TaskSlidesInAndOutAtItsSpeed) {
  cTaskCtrl* t = Task();
  EXPECT_EQ(t->GetMoveState(), cTaskCtrl::e_moveOut);
  EXPECT_FLOAT_EQ(t->GetRect().x, -240.0f);
  t->StartMoveOut();  // parked: nothing
  EXPECT_EQ(t->GetMoveState(), cTaskCtrl::e_moveOut);
  t->StartMoveIn();
  EXPECT_EQ(t->GetMoveState(), cTaskCtrl::e_moveGoingIn);
  EXPECT_FLOAT_EQ(t->GetMove().duration, 1.0f);  // 250 units at 250 per second
  t->UpdateMove(0.5f);
  EXPECT_FLOAT_EQ(t->GetRect().x, -115.0f);
  t->StartMoveIn();  // already moving in: nothing
  EXPECT_FLOAT_EQ(t->GetMove().start.x, -240.0f);
  // Reversal from where it is.
  t->StartMoveOut();
  EXPECT_EQ(t->GetMoveState(), cTaskCtrl::e_moveGoingOut);
  EXPECT_FLOAT_EQ(t->GetMove().start.x, -115.0f);
  t->UpdateMove(0.25f);
  t->UpdateMove(0.5f);
  EXPECT_EQ(t->GetMoveState(), cTaskCtrl::e_moveOut);
  EXPECT_FLOAT_EQ(t->GetRect().x, -240.0f);
  t->StartMoveIn();
  for (int i = 0; i < 40; ++i) t->UpdateMove(1.0f / 30.0f);
  EXPECT_EQ(t->GetMoveState(), cTaskCtrl::e_moveIn);
  EXPECT_FLOAT_EQ(t->GetRect().x, 10.0f);
  EXPECT_FLOAT_EQ(t->GetRect().y, 100.0f);
}

TEST_F(MissionControls, MoveToWhereItIsEndsAtOnceAndWaits) {
  cTaskCtrl* t = Task();
  t->m_InPos = t->m_OutPos;
  t->StartMoveIn();
  EXPECT_EQ(t->GetMoveState(), cTaskCtrl::e_moveGoingIn);
  t->UpdateMove(1.0f);
  EXPECT_EQ(t->GetMoveState(), cTaskCtrl::e_moveGoingIn);  // nothing to do until a snap
  t->SnapToInPos();
  EXPECT_EQ(t->GetMoveState(), cTaskCtrl::e_moveIn);
}

TEST_F(MissionControls, ScriptsMakeMissionAndTaskControls) {
  ASSERT_TRUE(vek::GetScript()->DoString(R"(
    local w = theGUI:GetWindow('score')
    local m = cMissionCtrl('line', w)
    m:SetText('x2') m:SetAlign(17) m:SetTexture('gui', cMissionCtrl.e_itemFrame)
    local t = cTaskCtrl('task1', w)
    t:SetText('x5')
    parts = cMissionCtrl.e_itemLabel .. ' ' .. cMissionCtrl.e_itemImage .. ' ' .. cMissionCtrl.e_itemFrame
  )", "=test"));
  EXPECT_EQ(vektest::EvalLua(vek::GetScript()->GetState(), "parts"), "4 8 16");
  auto* t = dynamic_cast<cTaskCtrl*>(w->GetControl(w->FindControl("task1")));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->GetText(), "x5");
  EXPECT_STREQ(t->GetClassName(), "cMissionCtrl");
}

}  // namespace
}  // namespace titletest
