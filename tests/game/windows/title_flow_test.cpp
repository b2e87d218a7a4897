// The title windows driven as a player drives them: the main menu's start and exit, the
// escape menu, the message box and its commands, the profile windows and the options.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <lua.hpp>
#include <set>
#include <string>

#include "engine/files/file_system.h"
#include "engine/core/format.h"
#include "engine/script/locale.h"
#include "engine/sound/sound_manager.h"
#include "engine/gui/check_box_sys_ctrl.h"
#include "engine/gui/edit_ctrl.h"
#include "engine/gui/label_ctrl.h"
#include "engine/gui/list_sys_ctrl.h"
#include "engine/gui/slider_ctrl.h"
#include "game/app/locale_gd.h"
#include "game/windows/base_wf.h"
#include "game/windows/controls/button_ctrl.h"
#include "game/windows/menu_wf.h"
#include "game/windows/message_box_wf.h"
#include "platform/window.h"
#include "tests/game/windows/title_fixture.h"

namespace titletest {
namespace {

using ::testing::ElementsAre;

class TitleFlow : public TitleFixture {
 protected:
  cMessageBoxWF* Box() { return Function<cMessageBoxWF>("messagebox"); }
  std::string Line(int i) {
    auto* l = Control<vek::cLabelCtrl>("messagebox", "line" + std::to_string(i));
    return l ? l->GetText() : "<none>";
  }
  // Answers the open box with the named button and lets it fade out.
  void Answer(const std::string& button) {
    Click("messagebox", button);
    Settle();
  }
  bool QuitPosted() {
    plat::Message msg;
    bool quit = false;
    while (plat::GetWindow().Peek(msg)) quit = quit || msg.kind == plat::MsgKind::Quit;
    return quit;
  }
};

TEST_F(TitleFlow, EveryWindowFindsItsControls) {
  for (const char* name : {"messagebox", "main", "escape", "profile_select", "options", "profile_add"}) {
    auto* f = Function<cBaseWF>(name);
    ASSERT_NE(f, nullptr) << name;
    EXPECT_FALSE(f->IsFailed()) << name;
  }
  EXPECT_EQ(LogText().find("[main]"), std::string::npos);
}

TEST_F(TitleFlow, EveryTextOfTheMenusComesFromTheLocaleFile) {
  // Every text the locale file gives, the game's and the engine's.
  std::set<std::string> texts;
  lua_State* L = vek::GetScript()->GetState();
  for (const char* table : {"locale", "vek_locale"}) {
    lua_getglobal(L, table);
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
      if (lua_type(L, -1) == LUA_TSTRING) texts.insert(lua_tostring(L, -1));
      lua_pop(L, 1);
    }
    lua_pop(L, 1);
  }
  ASSERT_GT(texts.size(), 100u);
  int checked = 0;
  for (const char* name : {"main", "escape", "options", "profile_select", "profile_add", "messagebox"}) {
    vek::cWindow* w = Window(name);
    ASSERT_NE(w, nullptr) << name;
    for (unsigned i = 0; i < w->GetControlCount(); ++i) {
      vek::cCtrl* c = w->GetControl(i);
      std::string text;
      if (auto* label = dynamic_cast<vek::cLabelCtrl*>(c)) text = label->GetText();
      else if (auto* button = dynamic_cast<cButtonCtrl*>(c)) text = button->GetText();
      else if (auto* box = dynamic_cast<vek::cCheckBoxSysCtrl*>(c)) text = box->GetLabel().GetText();
      text.erase(0, text.find_first_not_of(' '));
      if (text.empty()) continue;
      ++checked;
      EXPECT_TRUE(texts.count(text)) << name << "." << c->GetName() << ": '" << text << "' is not from the locale file";
    }
  }
  EXPECT_GT(checked, 20);
}

TEST_F(TitleFlow, MainWithoutPlayerOpensTheProfilesAndThenProfileCreation) {
  ASSERT_TRUE(host->SwitchWindow("main", 1));
  // No player: the main menu opens the profile list, whose empty list opens profile creation.
  EXPECT_TRUE(Shown("profile_select"));
  EXPECT_TRUE(Shown("profile_add"));
  EXPECT_EQ(Control<vek::cEditCtrl>("profile_add", "name")->GetText(), "Tester");
}

TEST_F(TitleFlow, GreetingFillsTheFormatAndKeepsIt) {
  AddPlayer("Ann");
  host->SwitchWindow("main", 1);
  auto* label = Control<vek::cLabelCtrl>("main", "lbProfile");
  EXPECT_EQ(label->GetText(), "Welcome, Ann!");
  AddPlayer("Bob %s %i %n");
  host->SwitchWindow("main", 1);
  // A name with placeholders is text; the format stays the layout's.
  EXPECT_EQ(label->GetText(), "Welcome, Bob %s %i %n!");
  EXPECT_EQ(Function<cMainWF>("main")->GetGreetingFormat(), "Welcome, %s!");
}

TEST_F(TitleFlow, StartDecisionTable) {
  struct Case {
    int progress, saved;
    std::vector<std::string> calls;
    bool asks;
  };
  const Case cases[] = {
      {0, -1, {"ShowIsland 0", "StartComics 0"}, false},
      {0, 4, {"ShowIsland 0", "ShowIsland 1"}, true},
      {6, -1, {"ShowIsland 0", "ShowIsland 1"}, false},
      {6, 5, {"ShowIsland 0", "ShowIsland 1"}, true},
  };
  cPlayer* p = AddPlayer("Ann");
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.progress << " " << c.saved);
    p->levelProgress = c.progress;
    p->selectedLevel = c.saved;
    gui->HideWindow("messagebox");
    Settle();
    host->SwitchWindow("main", 1);
    host->calls.clear();
    // The window's own show already happened; only the click's calls are looked at.
    host->calls.push_back("ShowIsland 0");
    Click("main", "btStart");
    EXPECT_EQ(host->calls, c.calls);
    EXPECT_EQ(Shown("messagebox"), c.asks);
    if (c.asks) {
      EXPECT_EQ(Box()->GetCommand(), "continue_last");
    }
  }
}

