#pragma once
// Bitmap fonts: one texture with the glyph pictures and 256 glyph records indexed by the
// character byte (windows-1252). A font is built by its Lua script (cFont, Init, Texture,
// Transform, Char); every font lives in the font manager, which the drawing code, the
// controls and the console address by index. Index 0 is the built-in empty font "unnamed",
// and a look-up of an unknown name or a bad index gives it.
#include "engine/core/container_ptr.h"
#include "engine/core/recti.h"
#include "engine/core/types.h"

namespace vek {

class cFont {
 public:
  // The seven values of a glyph record.
  enum eGlyph : u32 {
    e_Width = 0,    // pixels of the glyph quad
    e_U = 1,        // rectangle in texture coordinates, v from the bottom of the texture
    e_V = 2,
    e_DU = 3,
    e_DV = 4,
    e_Offset = 5,   // pixels from the pen to the quad's left edge
    e_Advance = 6,  // pixels the pen moves
    e_GlyphValues = 7,
  };

  // An empty font: no glyphs, line height 0, texture 0. It appends itself to the font
  // manager, which owns it from then on.
  explicit cFont(const vek::string& name);
  cFont(const cFont&) = delete;
  cFont& operator=(const cFont&) = delete;

  // Keeps the two texts and the number for the scripts; sets the line height.
  void Init(const vek::string& face, const vek::string& style, int size, f32 lineHeight);
  // Names the texture and looks it up: a loaded texture gives its index and its own size,
  // otherwise the index stays 0 and the given size is used for the glyph rectangles.
  void Texture(const vek::string& textureName, int width, int height);
  // The spacing added after every character but the last, and two values kept for scripts.
  void Transform(f32 spacing, f32 a, f32 b);
  // Defines the glyph of the string's first byte (an empty string changes nothing); rect is
  // in texture pixels counted from the top-left corner.
  void Char(const vek::string& character, f32 width, const recti& rect, f32 offset, f32 advance);
  const vek::string& GetName() const { return name; }

  u32 GetTexture() const { return m_Texture; }
  f32 GetLineHeight() const { return m_LineHeight; }
  f32 GetSpacing() const { return m_Spacing; }
  const f32* GetGlyph(u8 byte) const { return m_Glyphs[byte]; }
  const vek::string& GetTextureName() const { return m_TextureName; }
  u32 GetTextureWidth() const { return m_TextureWidth; }
  u32 GetTextureHeight() const { return m_TextureHeight; }

  vek::string name;  // the manager's look-up key
  u32 m_Texture = 0;
  f32 m_LineHeight = 0.0f;
  f32 m_Spacing = 0.0f;
  f32 m_Layout[2] = {1.0f, 1.0f};
  f32 m_Glyphs[256][e_GlyphValues] = {};
  vek::string m_Face;
  vek::string m_Style;
  int m_Size = 0;
  vek::string m_TextureName;
  u32 m_TextureWidth = 0;
  u32 m_TextureHeight = 0;
};

// The font manager: every font, index 0 the empty default.
using cFontManager = cContainerPtr<cFont>;

// The one font manager; null when none exists.
extern cFontManager* g_pFontManager;
// The font manager (the script function "GetFonts").
cFontManager* GetFonts();
// Makes the manager and its default font "unnamed"; a second call only warns.
void CreateFontManager();
// Deletes every font and the manager.
void DestroyFontManager();
// The font at the index, font 0 for an index past the end; null without a manager.
cFont* GetFont(u32 index);

}  // namespace vek
