#include "engine/gui/gui_draw.h"

#include "engine/render/font.h"
#include "engine/render/quad_batch.h"
#include "engine/render/render.h"
#include "engine/render/render_host.h"
#include "engine/render/texture.h"
#include "engine/render/texture_manager.h"

namespace vek::gui_draw {

namespace {
cQuadBatch* Batch() { return GetRenderHost() ? GetRenderHost()->GetQuadBatch() : nullptr; }
}  // namespace

void Begin2D(f32 width, f32 height) {
  if (g_pRender) vek::Begin2D(width, height);
}

void End2D() {
  if (g_pRender) vek::End2D();
}

void BeginPass() {
  if (cQuadBatch* b = Batch()) b->Clear();
}

void EndPass() {
  if (cQuadBatch* b = Batch()) FlushBatches(b);
}

bool DrawsSolid(u32 texture, const rectf& uv) { return vek::DrawsSolid(texture, uv); }

void SetCovers(const std::vector<cCover>& covers, f32 width, f32 height) {
  if (cQuadBatch* b = Batch()) vek::SetCovers(b, covers, width, height);
}

void SetCoverLayer(i32 layer) {
  if (cQuadBatch* b = Batch()) vek::SetCoverLayer(b, layer);
}

void ClearCovers() {
  if (cQuadBatch* b = Batch()) vek::ClearCovers(b);
}

void Quad(u32 texture, const rectf& rect, const rectf& uv, u32 color) {
  if (cQuadBatch* b = Batch()) DrawQuad(b, texture, rect, uv, color);
}

void Frame(u32 texture, const rectf& rect, const rectf& uv, const vec2& border, const vec2& uvBorder,
           bool fillCentre, u32 color) {
  if (cQuadBatch* b = Batch()) DrawFrame(b, texture, rect, uv, border, uvBorder, fillCentre, color);
}

void ColorText(u32 font, const vec2& point, const vek::string& text, u32 color) {
  if (cQuadBatch* b = Batch()) DrawColorText(b, font, point, text, &color);
}

void Text(u32 font, const vec2& point, const vek::string& text, u32 color) {
  if (cQuadBatch* b = Batch()) DrawText(b, font, point, text, color);
}

void Caret(u32 font, const vec2& point, u32 color) {
  if (cQuadBatch* b = Batch()) DrawCaret(b, font, point, color);
}

vec2 MeasureColorText(u32 font, const vek::string& text) {
  if (!g_pFontManager) return vec2();
  return vek::MeasureColorText(font, text);
}

u32 FontCount() { return g_pFontManager ? g_pFontManager->Count() : 0; }

f32 FontLineHeight(u32 font) {
  const cFont* f = GetFont(font);
  return f ? f->GetLineHeight() : 0.0f;
}

f32 FontAdvance(u32 font) {
  const cFont* f = GetFont(font);
  return f ? f->GetGlyph(' ')[cFont::e_Advance] + f->GetSpacing() : 0.0f;
}

f32 FontCharAdvance(u32 font, u8 byte) {
  const cFont* f = GetFont(font);
  return f ? f->GetGlyph(byte)[cFont::e_Advance] : 0.0f;
}

f32 FontSpacing(u32 font) {
  const cFont* f = GetFont(font);
  return f ? f->GetSpacing() : 0.0f;
}

void SetBlend(u32 source, u32 destination) {
  if (g_pRender) g_pRender->SetAlphaBlend(source, destination);
}

void AlphaTestOff() {
  if (g_pRender) g_pRender->SetAlphaTest(0, 0.0f);
}

u32 FindTexture(const vek::string& name) { return g_pTextureManager ? g_pTextureManager->FindIndex(name) : 0; }

u32 FindFont(const vek::string& name) { return g_pFontManager ? g_pFontManager->FindIndex(name) : 0; }

}  // namespace vek::gui_draw
