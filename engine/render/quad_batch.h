#pragma once
// The quad batch and the flat drawing primitives. Everything flat on screen (windows,
// controls, text, the cursor, the console, sprites) is appended to one fixed vertex array as
// textured, coloured quads of four vertices, grouped into records by texture; FlushBatches
// sends the vertices to the device once and draws each record with one call, the quads'
// triangles (0,1,2) (2,1,3) taken from an index buffer that every pass shares. The array and
// the records never grow: when either is full the batch draws what it holds and goes on from
// the start, so nothing queued is lost.
//
// A 2-D pass: Begin2D, SetBlendMode (or the renderer's blend setters), batch->Clear(), the
// drawing calls, FlushBatches, SetBlendMode(0, 0), End2D.
//
// Coordinates are GUI coordinates: x to the right, y upwards, origin at the bottom-left of
// the screen. A rect is {x, y, w, h} with (x, y) its lower-left corner; a uv rect is
// {u, v, du, dv}.
#include <string_view>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/types.h"
#include "engine/core/vec.h"
#include "engine/render/render.h"

namespace vek {

// One vertex of the 2-D format {flat position, colour, 2 texture coordinates}: 20 bytes,
// full float precision for positions and texture coordinates.
struct cVertex2D {
  f32 x = 0.0f, y = 0.0f;
  u32 color = 0;  // ARGB
  f32 u = 0.0f, v = 0.0f;
};
static_assert(sizeof(cVertex2D) == 20, "the 2-D vertex is 20 bytes");

// Vertices of one quad: (L,B) (R,B) (L,T) (R,T), drawn as the triangles (0,1,2) (2,1,3).
constexpr u32 kQuadVertices = 4;

// A run of vertices drawn with one texture: an index into the texture manager's table
// (0 = no texture), the first vertex and the vertex count.
struct cBatchRecord {
  u32 texture = 0;
  u32 first = 0;
  u32 count = 0;
};

// An area of the screen that something drawn later in the frame covers fully, so that nothing
// drawn before it shows there: `area` in the units of a width x height screen that fills the
// viewport (y upwards, as the GUI's), `layer` the layer whose drawing covers it (see SetCovers).
struct cCover {
  rectf area;
  i32 layer = 0;
};

class cQuadBatch {
 public:
  static constexpr u32 kMaxVertices = 65536;
  static constexpr u32 kMaxRecords = 500;

  // Allocates and zeroes both arrays.
  cQuadBatch();
  // Gives the device buffers back.
  ~cQuadBatch();
  cQuadBatch(const cQuadBatch&) = delete;
  cQuadBatch& operator=(const cQuadBatch&) = delete;

  // Starts a pass: no record used.
  void Clear() { m_Used = 0; }
  u32 GetUsed() const { return m_Used; }
  const cBatchRecord& GetRecord(u32 i) const { return m_Records[i]; }
  const cVertex2D* GetVertices() const { return m_Vertices.data(); }
  // Vertices reserved in the records used so far.
  u32 GetVertexCount() const { return m_Used ? m_Records[m_Used - 1].first + m_Records[m_Used - 1].count : 0; }
  // How often the batch was full and drew its records in the middle of a pass (statistics).
  u32 GetOverflowFlushes() const { return m_OverflowFlushes; }

  // Sends the first `count` vertices to the device's vertex buffer, making the buffers
  // first when needed; false when there is no device to draw on. They land at
  // GetDeviceFirst(), behind the vertices of the flushes before.
  bool Upload(cRender* render, u32 count);
  // The vertex of the device's buffer where the last upload's vertices start.
  u32 GetDeviceFirst() const { return m_DeviceFirst; }

