// The title windows played through the engine's frame with scripted keys, characters and
// mouse input: a first start leads to profile creation, the new player is greeted, the music
// volume is changed in the options, and the game ends through the exit question.
#include <gtest/gtest.h>

#include "engine/gui/edit_ctrl.h"
#include "engine/gui/label_ctrl.h"
#include "engine/gui/slider_ctrl.h"
#include "engine/sound/sound_manager.h"
#include "platform/input.h"
#include "platform/window.h"
#include "tests/game/windows/title_fixture.h"

namespace titletest {
namespace {

constexpr vek::u8 kEnter = 28;

class TitleFlowE2E : public TitleFixture {
 protected:
  void Frame(int frames = 1) {
    for (int i = 0; i < frames; ++i) {
      game->SetFrameTime(vek::kFixedStep);  // a fixed step each frame
      game->Frame();
    }
  }
  void MoveTo(int x, int y) {
    window->cursorX = x;
    window->cursorY = 768 - y;
    input->MouseMove(1, 0);
    Frame();
  }
  void ClickAt(int x, int y) {
    MoveTo(x, y);
    input->Button(0, true);
    Frame();
    input->Button(0, false);
    Frame(20);  // the command arrives, fades end
  }
  void ClickOn(const char* window, const char* control) {
    const vek::rectf r = Control<vek::cCtrl>(window, control)->GetRect();
    ClickAt(static_cast<int>(r.x + r.w / 2), static_cast<int>(r.y + r.h / 2));
  }
  void Press(vek::u8 key) {
    input->Key(key, true);
    Frame();
    input->Key(key, false);
    Frame(20);
  }
  void Type(const std::string& text) {
    for (char c : text) {
      game->WindowProc(plat::Message{plat::MsgKind::Char, static_cast<unsigned char>(c), 0, 0});
      Frame();
    }
  }
  bool QuitPosted() {
    plat::Message msg;
    bool quit = false;
    while (plat::GetWindow().Peek(msg)) quit = quit || msg.kind == plat::MsgKind::Quit;
    return quit;
  }
};

TEST_F(TitleFlowE2E, FirstStartToGreetingOptionsAndExit) {
  host->SwitchWindow("main", 1);
  Frame(20);
  ASSERT_TRUE(Shown("profile_add"));
  auto* name = Control<vek::cEditCtrl>("profile_add", "name");
  EXPECT_EQ(name->GetText(), "Tester");
  Type(std::string(6, '\b'));
  Type("Ann");
  Press(kEnter);
  EXPECT_EQ(host->GetPlayerName(), "Ann");
  ASSERT_TRUE(Shown("profile_select"));
  Press(kEnter);  // the new player's row is selected: Enter plays
  ASSERT_TRUE(Shown("main"));
  EXPECT_FALSE(Shown("profile_select"));
  EXPECT_EQ(Control<vek::cLabelCtrl>("main", "lbProfile")->GetText(), "Welcome, Ann!");

  ClickOn("main", "btOptions");
  ASSERT_TRUE(Shown("options"));
  // The music knob dragged to the left end of its groove.
  auto* music = Control<vek::cSliderCtrl>("options", "slMusic");
  const vek::rectf thumb = music->GetThumbRect();
  const vek::rectf track = music->GetTrackRect();
  MoveTo(static_cast<int>(thumb.x + thumb.w / 2), static_cast<int>(thumb.y + thumb.h / 2));
  input->Button(0, true);
  Frame();
  MoveTo(static_cast<int>(track.x), static_cast<int>(thumb.y + thumb.h / 2));
  input->Button(0, false);
  Frame(2);
  EXPECT_LT(vek::GetSound()->GetVolume(2), 0.05f);
  ClickOn("options", "btBack");
  EXPECT_FALSE(Shown("options"));

  QuitPosted();
  ClickOn("main", "btExit");
  ASSERT_TRUE(Shown("messagebox"));
  EXPECT_FALSE(QuitPosted());
  ClickOn("messagebox", "ok");
  EXPECT_TRUE(QuitPosted());
}

}  // namespace
}  // namespace titletest
