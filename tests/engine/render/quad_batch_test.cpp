#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/render/curve.h"
#include "engine/render/texture_manager.h"
#include "tests/engine/render/batch_fixture.h"

namespace {

using vek::cQuadBatch;
using vek::cVertex2D;
using vek::rectf;
using vek::u32;
using vek::vec2;

const rectf kUnit{0.0f, 0.0f, 1.0f, 1.0f};

class QuadBatchTest : public vektest::BatchFixture {
 protected:
  void Quad(u32 texture, float x = 0.0f) { vek::DrawQuad(batch.get(), texture, rectf{x, 0, 8, 8}, kUnit, 0xFFFFFFFF); }
  const cVertex2D& Vertex(u32 i) const { return batch->GetVertices()[i]; }
  // The i-th vertex of the triangles the device draws from the batch: each quad's corners as
  // (0,1,2) (2,1,3), in the order the shared index buffer gives them.
  const cVertex2D& Corner(u32 i) const {
    static const u32 kOrder[6] = {0, 1, 2, 2, 1, 3};
    return Vertex(i / 6 * vek::kQuadVertices + kOrder[i % 6]);
  }
};

TEST_F(QuadBatchTest, OneRecordAndOneDrawPerTextureChange) {
  struct Case {
    const char* name;
    std::vector<u32> textures;  // 0 = untextured, 99 = past the end of the table
    u32 records;
    std::vector<std::string> binds;  // SetTexture calls of the flush
  };
  // The checkerboard "unnamed" is tex#1, A tex#2, B tex#3 on the recording device.
  const std::vector<Case> cases = {
      {"A B A", {1, 2, 1}, 3, {"SetTexture(0, tex#2)", "SetTexture(0, tex#3)", "SetTexture(0, tex#2)"}},
      {"A A B", {1, 1, 2}, 2, {"SetTexture(0, tex#2)", "SetTexture(0, tex#3)"}},
      {"untextured then A", {0, 0, 1}, 2, {"SetTexture(0, tex#2)"}},
      {"past the end draws texture 0", {99}, 1, {"SetTexture(0, tex#1)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    render->SetTexture(nullptr);
    batch->Clear();
    Mark();
    for (u32 t : c.textures) Quad(t == 1 ? texA : t == 2 ? texB : t);
    ASSERT_EQ(batch->GetUsed(), c.records);
    vek::FlushBatches(batch.get());
    EXPECT_EQ(DrawCalls(), static_cast<int>(c.records));
    EXPECT_EQ(DrawnTriangles(), static_cast<int>(2 * c.textures.size()));
    std::vector<std::string> binds;
    for (const std::string& call : rec->calls)
      if (call.rfind("SetTexture(", 0) == 0) binds.push_back(call);
    EXPECT_EQ(binds, c.binds);
    // Every record's quads from the one index buffer, counted from its first vertex.
    std::vector<std::string> bases;
    for (const std::string& call : rec->calls)
      if (call.rfind("SetIndices(", 0) == 0) bases.push_back(call.substr(call.find(", ") + 2));
    std::vector<std::string> expected;
    for (u32 r = 0; r < c.records; ++r)
      expected.push_back(std::to_string(batch->GetDeviceFirst() + batch->GetRecord(r).first) + ")");
    expected.push_back("0)");  // unbound after the flush
    EXPECT_EQ(bases, expected);
  }
  // The used count is left for the next pass to clear: a second flush draws the same again.
  Mark();
  vek::FlushBatches(batch.get());
  EXPECT_EQ(DrawCalls(), 1);
}

TEST_F(QuadBatchTest, RecordsOfOneTextureDrawTogetherWhereNothingBetweenCoversThem) {
  struct Q {
    int texture;  // 1 = A, 2 = B
    float x;
  };
  struct Case {
    const char* name;
    std::vector<Q> quads;  // 8 x 8 quads at (x, 0)
    int draws;
  };
  const std::vector<Case> cases = {
      {"A B A apart", {{1, 0}, {2, 20}, {1, 40}}, 2},
      {"A B A, the B covers the second A", {{1, 0}, {2, 20}, {1, 24}}, 3},
      {"A B A, the B covers only the first A", {{1, 0}, {2, 4}, {1, 40}}, 2},
      {"edges that touch share no pixel", {{1, 0}, {2, 8}, {1, 16}}, 2},
      // One B record reaching over the second A with its bounds, not with a quad.
      {"A BB A, the second A between the B quads", {{1, 200}, {2, 0}, {2, 100}, {1, 50}}, 2},
      {"A B A B apart", {{1, 0}, {2, 20}, {1, 40}, {2, 60}}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    batch->Clear();
    for (const Q& q : c.quads) Quad(q.texture == 1 ? texA : texB, q.x);
    Mark();
    vek::FlushBatches(batch.get());
    EXPECT_EQ(DrawCalls(), c.draws);
    EXPECT_EQ(DrawnTriangles(), static_cast<int>(2 * c.quads.size()));
  }
  // A record that joins an earlier draw keeps its order inside it: "A B A apart" draws the
  // first A's quad, then the second's, from one run of vertices.
  batch->Clear();
  Quad(texA, 0);
  Quad(texB, 20);
  Quad(texA, 40);
  vek::FlushBatches(batch.get());
  void* data = nullptr;
  ASSERT_EQ(batch->m_DeviceVertices.buffer->Lock(batch->GetDeviceFirst() * sizeof(cVertex2D), 0, &data, 0), 0);
  const auto* drawn = static_cast<const cVertex2D*>(data);
  EXPECT_EQ(drawn[0].x, 0.0f);
  EXPECT_EQ(drawn[4].x, 40.0f);
  EXPECT_EQ(drawn[8].x, 20.0f);
  batch->m_DeviceVertices.buffer->Unlock();
}

TEST_F(QuadBatchTest, PagePartsDrawWithTheirPageInItsCoordinates) {
  vek::cImage image(vek::e_PixARGB, 256, 128, 1);
  new vek::cTexture("page", false, &image);
  const u32 page = vek::g_pTextureManager->FindIndex("page");
  new vek::cTexture("left", "page", vek::recti{0, 0, 64, 64});
  new vek::cTexture("right", "page", vek::recti{64, 64, 128, 64});
  const u32 left = vek::g_pTextureManager->FindIndex("left"), right = vek::g_pTextureManager->FindIndex("right");
  const vek::cTexture* r = vek::g_pTextureManager->Get(right);
  ASSERT_TRUE(r->IsPagePart());
  EXPECT_EQ(r->GetPage(), page);
  EXPECT_EQ(r->GetWidth(), 128u);
  EXPECT_EQ(r->GetHeight(), 64u);
  EXPECT_FLOAT_EQ(r->GetPageRect().x, 0.25f);
  EXPECT_FLOAT_EQ(r->GetPageRect().y, 0.5f);
  EXPECT_FLOAT_EQ(r->GetPageRect().w, 0.5f);
  EXPECT_FLOAT_EQ(r->GetPageRect().h, 0.5f);

  batch->Clear();
  vek::DrawQuad(batch.get(), left, rectf{0, 0, 8, 8}, kUnit, 0xFFFFFFFF);
  Quad(texA, 100);
  vek::DrawQuad(batch.get(), right, rectf{20, 0, 8, 8}, rectf{0.5f, 0.0f, 0.5f, 1.0f}, 0xFFFFFFFF);
  ASSERT_EQ(batch->GetUsed(), 3u);  // the records keep the parts' own textures
  Mark();
  vek::FlushBatches(batch.get());
  EXPECT_EQ(DrawCalls(), 2);
  std::vector<std::string> binds;
  for (const std::string& call : rec->calls)
    if (call.rfind("SetTexture(", 0) == 0) binds.push_back(call);
  // The checkerboard is tex#1, A tex#2, B tex#3, the page tex#4; parts have none of their own.
  EXPECT_EQ(binds, (std::vector<std::string>{"SetTexture(0, tex#4)", "SetTexture(0, tex#2)"}));
  void* data = nullptr;
  ASSERT_EQ(batch->m_DeviceVertices.buffer->Lock(batch->GetDeviceFirst() * sizeof(cVertex2D), 0, &data, 0), 0);
  const auto* drawn = static_cast<const cVertex2D*>(data);
  // (L,B) and (R,T) of each part's quad, in the page's coordinates.
  EXPECT_FLOAT_EQ(drawn[0].u, 0.0f);
  EXPECT_FLOAT_EQ(drawn[0].v, 0.0f);
  EXPECT_FLOAT_EQ(drawn[3].u, 0.25f);
  EXPECT_FLOAT_EQ(drawn[3].v, 0.5f);
  EXPECT_FLOAT_EQ(drawn[4].u, 0.5f);
  EXPECT_FLOAT_EQ(drawn[4].v, 0.5f);
  EXPECT_FLOAT_EQ(drawn[7].u, 0.75f);
  EXPECT_FLOAT_EQ(drawn[7].v, 1.0f);
  batch->m_DeviceVertices.buffer->Unlock();
  // The batch's own vertices keep the parts' coordinates: a second flush draws the same.
  EXPECT_FLOAT_EQ(Vertex(3).u, 1.0f);
  Mark();
  vek::FlushBatches(batch.get());
  EXPECT_EQ(DrawCalls(), 2);
}

TEST_F(QuadBatchTest, FlushesWriteBehindEachOtherAndStartOverWhenTheBufferIsFull) {
  // The vertex locks of the flushes since the last Mark: "offset, size, flags".
  auto locks = [&] {
    std::vector<std::string> out;
    for (const std::string& call : rec->calls)
      if (call.rfind("LockVertexBuffer(", 0) == 0) out.push_back(call.substr(call.find(", ") + 2));
    return out;
  };
  batch->Clear();
  Quad(texA);
  vek::FlushBatches(batch.get());
  const u32 first = batch->GetDeviceFirst();
  // The next flush goes behind it, without waiting for the device or new storage.
  Mark();
  vek::FlushBatches(batch.get());
  EXPECT_EQ(batch->GetDeviceFirst(), first + 4);
  EXPECT_EQ(locks(), (std::vector<std::string>{std::to_string((first + 4) * 20) + ", 80, 0x1000)"}));
  bool based = false;  // the quads' indices count from where the vertices landed
  for (const std::string& call : rec->calls)
    based = based || (call.rfind("SetIndices(ib#", 0) == 0 && call.find(", " + std::to_string(first + 4) + ")") != std::string::npos);
  EXPECT_TRUE(based);
  // Two passes of 16000 quads cannot both fit: the second starts over at vertex 0 on new storage.
  batch->Clear();
  for (int i = 0; i < 16000; ++i) Quad(texA, static_cast<float>(i % 100));
  vek::FlushBatches(batch.get());
  EXPECT_EQ(batch->GetDeviceFirst(), first + 8);
  Mark();
  vek::FlushBatches(batch.get());
  EXPECT_EQ(batch->GetDeviceFirst(), 0u);
  EXPECT_EQ(locks(), (std::vector<std::string>{"0, 1280000, 0x2000)"}));
  EXPECT_EQ(DrawnTriangles(), 32000);
}

TEST_F(QuadBatchTest, FullRecordTableDrawsAndGoesOn) {
  // 501 texture changes in one pass: the first 500 records are drawn when the 501st comes,
  // and nothing queued is lost.
  for (int i = 0; i < 501; ++i) Quad(i % 2 ? texB : texA, static_cast<float>(i));
  EXPECT_EQ(DrawCalls(), 500);
  EXPECT_EQ(batch->GetOverflowFlushes(), 1u);
  ASSERT_EQ(batch->GetUsed(), 1u);
  EXPECT_EQ(batch->GetRecord(0).texture, texA);
  EXPECT_EQ(batch->GetRecord(0).first, 0u);
  EXPECT_EQ(Vertex(0).x, 500.0f);  // the 501st quad, at the start of the array
  vek::FlushBatches(batch.get());
  EXPECT_EQ(DrawCalls(), 501);
  EXPECT_EQ(DrawnTriangles(), 2 * 501);
}

TEST_F(QuadBatchTest, FullVertexArrayDrawsAndGoesOn) {
  struct Case {
    u32 before;  // vertices already reserved with texture A
    u32 n;       // then reserved with texture A
    bool flushes;
  };
  const std::vector<Case> cases = {
      {65529, 6, false},  // ends at 65535: the last vertex that fits
      {65530, 6, true},   // would end exactly at 65536
      {60000, 6000, true},
      {0, 65535, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.before << " + " << c.n);
    batch->Clear();
    Mark();
    if (c.before) {
      ASSERT_NE(vek::AddBatch(batch.get(), texA, c.before), nullptr);
    }
    cVertex2D* v = vek::AddBatch(batch.get(), texA, c.n);
    EXPECT_EQ(v, batch->GetVertices() + (c.flushes ? 0 : c.before));
    EXPECT_EQ(DrawCalls(), c.flushes ? 1 : 0);
    EXPECT_EQ(batch->GetVertexCount(), c.flushes ? c.n : c.before + c.n);
  }
  // More than one pass can hold is refused without touching what is queued.
  batch->Clear();
  Quad(texA);
  Mark();
  EXPECT_EQ(vek::AddBatch(batch.get(), texA, cQuadBatch::kMaxVertices), nullptr);
  EXPECT_EQ(DrawCalls(), 0);
  EXPECT_EQ(batch->GetVertexCount(), 4u);

  // 20,000 quads of one texture (16,383 fit in a pass): every triangle reaches the device.
  batch->Clear();
  Mark();
  for (int i = 0; i < 20000; ++i) Quad(texA);
  vek::FlushBatches(batch.get());
  EXPECT_EQ(DrawCalls(), 2);
  EXPECT_EQ(DrawnTriangles(), 40000);
}

TEST_F(QuadBatchTest, DeviceBuffersSurviveDeviceLossAndANewRenderer) {
  Quad(texA);
  vek::FlushBatches(batch.get());
  // One dynamic vertex buffer and one managed index buffer of 16,384 quads, made once.
  EXPECT_EQ(rec->Count("CreateVertexBuffer(1310720, 0x208"), 1);
  EXPECT_EQ(rec->Count("CreateIndexBuffer(196608, 0x0"), 1);
  Mark();
  vek::FlushBatches(batch.get());
  EXPECT_FALSE(rec->Has("Create"));
  EXPECT_EQ(DrawnTriangles(), 2);

  // The device goes and comes back: the renderer restores both; the batch draws on.
  vek::g_pTextureManager->DeleteContexts();
  render->Free();
  ASSERT_EQ(render->Init(Settings()), 0);
  vek::g_pTextureManager->CreateContexts();
  Mark();
  vek::FlushBatches(batch.get());
  EXPECT_EQ(DrawnTriangles(), 2);

  // A renderer of its own: the buffers are made again on its device.
  vek::g_pTextureManager->DeleteContexts();
  render->Free();
  vek::DestroyRender();
  vek::CreateRender();
  render = vek::g_pRender;
  ASSERT_EQ(render->Init(Settings()), 0);
  vek::g_pTextureManager->CreateContexts();
  Mark();
  vek::FlushBatches(batch.get());
  EXPECT_EQ(rec->Count("CreateIndexBuffer("), 1);
  EXPECT_EQ(DrawnTriangles(), 2);
}

TEST_F(QuadBatchTest, QuadRotatedQuadLineAndPieGeometry) {
  vek::DrawQuad(batch.get(), texA, rectf{10, 20, 30, 40}, rectf{0.25f, 0.5f, 0.5f, 0.25f}, 0x11223344);
  const float quad[6][4] = {{10, 20, 0.25f, 0.5f}, {40, 20, 0.75f, 0.5f}, {10, 60, 0.25f, 0.75f},
                            {10, 60, 0.25f, 0.75f}, {40, 20, 0.75f, 0.5f}, {40, 60, 0.75f, 0.75f}};
  for (u32 i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Corner(i).x, quad[i][0]);
    EXPECT_EQ(Corner(i).y, quad[i][1]);
    EXPECT_EQ(Corner(i).u, quad[i][2]);
    EXPECT_EQ(Corner(i).v, quad[i][3]);
    EXPECT_EQ(Corner(i).color, 0x11223344u);
  }

  // A quarter turn about the centre (20, 20) of a 20 x 10 rect: the lower-left corner goes
  // to the lower right, the lower-right to the upper right.
  batch->Clear();
  vek::DrawRotatedQuad(batch.get(), texA, rectf{10, 15, 20, 10}, kUnit, 0xFFFFFFFF, 3.14159265f / 2.0f);
  EXPECT_NEAR(Corner(0).x, 25.0f, 1e-4);
  EXPECT_NEAR(Corner(0).y, 10.0f, 1e-4);
  EXPECT_NEAR(Corner(1).x, 25.0f, 1e-4);
  EXPECT_NEAR(Corner(1).y, 30.0f, 1e-4);
  EXPECT_NEAR(Corner(5).x, 15.0f, 1e-4);
  EXPECT_NEAR(Corner(5).y, 30.0f, 1e-4);
  EXPECT_EQ(Corner(5).u, 1.0f);

  // A horizontal line of width 4: a band from y - 2 to y + 2, untextured.
  batch->Clear();
  vek::DrawLine(batch.get(), vec2(0, 10), vec2(50, 10), 4.0f, kUnit, 0xFF00FF00);
  EXPECT_EQ(batch->GetRecord(0).texture, 0u);
  const float line[6][3] = {{0, 8, 1}, {0, 12, 0}, {50, 8, 1}, {50, 8, 1}, {0, 12, 0}, {50, 12, 0}};
  for (u32 i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(Corner(i).x, line[i][0], 1e-4);
    EXPECT_NEAR(Corner(i).y, line[i][1], 1e-4);
    EXPECT_EQ(Corner(i).v, line[i][2]);
  }

  // A half disc in 4 segments: a quad each, its first triangle from the centre and its
  // second empty (the last corner repeats the third).
  batch->Clear();
  vek::DrawPie(batch.get(), texA, vec2(100, 100), 10.0f, 4, 0.0f, 3.14159265f, kUnit, 0xFFFFFFFF);
  EXPECT_EQ(batch->GetVertexCount(), 16u);
  EXPECT_EQ(Corner(0).x, 100.0f);
  EXPECT_EQ(Corner(0).u, 0.5f);
  EXPECT_NEAR(Corner(1).x, 110.0f, 1e-4);
  EXPECT_NEAR(Corner(1).u, 1.0f, 1e-6);
  EXPECT_NEAR(Corner(20).x, 90.0f, 1e-4);
  EXPECT_NEAR(Corner(20).y, 100.0f, 1e-4);
  for (u32 k = 0; k < 4; ++k) {
    const cVertex2D &third = Vertex(4 * k + 2), &fourth = Vertex(4 * k + 3);
    EXPECT_TRUE(third.x == fourth.x && third.y == fourth.y) << k;
  }
  batch->Clear();
  vek::DrawPie(batch.get(), texA, vec2(0, 0), 10.0f, 0, 0.0f, 1.0f, kUnit, 0xFFFFFFFF);
  EXPECT_EQ(batch->GetUsed(), 0u);
}

TEST_F(QuadBatchTest, FrameVertexCountsAndCorners) {
  for (bool fill : {false, true}) {
    SCOPED_TRACE(fill);
    batch->Clear();
    vek::DrawFrame(batch.get(), texA, rectf{0, 0, 100, 50}, kUnit, vec2(10, 5), vec2(0.25f, 0.125f), fill,
                   0xFFFFFFFF);
    ASSERT_EQ(batch->GetVertexCount(), fill ? 36u : 32u);
    // Triangle (0, 1, 11): the outer corner, the bottom edge's first inner point and the
    // left edge's lower inner point.
    EXPECT_EQ(Corner(0).x, 0.0f);
    EXPECT_EQ(Corner(1).x, 10.0f);
    EXPECT_EQ(Corner(1).u, 0.25f);
    EXPECT_EQ(Corner(2).y, 5.0f);
    EXPECT_EQ(Corner(2).v, 0.125f);
    if (fill) {
      // The centre (12, 13, 15): inner corners.
      EXPECT_EQ(Corner(48).x, 10.0f);
      EXPECT_EQ(Corner(49).x, 90.0f);
      EXPECT_EQ(Corner(50).y, 45.0f);
      EXPECT_EQ(Corner(50).v, 0.875f);
    }
  }
}

// The colour of each glyph DrawColorText draws (its quad's first vertex), skipping the
// zeroed vertices of codes.
std::vector<u32> GlyphColors(const cQuadBatch& b) {
  std::vector<u32> colors;
  for (u32 i = 0; i < b.GetVertexCount(); i += vek::kQuadVertices) {
    const cVertex2D& v = b.GetVertices()[i];
    if (v.x == 0 && v.y == 0 && v.color == 0 && v.u == 0 && v.v == 0) continue;
    colors.push_back(v.color);
  }
  return colors;
}

TEST_F(QuadBatchTest, ColorCodesDrawAndMeasureAlike) {
  struct Case {
    const char* text;
    std::vector<u32> colors;  // of the glyphs drawn
    u32 after;                // the colour written back
    std::string drawn;        // the glyphs, for the measure
  };
  const u32 W = 0xFFFFFFFF;
  const std::vector<Case> cases = {
      {"^^", {}, W, ""},
      {"a^^b", {W, W}, W, "ab"},
      {"^FF000080A", {0x80FF0000}, 0x80FF0000, "A"},
      {"x^00ff00FFy", {W, 0xFF00FF00}, 0xFF00FF00, "xy"},
      {"ab^12", {W, W, W, W, W}, W, "ab^12"},        // the code does not fit: drawn whole
      {"a^", {W, W}, W, "a^"},                       // a trailing "^"
      {"^zzzzzzzzA", std::vector<u32>(10, W), W, "^zzzzzzzzA"},  // not hex digits
      {"ab^FF0000FF", {W, W}, 0xFFFF0000, "ab"},     // a code at the end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    batch->Clear();
    u32 color = W;
    vek::DrawColorText(batch.get(), fontIndex, vec2(0, 0), c.text, &color);
    EXPECT_EQ(batch->GetVertexCount(), vek::kQuadVertices * std::string(c.text).size());  // skipped bytes keep theirs
    EXPECT_EQ(GlyphColors(*batch), c.colors);
    EXPECT_EQ(color, c.after);
    const vec2 size = vek::MeasureColorText(fontIndex, c.text);
    EXPECT_EQ(size.x, Span(c.drawn));
    EXPECT_EQ(size.y, kLine);
  }
  // Without a colour argument the text starts white.
  batch->Clear();
  vek::DrawColorText(batch.get(), fontIndex, vec2(0, 0), "q", nullptr);
  EXPECT_EQ(GlyphColors(*batch), std::vector<u32>{W});
}

TEST_F(QuadBatchTest, TextLayoutAndMeasure) {
  const std::string word = "Orchardia";
  EXPECT_EQ(vek::MeasureText(fontIndex, word).x, Span(word));
  EXPECT_EQ(vek::MeasureText(fontIndex, "").x, 0.0f);
  EXPECT_EQ(vek::MeasureText(fontIndex, "").y, kLine);
  EXPECT_EQ(vek::MeasureText(0, word).x, 0.0f);   // the empty font
  EXPECT_EQ(vek::MeasureText(500, word).x, 0.0f);  // past the end: font 0

  // The pen starts at the point rounded down; each quad sits at pen + offset, one line high,
  // with the glyph's texture rectangle.
  vek::DrawText(batch.get(), fontIndex, vec2(10.7f, 20.2f), "Or", 0xFF0000FF);
  ASSERT_EQ(batch->GetVertexCount(), 8u);
  EXPECT_EQ(batch->GetRecord(0).texture, texA);
  const float o = 10.0f + Offset('O');
  EXPECT_EQ(Corner(0).x, o);
  EXPECT_EQ(Corner(0).y, 20.0f);
  EXPECT_EQ(Corner(5).x, o + Width('O'));
  EXPECT_EQ(Corner(5).y, 20.0f + kLine);
  EXPECT_EQ(Corner(6).x, 10.0f + Advance('O') + kSpacing + Offset('r'));
  EXPECT_EQ(Corner(0).u, ('O' % 16) * 4 / 64.0f);
  EXPECT_EQ(Corner(5).v, 1.0f - ('O' / 16) * 4 / 64.0f);

  // Font 0 and the empty text draw nothing; a text longer than one reservation is whole.
  batch->Clear();
  vek::DrawText(batch.get(), 0, vec2(0, 0), word, 0xFFFFFFFF);
  vek::DrawText(batch.get(), fontIndex, vec2(0, 0), "", 0xFFFFFFFF);
  vek::DrawColorText(batch.get(), 0, vec2(0, 0), word);
  EXPECT_EQ(batch->GetUsed(), 0u);
  vek::DrawText(batch.get(), fontIndex, vec2(0, 0), std::string(5000, 'x'), 0xFFFFFFFF);
  EXPECT_EQ(batch->GetVertexCount(), 20000u);
  EXPECT_EQ(batch->GetUsed(), 1u);

  // The caret: the "_" glyph's width and rectangle, one line high, at the point as given.
  batch->Clear();
  vek::DrawCaret(batch.get(), fontIndex, vec2(5.5f, 7.0f), 0xFFFFFFFF);
  EXPECT_EQ(Corner(0).x, 5.5f);
  EXPECT_EQ(Corner(5).x, 5.5f + Width('_'));
  EXPECT_EQ(Corner(5).y, 7.0f + kLine);
}

TEST_F(QuadBatchTest, BlendModesAndColorFactors) {
  struct Blend {
    u32 mode;
    float reference;
    std::vector<std::string> calls;
  };
  const std::vector<Blend> blends = {
      {1, 0.05f,
       {"SetRenderState(AlphaBlendEnable, 1)", "SetRenderState(SrcBlend, 5)", "SetRenderState(DestBlend, 6)",
        "SetRenderState(AlphaTestEnable, 1)", "SetRenderState(AlphaFunc, 5)", "SetRenderState(AlphaRef, 12)"}},
      {2, 0.0f,
       {"SetRenderState(SrcBlend, 3)", "SetRenderState(DestBlend, 2)", "SetRenderState(AlphaTestEnable, 0)"}},
      {0, 0.0f, {"SetRenderState(AlphaBlendEnable, 0)"}},
      {7, 0.0f, {}},  // any other mode: blending stays off
  };
  for (const Blend& b : blends) {
    SCOPED_TRACE(b.mode);
    Mark();
    vek::SetBlendMode(b.mode, b.reference);
    EXPECT_EQ(rec->calls, b.calls);
  }

  struct Factor {
    u32 argb;
    std::vector<u32> ops;  // colour op, arg1, arg2, alpha op, arg1, arg2
  };
  namespace targ = plat::gfx::targ;
  const u32 M = plat::gfx::top::Modulate, T = targ::Texture, C = targ::Current, F = targ::TFactor;
  const std::vector<Factor> factors = {
      {0xFF804020, {M, T, F, M, T, C}},
      {0x80804020, {M, T, F, M, T, F}},
      {0x80FFFFFF, {M, T, C, M, T, F}},
      {0xFFFFFFFF, {M, T, C, M, T, C}},
  };
  for (const Factor& f : factors) {
    SCOPED_TRACE(testing::Message() << std::hex << f.argb);
    Mark();
    vek::SetColorFactor(f.argb);
    std::vector<u32> ops;
    for (const std::string& call : rec->calls) {
      unsigned value = 0;
      char name[32] = {};
      if (std::sscanf(call.c_str(), "SetTextureStageState(0, %31[A-Za-z0-9], %u)", name, &value) == 2)
        ops.push_back(value);
    }
    EXPECT_EQ(ops, f.ops);
    const bool plain = f.argb == 0xFFFFFFFF;
    EXPECT_EQ(rec->Has("SetRenderState(TextureFactor, " + std::to_string(f.argb) + ")"), !plain);
  }
}

TEST_F(QuadBatchTest, TwoDimensionalPass) {
  float m[16];
  vek::MatrixOrtho(m, 0, 1024, 0, 768, -128, 128);
  const float expected[16] = {2.0f / 1024, 0, 0, 0, 0, 2.0f / 768, 0, 0, 0, 0, -2.0f / 256, 0, -1, -1, 0, 1};
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(m[i], expected[i]) << i;

  EXPECT_TRUE(vek::Begin2D(1024, 768));
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(render->GetProjection()[i], expected[i]) << i;
  EXPECT_EQ(render->GetView()[12], 0.0f);  // no half-pixel shift on GL
  EXPECT_EQ(render->GetView()[13], 0.0f);
  EXPECT_TRUE(rec->Has("SetRenderState(Lighting, 0)"));
  EXPECT_TRUE(rec->Has("SetRenderState(CullMode, 1)"));
  EXPECT_TRUE(rec->Has("SetVertexFormat(0x4C)"));  // flat position, colour, texture coordinates
  Quad(texA);
  vek::FlushBatches(batch.get());
  EXPECT_TRUE(rec->Has("DrawIndexedPrimitive(TriangleList, 0, 4, 0, 2)"));
  Mark();
  vek::End2D();
  EXPECT_EQ(rec->calls, (std::vector<std::string>{"SetRenderState(CullMode, 2)", "SetRenderState(Lighting, 1)"}));
}

// A quad that puts each texel on one pixel's centre samples the nearest texel (the same colours
// as filtering, for less work); anything scaled, turned or between pixels keeps the texture's
// own filter. Texture A is 64 x 64 and filters linearly.
TEST_F(QuadBatchTest, QuadsDrawnTexelForPixelSampleTheNearestTexel) {
  namespace tf = plat::gfx::tfilter;
  const float kPart = 16.0f / 64.0f;
  struct Case {
    const char* name;
    int viewW, viewH;     // the viewport, for a 256 x 128 flat space
    float viewX, viewY;   // the view's shift
    bool turned;          // drawn turned by a small angle
    rectf rect, uv;
    bool nearest;
  };
  const std::vector<Case> cases = {
      {"whole texture on whole pixels", 256, 128, 0, 0, false, {10, 20, 64, 64}, kUnit, true},
      {"a part of it", 256, 128, 0, 0, false, {3, 5, 16, 8}, {kPart, kPart, kPart, 8.0f / 64.0f}, true},
      {"mirrored", 256, 128, 0, 0, false, {0, 0, 64, 64}, {1, 0, -1, 1}, true},
      {"shifted by whole pixels", 256, 128, -7, 3, false, {10, 20, 64, 64}, kUnit, true},
      {"half a pixel off", 256, 128, 0, 0, false, {10.5f, 20, 64, 64}, kUnit, false},
      {"texture half a texel off", 256, 128, 0, 0, false, {0, 0, 64, 64}, {0.5f / 64, 0, 1, 1}, false},
      {"shifted by half a pixel", 256, 128, 0.5f, 0, false, {10, 20, 64, 64}, kUnit, false},
      {"stretched", 256, 128, 0, 0, false, {0, 0, 128, 64}, kUnit, false},
      {"viewport scaled", 512, 256, 0, 0, false, {10, 20, 64, 64}, kUnit, false},
      {"turned", 256, 128, 0, 0, true, {10, 20, 64, 64}, kUnit, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    render->SetViewport(0, 0, c.viewW, c.viewH);
    vek::Begin2D(256, 128);
    float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, c.viewX, c.viewY, 0, 1};
    render->SetTransform(vek::e_TransformView, view);
    // A stretched quad of B first, so that the filter is known to change for A.
    batch->Clear();
    vek::DrawQuad(batch.get(), texB, rectf{0, 100, 20, 20}, kUnit, 0xFFFFFFFF);
    vek::FlushBatches(batch.get());
    batch->Clear();
    if (c.turned)
      vek::DrawRotatedQuad(batch.get(), texA, c.rect, c.uv, 0xFFFFFFFF, 0.01f);
    else
      vek::DrawQuad(batch.get(), texA, c.rect, c.uv, 0xFFFFFFFF);
    Mark();
    vek::FlushBatches(batch.get());
    const std::string filter = "SetTextureStageState(0, MagFilter, ";
    EXPECT_EQ(rec->Has(filter + std::to_string(tf::Point) + ")"), c.nearest);
    EXPECT_FALSE(rec->Has(filter + std::to_string(tf::Linear) + ")"));  // still linear from B
    EXPECT_EQ(DrawCalls(), 1);
  }
  // One stretched quad among exact ones keeps the filter for the whole draw; a later exact draw
  // of the bound texture alone switches to the nearest texel, and back for a stretched one.
  render->SetViewport(0, 0, 256, 128);
  vek::Begin2D(256, 128);
  batch->Clear();
  Quad(texA, 0);
  vek::DrawQuad(batch.get(), texA, rectf{100, 0, 32, 8}, kUnit, 0xFFFFFFFF);
  Mark();
  vek::FlushBatches(batch.get());
  EXPECT_FALSE(rec->Has("SetTextureStageState(0, MagFilter, " + std::to_string(tf::Point) + ")"));
  for (bool exact : {true, false}) {
    batch->Clear();
    vek::DrawQuad(batch.get(), texA, rectf{0, 0, exact ? 64.0f : 32.0f, 64}, kUnit, 0xFFFFFFFF);
    Mark();
    vek::FlushBatches(batch.get());
    EXPECT_TRUE(rec->Has("SetTextureStageState(0, MagFilter, " + std::to_string(exact ? tf::Point : tf::Linear) + ")"));
    EXPECT_EQ(rec->Count("SetTexture("), 0);  // the same texture stays bound
  }
  // A texture transform other than the identity moves the texels: the filter stays.
  const float moved[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.25f, 0, 0, 1};
  render->SetTransform(vek::e_TransformTexture, moved);
  batch->Clear();
  vek::DrawQuad(batch.get(), texA, rectf{0, 0, 64, 64}, kUnit, 0xFFFFFFFF);
  Mark();
  vek::FlushBatches(batch.get());
  EXPECT_FALSE(rec->Has("SetTextureStageState(0, MagFilter, " + std::to_string(tf::Point) + ")"));
}

// A texture read on use holds nothing until a batch first draws it, reads its picture once,
// and one that cannot be read is tried once and draws as the default texture.
TEST_F(QuadBatchTest, APictureReadOnUseIsReadWhenFirstDrawnAndOnlyOnce) {
  int reads = 0, failures = 0;
  new vek::cTexture("later", [&](vek::cImage& image) {
    ++reads;
    image.Create(vek::e_PixARGB, 32, 16, 1);
    return true;
  });
  new vek::cTexture("broken", [&](vek::cImage&) {
    ++failures;
    return false;
  });
  const u32 later = vek::g_pTextureManager->FindIndex("later"), broken = vek::g_pTextureManager->FindIndex("broken");
  ASSERT_NE(later, 0u);
  ASSERT_NE(broken, 0u);
  const vek::cTexture* t = vek::g_pTextureManager->Get(later);
  EXPECT_TRUE(t->IsWaitingForUse());
  EXPECT_EQ(t->GetContext(), nullptr);
  EXPECT_EQ(t->GetWidth(), 0u);
  EXPECT_FALSE(rec->Has("CreateTexture(32x16"));
  EXPECT_EQ(reads, 0);

  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass);
    batch->Clear();
    vek::DrawQuad(batch.get(), later, rectf{0, 0, 32, 16}, kUnit, 0xFFFFFFFF);
    vek::DrawQuad(batch.get(), broken, rectf{40, 0, 8, 8}, kUnit, 0xFFFFFFFF);
    Mark();
    vek::FlushBatches(batch.get());
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(rec->Has("CreateTexture(32x16"), pass == 0);
    EXPECT_EQ(DrawCalls(), 2);
  }
  EXPECT_FALSE(t->IsWaitingForUse());
  ASSERT_NE(t->GetContext(), nullptr);
  EXPECT_EQ(t->GetWidth(), 32u);
  EXPECT_EQ(t->GetHeight(), 16u);
  EXPECT_EQ(vek::g_pTextureManager->Get(broken)->GetContext(), nullptr);
  EXPECT_EQ(Log().find("LoadOnUse 'broken'"), Log().rfind("LoadOnUse 'broken'"));
  EXPECT_NE(Log().find("LoadOnUse 'broken'. The picture can't be read"), std::string::npos);
}

TEST(WindowMatrices, ScaleThenTranslateMovesAPoint) {
  // Row vectors: (x, y, z, 1) x scaling x translation.
  float scale[16], move[16], both[16];
  vek::MatrixScaling(scale, 2, 3, 4);
  vek::MatrixTranslation(move, 10, 20, 30);
  vek::MatrixMultiply(both, scale, move);
  const float p[4] = {1, 1, 1, 1};
  float out[4] = {};
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) out[c] += p[r] * both[r * 4 + c];
  EXPECT_EQ(std::vector<float>(out, out + 4), (std::vector<float>{12, 23, 34, 1}));
  EXPECT_EQ(std::vector<float>(scale, scale + 16),
            (std::vector<float>{2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1}));
}

}  // namespace

