#include "engine/gui/edit_ctrl.h"

#include "engine/gui/gui.h"

namespace vek {

namespace {
const vek::string kEmpty;
}

const vek::string& cEditCtrl::GetText() const { return kEmpty; }

bool cEditCtrl::OnEvent(u32 code, u32 p1, u32 p2) {
  if (code == e_evChar) {
    const u32 c = p1;
    if (c == 8) {
      const vek::string& text = GetText();
      if (!text.empty()) {
        SetText(text.substr(0, text.size() - 1));
        PostNotify(e_ntfEditChange, 0);
      }
    } else if (c == 13) {
      PostNotify(e_ntfEditEnter, 0);
    } else if (c == 96 || c == 126 || c == 168 || c == 184) {
      // The grave accent, the tilde and their code-page twins belong to the console key.
    } else if (c < 32 || c > 255) {
      // Control characters, and nothing that is not one byte of the code page.
    } else if (GetText().size() < m_MaxLength) {
      SetText(GetText() + static_cast<char>(static_cast<unsigned char>(c)));
      PostNotify(e_ntfEditChange, 0);
    }
  } else if (code == e_evFocusLost) {
    PostNotify(e_ntfEditKillFocus, 0);
  } else {
    cCtrl::OnEvent(code, p1, p2);
  }
  return false;
}

}  // namespace vek
