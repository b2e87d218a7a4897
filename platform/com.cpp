#include "platform/com.h"

namespace plat::com {

bool Initialize() { return true; }

std::unique_ptr<MovieControl> CreateMovieControl(int /*width*/, int /*height*/) { return nullptr; }

}  // namespace plat::com
