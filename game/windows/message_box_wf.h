#pragma once
// The game's modal question and error box "messagebox": an icon, a title, a text of one or
// more lines, an ok button and an optional cancel button. Callers fill it and open it through
// the application; when it has faded out the application reads its result and command. While
// it is on the screen it holds the engine's widget pause.
#include "game/app/window_host.h"
#include "game/windows/base_wf.h"

class cMessageBoxWF : public cBaseWF, public iMessageBox {
 public:
  // The host forgets a box that goes.
  ~cMessageBoxWF() override;
  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;

  // "image" gets the first picture; "icon", a badge beside it, the second (hidden when both
  // are the same picture).
  int SetIcon(const vek::string& image, const vek::string& icon) override;
  // The text goes to "text" when the layout has it, else line by line to "line0", "line1", ...
  // (lines beyond the text are cleared); the title to "title".
  int SetText(const vek::string& text, const vek::string& title) override;
  // An empty cancel caption hides "cancel" (and "ok" takes the middle of both places).
  int SetButtons(const vek::string& ok, const vek::string& cancel) override;
  void SetCommand(vek::string command) override { m_Command = std::move(command); }
  const vek::string& GetCommand() const override { return m_Command; }
  vek::i32 GetResult() const override { return m_Result; }

  const cPauseHold& GetPause() const { return m_Pause; }

 private:
  vek::i32 m_Result = 1;
  vek::string m_Command;
  vek::cWindow* m_pWindow = nullptr;
  // Where the layout put "ok"; alone, it moves to the middle of the two buttons' places.
  vek::f32 m_OkX = 0.0f, m_OkY = 0.0f;
  cPauseHold m_Pause;
};