TEST_F(TitleFlow, TheIslandScrollsToThePlayersLevelOncePerRun) {
  cPlayer* p = AddPlayer("Ann");
  p->levelProgress = 3;
  host->placeCount = 3;  // level 3 has no place yet: no scroll, asked again next time
  host->islandReady = true;
  host->SwitchWindow("main", 1);
  EXPECT_TRUE(Function<cMainGDWF>("main")->IsFirstShowing());
  host->placeCount = 10;
  host->calls.clear();
  host->SwitchWindow("main", 1);
  EXPECT_EQ(host->calls, (std::vector<std::string>{"ShowIsland 0", "ScrollIslandToPlace 3"}));
  host->calls.clear();
  host->SwitchWindow("main", 1);
  EXPECT_EQ(host->calls, std::vector<std::string>{"ShowIsland 0"});
}

TEST_F(TitleFlow, ExitAsksAndQuitsOnlyOnYes) {
  AddPlayer("Ann");
  host->SwitchWindow("main", 1);
  QuitPosted();
  Key(kKeyEscape);  // Escape does what btExit does
  Step();
  ASSERT_TRUE(Shown("messagebox"));
  EXPECT_EQ(Line(0), "Are you sure you");
  EXPECT_EQ(Line(2), "the game?");
  Answer("cancel");
  EXPECT_FALSE(QuitPosted());
  Click("main", "btExit");
  Answer("ok");
  EXPECT_TRUE(QuitPosted());
}

TEST_F(TitleFlow, QuestionsComeFromTheTextTable) {
  // As the locale file leaves the table: the question shows its words, not the built-in ones.
  const cLocaleGD saved = g_LocaleGD;
  g_LocaleGD.ConfirmExitGame = "Leave the\ngarden?";
  AddPlayer("Ann");
  host->SwitchWindow("main", 1);
  Click("main", "btExit");
  ASSERT_TRUE(Shown("messagebox"));
  EXPECT_EQ(Line(0), "Leave the");
  EXPECT_EQ(Line(1), "garden?");
  // A text the table has none for shows its key, never another text.
  g_LocaleGD.ErrorOnePlayer.clear();
  EXPECT_EQ(host->GetText("ErrorOnePlayer"), "ErrorOnePlayer");
  EXPECT_EQ(host->GetText("NoSuchText"), "NoSuchText");
  g_LocaleGD = saved;
}

