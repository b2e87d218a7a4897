#include "tests/support/system_look.h"

#include "engine/files/data_manager.h"
#include "engine/files/filename.h"
#include "engine/files/image.h"
#include "engine/render/texture.h"
#include "engine/script/script.h"

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
