// The chunk tree, the skip rule, chunk data by id and reading and writing whole trees.
#include <string>
#include <vector>

#include "engine/file3ds/chunk3ds.h"
#include "tests/engine/file3ds/chunk_writer.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace test3ds;

class Chunks : public Toolkit {
 protected:
  Chunk3ds* Node(uint32_t id, const char* name = nullptr) {
    Chunk3ds* c = nullptr;
    ChunkData3ds* d = NewChunkWithData3ds(&c, id);
    if (name && d) d->v[0].s = StrDup3ds(name);
    return c;
  }
  static std::vector<uint32_t> Ids(const Chunk3ds* parent) {
    std::vector<uint32_t> ids;
    for (const Chunk3ds* c = parent->children; c; c = c->next) ids.push_back(c->id);
    return ids;
  }
  // Reads the bytes as a file and writes the database back; the written bytes.
  Bytes RoundTrip(const Bytes& file) {
    WriteBytes(tmp / "in.3ds", file);
    Database3ds* db = Read(tmp / "in.3ds");
    if (!db) return {};
    Write(db, tmp / "out.3ds");
    ReleaseDatabase3ds(&db);
    return ReadBytes(tmp / "out.3ds");
  }
  // The codes a read of the bytes leaves.
  std::vector<int32_t> ReadCodes(const Bytes& file) {
    ftkErrorClear();
    WriteBytes(tmp / "bad.3ds", file);
    Database3ds* db = Read(tmp / "bad.3ds");
    ReleaseDatabase3ds(&db);
    std::vector<int32_t> codes = Codes();
    CloseAllFiles3ds();
    ftkErrorClear();
    return codes;
  }
  vektest::TempDir tmp;
};

TEST_F(Chunks, OrderedInsert) {
  Chunk3ds* mdata = Node(0x3D3D);
  InsertChildInOrder3ds(mdata, Node(0x4000, "a"));
  InsertChildInOrder3ds(mdata, Node(0x4000, "b"));
  Chunk3ds* c = Node(0x4000, "c");
  InsertChildInOrder3ds(mdata, c);
  EXPECT_EQ(mdata->children->next->next, c);  // equal ranks: the newest goes last
  InsertChildInOrder3ds(mdata, Node(0x3D3E));
  InsertChildInOrder3ds(mdata, Node(0x0100));
  InsertChildInOrder3ds(mdata, Node(0xAFFF));
  InsertChildInOrder3ds(mdata, Node(0x1234));  // unlisted: last
  EXPECT_EQ(Ids(mdata), (std::vector<uint32_t>{0x3D3E, 0xAFFF, 0x0100, 0x4000, 0x4000, 0x4000,
                                               0x1234}));
  Chunk3ds* kf = Node(0xB000);
  for (uint32_t id : {0xB005u, 0xB002u, 0xB001u, 0xB00Au, 0xB008u, 0xB009u})
    InsertChildInOrder3ds(kf, Node(id));
  EXPECT_EQ(Ids(kf), (std::vector<uint32_t>{0xB00A, 0xB008, 0xB009, 0xB002, 0xB001, 0xB005}));

  // Search looks at the node itself first and never at its siblings.
  Chunk3ds* found = nullptr;
  SearchChunk3ds(mdata->children->next, 0x3D3E, &found);
  EXPECT_EQ(found, nullptr);
  SearchChunk3ds(mdata, 0x3D3D, &found);
  EXPECT_EQ(found, mdata);

  // Deleting the first child deletes all of them.
  DeleteChunk3ds(&mdata->children);
  EXPECT_EQ(mdata->children, nullptr);
  DeleteChunk3ds(&mdata);
  DeleteChunk3ds(&kf);
  EXPECT_FALSE(ftkErrorPending());
}