TEST_F(TitleFlow, MessageBoxLinesButtonsAndKeys) {
  ShowMessageBox(0, 0, "one\ntwo\nthree", "");
  EXPECT_EQ(Line(0), "one");
  EXPECT_EQ(Line(2), "three");
  EXPECT_EQ(Line(3), "");
  EXPECT_FALSE(Control<vek::cCtrl>("messagebox", "cancel")->GetState(vek::cCtrl::e_Visibility));
  // Escape on a box without cancel answers ok.
  Settle();
  Key(kKeyEscape);
  Settle();
  EXPECT_EQ(Box()->GetResult(), 0);
  ShowMessageBox(3, 2, "a\nb", "");
  EXPECT_EQ(Line(2), "") << "lines of the earlier box are cleared";
  Settle();
  Key(kKeyEscape);
  Settle();
  EXPECT_EQ(Box()->GetResult(), 1);
  ShowMessageBox(3, 2, "x", "");
  Settle();
  Key(kKeyEnter);
  Settle();
  EXPECT_EQ(Box()->GetResult(), 0);
  // Buttons 5 keep the earlier captions; icon 7 names no picture.
  ShowMessageBox(7, 5, "x", "");
  EXPECT_TRUE(Control<vek::cCtrl>("messagebox", "cancel")->GetState(vek::cCtrl::e_Visibility));
}

TEST_F(TitleFlow, CommandsOfTheMessageBox) {
  struct Case {
    const char* command;
    const char* answer;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"continue_last", "ok", {"StartLevel -1"}},
      {"start_level12", "ok", {"StartLevel 12"}},
      {"start_level", "ok", {"StartLevel 0"}},
      {"start_levelx", "ok", {"StartLevel 0"}},
      {"start_level99", "ok", {"StartLevel 44"}},
      {"start_level-3", "ok", {"StartLevel 0"}},
      {"restart_level", "ok", {"CloseHint", "EndLevel", "StartLevel 3"}},
      {"exit_level", "ok", {"SaveLevel", "ShowIsland 0"}},
      {"continue_last", "cancel", {}},
      {"something", "ok", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    host->calls.clear();
    ShowMessageBox(3, 2, "?", c.command);
    Settle();
    Answer(c.answer);
    EXPECT_EQ(host->calls, c.calls);
  }
}

TEST_F(TitleFlow, PauseIsHeldOnlyByWhoRaisedIt) {
  AddPlayer("Ann");
  cPauseHold statistics;  // a window that pauses the play without being modal
  EXPECT_EQ(game->GetPauseCount(), 0);

  // Escape over play, then a question over it, answered No.
  host->SwitchWindow("escape", 2);
  EXPECT_EQ(game->GetPauseCount(), 1);
  Click("escape", "btEnd");
  ASSERT_TRUE(Shown("messagebox"));
  EXPECT_EQ(game->GetPauseCount(), 2);
  Answer("cancel");
  EXPECT_EQ(game->GetPauseCount(), 1) << "the box released its own pause only";
  // Resume: the menu releases its pause; hiding it again releases nothing.
  Click("escape", "btResume");
  Settle();
  EXPECT_EQ(game->GetPauseCount(), 0);
  gui->HideWindow("escape");
  EXPECT_EQ(game->GetPauseCount(), 0);

  // Another holder pauses first: the escape menu takes no pause and so releases none.
  statistics.Take();
  host->SwitchWindow("escape", 2);
  EXPECT_EQ(game->GetPauseCount(), 1);
  Click("escape", "btResume");
  Settle();
  EXPECT_EQ(game->GetPauseCount(), 1) << "the holder's pause stays";
  statistics.Release();
  EXPECT_EQ(game->GetPauseCount(), 0);

  // Leaving the level through the question: every pause is released once.
  host->SwitchWindow("escape", 2);
  Click("escape", "btEnd");
  Answer("ok");
  EXPECT_EQ(game->GetPauseCount(), 0);
  EXPECT_TRUE(Shown("main"));
  EXPECT_FALSE(Shown("escape") && Function<cBaseWF>("escape")->IsReady());
}

