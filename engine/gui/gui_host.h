#pragma once
// What the GUI layer asks of the application that drives it: the list of widgets (which
// register themselves in it), the focus they give up when deleted, the GUI manager and the
// active flag. The application registers itself while it lives; without one widgets stand
// alone and the GUI counts as active.
#include <list>

#include "engine/render/render_host.h"

namespace vek {

class cGUI;
class cWidget;

class iGuiHost : public iRenderHost {
 public:
  virtual std::list<cWidget*>& GetWidgets() = 0;
  // A widget being deleted: it loses the focus when it has it.
  virtual void ForgetWidget(cWidget* widget) = 0;
  virtual cGUI* GetGUI() const = 0;
  virtual bool IsActive() const = 0;

 protected:
  ~iGuiHost() = default;
};

// The registered host, or null.
iGuiHost* GetGuiHost();
// Registers the host with the GUI layer and, as its render host, with the render layer.
void SetGuiHost(iGuiHost* host);

}  // namespace vek
