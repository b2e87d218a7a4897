#pragma once
// The renderer over the recording device: a scripted window, the fixed clock and a log file
// in a temporary folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/core/log.h"
#include "engine/core/path_tokens.h"
#include "engine/render/buffer_manager.h"
#include "engine/render/render.h"
#include "engine/render/texture_manager.h"
#include "platform/gfx_recording.h"
#include "platform/os.h"
#include "platform/window.h"
#include "tests/engine/render/test_folders.h"
#include "tests/support/temp_dir.h"

namespace vektest {

class RenderFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    os = UseTempFolders(tmp);
    auto w = std::make_unique<plat::ScriptedWindow>();
    w->open = true;
    w->windowed = true;
    w->clientW = 1024;
    w->clientH = 768;
    window = w.get();
    plat::SetWindow(std::move(w));
    StartTempLog(tmp);
    rec = std::make_shared<plat::gfx::Recorder>();
    plat::gfx::UseRecordingSystem(rec);
    vek::CreateRender();
    render = vek::g_pRender;
  }

  void TearDown() override {
    vek::DestroyTextureManager();
    vek::DestroyBufferManager();
    if (render && render->GetDevice()) render->Free();
    vek::DestroyRender();
    vek::DestroyLogHolder();
    plat::gfx::SetSystemFactory({});
    plat::SetWindow(nullptr);
    plat::SetOs(nullptr);
  }

  // Settings as the engine hands them over: a depth buffer, no stencil.
  static vek::cRender::cSettings Settings(vek::u32 antiAlias = 0, bool depth = true, bool stencil = false) {
    vek::cRender::cSettings s;
    s.depthBuffer = depth;
    s.stencil = stencil;
    s.antiAlias = antiAlias;
    return s;
  }

  // The log file so far as plain text (tags dropped, entities decoded), and what was
  // written after the last Mark.
  std::string Log() const {
    const std::string html = ReadFileText(tmp.path() + "/app/_log.html");
    std::string text;
    for (size_t i = 0; i < html.size();) {
      if (html.compare(i, 6, "<br />") == 0) {
        text += '\n';
        i += 6;
      } else if (html[i] == '<') {
        const size_t end = html.find('>', i);
        i = end == std::string::npos ? html.size() : end + 1;
      } else if (html[i] == '&') {
        static const std::pair<const char*, char> entities[] = {
            {"&nbsp;", ' '}, {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}};
        bool known = false;
        for (const auto& [name, c] : entities) {
          const size_t n = std::char_traits<char>::length(name);
          if (html.compare(i, n, name) == 0) {
            text += c;
            i += n;
            known = true;
            break;
          }
        }
        if (!known) text += html[i++];
      } else {
        text += html[i++];
      }
    }
    return text;
  }
  void Mark() {
    m_Mark = Log().size();
    rec->Clear();
  }
  std::string LogSinceMark() const { return Log().substr(m_Mark); }

  TempDir tmp;
  plat::FixedOs* os = nullptr;
  plat::ScriptedWindow* window = nullptr;
  std::shared_ptr<plat::gfx::Recorder> rec;
  vek::cRender* render = nullptr;

 private:
  size_t m_Mark = 0;
};

}  // namespace vektest
