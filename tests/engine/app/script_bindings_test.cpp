#include "engine/app/script_bindings.h"

#include <gtest/gtest.h>
#include <lua.hpp>
#include <luabind/luabind.hpp>

#include <filesystem>
#include <string>

#include "engine/app/game.h"
#include "engine/core/geometry.h"
#include "engine/core/path_tokens.h"
#include "engine/core/recti.h"
#include "engine/script/locale.h"
#include "engine/script/script.h"
#include "tests/support/script_engine_fixture.h"

namespace {

// The engine object with its script host, as the start-up leaves them.
using BindingsTest = vektest::ScriptEngineFixture;

TEST_F(BindingsTest, ConstantsOnTheEngineAndAlignment) {
  struct {
    const char* expression;
    const char* value;
  } cases[] = {
      {"theEngine.e_ExePath", "0"}, {"theEngine.e_StaticPath", "1"}, {"theEngine.e_AppPath", "2"},
      {"theEngine.e_UserPath", "3"}, {"cGame.e_AppPath", "2"},        {"cAlign.None", "0"},
      {"cAlign.Left", "1"},          {"cAlign.Center", "2"},          {"cAlign.Right", "4"},
      {"cAlign.Top", "8"},           {"cAlign.Middle", "16"},         {"cAlign.Bottom", "32"},
  };
  for (const auto& c : cases) EXPECT_EQ(Eval(c.expression), c.value) << c.expression;
}

TEST_F(BindingsTest, NumberVectors) {
  for (const char* cls : {"vectori", "vectorf"}) {
    SCOPED_TRACE(cls);
    ASSERT_TRUE(Run(std::string("v = ") + cls + "(3) v:set(5, 9) v:set(-1, 9) v:set(1, 4)"));
    EXPECT_EQ(Eval("v:size()"), "3");
    EXPECT_EQ(Eval("v:at(0) + v:at(2)"), "0");
    EXPECT_EQ(Eval("v:at(1)"), "4");
    for (const char* bad : {"v:at(3)", "v:at(-1)", "v:at(100)"})
      EXPECT_EQ(Eval(bad), "<error: invalid vector<T> subscript>") << bad;
    ASSERT_TRUE(Run("v:resize(5)"));
    EXPECT_EQ(Eval("v:size() .. ' ' .. v:at(4)"), "5 0");
    EXPECT_EQ(Eval(std::string(cls) + "():size()"), "0");
  }
  ASSERT_TRUE(Run("f = vectorf(1) f:set(0, 2.5) i = vectori(1) i:set(0, -7)"));
  EXPECT_EQ(Eval("f:at(0)"), "2.5");
  EXPECT_EQ(Eval("i:at(0)"), "-7");
}

TEST_F(BindingsTest, RectanglesAreMadeFromFourNumbers) {
  ASSERT_TRUE(Run("ri = recti(1, 2, 3, 4) rf = rectf(0.5, 1, 2, 8)"));
  lua_getglobal(L, "ri");
  const vek::recti* ri = luabind::object_cast<vek::recti*>(luabind::object(luabind::from_stack(L, -1)));
  lua_getglobal(L, "rf");
  const vek::rectf* rf = luabind::object_cast<vek::rectf*>(luabind::object(luabind::from_stack(L, -1)));
  ASSERT_TRUE(ri && rf);
  EXPECT_EQ(ri->x + ri->y * 10 + ri->w * 100 + ri->h * 1000, 4321);
  EXPECT_EQ(rf->x, 0.5f);
  EXPECT_EQ(rf->h, 8.0f);
  lua_pop(L, 2);
  EXPECT_NE(Eval("recti(1, 2)").find("<error: No matching overload"), std::string::npos) << Eval("recti(1, 2)");
}

TEST_F(BindingsTest, TextList) {
  ASSERT_TRUE(Run("s = strlist() e0 = s:empty() s:resize(2) s:set(1, 'b') s:set(2, 'lost')"));
  EXPECT_EQ(Eval("e0"), "true");
  EXPECT_EQ(Eval("s:empty()"), "false");
  EXPECT_EQ(Eval("s:size()"), "2");
  EXPECT_EQ(Eval("'[' .. s:at(0) .. '][' .. s:at(1) .. ']'"), "[][b]");
  EXPECT_EQ(Eval("s:at(2)"), "<error: invalid vector<T> subscript>");
}

TEST_F(BindingsTest, FileNamesFilesAndFolders) {
  const std::string dir = tmp.path() + "/static";
  std::filesystem::create_directories(dir + "/conf");
  ASSERT_TRUE(vektest::WriteFileText(dir + "/conf/system.lua", "from_file = 42\n"));
  vek::SetPathToken(vek::e_StaticPath, dir);

  ASSERT_TRUE(Run("f = filename('{StaticPath}/conf/system.lua')"));
  EXPECT_EQ(Eval("f.file"), "system.lua");
  EXPECT_EQ(Eval("f.name .. '|' .. f.ext"), "system|lua");
  EXPECT_EQ(Eval("f.path == f:c_str()"), "true");
  EXPECT_EQ(Eval("f.dir .. f.file == f.path"), "true");
  EXPECT_EQ(Eval("f:empty()"), "false");
  EXPECT_EQ(Eval("filename():empty()"), "true");
  ASSERT_TRUE(Run("g = filename('{StaticPath}/x.dat') g:replace_ext('bak')"));
  EXPECT_EQ(Eval("g.file"), "x.bak");

  EXPECT_EQ(Eval("cFileSystem():Exist(f)"), "true");
  EXPECT_EQ(Eval("cFileSystem():IsFolder(filename('{StaticPath}/conf'))"), "true");
  EXPECT_EQ(Eval("cFileSystem():GetFirst(filename('{StaticPath}/conf')).file"), "system.lua");

  // A script outside the data set, in a folder with capitals and a space, loads as written.
  std::filesystem::create_directories(tmp.path() + "/Ann Lee");
  ASSERT_TRUE(vektest::WriteFileText(tmp.path() + "/Ann Lee/Extra.lua", "extra = 7\n"));
  ASSERT_TRUE(Run("loaded = GetScript():LoadFile(filename('" + tmp.path() + "/Ann Lee/Extra.lua'))"));
  EXPECT_EQ(Eval("loaded"), "true");
  EXPECT_EQ(Eval("extra"), "7");
  ASSERT_TRUE(Run("file = cFile() r = file:Open(f, 'rt') open = file:IsOpen() file:Close()"));
  EXPECT_EQ(Eval("r"), "0");
  EXPECT_EQ(Eval("open"), "true");
  EXPECT_EQ(Eval("file:IsOpen()"), "false");

  EXPECT_EQ(Eval("GetScript():LoadFile(f)"), "true");
  EXPECT_EQ(Eval("from_file"), "42");
  EXPECT_EQ(Eval("GetScript():LoadFile(filename('{StaticPath}/none.lua'))"), "false");
  EXPECT_EQ(Eval("type(cDataManager)"), "userdata");
}

TEST_F(BindingsTest, DefaultTextsAreScriptProperties) {
  const vek::cLocale defaults;
  EXPECT_EQ(defaults.MouseWheelUp, "Mouse wheel up");
  EXPECT_EQ(defaults.MouseWheelDown, "Mouse wheel down");
  EXPECT_EQ(defaults.TransferWait, "Please wait...");
  EXPECT_EQ(defaults.Player, "Player");

  vek::GetScript()->RegisterVar("vek_locale", &vek::g_Locale);
  EXPECT_EQ(Eval("vek_locale.Yes .. '/' .. vek_locale.No .. '/' .. vek_locale.KeyboardBackspace"),
            "Yes/No/Backspace");
  ASSERT_TRUE(Run("vek_locale.Ok = 'Fine'"));
  EXPECT_EQ(vek::g_Locale.Ok, "Fine");
  vek::g_Locale.Ok = defaults.Ok;
  EXPECT_EQ(Eval("vek_locale.Ok"), "Ok");
  // Every text is a property under its own name.
  ASSERT_TRUE(Run(R"(
    names = {'Mouse', 'MouseButton', 'MouseButtonLeft', 'MouseButtonRight', 'MouseButtonMiddle',
      'MouseWheelUp', 'MouseWheelDown', 'Keyboard', 'KeyboardControl', 'KeyboardEnter',
      'KeyboardSpace', 'KeyboardBackspace', 'KeyboardShift', 'KeyboardLeft', 'KeyboardRight',
      'KeyboardUp', 'KeyboardDown', 'Joystick', 'TransferWait', 'TransferFailed', 'Ok', 'Cancel',
      'Yes', 'No', 'Ignore', 'Abort', 'Help', 'Information', 'Warning', 'Error', 'Player'}
    texts = 0
    for _, n in ipairs(names) do if type(vek_locale[n]) == 'string' and #vek_locale[n] > 0 then texts = texts + 1 end end
  )"));
  EXPECT_EQ(Eval("texts"), "31");
}

TEST_F(BindingsTest, EngineObjectMembers) {
  EXPECT_EQ(Eval("GetScript() ~= nil"), "true");
  ASSERT_TRUE(Run("w, h = theEngine:GetClientSize()"));
  EXPECT_EQ(Eval("w .. 'x' .. h"), "1024x768");
  EXPECT_EQ(Eval("theEngine:IsWindowed()"), "true");
  ASSERT_TRUE(Run("theEngine:SetWindowTitle('Garden') theEngine:EnableConsole(true) "
                  "theEngine:SetLocale('') theEngine:PauseWidget(true)"));
  EXPECT_EQ(game->GetSettings().title, "Garden");
  EXPECT_TRUE(game->IsConsoleEnabled());
  EXPECT_EQ(game->GetPauseCount(), 1);
  ASSERT_TRUE(Run("theEngine:SetGamma(1.0) g = theEngine:GetGamma()"));
  EXPECT_EQ(Eval("math.abs(g - 1.0) < 1e-4"), "true");
  ASSERT_TRUE(Run("theEngine:SetFocusWidget('nobody') info('video') dump_vek15('gui')"));
  EXPECT_NE(LogText().find("Widget with name &#39;nobody&#39; not found."), std::string::npos)
      << LogText();
  EXPECT_NE(LogText().find("System Information"), std::string::npos);
  EXPECT_NE(LogText().find("Engine Information"), std::string::npos);
}

TEST_F(BindingsTest, ExitEndsTheMainLoopWithItsCode) {
  ASSERT_TRUE(Run("theEngine:Exit(0)"));
  EXPECT_EQ(game->Run(), 0);
  ASSERT_TRUE(Run("theEngine:Exit(3)"));
  EXPECT_EQ(game->Run(), 3);
}

TEST_F(BindingsTest, ObjectsScriptsMakeAreTheirsAndEngineObjectsAreNot) {
  // Many script-owned values made and dropped; the engine object and host survive collection.
  ASSERT_TRUE(Run("for i = 1, 200 do local a, b, c, d = vectori(i), strlist(), filename('x'), cFile() end "
                  "e = theEngine theEngine = nil s = GetScript() collectgarbage() collectgarbage()"));
  ASSERT_TRUE(Run("theEngine = e e = nil s = nil collectgarbage()"));
  EXPECT_EQ(Eval("theEngine.e_AppPath"), "2");
  EXPECT_EQ(vek::g_pGame, game);
}

}  // namespace