TEST_F(Chunks, DuplicateAndLists) {
  Chunk3ds* object = Node(0x4000, "box");
  Chunk3ds* copy = nullptr;
  DuplicateChunk3ds(object, &copy);
  ASSERT_NE(copy->data, nullptr);
  EXPECT_NE(copy->data->v[0].s, object->data->v[0].s);  // in-memory data is deep-copied
  EXPECT_STREQ(copy->data->v[0].s, "box");
  DeleteChunk3ds(&copy);
  DeleteChunk3ds(&object);

  StrList3ds* list = nullptr;
  NewStrList3ds(&list, 0);
  EXPECT_EQ(list->capacity, 5u);
  for (int i = 0; i < 6; ++i) AddStr3ds(list, std::to_string(i).c_str());
  EXPECT_EQ(list->count, 6u);
  EXPECT_EQ(list->capacity, 10u);
  EXPECT_STREQ(list->names[5], "5");
  DeleteStrList3ds(&list);
  EXPECT_EQ(list, nullptr);
}

// Where the sub-chunks of an id begin: read a file whose chunk holds own data of the rule's
// size and one child, and find that child.
TEST_F(Chunks, SkipRule) {
  const Bytes child = Chunk(0x1234, B().d(1));
  const struct {
    uint16_t id;
    Bytes own;
  } cases[] = {
      {0x4000, B().s("name")},
      {0xB010, B().s("node").w(1).w(2).w(0xFFFF)},
      {0xB00A, B().w(5).s("file.3ds").d(100)},
      {0x4120, B().w(2).w(0).w(1).w(2).w(0).w(2).w(1).w(0).w(0)},
      {0x4600, B().f(1).f(2).f(3)},
      {0x4700, B().raw(Bytes(32, 0))},
      {0xA000, B().s("material")},
      {0x3D3D, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    const Bytes file = Chunk(0x4D4D, {}, {Chunk(c.id, c.own, {child})});
    Database3ds* db = nullptr;
    WriteBytes(tmp / "skip.3ds", file);
    db = Read(tmp / "skip.3ds");
    ASSERT_NE(db, nullptr) << Codes().size();
    const Chunk3ds* chunk = db->topChunk->children;
    ASSERT_NE(chunk, nullptr);
    ASSERT_NE(chunk->children, nullptr);
    EXPECT_EQ(chunk->children->id, 0x1234u);
    ReleaseDatabase3ds(&db);
    CloseAllFiles3ds();
  }
  // Unlisted ids and 0xA300 (a map name may be longer than 12 characters) are leaves: all of
  // the body is own data.
  for (uint16_t id : {0x1234, 0xA300}) {
    WriteBytes(tmp / "leaf.3ds", Chunk(0x4D4D, {}, {Chunk(id, B().s("long-name12.png"))}));
    Database3ds* db = Read(tmp / "leaf.3ds");
    ASSERT_NE(db, nullptr);
    Chunk3ds* leaf = db->topChunk->children;
    EXPECT_EQ(leaf->children, nullptr);
    ChunkData3ds* d = LoadChunkData3ds(leaf);
    ASSERT_NE(d, nullptr);
    if (id == 0x1234) {
      EXPECT_EQ(d->count, 16u);
    } else {
      EXPECT_STREQ(d->v[0].s, "long-name12.png");
    }
    ReleaseDatabase3ds(&db);
    CloseAllFiles3ds();
  }
  EXPECT_FALSE(ftkErrorPending());
}

// Every data shape read and written back byte for byte (the version chunks are in place, so
// the writer adds nothing).
TEST_F(Chunks, HandBuiltFileRoundTripsByteForByte) {
  const Bytes track1 = Chunk(0xB020, B().w(0).d(0).d(0).d(1).d(0).w(1).f(0.5f).f(1).f(2).f(3));
  EXPECT_EQ(track1.size(), 6u + 14 + 10 + 12);
  const Bytes file = MeshFile(
      {Chunk(0x0100, B().f(1)),
       Chunk(0x4000, B().s("box"),
             {Chunk(0x4100, {},
                    {Chunk(0x4110, B().w(3).f(0).f(0).f(0).f(1).f(0).f(0).f(0).f(1).f(0)),
                     Chunk(0x4111, B().w(1).w(7)),
                     Chunk(0x4140, B().w(1).f(0.25f).f(0.75f)),
                     Chunk(0x4160, B().raw(Bytes(48, 0))),
                     Chunk(0x4165, B().u8(3)),
                     Chunk(0x4120, B().w(1).w(0).w(1).w(2).w(7),
                           {Chunk(0x4130, B().s("red").w(1).w(0)),
                            Chunk(0x4150, B().d(5)),
                            Chunk(0x4190, B().s("a").s("b").s("c").s("d").s("e").s("f"))})}),
              Chunk(0x4010, {})}),
       Chunk(0x4000, B().s("lamp"),
             {Chunk(0x4600, B().f(1).f(2).f(3),
                    {Chunk(0x0011, B().u8(1).u8(2).u8(3)), Chunk(0x4654, B().s("box")),
                     Chunk(0x4610, B().f(0).f(0).f(0).f(44).f(45),
                           {Chunk(0x4641, B().f(1).f(3).w(512))})})}),
       Chunk(0x7012, B().w(1).w(2).w(3).w(4).w(5).w(6).w(7).f(1).f(2).f(3).f(4).f(5).f(6)
                         .s("view").raw(Bytes(6, 0))),
       Chunk(0xAFFF, {},
             {Chunk(0xA000, B().s("red")), Chunk(0xA010, {}, {Chunk(0x0011, B().u8(255).u8(0).u8(0))}),
              Chunk(0xA200, {}, {Chunk(0xA300, B().s("red.png")), Chunk(0xA351, B().w(0x10))}),
              Chunk(0xA320, B().d(1).d(2))}),
       Chunk(0x2D2D, {}, {Chunk(0x1234, B().d(1))}),
       Chunk(0xD000, B().d(9), {Chunk(0x1235, B().w(1))}),
       Chunk(0x8001, {}, {Chunk(0x8002, B().s("extra")), Chunk(0x8003, B().s("more"))})},
      {Chunk(0xB008, B().d(0).d(30)), Chunk(0xB009, B().d(0)),
       Chunk(0xB002, {},
             {Chunk(0xB030, B().w(0)), Chunk(0xB010, B().s("box").w(0).w(0).w(0xFFFF)),
              Chunk(0xB013, B().f(0).f(0).f(0)), track1,
              Chunk(0xB021, B().w(0).d(0).d(0).d(1).d(0).w(0).f(0).f(0).f(0).f(1)),
              Chunk(0xB026, B().w(0).d(0).d(0).d(1).d(5).w(0).s("lid")),
              Chunk(0xB029, B().w(0).d(0).d(0).d(2).d(0).w(0).d(9).w(0))}),
       Chunk(0xB002, {},
             {Chunk(0xB030, B().w(1)), Chunk(0xB010, B().s("lid").w(0).w(0).w(0)),
              Chunk(0xB011, B().s("top"))})});
  EXPECT_EQ(RoundTrip(file), file);
  EXPECT_TRUE(Codes().empty());
}

TEST_F(Chunks, DataOperations) {
  // An unlisted id: a raw record of its body; nothing for an empty body.
  Chunk3ds* raw = nullptr;
  NewChunkWithId3ds(&raw, 0x1234);
  raw->length = 16;
  EXPECT_NE(NewChunkData3ds(raw), nullptr);
  Chunk3ds* empty = nullptr;
  NewChunkWithId3ds(&empty, 0x1234);
  empty->length = 6;
  EXPECT_EQ(NewChunkData3ds(empty), nullptr);
  DeleteChunk3ds(&raw);
  DeleteChunk3ds(&empty);

  // Data already in memory are not read again; a copy of a track duplicates its arrays.
  WriteBytes(tmp / "t.3ds",
             MeshFile({}, {Chunk(0xB002, {}, {Chunk(0xB020, B().w(0).d(0).d(0).d(1).d(4).w(0)
                                                                .f(1).f(2).f(3))})}));
  Database3ds* db = Read(tmp / "t.3ds");
  ASSERT_NE(db, nullptr);
  Chunk3ds* track = nullptr;
  SearchChunk3ds(db->topChunk, 0xB020, &track);
  ChunkData3ds* d = LoadChunkData3ds(track);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->count, 1u);
  EXPECT_EQ(d->keys[0].frame, 4u);
  EXPECT_EQ(LoadChunkData3ds(track), d);
  Chunk3ds* copy = nullptr;
  DuplicateChunk3ds(track, &copy);
  EXPECT_EQ(track->data, nullptr);  // data of a file chunk move to the copy
  EXPECT_NE(LoadChunkData3ds(track), copy->data);
  Chunk3ds* deep = nullptr;
  NewChunkWithId3ds(&deep, 0xB020);
  copy->readFile = kNoFile3ds;
  CopyChunkData3ds(copy, deep);
  ASSERT_NE(deep->data, nullptr);
  EXPECT_NE(deep->data->keys, copy->data->keys);
  float values[3];
  std::memcpy(values, deep->data->elements, 12);
  EXPECT_EQ(values[2], 3.0f);
  DeleteChunk3ds(&copy);
  DeleteChunk3ds(&deep);
  // The word sum of a chunk reads no more than the chunk.
  EXPECT_NE(ChunkWordSum3ds(track), 0);
  ReleaseDatabase3ds(&db);
  EXPECT_FALSE(ftkErrorPending());
}

