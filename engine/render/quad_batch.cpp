#include "engine/render/quad_batch.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/render/font.h"
#include "engine/render/render.h"
#include "engine/render/texture.h"
#include "engine/render/texture_manager.h"
#include "platform/gfx.h"

namespace vek {

namespace gfx = plat::gfx;

namespace {

const cVertexFormat kFormat2D{true, false, true, 2, true};

// Indices of the shared buffer: two triangles for every quad the vertex array can hold.
constexpr u32 kIndexCount = cQuadBatch::kMaxVertices / kQuadVertices * 6;

// Writes the four vertices of a quad in the batch's order: (L,B) (R,B) (L,T) (R,T).
void PutQuad(cVertex2D* v, f32 l, f32 b, f32 r, f32 t, f32 ul, f32 vb, f32 ur, f32 vt, u32 color) {
  v[0] = {l, b, color, ul, vb};
  v[1] = {r, b, color, ur, vb};
  v[2] = {l, t, color, ul, vt};
  v[3] = {r, t, color, ur, vt};
}

// The batch was full: draw what it holds and start the pass over.
void Overflow(cQuadBatch* batch) {
  FlushBatches(batch);
  batch->m_Used = 0;
  ++batch->m_OverflowFlushes;
}

// Bytes of text reserved at a time: long texts go in several reservations.
constexpr u32 kTextChunk = 2048;

// Hands out the quad of each byte of a text, reserving them a chunk at a time.
class GlyphSink {
 public:
  GlyphSink(cQuadBatch* batch, u32 texture, size_t bytes) : m_Batch(batch), m_Texture(texture), m_Bytes(bytes) {}

  // The next byte's quad; null when nothing can be reserved.
  cVertex2D* Next() {
    if (m_Left == 0) {
      const u32 k = static_cast<u32>(std::min<size_t>(m_Bytes, kTextChunk));
      m_Cursor = AddBatch(m_Batch, m_Texture, kQuadVertices * k);
      if (!m_Cursor) return nullptr;
      m_Left = k;
    }
    cVertex2D* v = m_Cursor;
    m_Cursor += kQuadVertices;
    --m_Left;
    --m_Bytes;
    return v;
  }
  // A byte that draws nothing keeps its vertices, zeroed.
  bool Skip() {
    cVertex2D* v = Next();
    if (!v) return false;
    std::memset(static_cast<void*>(v), 0, kQuadVertices * sizeof(cVertex2D));
    return true;
  }

