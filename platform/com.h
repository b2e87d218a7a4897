#pragma once
// The hosted movie control of the splash screen's movie slides. No such control exists on
// Linux: creating one fails, as on a machine where the control is not installed, and the
// caller's movie slides draw nothing.
#include <memory>
#include <string>

namespace plat::com {

// A movie control drawing its frames into a memory picture of its size.
class MovieControl {
 public:
  virtual ~MovieControl() = default;
  virtual bool LoadMovie(const std::string& path) = 0;
  // Draws the current frame into `pixels` (rows of `pitch` bytes, `height` rows).
  virtual bool DrawFrame(void* pixels, int pitch, int height) = 0;
};

// Starts the component system for the thread (true) and makes a control of the given size;
// null when no control is available.
bool Initialize();
std::unique_ptr<MovieControl> CreateMovieControl(int width, int height);

}  // namespace plat::com
