#pragma once
// The GUI's drawing calls on the engine's quad batch: one place where the toolkit meets the
// 2-D drawing primitives. Without an engine object or a batch every call does nothing.
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/types.h"
#include "engine/render/quad_batch.h"

namespace vek::gui_draw {

// The 2-D pass set-up for a width x height GUI screen, and its end.
void Begin2D(f32 width, f32 height);
void End2D();
// Starts a batch pass (the batch's used count becomes 0).
void BeginPass();
// Draws the pass.
void EndPass();
void Quad(u32 texture, const rectf& rect, const rectf& uv, u32 color);
void Frame(u32 texture, const rectf& rect, const rectf& uv, const vec2& border,
           const vec2& uvBorder, bool fillCentre, u32 color);
// Text with colour codes, from the lower-left point, in the colour given.
void ColorText(u32 font, const vec2& point, const vek::string& text, u32 color);
// Plain text (no colour codes) and the caret ('_' glyph) at the lower-left point.
void Text(u32 font, const vec2& point, const vek::string& text, u32 color);
void Caret(u32 font, const vec2& point, u32 color);
// The number of fonts, a font's line height and the pen step of its space character.
u32 FontCount();
f32 FontLineHeight(u32 font);
f32 FontAdvance(u32 font);
// A font's pen step for one character byte and its character spacing (0 without a font).
f32 FontCharAdvance(u32 font, u8 byte);
f32 FontSpacing(u32 font);
// Blending through the renderer: the source and destination factors (0 switches blending
// off), and the alpha test off.
void SetBlend(u32 source, u32 destination);
void AlphaTestOff();
// The text's size without its colour codes.
vec2 MeasureColorText(u32 font, const vek::string& text);
// Whether the texture drawn over the texture rectangle covers fully (see vek::DrawsSolid).
bool DrawsSolid(u32 texture, const rectf& uv);
// The frame's covers on the batch (see vek::SetCovers), in a width x height GUI screen; the
// layer of what is drawn from now on; no covers.
void SetCovers(const std::vector<cCover>& covers, f32 width, f32 height);
void SetCoverLayer(i32 layer);
void ClearCovers();
// Texture and font look-ups by name: the default entry 0 when none has the name.
u32 FindTexture(const vek::string& name);
u32 FindFont(const vek::string& name);

}  // namespace vek::gui_draw