 private:
  cQuadBatch* m_Batch;
  u32 m_Texture;
  size_t m_Bytes;
  cVertex2D* m_Cursor = nullptr;
  u32 m_Left = 0;
};

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// What the byte at i of a colour-coded text is.
enum class Code { Glyph, Escape, Color };

// "^^" is an escape of two bytes, "^" and eight hex digits inside the text a colour of nine
// bytes (RRGGBBAA into *argb); everything else, a "^" without a full code included, a glyph.
// Drawing and measuring share this reading.
Code ReadCode(std::string_view text, size_t i, u32* argb) {
  if (text[i] != '^' || i + 1 >= text.size()) return Code::Glyph;
  if (text[i + 1] == '^') return Code::Escape;
  if (i + 8 >= text.size()) return Code::Glyph;
  u32 rgba = 0;
  for (size_t k = 1; k <= 8; ++k) {
    const int h = HexValue(text[i + k]);
    if (h < 0) return Code::Glyph;
    rgba = (rgba << 4) | static_cast<u32>(h);
  }
  *argb = (rgba >> 8) | (rgba << 24);
  return Code::Color;
}

// Lays one glyph out at the pen and moves the pen.
void PutGlyph(cVertex2D* v, const cFont& font, u8 byte, f32& pen, f32 y, u32 color) {
  const f32* g = font.GetGlyph(byte);
  const f32 left = pen + g[cFont::e_Offset];
  PutQuad(v, left, y, left + g[cFont::e_Width], y + font.GetLineHeight(), g[cFont::e_U], g[cFont::e_V],
          g[cFont::e_U] + g[cFont::e_DU], g[cFont::e_V] + g[cFont::e_DV], color);
  pen += g[cFont::e_Advance] + font.GetSpacing();
}

// The font of a text primitive: none for index 0 or without a manager.
const cFont* TextFont(u32 fontIndex) {
  if (fontIndex == 0) return nullptr;
  return GetFont(fontIndex);
}

}  // namespace

cQuadBatch::cQuadBatch()
    : m_Vertices(kMaxVertices),
      m_Records(kMaxRecords),
      m_RecordBounds(kMaxRecords),
      m_Draws(kMaxRecords),
      m_DrawOf(kMaxRecords),
      m_Ordered(kMaxVertices) {
  m_DeviceVertices.usage = gfx::kUsageDynamic | gfx::kUsageWriteOnly;
  m_DeviceVertices.size = kMaxVertices * sizeof(cVertex2D);
  m_DeviceIndices.size = kIndexCount * sizeof(u16);
}

cQuadBatch::~cQuadBatch() {
  for (cBufferRecord* rec : {&m_DeviceVertices, &m_DeviceIndices}) {
    // Buffers of a renderer that is gone went with its device.
    if (g_pRender && g_pRender->HasBuffer(rec)) {
      g_pRender->RemoveBuffer(rec);
      if (rec->buffer) rec->buffer->Release();
    }
    delete rec->copy;
  }
}

bool cQuadBatch::Upload(cRender* render, u32 count) {
  if (!render->HasBuffer(&m_DeviceVertices)) {
    // A renderer new to the batch: whatever an earlier one left is not ours to touch.
    for (cBufferRecord* rec : {&m_DeviceVertices, &m_DeviceIndices}) {
      rec->buffer = nullptr;
      delete rec->copy;
      rec->copy = nullptr;
    }
    render->AddVertexBuffer(&m_DeviceVertices);
    render->AddIndexBuffer(&m_DeviceIndices);
  }
  if (!render->GetDevice()) return false;
  if (!m_DeviceIndices.buffer) {
    if (!render->CreateDeviceBuffer(&m_DeviceIndices, true)) return false;
    void* data = nullptr;
    if (gfx::Failed(m_DeviceIndices.buffer->Lock(0, 0, &data, 0)) || !data) return false;
    u16* index = static_cast<u16*>(data);
    for (u32 q = 0; q < kIndexCount / 6; ++q) {
      const u16 first = static_cast<u16>(q * kQuadVertices);
      for (u16 k : {0, 1, 2, 2, 1, 3}) *index++ = static_cast<u16>(first + k);
    }
    m_DeviceIndices.buffer->Unlock();
  }
  if (!m_DeviceVertices.buffer) {
    if (!render->CreateDeviceBuffer(&m_DeviceVertices, false)) return false;
    m_DeviceNext = 0;
  }
  if (count == 0) return true;
  // The vertices go behind what earlier flushes left, which the device may still be drawing
  // from; only when they no longer fit does the buffer start over with new storage.
  u32 at = m_DeviceNext;
  u32 flags = gfx::kLockNoOverwrite;
  if (at + count > kMaxVertices) {
    at = 0;
    flags = gfx::kLockDiscard;
  }
  constexpr u32 kStride = sizeof(cVertex2D);
  void* data = nullptr;
  if (gfx::Failed(m_DeviceVertices.buffer->Lock(at * kStride, count * kStride, &data, flags)) || !data) return false;
  std::memcpy(data, m_Vertices.data(), count * kStride);
  m_DeviceVertices.buffer->Unlock();
  m_DeviceFirst = at;
  m_DeviceNext = at + count;
  return true;
}

void MatrixOrtho(f32* out, f32 left, f32 right, f32 bottom, f32 top, f32 zNear, f32 zFar) {
  std::fill(out, out + 16, 0.0f);
  out[0] = 2.0f / (right - left);
  out[5] = 2.0f / (top - bottom);
  out[10] = -2.0f / (zFar - zNear);
  out[12] = -(right + left) / (right - left);
  out[13] = -(top + bottom) / (top - bottom);
  out[14] = -(zFar + zNear) / (zFar - zNear);
  out[15] = 1.0f;
}

bool Begin2D(f32 width, f32 height) {
  cRender* render = g_pRender;
  if (!render) return true;
  f32 projection[16];
  MatrixOrtho(projection, 0.0f, width, 0.0f, height, -128.0f, 128.0f);
  f32 view[16];
  // Identity: with GL's pixel centres at half coordinates, quads on whole pixels map texel
  // centres onto pixel centres without any shift.
  MatrixIdentity(view);
  f32 world[16];
  MatrixIdentity(world);
  render->SetTransform(e_TransformProjection, projection);
  render->SetTransform(e_TransformView, view);
  render->SetTransform(e_TransformWorld, world);
  render->SetRenderState(gfx::RenderState::Lighting, 0);
  render->SetRenderState(gfx::RenderState::CullMode, gfx::cull::None);
  render->SetVertexFormat(kFormat2D);
  return true;
}

void End2D() {
  cRender* render = g_pRender;
  if (!render) return;
  render->SetRenderState(gfx::RenderState::CullMode, gfx::cull::Cw);
  render->SetRenderState(gfx::RenderState::Lighting, 1);
  render->SetVertexFormat(cVertexFormat{});
}

void SetBlendMode(u32 mode, f32 alphaReference) {
  cRender* render = g_pRender;
  if (!render) return;
  if (mode == e_BlendAlpha)
    render->SetAlphaBlend(gfx::blend::SrcAlpha, gfx::blend::InvSrcAlpha);
  else if (mode == e_BlendAdditive)
    render->SetAlphaBlend(gfx::blend::SrcColor, gfx::blend::One);
  else
    render->SetAlphaBlend(0, 0);
  if (alphaReference != 0.0f)
    render->SetAlphaTest(gfx::cmp::Greater, alphaReference);
  else
    render->SetAlphaTest(0, 0.0f);
}

void SetColorFactor(u32 argb) {
  cRender* render = g_pRender;
  if (!render) return;
  using namespace gfx;
  if (argb == 0xFFFFFFFFu) {
    render->SetStageOps(top::Modulate, targ::Texture, targ::Current, top::Modulate, targ::Texture, targ::Current);
    return;
  }
  const u32 a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
  render->SetTextureFactor(static_cast<f32>(r) / 255.0f, static_cast<f32>(g) / 255.0f, static_cast<f32>(b) / 255.0f,
                           static_cast<f32>(a) / 255.0f);
  if (a == 255)
    render->SetStageOps(top::Modulate, targ::Texture, targ::TFactor, top::Modulate, targ::Texture, targ::Current);
  else if (r < 255 || g < 255 || b < 255)
    render->SetStageOps(top::Modulate, targ::Texture, targ::TFactor, top::Modulate, targ::Texture, targ::TFactor);
  else
    render->SetStageOps(top::Modulate, targ::Texture, targ::Current, top::Modulate, targ::Texture, targ::TFactor);
}

cVertex2D* AddBatch(cQuadBatch* batch, u32 textureIndex, u32 n) {
  // At most kMaxVertices - 1 vertices fit in one pass; more can never be reserved.
  if (!batch || n >= cQuadBatch::kMaxVertices) return nullptr;
  cBatchRecord* records = batch->m_Records.data();
  bool grow = batch->m_Used > 0 && records[batch->m_Used - 1].texture == textureIndex;
  // Every record taken: draw them and go on with an empty batch.
  if (!grow && batch->m_Used >= cQuadBatch::kMaxRecords) Overflow(batch);
  u32 start = batch->GetVertexCount();
  // The vertex array is full: the same.
  if (start + n >= cQuadBatch::kMaxVertices) {
    Overflow(batch);
    grow = false;
    start = 0;
  }
  if (!grow) records[batch->m_Used++] = cBatchRecord{textureIndex, start, 0};
  records[batch->m_Used - 1].count += n;
  return batch->m_Vertices.data() + start;
}

namespace {

using cBounds = cQuadBatch::cBounds;

void Grow(cBounds& into, const cBounds& b) {
  if (b.empty) return;
  if (into.empty) {
    into = b;
    return;
  }
  into.l = std::min(into.l, b.l), into.b = std::min(into.b, b.b);
  into.r = std::max(into.r, b.r), into.t = std::max(into.t, b.t);
}

// Shared area, not only a shared edge.
bool Overlap(const cBounds& a, const cBounds& b) {
  return !a.empty && !b.empty && a.l < b.r && b.l < a.r && a.b < b.t && b.b < a.t;
}

// The screen bounds of a record's quads; quads without area (skipped glyphs) cover nothing.
cBounds RecordBounds(const cVertex2D* v, u32 count) {
  cBounds out;
  for (u32 q = 0; q + kQuadVertices <= count; q += kQuadVertices) {
    cBounds b{v[q].x, v[q].y, v[q].x, v[q].y, false};
    for (u32 k = 1; k < kQuadVertices; ++k) {
      b.l = std::min(b.l, v[q + k].x), b.b = std::min(b.b, v[q + k].y);
      b.r = std::max(b.r, v[q + k].x), b.t = std::max(b.t, v[q + k].y);
    }
    if (b.r > b.l && b.t > b.b) Grow(out, b);
  }
  return out;
}

// The texture a record draws with: a page part's page, else its own.
u32 DrawTexture(u32 texture, const rectf** pageRect) {
  *pageRect = nullptr;
  if (texture == 0 || !g_pTextureManager) return texture;
  const cTexture* t = g_pTextureManager->Get(texture);
  if (!t || !t->IsPagePart()) return texture;
  *pageRect = &t->GetPageRect();
  return t->GetPage();
}

cBounds QuadBounds(const cVertex2D* v) {
  cBounds b{v[0].x, v[0].y, v[0].x, v[0].y, false};
  for (u32 k = 1; k < kQuadVertices; ++k) {
    b.l = std::min(b.l, v[k].x), b.b = std::min(b.b, v[k].y);
    b.r = std::max(b.r, v[k].x), b.t = std::max(b.t, v[k].y);
  }
  b.empty = !(b.r > b.l && b.t > b.b);
  return b;
}

// Whether two records share screen area: their bounds first, then quad by quad (past a
// budget of quad pairs they count as overlapping).
bool RecordsOverlap(const cQuadBatch* batch, u32 i, u32 j) {
  const cBounds& bi = batch->m_RecordBounds[i];
  const cBounds& bj = batch->m_RecordBounds[j];
  if (!Overlap(bi, bj)) return false;
  const cBatchRecord& ri = batch->m_Records[i];
  const cBatchRecord& rj = batch->m_Records[j];
  constexpr u64 kPairBudget = 1u << 14;
  if (static_cast<u64>(ri.count / kQuadVertices) * (rj.count / kQuadVertices) > kPairBudget) return true;
  const cVertex2D* vi = batch->m_Vertices.data() + ri.first;
  const cVertex2D* vj = batch->m_Vertices.data() + rj.first;
  for (u32 q = 0; q + kQuadVertices <= ri.count; q += kQuadVertices) {
    const cBounds a = QuadBounds(vi + q);
    if (!Overlap(a, bj)) continue;
    for (u32 p = 0; p + kQuadVertices <= rj.count; p += kQuadVertices)
      if (Overlap(a, QuadBounds(vj + p))) return true;
  }
  return false;
}

// Groups the used records into draws (see FlushBatches); returns the draw count.
u32 PlanDraws(cQuadBatch* batch) {
  u32 draws = 0;
  for (u32 i = 0; i < batch->m_Used; ++i) {
    const cBatchRecord& rec = batch->m_Records[i];
    batch->m_DrawOf[i] = cQuadBatch::kMaxRecords;
    if (rec.count < kQuadVertices) continue;
    const rectf* pageRect = nullptr;
    const u32 texture = DrawTexture(rec.texture, &pageRect);
    batch->m_RecordBounds[i] = RecordBounds(batch->m_Vertices.data() + rec.first, rec.count);
    // The latest draw of the texture; the record joins it when nothing drawn after it (an
    // earlier record in a later draw) covers the record anywhere.
    u32 join = cQuadBatch::kMaxRecords;
    for (u32 d = draws; d-- > 0;)
      if (batch->m_Draws[d].texture == texture) {
        join = d;
        break;
      }
    if (join != cQuadBatch::kMaxRecords)
      for (u32 j = 0; j < i; ++j) {
        const u32 d = batch->m_DrawOf[j];
        if (d < draws && d > join && RecordsOverlap(batch, i, j)) {
          join = cQuadBatch::kMaxRecords;
          break;
        }
      }
    if (join == cQuadBatch::kMaxRecords) {
      join = draws++;
      batch->m_Draws[join] = cBatchRecord{texture, 0, 0};
    }
    batch->m_DrawOf[i] = join;
    batch->m_Draws[join].count += rec.count;
  }
  return draws;
}

// Whether every quad of a run puts each texel on the centre of one pixel (given how a unit
// meets the pixels, see cRender::UnitPixels): not turned, one texel a pixel, texel centres on
// pixel centres. Such quads sample the same colours with any filter. Quads that draw nothing
// pass.
bool TexelPerPixel(const cVertex2D* v, u32 count, f32 texW, f32 texH, const f32 scale[2], const f32 origin[2]) {
  // A thousandth of a texel off the centre moves a filtered colour by well under a step.
  constexpr f32 kOff = 1e-3f;
  auto axis = [&](f32 p0, f32 p1, f32 t0, f32 t1, int i) {
    const f32 q0 = scale[i] * p0 + origin[i], q1 = scale[i] * p1 + origin[i];
    const f32 k = (t1 - t0) / (q1 - q0);
    if (std::fabs(std::fabs(k) - 1.0f) > 1e-4f) return false;
    // The texel coordinate at the pixel centre q + 0.5 is t0 + k (q + 0.5 - q0): half-way
    // into a texel exactly when t0 - k q0 is whole.
    const f32 offset = t0 - (k > 0.0f ? q0 : -q0);
    return std::fabs(offset - std::round(offset)) <= kOff;
  };
  for (u32 i = 0; i + kQuadVertices <= count; i += kQuadVertices) {
    const cVertex2D &a = v[i], &b = v[i + 1], &c = v[i + 2], &d = v[i + 3];
    if (a.y != b.y || c.y != d.y || a.x != c.x || b.x != d.x) return false;
    if (a.x == b.x || a.y == c.y) continue;
    if (a.u != c.u || b.u != d.u || a.v != b.v || c.v != d.v) return false;
    if (!axis(a.x, b.x, a.u * texW, b.u * texW, 0) || !axis(a.y, c.y, a.v * texH, c.v * texH, 1)) return false;
  }
  return true;
}

// Leaving out what later drawing covers (see SetCovers).

// A cover in the batch's units: whole pixels of the screen, so that no pixel centre lies on
// its edges and every pixel centre inside is one the cover's own drawing paints.
struct cHide {
  f32 l, b, r, t;
};
constexpr u32 kMaxHides = 32;
// A piece of a quad to draw: the lower and upper ends of its x and y extent.
struct cPiece {
  f32 x0, x1, y0, y1;
};
constexpr u32 kMaxPieces = 16;
// A quad partly hidden is cut in pieces only when the hidden part is at least this many
// pixels: the cut costs vertices, the pieces draw the rest at the same cost.
constexpr f32 kMinCutPixels = 1024.0f;

// The covers of layers above the one drawn now, in the batch's units; 0 when there are none
// or the drawing is not flat on the screen.
u32 ActiveHides(const cQuadBatch* batch, const cRender* render, cHide* out, f32* pixelArea) {
  if (batch->m_Covers.empty() || batch->m_CoverWidth <= 0.0f || batch->m_CoverHeight <= 0.0f) return 0;
  f32 scale[2], origin[2];
  if (!render->FlatPixels(scale, origin)) return 0;
  *pixelArea = std::fabs(scale[0] * scale[1]);
  const f32 sx = static_cast<f32>(render->GetWidth()) / batch->m_CoverWidth;
  const f32 sy = static_cast<f32>(render->GetHeight()) / batch->m_CoverHeight;
  u32 n = 0;
  for (const cCover& c : batch->m_Covers) {
    if (c.layer <= batch->m_Layer || n == kMaxHides) continue;
    // Whole pixels inside the area, back in the batch's units.
    const f32 l = std::ceil(c.area.x * sx), r = std::floor((c.area.x + c.area.w) * sx);
    const f32 b = std::ceil(c.area.y * sy), t = std::floor((c.area.y + c.area.h) * sy);
    if (!(l < r && b < t)) continue;
    const f32 x0 = (l - origin[0]) / scale[0], x1 = (r - origin[0]) / scale[0];
    const f32 y0 = (b - origin[1]) / scale[1], y1 = (t - origin[1]) / scale[1];
    out[n++] = cHide{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
  }
  return n;
}

// A quad that can be cut: not turned, its texture coordinates following x and y alone, one
// colour at every corner, not empty.
bool Cuttable(const cVertex2D* q) {
  return q[0].y == q[1].y && q[2].y == q[3].y && q[0].x == q[2].x && q[1].x == q[3].x && q[0].x != q[1].x &&
         q[0].y != q[2].y && q[0].u == q[2].u && q[1].u == q[3].u && q[0].v == q[1].v && q[2].v == q[3].v &&
         q[0].color == q[1].color && q[0].color == q[2].color && q[0].color == q[3].color;
}

// The pieces of the quad's extent that no hide covers, into out; false when there are too
// many to be worth it (the quad is then drawn whole).
bool CutPieces(const cPiece& whole, const cHide* hides, u32 count, cPiece* out, u32* n) {
  *n = 0;
  out[(*n)++] = whole;
  for (u32 h = 0; h < count; ++h) {
    const cHide& c = hides[h];
    cPiece next[kMaxPieces];
    u32 m = 0;
    for (u32 i = 0; i < *n; ++i) {
      const cPiece p = out[i];
      if (p.x1 <= c.l || p.x0 >= c.r || p.y1 <= c.b || p.y0 >= c.t) {
        if (m == kMaxPieces) return false;
        next[m++] = p;
        continue;
      }
      const cPiece parts[4] = {{p.x0, p.x1, p.y0, c.b},
                               {p.x0, p.x1, c.t, p.y1},
                               {p.x0, c.l, std::max(p.y0, c.b), std::min(p.y1, c.t)},
                               {c.r, p.x1, std::max(p.y0, c.b), std::min(p.y1, c.t)}};
      for (const cPiece& part : parts) {
        if (!(part.x0 < part.x1 && part.y0 < part.y1)) continue;
        if (m == kMaxPieces) return false;
        next[m++] = part;
      }
    }
    std::copy(next, next + m, out);
    *n = m;
  }
  return true;
}

// Writes the piece of quad q (Cuttable) as a quad of its own, its corners in q's order. An edge
// that is one of q's keeps q's exact position and texture coordinate.
void PutPiece(cVertex2D* v, const cVertex2D* q, const cPiece& p) {
  const f32 xa = q[0].x, xb = q[1].x, ya = q[0].y, yb = q[2].y;
  auto along = [](f32 at, f32 p0, f32 p1, f32 t0, f32 t1) {
    if (at == p0) return t0;
    if (at == p1) return t1;
    return t0 + (at - p0) * (t1 - t0) / (p1 - p0);
  };
  // The piece's ends on the side of q's first and second corner.
  const f32 x0 = xa < xb ? p.x0 : p.x1, x1 = xa < xb ? p.x1 : p.x0;
  const f32 y0 = ya < yb ? p.y0 : p.y1, y1 = ya < yb ? p.y1 : p.y0;
  const f32 u0 = along(x0, xa, xb, q[0].u, q[1].u), u1 = along(x1, xa, xb, q[0].u, q[1].u);
  const f32 v0 = along(y0, ya, yb, q[0].v, q[2].v), v1 = along(y1, ya, yb, q[0].v, q[2].v);
  PutQuad(v, x0, y0, x1, y1, u0, v0, u1, v1, q[0].color);
}

// Rewrites the used records without what the active covers hide: hidden quads go, partly
// hidden flat ones become their pieces that show.
void LeaveOutCovered(cQuadBatch* batch, const cRender* render) {
  cHide hides[kMaxHides];
  f32 pixelArea = 1.0f;
  const u32 hideCount = ActiveHides(batch, render, hides, &pixelArea);
  if (hideCount == 0) return;
  cVertex2D* out = batch->m_Ordered.data();
  u32 written = 0;
  u32 left = 0;  // vertices still to come, so that cutting never leaves them without room
  for (u32 i = 0; i < batch->m_Used; ++i) left += batch->m_Records[i].count / kQuadVertices * kQuadVertices;
  for (u32 i = 0; i < batch->m_Used; ++i) {
    cBatchRecord& rec = batch->m_Records[i];
    const u32 first = written;
    const u32 end = rec.first + rec.count;
    for (u32 k = rec.first; k + kQuadVertices <= end; k += kQuadVertices) {
      const cVertex2D* q = batch->m_Vertices.data() + k;
      left -= kQuadVertices;
      const cBounds bounds = QuadBounds(q);
      const f32 l = bounds.l, r = bounds.r, b = bounds.b, t = bounds.t;
      bool hidden = false;
      f32 cut = 0.0f;
      for (u32 h = 0; h < hideCount && !hidden; ++h) {
        const cHide& c = hides[h];
        hidden = l >= c.l && r <= c.r && b >= c.b && t <= c.t;
        const f32 w = std::min(r, c.r) - std::max(l, c.l), hh = std::min(t, c.t) - std::max(b, c.b);
        if (w > 0.0f && hh > 0.0f) cut += w * hh;
      }
      if (hidden) continue;
      cPiece pieces[kMaxPieces];
      u32 n = 0;
      if (cut * pixelArea >= kMinCutPixels && Cuttable(q) && CutPieces(cPiece{l, r, b, t}, hides, hideCount, pieces, &n) &&
          written + n * kQuadVertices + left <= cQuadBatch::kMaxVertices) {
        for (u32 p = 0; p < n; ++p, written += kQuadVertices) PutPiece(out + written, q, pieces[p]);
        continue;
      }
      std::memcpy(static_cast<void*>(out + written), q, kQuadVertices * sizeof(cVertex2D));
      written += kQuadVertices;
    }
    rec.first = first;
    rec.count = written - first;
  }
  std::swap(batch->m_Vertices, batch->m_Ordered);
}

}  // namespace

void FlushBatches(cQuadBatch* batch) {
  cRender* render = g_pRender;
  if (!batch || !render || !batch->m_Used) return;
  LeaveOutCovered(batch, render);
  const u32 draws = PlanDraws(batch);
  // The draws' vertices one after the other, each draw's records in their order; a page
  // part's texture coordinates become the page's.
  u32 next = 0;
  for (u32 d = 0; d < draws; ++d) {
    batch->m_Draws[d].first = next;
    next += batch->m_Draws[d].count;
    batch->m_Draws[d].count = 0;
  }
  for (u32 i = 0; i < batch->m_Used; ++i) {
    const u32 d = batch->m_DrawOf[i];
    if (d >= draws) continue;
    const cBatchRecord& rec = batch->m_Records[i];
    cBatchRecord& draw = batch->m_Draws[d];
    cVertex2D* out = batch->m_Ordered.data() + draw.first + draw.count;
    std::memcpy(static_cast<void*>(out), batch->m_Vertices.data() + rec.first, rec.count * sizeof(cVertex2D));
    const rectf* pageRect = nullptr;
    DrawTexture(rec.texture, &pageRect);
    if (pageRect)
      for (u32 k = 0; k < rec.count; ++k) {
        out[k].u = pageRect->x + out[k].u * pageRect->w;
        out[k].v = pageRect->y + out[k].v * pageRect->h;
      }
    draw.count += rec.count;
  }
  std::swap(batch->m_Vertices, batch->m_Ordered);
  const bool uploaded = batch->Upload(render, next);
  std::swap(batch->m_Vertices, batch->m_Ordered);
  if (!uploaded) return;
  render->SetVertexBuffer(&batch->m_DeviceVertices);
  f32 scale[2], origin[2];
  const bool unitPixels = render->UnitPixels(scale, origin);
  for (u32 i = 0; i < draws; ++i) {
    const cBatchRecord& rec = batch->m_Draws[i];
    if (rec.count < kQuadVertices) continue;
    if (rec.texture == 0 || !g_pTextureManager) {
      render->SetTexture(nullptr);
    } else {
      // An empty entry or an index past the end draws with texture 0.
      cTexture* texture = g_pTextureManager->Get(rec.texture);
      if (texture && texture->IsWaitingForUse()) texture->LoadOnUse();
      cDeviceTexture* context = texture ? texture->GetContext() : nullptr;
      const bool nearest = unitPixels && context && context->width && context->height &&
                           TexelPerPixel(batch->m_Ordered.data() + rec.first, rec.count, static_cast<f32>(context->width),
                                         static_cast<f32>(context->height), scale, origin);
      render->SetTexture(context, nearest);
    }
    // The record's quads: the shared indices count from its first vertex.
    render->SetIndexBuffer(&batch->m_DeviceIndices, static_cast<u16>(batch->GetDeviceFirst() + rec.first));
    render->DrawStreamPrimitives(rec.count / kQuadVertices * 2, rec.count);
  }
  render->SetVertexBuffer(nullptr);
  render->ResetIndices();
}

void SetCovers(cQuadBatch* batch, const std::vector<cCover>& covers, f32 width, f32 height) {
  if (!batch) return;
  batch->m_Covers = covers;
  batch->m_CoverWidth = width;
  batch->m_CoverHeight = height;
  batch->m_Layer = -1;
}

void SetCoverLayer(cQuadBatch* batch, i32 layer) {
  if (batch) batch->m_Layer = layer;
}

void ClearCovers(cQuadBatch* batch) {
  if (batch) batch->m_Covers.clear();
}

void DrawQuad(cQuadBatch* batch, u32 textureIndex, const rectf& rect, const rectf& uv, u32 color) {
  cVertex2D* v = AddBatch(batch, textureIndex, kQuadVertices);
  if (!v) return;
  PutQuad(v, rect.x, rect.y, rect.x + rect.w, rect.y + rect.h, uv.x, uv.y, uv.x + uv.w, uv.y + uv.h, color);
}

void DrawRotatedQuad(cQuadBatch* batch, u32 textureIndex, const rectf& rect, const rectf& uv, u32 color,
                     f32 angle) {
  cVertex2D* v = AddBatch(batch, textureIndex, kQuadVertices);
  if (!v) return;
  const f32 hw = rect.w * 0.5f, hh = rect.h * 0.5f;
  const f32 cx = rect.x + hw, cy = rect.y + hh;
  const f32 c = std::cos(angle), s = std::sin(angle);
  auto corner = [&](f32 dx, f32 dy, f32 u, f32 vv) {
    return cVertex2D{cx + dx * c - dy * s, cy + dx * s + dy * c, color, u, vv};
  };
  const f32 ul = uv.x, ur = uv.x + uv.w, vb = uv.y, vt = uv.y + uv.h;
  v[0] = corner(-hw, -hh, ul, vb);
  v[1] = corner(hw, -hh, ur, vb);
  v[2] = corner(-hw, hh, ul, vt);
  v[3] = corner(hw, hh, ur, vt);
}

void DrawFrame(cQuadBatch* batch, u32 textureIndex, const rectf& rect, const rectf& uv, const vec2& border,
               const vec2& uvBorder, bool fillCentre, u32 color) {
  // The frame's triangles in pairs: quad (a, b, c, d) is the triangles (a,b,c) (c,b,d).
  static const u8 kQuads[9][4] = {{0, 1, 11, 12},  {1, 2, 12, 13}, {2, 3, 13, 4},   {13, 4, 14, 5}, {14, 5, 7, 6},
                                  {15, 14, 8, 7},  {10, 15, 9, 8}, {11, 12, 10, 15}, {12, 13, 15, 14}};
  const u32 quads = fillCentre ? 9 : 8;
  cVertex2D* v = AddBatch(batch, textureIndex, quads * kQuadVertices);
  if (!v) return;
  const f32 x = rect.x, y = rect.y, w = rect.w, h = rect.h;
  const f32 xa = x + border.x, xb = x + w - border.x, ya = y + border.y, yb = y + h - border.y;
  const f32 u = uv.x, vv = uv.y, du = uv.w, dv = uv.h;
  const f32 ua = u + uvBorder.x, ub = u + du - uvBorder.x, va = vv + uvBorder.y, vb = vv + dv - uvBorder.y;
  const cVertex2D points[16] = {
      {x, y, color, u, vv},           {xa, y, color, ua, vv},        {xb, y, color, ub, vv},
      {x + w, y, color, u + du, vv},  {x + w, ya, color, u + du, va}, {x + w, yb, color, u + du, vb},
      {x + w, y + h, color, u + du, vv + dv}, {xb, y + h, color, ub, vv + dv},
      {xa, y + h, color, ua, vv + dv}, {x, y + h, color, u, vv + dv}, {x, yb, color, u, vb},
      {x, ya, color, u, va},          {xa, ya, color, ua, va},       {xb, ya, color, ub, va},
      {xb, yb, color, ub, vb},        {xa, yb, color, ua, vb},
  };
  for (u32 q = 0; q < quads; ++q)
    for (u32 k = 0; k < kQuadVertices; ++k) *v++ = points[kQuads[q][k]];
}

void DrawCaret(cQuadBatch* batch, u32 fontIndex, const vec2& point, u32 color) {
  const cFont* font = GetFont(fontIndex);
  if (!font) return;
  cVertex2D* v = AddBatch(batch, font->GetTexture(), kQuadVertices);
  if (!v) return;
  const f32* g = font->GetGlyph(static_cast<u8>('_'));
  PutQuad(v, point.x, point.y, point.x + g[cFont::e_Width], point.y + font->GetLineHeight(), g[cFont::e_U],
          g[cFont::e_V], g[cFont::e_U] + g[cFont::e_DU], g[cFont::e_V] + g[cFont::e_DV], color);
}

void DrawText(cQuadBatch* batch, u32 fontIndex, const vec2& point, std::string_view text, u32 color) {
  const cFont* font = TextFont(fontIndex);
  if (!font || text.empty() || !batch) return;
  GlyphSink sink(batch, font->GetTexture(), text.size());
  f32 pen = std::floor(point.x);
  const f32 y = std::floor(point.y);
  for (char c : text) {
    cVertex2D* v = sink.Next();
    if (!v) return;
    PutGlyph(v, *font, static_cast<u8>(c), pen, y, color);
  }
}

void DrawColorText(cQuadBatch* batch, u32 fontIndex, const vec2& point, std::string_view text, u32* color) {
  u32 current = color ? *color : 0xFFFFFFFFu;
  const cFont* font = TextFont(fontIndex);
  if (font && !text.empty() && batch) {
    GlyphSink sink(batch, font->GetTexture(), text.size());
    f32 pen = std::floor(point.x);
    const f32 y = std::floor(point.y);
    for (size_t i = 0; i < text.size();) {
      const Code code = ReadCode(text, i, &current);
      const size_t skipped = code == Code::Escape ? 2 : code == Code::Color ? 9 : 0;
      if (skipped) {
        for (size_t k = 0; k < skipped; ++k)
          if (!sink.Skip()) break;
        i += skipped;
        continue;
      }
      cVertex2D* v = sink.Next();
      if (!v) break;
      PutGlyph(v, *font, static_cast<u8>(text[i]), pen, y, current);
      ++i;
    }
  }
  if (color) *color = current;
}

vec2 MeasureText(u32 fontIndex, std::string_view text) {
  const cFont* font = GetFont(fontIndex);
  if (!font) return vec2();
  f32 width = 0.0f;
  for (size_t i = 0; i < text.size(); ++i) {
    const f32* g = font->GetGlyph(static_cast<u8>(text[i]));
    width += i + 1 < text.size() ? g[cFont::e_Advance] + font->GetSpacing() : g[cFont::e_Width];
  }
  return vec2(width, font->GetLineHeight());
}

vec2 MeasureColorText(u32 fontIndex, std::string_view text) {
  const cFont* font = GetFont(fontIndex);
  if (!font) return vec2();
  // What DrawColorText draws: every glyph but the last adds its advance and the spacing, the
  // last its quad width; codes add nothing.
  f32 width = 0.0f;
  const f32* last = nullptr;
  u32 ignored = 0;
  for (size_t i = 0; i < text.size();) {
    const Code code = ReadCode(text, i, &ignored);
    if (code == Code::Escape) {
      i += 2;
    } else if (code == Code::Color) {
      i += 9;
    } else {
      if (last) width += last[cFont::e_Advance] + font->GetSpacing();
      last = font->GetGlyph(static_cast<u8>(text[i]));
      ++i;
    }
  }
  if (last) width += last[cFont::e_Width];
  return vec2(width, font->GetLineHeight());
}

void DrawPie(cQuadBatch* batch, u32 textureIndex, const vec2& centre, f32 radius, u32 segments, f32 startAngle,
             f32 endAngle, const rectf& uv, u32 color) {
  if (segments == 0) return;
  cVertex2D* v = AddBatch(batch, textureIndex, kQuadVertices * segments);
  if (!v) return;
  const f32 step = (endAngle - startAngle) / static_cast<f32>(segments);
  const f32 hu = uv.w * 0.5f, hv = uv.h * 0.5f;
  const f32 uc = uv.x + hu, vc = uv.y + hv;
  auto rim = [&](f32 a) {
    const f32 c = std::cos(a), s = std::sin(a);
    return cVertex2D{centre.x + radius * c, centre.y + radius * s, color, uc + hu * c, vc + hv * s};
  };
  for (u32 k = 0; k < segments; ++k) {
    const f32 a = startAngle + static_cast<f32>(k) * step;
    *v++ = cVertex2D{centre.x, centre.y, color, uc, vc};
    *v++ = rim(a);
    *v++ = rim(a + step);
    v[0] = v[-1];
    ++v;
  }
}

void DrawLine(cQuadBatch* batch, const vec2& from, const vec2& to, f32 width, const rectf& uv, u32 color) {
  cVertex2D* v = AddBatch(batch, 0, kQuadVertices);
  if (!v) return;
  const f32 a = std::atan2(to.y - from.y, to.x - from.x);
  const f32 ox = -std::sin(a) * width * 0.5f, oy = std::cos(a) * width * 0.5f;
  const f32 u = uv.x, vv = uv.y, du = uv.w, dv = uv.h;
  v[0] = {from.x - ox, from.y - oy, color, u, vv + dv};
  v[1] = {from.x + ox, from.y + oy, color, u, vv};
  v[2] = {to.x - ox, to.y - oy, color, u + du, vv + dv};
  v[3] = {to.x + ox, to.y + oy, color, u + du, vv};
}

}  // namespace vek