TEST_F(Chunks, MalformedFilesEndInErrorCodes) {
  const Bytes ok = Chunk(0x1234, B().d(1));
  const auto deep = [] {
    Bytes b = Chunk(0x3D3D, {});
    for (int i = 0; i < 100; ++i) b = Chunk(0x3D3D, {}, {b});
    return Chunk(0x4D4D, {}, {b});
  }();
  const struct {
    const char* what;
    Bytes file;
  } cases[] = {
      {"child length below 6", Chunk(0x4D4D, B().raw(ChunkWithLength(0x3D3D, 2, {})).raw(ok))},
      {"child past its parent", Chunk(0x4D4D, ChunkWithLength(0x3D3D, 400, B().d(0)))},
      {"top past the file", ChunkWithLength(0x4D4D, 1000, ok)},
      {"own data past the chunk", Chunk(0x4D4D, {}, {ChunkWithLength(0x4700, 10, B().d(0))})},
      {"face count past the chunk", Chunk(0x4D4D, {}, {Chunk(0x4120, B().w(40000))})},
      {"name without its end", Chunk(0x4D4D, {}, {Chunk(0x4000, B().s("a-name-too-long"))})},
      {"trailing bytes", Chunk(0x4D4D, B().raw(ok).raw({1, 2, 3}))},
      {"nesting too deep", deep},
  };
  for (const auto& c : cases) {
    const std::vector<int32_t> codes = ReadCodes(c.file);
    ASSERT_FALSE(codes.empty()) << c.what;
    EXPECT_EQ(codes.back(), ERR_CREATING_DATABASE) << c.what;
  }
  // An unknown top chunk is no scene and no error.
  EXPECT_TRUE(ReadCodes(Chunk(0x1234, B().d(0))).empty());
}

TEST_F(Chunks, BadCountsInDataAreRefused) {
  const struct {
    const char* what;
    Bytes chunk;
  } cases[] = {
      {"vertices", Chunk(0x4110, B().w(60000).f(1))},
      {"track keys", Chunk(0xB020, B().w(0).d(0).d(0).d(0xFFFFFFFF).d(0))},
      {"material group", Chunk(0x4130, B().s("m").w(9))},
      {"key values", Chunk(0xB021, B().w(0).d(0).d(0).d(1).d(0).w(0x1F))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(tmp / "count.3ds", Chunk(0x4D4D, {}, {c.chunk}));
    Database3ds* db = Read(tmp / "count.3ds");
    ASSERT_NE(db, nullptr);
    LoadChunkData3ds(db->topChunk->children);
    EXPECT_TRUE(ftkErrorPending());
    ReleaseDatabase3ds(&db);  // frees the half-read record
    CloseAllFiles3ds();
    ftkErrorClear();
  }
}

}  // namespace
