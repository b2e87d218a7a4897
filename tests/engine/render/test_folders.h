#pragma once
// What both renderer fixtures stand on: the fixed clock over folders in a temporary folder,
// the engine's application and user paths there, and the log file.
#include <memory>
#include <string>

#include "engine/core/log.h"
#include "engine/core/path_tokens.h"
#include "platform/os.h"
#include "tests/support/temp_dir.h"

namespace vektest {

// The fixed clock with its data, home and desktop folders below `tmp`; owned by the platform.
inline plat::FixedOs* UseTempFolders(const TempDir& tmp) {
  auto o = std::make_unique<plat::FixedOs>();
  o->dataHome = tmp.path() + "/xdg";
  o->homeFolder = tmp.path() + "/Home";
  o->desktopFolder = tmp.path() + "/Home/Desktop";
  plat::FixedOs* os = o.get();
  plat::SetOs(std::move(o));
  return os;
}

// The application path (where the log goes) and the user path below `tmp`, then the log.
inline void StartTempLog(const TempDir& tmp) {
  vek::SetPathToken(vek::e_AppPath, tmp.path() + "/app");
  vek::SetPathToken(vek::e_UserPath, tmp.path() + "/Home");
  vek::CreateLogHolder(1024.0f, 768.0f);
}

}  // namespace vektest
