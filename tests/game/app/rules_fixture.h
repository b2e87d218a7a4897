#pragma once
// A profile folder in a temporary AppPath, a fake application that knows a few wares, and
// the log of the run.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "engine/core/path_tokens.h"
#include "game/app/game_rules.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/app/save_unit.h"
#include "tests/support/engine_fixture.h"

namespace vektest {

class FakeRulesHost : public cPlainRulesHost {
 public:
  FakeRulesHost() {
    int id = 0;
    for (const char* name : {"plant00", "plant01", "plant02", "plant03", "plant04", "plant05", "plant06",
                             "plant07", "product00", "product01", "product01_1", "product02", "product02_1",
                             "product03", "product03_1", "egg", "milk", "honey", "nib"})
      wares[name] = id++;
  }
  vek::i32 GetWareId(const vek::string& name) override {
    auto it = wares.find(name);
    return it == wares.end() ? kNoWare : it->second;
  }
  vek::string GetWareName(vek::i32 id) override {
    for (const auto& [name, value] : wares)
      if (value == id) return name;
    return {};
  }
  std::map<std::string, int> wares;
};

class RulesFixture : public EngineFixture {
 protected:
  void SetUp() override {
    EngineFixture::SetUp();
    SetRulesHost(&host);
    ClearWorldSaveFiles();
  }
  void TearDown() override {
    ClearWorldSaveFiles();
    SetSaveFileLayer(nullptr);
    SetRulesWorld(nullptr);
    SetRulesHost(nullptr);
    EngineFixture::TearDown();
  }
  std::string ProfileDir(const std::string& folder = "plr000") const {
    return vek::GetPathToken(vek::e_AppPath) + "/profile/" + folder + "/";
  }

  FakeRulesHost host;
};

// The rules fixture with a world of the test's own (any iRulesWorld) and a current player.
template <class World>
class RulesWorldFixture : public RulesFixture {
 protected:
  void SetUp() override {
    RulesFixture::SetUp();
    SetRulesWorld(&world);
    SetCurrentPlayer(&player);
  }
  void TearDown() override {
    SetCurrentPlayer(nullptr);
    SetRulesWorld(nullptr);
    RulesFixture::TearDown();
  }
  World world;
  cPlayer player{"plr000"};
  cGameRules rules;
};

}  // namespace vektest
