#pragma once
// What the render layer asks of the application that drives it: whether its display is a
// window and the quad batch the GUI draws with. The application registers itself while it
// lives; without one the window system answers and there is no batch.
namespace vek {

class cQuadBatch;

class iRenderHost {
 public:
  virtual bool IsWindowed() const = 0;
  virtual cQuadBatch* GetQuadBatch() const = 0;

 protected:
  ~iRenderHost() = default;
};

// The registered host, or null.
iRenderHost* GetRenderHost();
void SetRenderHost(iRenderHost* host);

}  // namespace vek