TEST_F(TitleFlow, EscapeOnTheIslandAndInALevel) {
  AddPlayer("Ann");
  new vek::cWidget("island");
  game->SetFocusWidget("island");
  host->islandMode = 1;
  host->SwitchWindow("escape", 2);
  EXPECT_TRUE(Control<vek::cCtrl>("escape", "btRestart")->GetState(vek::cCtrl::e_Disabled));
  // The end button names where it leads: the main menu here, the end of the level in play.
  auto endText = [&] { return Control<cButtonCtrl>("escape", "btEnd")->GetText(); };
  EXPECT_EQ(endText(), host->GetText("MenuToMainMenu"));
  EXPECT_NE(endText(), host->GetText("MenuEndLevel"));
  Click("escape", "btEnd");
  EXPECT_TRUE(Shown("main"));
  EXPECT_FALSE(Shown("messagebox"));
  Settle();

  host->islandMode = 2;  // a level was started from the island
  host->SwitchWindow("escape", 2);
  EXPECT_FALSE(Control<vek::cCtrl>("escape", "btRestart")->GetState(vek::cCtrl::e_Disabled));
  EXPECT_EQ(endText(), host->GetText("MenuEndLevel"));
  Click("escape", "btRestart");
  EXPECT_EQ(Box()->GetCommand(), "restart_level");
  const std::string text = Line(0);
  Answer("cancel");
  Click("escape", "btEnd");
  EXPECT_EQ(Box()->GetCommand(), "exit_level");
  EXPECT_EQ(Line(0), text) << "both questions use the same text";
}

TEST_F(TitleFlow, SwitchWindowPreparations) {
  host->SwitchWindow("options", 1);
  host->SwitchWindow("escape", 2);
  Settle();
  EXPECT_FALSE(Shown("options"));
  EXPECT_EQ(host->GetWindowMode(), 2);
  EXPECT_FALSE(host->SwitchWindow("edit", 5));
  EXPECT_EQ(host->GetWindowMode(), 2) << "a refused switch keeps the mode";
  EXPECT_FALSE(host->SwitchWindow("nowhere", 7));
  EXPECT_EQ(host->GetWindowMode(), 7) << "an unknown name still stores the mode";
  AddPlayer("Ann");
  host->SwitchWindow("main", 4);
  Settle();
  EXPECT_THAT(ShownNames(), ElementsAre("main"));
  EXPECT_EQ(host->GetWindowMode(), 4);
}

TEST_F(TitleFlow, OptionsBackAndEscapeByMode) {
  AddPlayer("Ann");
  host->SwitchWindow("main", 1);
  Click("main", "btOptions");
  ASSERT_TRUE(Shown("options"));
  Settle();
  Key(kKeyEscape);
  Settle();
  EXPECT_TRUE(Shown("main"));
  EXPECT_FALSE(Shown("options"));
  host->SwitchWindow("escape", 2);
  Click("escape", "btOptions");
  Settle();
  Click("options", "btBack");
  Settle();
  EXPECT_TRUE(Shown("escape"));
  EXPECT_FALSE(Shown("options"));
}

TEST_F(TitleFlow, OptionsApplyAtOnce) {
  host->SwitchWindow("options", 1);
  Settle();
  auto* gamma = Control<vek::cSliderCtrl>("options", "slGamma");
  auto* music = Control<vek::cSliderCtrl>("options", "slMusic");
  vek::cWindow* w = Window("options");
  // The slider runs opposite to the gamma.
  for (float value : {3.0f, 2.5f}) {
    gamma->SetValue(value);
    gui->SendMessage(w->GetID(), vek::e_ntfSliderValue, static_cast<vek::u32>(value), gamma->GetID());
    EXPECT_NEAR(game->GetGamma(), 4.0f - value, 0.02f);
  }
  music->SetValue(0.25f);
  gui->SendMessage(w->GetID(), vek::e_ntfSliderValue, 0, music->GetID());
  EXPECT_FLOAT_EQ(vek::GetSound()->GetVolume(2), 0.25f);
  // The resolution of the window is the selected row.
  auto* list = Control<vek::cListSysCtrl>("options", "lstResolution");
  ASSERT_EQ(list->GetItemCount(), 5u);
  EXPECT_TRUE(list->IsSelectedItem(1));
  // Hints off, then closing the window closes an open hint.
  host->calls.clear();
  Click("options", "cbHints");
  Step();
  EXPECT_EQ(host->GetHintsEnabled(), 0);
  Click("options", "btBack");
  EXPECT_EQ(host->calls, (std::vector<std::string>{"CloseHint", "ShowIsland 0"}));
}

