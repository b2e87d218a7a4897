#include "game/app/flash_player.h"

#include <vector>

#include "engine/files/filename.h"
#include "engine/render/texture.h"

void cFlashPlayer::Create(vek::cTexture* texture) {
  Destroy();
  if (!texture || !texture->GetContext()) return;
  if (!plat::com::Initialize()) return;
  m_pTexture = texture;
  m_Width = static_cast<int>(texture->GetWidth());
  m_Height = static_cast<int>(texture->GetHeight());
  m_pControl = plat::com::CreateMovieControl(m_Width, m_Height);
}

void cFlashPlayer::Destroy() {
  m_pControl.reset();
  m_pTexture = nullptr;
  m_Width = m_Height = 0;
}

void cFlashPlayer::LoadMovie(const vek::string& path) {
  if (m_pControl) m_pControl->LoadMovie(vek::NativePath(vek::filename(path).path));
}

void cFlashPlayer::CopyFrame() {
  // A control that exists would draw here and the frame would go to the texture; without one
  // there is nothing to copy.
  if (!m_pControl || !m_pTexture) return;
  std::vector<vek::u8> frame(static_cast<size_t>(m_Width) * static_cast<size_t>(m_Height) * 4);
  m_pControl->DrawFrame(frame.data(), m_Width * 4, m_Height);
}
