#pragma once
// The recording back end: a device with no picture that logs each call as one line of text
// and whose results the test chooses. Textures, buffers and surfaces hold real memory, so
// uploads and read-backs can be checked.
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx.h"

namespace plat::gfx {

struct Recorder {
  // What the system reports.
  DisplayMode adapterMode{1024, 768, 60, Format::X8R8G8B8};
  Result adapterModeResult = kOk;
  Caps caps{2048, 2048, 16};
  Result capsResult = kOk;
  Result depthFormatResult = kOk;   // CheckDeviceFormat
  Result depthMatchResult = kOk;    // CheckDepthStencilMatch
  Result multiSampleResult = kOk;   // CheckDeviceMultiSampleType
  int createDeviceFailures = 0;     // the first n CreateDevice calls fail
  bool systemFails = false;         // CreateSystem gives null

  // What the device answers. Results queued here are returned in turn before the emulated
  // loss state is consulted.
  std::deque<Result> cooperativeLevel;
  std::deque<Result> presentResults;
  Result resetResult = kOk;
  Result beginSceneResult = kOk;
  Result endSceneResult = kOk;
  Result drawResult = kOk;
  Result createTextureResult = kOk;
  Result createDepthStencilResult = kOk;
  bool hasFrontBuffer = true;
  std::uint32_t clientWidth = 1024, clientHeight = 768;  // the back buffer of 0 x 0

  // What the device saw.
  std::vector<std::string> calls;
  PresentParameters lastParams;
  int liveDefaultResources = 0;
  int liveResources = 0;
  std::uint32_t clearColor = 0;  // of the last target clear; the front buffer shows it

  // Number of calls that begin with the text.
  int Count(const std::string& prefix) const;
  // Whether some call begins with the text.
  bool Has(const std::string& prefix) const { return Count(prefix) > 0; }
  void Clear() { calls.clear(); }
};

// Makes CreateSystem return recording systems that write into the recorder.
void UseRecordingSystem(std::shared_ptr<Recorder> recorder);

}  // namespace plat::gfx
