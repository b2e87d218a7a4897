#include "game/app/rules_host.h"

namespace {
iRulesHost* g_pHost = nullptr;
iRulesWorld* g_pWorld = nullptr;
cPlayer* g_pPlayer = nullptr;
}  // namespace

iRulesHost* RulesHost() {
  static cPlainRulesHost plain;
  return g_pHost ? g_pHost : &plain;
}

void SetRulesHost(iRulesHost* host) { g_pHost = host; }

cPlayer* CurrentPlayer() { return g_pPlayer; }
void SetCurrentPlayer(cPlayer* player) { g_pPlayer = player; }

iRulesWorld* RulesWorld() {
  static iRulesWorld none;
  return g_pWorld ? g_pWorld : &none;
}
void SetRulesWorld(iRulesWorld* world) { g_pWorld = world; }
