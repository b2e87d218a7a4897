#pragma once
// Frames read back from the OpenGL device compared with expected pictures kept in the tree.
#include <string>

#include "engine/core/types.h"

namespace vektest {

// Expects the RGB frame `rgb` (width x height, rows from the bottom as the device reads them)
// to match the PNG at `expectedPath`, every channel within `tolerance`. When it does not, or
// there is no expected picture, the frame is written beside it as <name>_actual.png.
void ExpectFrameMatchesPicture(const vek::u8* rgb, int width, int height, const std::string& expectedPath,
                               int tolerance = 16);

// Writes the RGB frame (rows from the bottom) as build/screenshots/<name>.png, for people to
// look at.
void SaveScreenshot(const vek::u8* rgb, int width, int height, const std::string& name);

}  // namespace vektest