namespace {

// The quads the batch holds after a flush, as their extents and the texture coordinates at
// their lower-left corner and upper-right corner.
struct Drawn {
  float l, b, r, t, u0, v0, u1, v1;
};
std::vector<Drawn> HeldQuads(const cQuadBatch& batch) {
  std::vector<Drawn> out;
  for (u32 r = 0; r < batch.GetUsed(); ++r) {
    const vek::cBatchRecord& rec = batch.GetRecord(r);
    for (u32 k = rec.first; k + vek::kQuadVertices <= rec.first + rec.count; k += vek::kQuadVertices) {
      const cVertex2D* q = batch.GetVertices() + k;
      out.push_back({q[0].x, q[0].y, q[3].x, q[3].y, q[0].u, q[0].v, q[3].u, q[3].v});
    }
  }
  return out;
}

}  // namespace

TEST_F(QuadBatchTest, WhatALaterLayerCoversIsLeftOutOrDrawnAsThePiecesThatShow) {
  // A cover on 256 x 128 GUI units; it hides the whole pixels inside it (41..140 x 21..80 of
  // a 256 x 128 viewport).
  const rectf area{40.5f, 20.2f, 100.0f, 60.0f};
  const std::vector<vek::cCover> covers = {{area, 0}};
  enum Shape { e_Flat, e_Turned, e_Shaded };
  struct Case {
    const char* name;
    int viewW, viewH;  // the viewport; the drawing space is 256 x 128
    int layer;         // of the drawing
    bool turnedWorld;  // a world transform that turns everything a little
    Shape shape;
    rectf rect;
    int quads;  // held after the flush: 0 left out, 1 whole, more as pieces
  };
  const std::vector<Case> cases = {
      {"wholly hidden", 256, 128, -1, false, e_Flat, {50, 30, 20, 20}, 0},
      {"reaching just past the cover", 256, 128, -1, false, e_Flat, {50, 30, 91, 20}, 1},
      {"partly hidden, a large part", 256, 128, -1, false, e_Flat, {0, 0, 200, 100}, 4},
      {"partly hidden, a small part", 256, 128, -1, false, e_Flat, {130, 0, 20, 30}, 1},
      {"in the cover's own layer", 256, 128, 0, false, e_Flat, {50, 30, 20, 20}, 1},
      {"turned and hidden", 256, 128, -1, false, e_Turned, {50, 30, 20, 20}, 0},
      {"turned and partly hidden", 256, 128, -1, false, e_Turned, {0, 0, 200, 100}, 1},
      {"shaded and partly hidden", 256, 128, -1, false, e_Shaded, {0, 0, 200, 100}, 1},
      {"drawn through a turning transform", 256, 128, -1, true, e_Flat, {50, 30, 20, 20}, 1},
      {"viewport twice the space", 512, 256, -1, false, e_Flat, {50, 30, 20, 20}, 0},
      {"viewport twice the space, partly", 512, 256, -1, false, e_Flat, {0, 0, 200, 100}, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    render->SetViewport(0, 0, c.viewW, c.viewH);
    vek::Begin2D(256, 128);
    if (c.turnedWorld) {
      const float s = std::sin(0.01f), co = std::cos(0.01f);
      const float turn[16] = {co, s, 0, 0, -s, co, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
      render->SetTransform(vek::e_TransformWorld, turn);
    }
    vek::SetCovers(batch.get(), covers, 256, 128);
    vek::SetCoverLayer(batch.get(), c.layer);
    batch->Clear();
    if (c.shape == e_Turned) {
      vek::DrawRotatedQuad(batch.get(), texA, c.rect, kUnit, 0xFFFFFFFF, 0.01f);
    } else {
      vek::DrawQuad(batch.get(), texA, c.rect, kUnit, 0xFFFFFFFF);
      if (c.shape == e_Shaded) batch->m_Vertices[3].color = 0xFF000000;
    }
    Mark();
    vek::FlushBatches(batch.get());
    const std::vector<Drawn> held = HeldQuads(*batch);
    ASSERT_EQ(static_cast<int>(held.size()), c.quads);
    EXPECT_EQ(DrawnTriangles(), 2 * c.quads);
    if (c.quads > 1) {
      // The pieces: the quad's extent less the hidden pixels, none inside them, each with the
      // texture coordinates the whole quad has there.
      const float px = static_cast<float>(c.viewW) / 256.0f;  // pixels a unit
      const float hl = std::ceil(area.x * px) / px, hr = std::floor((area.x + area.w) * px) / px;
      const float hb = std::ceil(area.y * px) / px, ht = std::floor((area.y + area.h) * px) / px;
      const float hidden = (hr - hl) * (ht - hb);
      float shown = 0.0f;
      for (const Drawn& d : held) {
        shown += (d.r - d.l) * (d.t - d.b);
        EXPECT_TRUE(d.r <= hl + 1e-4f || d.l >= hr - 1e-4f || d.t <= hb + 1e-4f || d.b >= ht - 1e-4f);
        EXPECT_NEAR(d.u0, (d.l - c.rect.x) / c.rect.w, 1e-5f);
        EXPECT_NEAR(d.u1, (d.r - c.rect.x) / c.rect.w, 1e-5f);
        EXPECT_NEAR(d.v0, (d.b - c.rect.y) / c.rect.h, 1e-5f);
        EXPECT_NEAR(d.v1, (d.t - c.rect.y) / c.rect.h, 1e-5f);
      }
      EXPECT_NEAR(shown, c.rect.w * c.rect.h - hidden, 1e-2f);
    }
    vek::ClearCovers(batch.get());
  }
  // Without covers, and for a cover of a lower layer than the drawing, everything is drawn.
  render->SetViewport(0, 0, 256, 128);
  vek::Begin2D(256, 128);
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1) {
      vek::SetCovers(batch.get(), covers, 256, 128);
      vek::SetCoverLayer(batch.get(), 1);
    }
    batch->Clear();
    vek::DrawQuad(batch.get(), texA, rectf{50, 30, 20, 20}, kUnit, 0xFFFFFFFF);
    vek::FlushBatches(batch.get());
    EXPECT_EQ(HeldQuads(*batch).size(), 1u);
  }
  vek::ClearCovers(batch.get());
}