TEST_F(TitleFlow, TheMouseSpeedSliderShowsEverySpeedTheSettingsKeep) {
  // The settings keep 0.05 to 2 (0.3 when new): the knob must stand on the speed, or the first
  // touch of the slider would change it.
  for (float speed : {0.05f, 0.3f, 2.0f}) {
    host->mouseSpeed = speed;
    host->SwitchWindow("options", 1);
    Settle();
    EXPECT_FLOAT_EQ(Control<vek::cSliderCtrl>("options", "slMouseSpeed")->GetValue(), speed);
    Click("options", "btBack");
    Settle();
  }
}

TEST_F(TitleFlow, ResolutionRowsSetTheModeKeepingTheWindowedState) {
  host->SwitchWindow("options", 1);
  Settle();
  auto* list = Control<vek::cListSysCtrl>("options", "lstResolution");
  const unsigned id = Window("options")->GetID();
  auto choose = [&](unsigned row) {
    list->SelectItem(row, true, false);
    gui->SendMessage(id, vek::e_ntfListChoose, row, list->GetID());
  };
  const int before = window->opens;
  choose(1);  // the mode in use: nothing happens
  Step(2);
  EXPECT_EQ(window->opens, before);
  choose(0);
  Step(2);  // made once the frame that shows the choice is on the screen
  int w = 0, h = 0;
  game->GetClientSize(&w, &h);
  EXPECT_EQ(w * 10000 + h, 800 * 10000 + 600);
  EXPECT_TRUE(game->IsWindowed());
}

// A switch of the window mode takes a moment on a real display: the box shows its new state
// first, the switch runs under the wait pointer, and clicks on the box while it is under way
// (those made while the window was re-made arrive just after it) change nothing.
TEST_F(TitleFlow, TheWindowModeSwitchesOnceUnderTheWaitPointer) {
  host->SwitchWindow("options", 1);
  Settle();
  auto* box = Control<vek::cCheckBoxSysCtrl>("options", "cbWindowed");
  ASSERT_TRUE(box->IsChecked());  // the test window is windowed
  const int opens = window->opens;
  Click("options", "cbWindowed");
  EXPECT_FALSE(box->IsChecked());  // shown at once
  EXPECT_TRUE(game->IsWindowed());  // made a frame later
  Click("options", "cbWindowed");   // a second click while the switch is pending
  EXPECT_FALSE(box->IsChecked());
  Step();
  EXPECT_FALSE(game->IsWindowed());
  EXPECT_EQ(window->opens, opens + 1);
  EXPECT_EQ(window->busyOpens, 1);
  EXPECT_FALSE(window->busyShown);
  Click("options", "cbWindowed");  // queued during the switch, arriving just after it
  EXPECT_FALSE(box->IsChecked());
  Settle();
  EXPECT_FALSE(game->IsWindowed());
  EXPECT_EQ(window->opens, opens + 1);

  Click("options", "cbWindowed");  // later clicks switch again
  Step(2);
  EXPECT_TRUE(game->IsWindowed());
  EXPECT_TRUE(box->IsChecked());
  EXPECT_EQ(window->opens, opens + 2);
}

TEST_F(TitleFlow, SmallDesktopRefusesOnlyTheWindowedMode) {
  vek::g_bSmallDesktop = true;
  host->SwitchWindow("options", 1);
  Settle();
  auto* windowed = Control<vek::cCheckBoxSysCtrl>("options", "cbWindowed");
  ASSERT_TRUE(windowed->IsChecked());  // the test window is windowed
  Click("options", "cbWindowed");       // to full screen: allowed
  Settle();
  EXPECT_FALSE(game->IsWindowed());
  EXPECT_FALSE(Shown("messagebox"));
  Click("options", "cbWindowed");  // back to a window: refused
  Step();
  EXPECT_TRUE(Shown("messagebox"));
  EXPECT_EQ(Line(0), "Can't set windowed mode");
  EXPECT_FALSE(windowed->IsChecked());
  EXPECT_FALSE(game->IsWindowed());
  vek::g_bSmallDesktop = false;
}

