#include "engine/render/font.h"

#include "engine/core/log.h"
#include "engine/render/texture.h"
#include "engine/render/texture_manager.h"

namespace vek {

cFontManager* g_pFontManager = nullptr;

namespace {
const char* const kSender = "cFont";
}

cFont::cFont(const vek::string& fontName) : name(fontName) {
  if (g_pFontManager)
    g_pFontManager->Add(this);
  else
    LogError(kSender, "Constructor '%s'. No font manager: the font is not listed\n", name);
}

void cFont::Init(const vek::string& face, const vek::string& style, int size, f32 lineHeight) {
  m_Face = face;
  m_Style = style;
  m_Size = size;
  m_LineHeight = lineHeight;
}

void cFont::Texture(const vek::string& textureName, int width, int height) {
  m_TextureName = textureName;
  const u32 index = g_pTextureManager ? g_pTextureManager->FindIndex(textureName) : 0;
  if (index != 0) {
    const cTexture* texture = g_pTextureManager->Get(index);
    m_Texture = index;
    m_TextureWidth = texture->GetWidth();
    m_TextureHeight = texture->GetHeight();
  } else {
    m_Texture = 0;
    m_TextureWidth = static_cast<u32>(width);
    m_TextureHeight = static_cast<u32>(height);
  }
}

void cFont::Transform(f32 spacing, f32 a, f32 b) {
  m_Spacing = spacing;
  m_Layout[0] = a;
  m_Layout[1] = b;
}

void cFont::Char(const vek::string& character, f32 width, const recti& rect, f32 offset, f32 advance) {
  if (character.empty()) return;
  f32* g = m_Glyphs[static_cast<u8>(character[0])];
  g[e_Width] = width;
  g[e_Offset] = offset;
  g[e_Advance] = advance;
  if (m_TextureWidth != 0 && m_TextureHeight != 0) {
    const f32 tw = static_cast<f32>(m_TextureWidth), th = static_cast<f32>(m_TextureHeight);
    // Pixel rectangles count from the top, texture coordinates from the bottom.
    g[e_U] = static_cast<f32>(rect.x) / tw;
    g[e_DU] = static_cast<f32>(rect.w) / tw;
    g[e_DV] = static_cast<f32>(rect.h) / th;
    g[e_V] = 1.0f - static_cast<f32>(rect.y) / th - g[e_DV];
  } else {
    g[e_U] = static_cast<f32>(rect.x);
    g[e_V] = static_cast<f32>(rect.y);
    g[e_DU] = static_cast<f32>(rect.w);
    g[e_DV] = static_cast<f32>(rect.h);
  }
}

cFontManager* GetFonts() { return g_pFontManager; }

cFont* GetFont(u32 index) { return g_pFontManager ? g_pFontManager->GetAt(index) : nullptr; }

void CreateFontManager() {
  if (g_pFontManager) {
    LogWarning("CreateFontManager", "Already exist\n");
    return;
  }
  g_pFontManager = new cFontManager(15, 0);
  new cFont("unnamed");  // font 0, owned by the manager
  LogText("CreateFontManager", "Ok\n");
}

void DestroyFontManager() {
  if (!g_pFontManager) {
    LogWarning("DestroyFontManager", "Not exist\n");
    return;
  }
  delete g_pFontManager;
  g_pFontManager = nullptr;
  LogText("DestroyFontManager", "Ok\n");
}

}  // namespace vek
