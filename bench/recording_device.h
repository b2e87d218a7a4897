#pragma once
// The recording graphics device for frame benchmarks: a scripted 1024 x 768 window, the
// renderer on the recording system (every device call is recorded, nothing is drawn), the
// texture, sheet and font tables, and a script host that runs area scripts. Sheets are loaded
// as blank pictures of their size with their area scripts, or as the built pictures; the
// header font as a blank 16 x 16 grid of glyphs. Everything is torn down in reverse order.
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "engine/app/script_bindings.h"
#include "engine/core/log.h"
#include "engine/core/path_tokens.h"
#include "engine/files/data_manager.h"
#include "engine/files/filename.h"
#include "engine/files/image.h"
#include "engine/render/font.h"
#include "engine/render/render.h"
#include "engine/render/render_bindings.h"
#include "engine/render/texture.h"
#include "engine/render/texture_info.h"
#include "engine/render/texture_manager.h"
#include "engine/script/script.h"
#include "engine/script/script_bind.h"
#include "platform/gfx.h"
#include "platform/gfx_recording.h"
#include "platform/window.h"

namespace vekbench {

class cRecordingDevice {
 public:
  explicit cRecordingDevice(const std::string& name)
      : m_Logs(std::filesystem::temp_directory_path() / ("vekbench-" + name)) {
    vek::SetPathToken(vek::e_AppPath, m_Logs.string());
    vek::CreateLogHolder(1024.0f, 768.0f);
    recorder = std::make_shared<plat::gfx::Recorder>();
    plat::gfx::UseRecordingSystem(recorder);
    auto window = std::make_unique<plat::ScriptedWindow>();
    window->open = true;
    window->windowed = true;
    window->clientW = 1024;
    window->clientH = 768;
    plat::SetWindow(std::move(window));
    vek::CreateRender();
    vek::cRender::cSettings settings;
    m_Ok = vek::g_pRender->Init(settings) == 0;
    vek::CreateTextureManager();
    vek::CreateTextureInfos();
    vek::CreateFontManager();
    m_Script.Init();
    vek::RegisterEngine(&m_Script);
    luabind::module(m_Script.GetState())[vek::bindings::TextureInfoClass()];
    vek::bindings::KeepTextureInfosNative(m_Script.GetState());
  }
  ~cRecordingDevice() {
    vek::DestroyFontManager();
    vek::DestroyTextureInfoTable();
    vek::DestroyTextureManager();
    vek::g_pRender->Free();
    vek::DestroyRender();
    plat::gfx::SetSystemFactory({});
    plat::SetWindow(nullptr);
    vek::DestroyLogHolder();
    std::error_code ec;
    std::filesystem::remove_all(m_Logs, ec);
  }
  cRecordingDevice(const cRecordingDevice&) = delete;
  cRecordingDevice& operator=(const cRecordingDevice&) = delete;

  bool IsOk() const { return m_Ok; }
  // A blank picture of the sheet's size under its name, then its area script.
  bool LoadBlankSheet(const std::string& name, vek::u32 w, vek::u32 h, const std::string& tex) {
    vek::cImage image(vek::e_PixARGB, w, h, 1);
    new vek::cTexture(name, false, &image);
    return m_Script.LoadFile(vek::filename(tex));
  }
  // A built picture (png) under its file name, and its area script when there is one. A
  // picture on a shared page loads the page (once) with its script, which makes its parts.
  bool LoadPicture(const std::string& png, bool withAreas) {
    vek::cImage image;
    if (!std::filesystem::exists(png)) return LoadPageOf(png);
    if (vek::cDataManager::ReadImage(vek::filename(png), &image) != 0) return false;
    const std::string name = std::filesystem::path(png).stem().string();
    new vek::cTexture(name, false, &image);
    if (!withAreas) return true;
    return m_Script.LoadFile(vek::filename(std::filesystem::path(png).replace_extension(".tex").string()));
  }
  // The page in the picture's data folder whose script makes a part of the picture's name.
  bool LoadPageOf(const std::string& png) {
    namespace fs = std::filesystem;
    const std::string mark = "cTexturePart(\"" + fs::path(png).stem().string() + "\", \"";
    fs::path data = fs::path(png).parent_path();
    while (!data.empty() && data.filename() != "data") data = data.parent_path();
    std::error_code ec;
    for (fs::recursive_directory_iterator it(data, ec), end; !ec && it != end; it.increment(ec)) {
      if (it->path().extension() != ".tex") continue;
      std::ifstream in(it->path());
      std::ostringstream text;
      text << in.rdbuf();
      if (text.str().find(mark) == std::string::npos) continue;
      fs::path page = it->path();
      page.replace_extension(".png");
      if (vek::g_pTextureManager->FindIndex(page.stem().string()) != 0) return true;
      return LoadPicture(page.string(), true);
    }
    return false;
  }
  // The header font: a 16 x 16 grid of 24-pixel glyphs on a blank 512 x 512 texture.
  void LoadHeaderFont() {
    vek::cImage image(vek::e_PixARGB, 512, 512, 1);
    new vek::cTexture("header24x24", false, &image);
    auto* font = new vek::cFont("header24x24");
    font->Init("DejaVu Sans", "Bold", 24, 29);
    font->Texture("header24x24", 512, 512);
    for (int c = 32; c < 128; ++c)
      font->Char(std::string(1, static_cast<char>(c)), 24, vek::recti{(c % 16) * 32, (c / 16) * 32, 24, 29}, 0, 18);
  }
  // Device calls recorded since the last Reset: every kind of draw call.
  size_t CountDraws() const { return static_cast<size_t>(recorder->Count("Draw")); }
  void Reset() { recorder->calls.clear(); }

  std::shared_ptr<plat::gfx::Recorder> recorder;

 private:
  std::filesystem::path m_Logs;
  bool m_Ok = false;
  vek::cScript m_Script;
};

}  // namespace vekbench