TEST_F(TitleFlow, ProfileNames) {
  AddPlayer("Ann");
  struct Case {
    const char* typed;
    const char* error;  // first line of the error, or null when the name is taken
  };
  const Case cases[] = {
      {"", "Can't create"},       {" \t ", "Can't create"},   {"ann", "A user with this"},
      {"  ANN ", "A user with this"}, {"  Bo b  ", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    host->SwitchWindow("profile_select", 1);
    Click("profile_select", "btAdd");
    Settle();
    auto* name = Control<vek::cEditCtrl>("profile_add", "name");
    name->SetText(c.typed);
    Key(kKeyEnter);
    Step();
    if (c.error) {
      EXPECT_TRUE(Shown("messagebox"));
      EXPECT_EQ(Line(0), c.error);
      EXPECT_EQ(name->GetText(), c.typed) << "the window stays with the name as typed";
      Answer("ok");
      Key(kKeyEscape);  // Escape does what cancel does
      Settle();
      EXPECT_FALSE(Shown("profile_add"));
    } else {
      EXPECT_FALSE(Shown("messagebox"));
      EXPECT_EQ(host->GetPlayerName(), "Bo b");
      EXPECT_FALSE(Shown("profile_add") && Function<cBaseWF>("profile_add")->IsReady());
    }
  }
  EXPECT_EQ(host->Players().GetCount(), 2u);
}

TEST_F(TitleFlow, FailedProfileCreationShowsAnError) {
  // Every profile folder is taken on disk.
  for (int i = 0; i < cPlayerList::kMaxProfiles; ++i)
    vek::cFileSystem().CreateFolder(vek::Formatted("{AppPath}/profile/plr%03i", i));
  host->SwitchWindow("profile_add", 1);
  Settle();
  Control<vek::cEditCtrl>("profile_add", "name")->SetText("Ann");
  Click("profile_add", "ok");
  EXPECT_TRUE(Shown("messagebox"));
  EXPECT_EQ(Line(2), "folder!");
  EXPECT_EQ(host->Players().GetCount(), 0u);
}

TEST_F(TitleFlow, DeleteRows) {
  struct Case {
    unsigned rows, deleted;
    const char* current;  // after the deletion
    unsigned left;
  };
  const Case cases[] = {{2, 0, "P1", 1}, {2, 1, "P0", 1}, {3, 2, "P1", 2}, {2, 2, "P0", 2}, {2, 7, "P0", 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rows << " " << c.deleted);
    while (host->Players().GetCount()) host->Players().DeletePlayer(host->Players().GetPlayer(0)->GetName());
    for (unsigned i = 0; i < c.rows; ++i) AddPlayer("P" + std::to_string(i), i == 0);
    host->SwitchWindow("profile_select", 1);
    gui->SendMessage(Window("profile_select")->GetID(), kDeleteProfileMessage, c.deleted, 0);
    EXPECT_EQ(host->GetPlayerName(), c.current);
    EXPECT_EQ(host->Players().GetCount(), c.left);
    EXPECT_EQ(Control<vek::cListSysCtrl>("profile_select", "lstProfile")->GetItemCount(), c.left);
  }
}

// The question names a row; the answer deletes that row's profile, told apart by its folder
// from a name that differs only in case. A folder that by then holds another player's profile
// stays, and the player is told once the question has gone.
TEST_F(TitleFlow, DeleteTakesTheRowAskedAboutAndSparesAForeignFolder) {
  cPlayer* ann = AddPlayer("Ann");
  cPlayer* twin = AddPlayer("ANN", false);
  const std::string annFolder = ann->GetFolder(), twinFolder = twin->GetFolder();
  host->SwitchWindow("profile_select", 1);
  Settle();
  auto* list = Control<vek::cListSysCtrl>("profile_select", "lstProfile");
  list->SelectItem(1, true, false);
  Click("profile_select", "btDelete");
  EXPECT_EQ(Line(2), "player 'ANN'?");
  Answer("ok");
  ASSERT_EQ(host->Players().GetCount(), 1u);
  EXPECT_EQ(host->Players().GetPlayer(0)->GetFolder(), annFolder);
  EXPECT_EQ(host->GetPlayerName(), "Ann");
  EXPECT_FALSE(vek::cFileSystem().Exist("{AppPath}/profile/" + twinFolder));

  // A delete command for a row the question did not name (the list changed meanwhile) is left.
  AddPlayer("Cid", false);
  host->SwitchWindow("profile_select", 1);
  Settle();
  list->SelectItem(1, true, false);
  Click("profile_select", "btDelete");
  Answer("cancel");
  gui->SendMessage(Window("profile_select")->GetID(), kDeleteProfileMessage, 0, 0);
  EXPECT_EQ(host->Players().GetCount(), 2u);
  host->Players().DeletePlayer("Cid");

  cPlayer* bob = AddPlayer("Bob", false);
  cPlayer eve(bob->GetFolder());  // Bob's folder is taken over behind the list's back
  eve.GetName() = "Eve";
  ASSERT_TRUE(eve.WriteProfile());
  host->SwitchWindow("profile_select", 1);
  Settle();
  list->SelectItem(1, true, false);
  Click("profile_select", "btDelete");
  Answer("ok");
  Step(2);
  EXPECT_TRUE(Shown("messagebox"));
  EXPECT_EQ(Line(0), "Can't delete");
  EXPECT_EQ(Line(1), "player 'Bob':");
  EXPECT_EQ(host->Players().GetCount(), 2u);
  EXPECT_EQ(list->GetItemCount(), 2u);
  EXPECT_TRUE(vek::cFileSystem().Exist("{AppPath}/profile/" + bob->GetFolder()));
  Answer("ok");
}

// With no player yet, "A new gardener" offers no way back: Cancel is disabled and Escape says
// that a name is wanted; once a player exists both go back to the list.
TEST_F(TitleFlow, TheFirstPlayerCannotBeCancelled) {
  host->SwitchWindow("profile_select", 1);
  Settle();
  ASSERT_TRUE(Shown("profile_add"));
  auto* cancel = Control<vek::cCtrl>("profile_add", "cancel");
  EXPECT_TRUE(cancel->GetState(vek::cCtrl::e_Disabled));
  Key(kKeyEscape);
  Step();
  EXPECT_TRUE(Shown("messagebox"));
  EXPECT_EQ(Line(0), "Please type a name:");
  Answer("ok");
  EXPECT_TRUE(Shown("profile_add"));
  Control<vek::cEditCtrl>("profile_add", "name")->SetText("Ann");
  Click("profile_add", "ok");
  Settle();
  Click("profile_select", "btAdd");
  Settle();
  EXPECT_FALSE(cancel->GetState(vek::cCtrl::e_Disabled));
  Key(kKeyEscape);
  Settle();
  EXPECT_FALSE(Shown("profile_add"));
  EXPECT_FALSE(Shown("messagebox"));
}

TEST_F(TitleFlow, DeleteAsksAndTheOnlyPlayerStays) {
  AddPlayer("Ann");
  host->SwitchWindow("profile_select", 1);
  Settle();
  Click("profile_select", "btDelete");
  EXPECT_EQ(Line(0), "Can't delete");
  Answer("ok");
  AddPlayer("Bob %s", false);
  host->SwitchWindow("profile_select", 1);
  Settle();
  Click("profile_select", "btDelete");
  EXPECT_EQ(Box()->GetCommand(), "delete=0");
  EXPECT_EQ(Line(2), "player 'Ann'?");
  Answer("cancel");
  EXPECT_EQ(host->Players().GetCount(), 2u);
  auto* list = Control<vek::cListSysCtrl>("profile_select", "lstProfile");
  list->SelectItem(1, true, false);
  Click("profile_select", "btDelete");
  EXPECT_EQ(Line(2), "player 'Bob %s'?");
  Answer("ok");
  EXPECT_EQ(host->Players().GetCount(), 1u);
  EXPECT_EQ(host->GetPlayerName(), "Ann");
}

TEST_F(TitleFlow, ProfileKeys) {
  AddPlayer("Ann", false);
  AddPlayer("Bob", false);
  host->SwitchWindow("profile_select", 1);
  Settle();
  Key(kKeyEscape);  // nothing selected: stays
  Settle();
  EXPECT_TRUE(Shown("profile_select"));
  Control<vek::cListSysCtrl>("profile_select", "lstProfile")->SelectItem(1, true, false);
  Key(kKeyEnter);
  Settle();
  EXPECT_EQ(host->GetPlayerName(), "Bob");
  EXPECT_TRUE(Shown("main"));
  EXPECT_FALSE(Shown("profile_select"));
}

}  // namespace
}  // namespace titletest
