#include "game/app/rules_host.h"

namespace {
iRulesHost* g_pHost = nullptr;
}  // namespace

iRulesHost* RulesHost() {
  static cPlainRulesHost plain;
  return g_pHost ? g_pHost : &plain;
}

void SetRulesHost(iRulesHost* host) { g_pHost = host; }