  std::vector<cVertex2D> m_Vertices;   // exactly kMaxVertices
  std::vector<cBatchRecord> m_Records;  // exactly kMaxRecords
  // The flush's draw order (see FlushBatches), kept here so that drawing allocates nothing:
  // the records' screen bounds, the draws (texture, first vertex and count), the draw each
  // record joined, and the vertices of the draws one after the other.
  struct cBounds {
    f32 l = 0.0f, b = 0.0f, r = 0.0f, t = 0.0f;
    bool empty = true;
  };
  std::vector<cBounds> m_RecordBounds;  // kMaxRecords
  std::vector<cBatchRecord> m_Draws;    // kMaxRecords
  std::vector<u32> m_DrawOf;            // kMaxRecords: the draw each record joined
  std::vector<cVertex2D> m_Ordered;     // kMaxVertices
  u32 m_Used = 0;
  u32 m_OverflowFlushes = 0;
  // The device's copy of the vertices (each flush writes behind the one before, and starts
  // over with new storage when the buffer is full) and the shared quad indices,
  // listed with the renderer, which keeps them across device loss.
  cBufferRecord m_DeviceVertices;
  cBufferRecord m_DeviceIndices;
  u32 m_DeviceFirst = 0;  // where the last upload starts in the device's vertices
  u32 m_DeviceNext = 0;   // where the next one goes when it fits
  // The frame's covers (see SetCovers), the screen size they are given in and the layer of
  // what is drawn now.
  std::vector<cCover> m_Covers;
  f32 m_CoverWidth = 0.0f, m_CoverHeight = 0.0f;
  i32 m_Layer = 0;
};

// Row-vector orthographic matrix into out[16] (clip z in -1..1).
void MatrixOrtho(f32* out, f32 left, f32 right, f32 bottom, f32 top, f32 zNear, f32 zFar);

// Sets up the renderer for flat drawing in a width x height space (y upwards). Returns true.
bool Begin2D(f32 width, f32 height);
// Back to the renderer's defaults: culling and lighting on, no vertex format cached.
void End2D();

// Blend modes of SetBlendMode.
enum eBlendMode : u32 {
  e_BlendNone = 0,
  e_BlendAlpha = 1,     // SRCALPHA, INVSRCALPHA
  e_BlendAdditive = 2,  // SRCCOLOR, ONE
};
// Mode 1 alpha blending, 2 additive, any other mode no blending. A non-zero alpha reference
// (0..1) turns the alpha test on with GREATER; 0 turns it off.
void SetBlendMode(u32 mode, f32 alphaReference);
// Tints what follows by a constant ARGB colour through the texture factor; 0xFFFFFFFF
// restores plain drawing.
void SetColorFactor(u32 argb);

// Reserves n vertices (whole quads: a multiple of kQuadVertices) for the texture and returns
// them, or null when n can never fit (more than kMaxVertices - 1). A full batch draws its
// records first and starts over.
cVertex2D* AddBatch(cQuadBatch* batch, u32 textureIndex, u32 n);
// Covers for the rest of the frame (see cCover), replacing any before; what is drawn from now
// on is in layer -1, under all of them, until SetCoverLayer. While a cover of a higher layer
// than the one drawn now hides a quad's whole extent on screen, FlushBatches leaves the quad
// out; a flat textured quad (not turned, one colour) that one hides a good part of is drawn
// as the pieces that still show. Whatever a cover hides is drawn over later in the frame, so
// the picture stays the same. Only for drawing that is flat on the screen: drawing through
// any other transform is left whole.
void SetCovers(cQuadBatch* batch, const std::vector<cCover>& covers, f32 width, f32 height);
// The layer of what is drawn from now on.
void SetCoverLayer(cQuadBatch* batch, i32 layer);
// No covers: everything is drawn whole again.
void ClearCovers(cQuadBatch* batch);
// Draws the used records, one call per texture where the picture allows: a record joins the
// last earlier draw of its texture when nothing drawn between them overlaps it on screen
// (moving quads past others they do not touch changes no pixel), else it is a draw of its own;
// draws keep their order. A page part (see cTexture) draws with its page's texture, its
// texture coordinates moved into its rectangle, so every part of a page draws together.
// The used count stays: each pass clears it.
void FlushBatches(cQuadBatch* batch);

// One quad.
void DrawQuad(cQuadBatch* batch, u32 textureIndex, const rectf& rect, const rectf& uv, u32 color);
// The quad turned by angle (radians, counter-clockwise) about the rect's centre.
void DrawRotatedQuad(cQuadBatch* batch, u32 textureIndex, const rectf& rect, const rectf& uv, u32 color,
                     f32 angle);
// A nine-part frame: corners of the border size, edges between them, the centre only with
// fillCentre (8 or 9 quads).
void DrawFrame(cQuadBatch* batch, u32 textureIndex, const rectf& rect, const rectf& uv, const vec2& border,
               const vec2& uvBorder, bool fillCentre, u32 color);
// The font's "_" glyph as a quad one line high at the point.
void DrawCaret(cQuadBatch* batch, u32 fontIndex, const vec2& point, u32 color);
// One line of text with its baseline cell at the point (font index 0 draws nothing).
void DrawText(cQuadBatch* batch, u32 fontIndex, const vec2& point, std::string_view text, u32 color);
// The same honouring colour codes: "^^" draws nothing, "^" and eight hex digits RRGGBBAA set
// the colour. The colour starts as *color (white when null) and the last colour is written
// back through it.
void DrawColorText(cQuadBatch* batch, u32 fontIndex, const vec2& point, std::string_view text,
                   u32* color = nullptr);
// (width, line height) of the text as DrawText lays it out.
vec2 MeasureText(u32 fontIndex, std::string_view text);
// The same with the colour codes left out.
vec2 MeasureColorText(u32 fontIndex, std::string_view text);
// A disc sector from startAngle to endAngle (radians) in `segments` triangles; the uv rect's
// centre maps to the disc's centre. Each triangle takes a quad whose last corner repeats
// its third (an empty second triangle).
void DrawPie(cQuadBatch* batch, u32 textureIndex, const vec2& centre, f32 radius, u32 segments, f32 startAngle,
             f32 endAngle, const rectf& uv, u32 color);
// An untextured band of the given width from one point to the other.
void DrawLine(cQuadBatch* batch, const vec2& from, const vec2& to, f32 width, const rectf& uv, u32 color);

}  // namespace vek
