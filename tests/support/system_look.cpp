#include "tests/support/system_look.h"

#include "engine/core/data_manager.h"
#include "engine/core/filename.h"
#include "engine/core/image.h"
#include "engine/core/script.h"
#include "engine/render/texture.h"

namespace vektest {

bool LoadSystemLook() {
  for (const char* name : {"font_system", "gui_system", "cursor_pointer"}) {
    vek::cImage image;
    if (vek::cDataManager::ReadImage(vek::string("{StaticPath}/texture/system/") + name + ".png", &image) != 0)
      return false;
    // The texture manager owns it; it uploads at once when a device exists.
    auto* texture = new vek::cTexture(name, false, &image);
    texture->OnCreateContext();
  }
  return vek::GetScript()->LoadFile("{StaticPath}/conf/sys_font.lua");
}

}  // namespace vektest
