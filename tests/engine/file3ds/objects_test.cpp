// The object level of the toolkit: directories, meshes, lights, cameras, materials, keyframe
// nodes, keyframer settings and release levels, each put, written, read back and got.
#include <cmath>
#include <string>
#include <vector>

#include "engine/file3ds/ftk3ds.h"
#include "tests/engine/file3ds/chunk_writer.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace test3ds;

class Objects : public Toolkit {
 protected:
  void TearDown() override {
    ReleaseDatabase3ds(&db);
    Toolkit::TearDown();
  }
  Database3ds* NewDb(uint32_t kind = kMeshFile3ds) {
    Database3ds* d = nullptr;
    InitDatabase3ds(&d);
    CreateEmptyDatabase3ds(d, kind);
    return d;
  }
  // Writes the database and reads the file into `db` (the old one released).
  void Reload(Database3ds*& from) {
    ASSERT_TRUE(Write(from, tmp / "obj.3ds")) << testing::PrintToString(Codes());
    if (from != db) ReleaseDatabase3ds(&from);
    ReleaseDatabase3ds(&db);
    db = Read(tmp / "obj.3ds");
    ASSERT_NE(db, nullptr);
  }
  // The first named object of the mesh section, in tree order.
  Chunk3ds* FirstObject() {
    Chunk3ds* mdata = nullptr;
    SearchChunk3ds(db->topChunk, 0x3D3D, &mdata);
    Chunk3ds* object = nullptr;
    NextChunkById3ds(mdata->children, 0x4000, &object);
    return object;
  }
  Database3ds* db = nullptr;
  vektest::TempDir tmp;
};

TEST_F(Objects, DirectoriesFindTheFirstOfDuplicateNamesAndInstancesByQualifiedName) {
  const Bytes file = MeshFile(
      {Chunk(0x4000, B().s("twin"), {Chunk(0x4100, {}, {Chunk(0x4165, B().u8(1))})}),
       Chunk(0x4000, B().s("twin"), {Chunk(0x4100, {}, {Chunk(0x4165, B().u8(2))})})},
      {Chunk(0xB002, {}, {Chunk(0xB030, B().w(0)), Chunk(0xB010, B().s("box").w(0).w(0).w(0xFFFF))}),
       Chunk(0xB002, {}, {Chunk(0xB030, B().w(1)), Chunk(0xB010, B().s("box").w(0).w(0).w(0xFFFF)),
                          Chunk(0xB011, B().s("a"))}),
       Chunk(0xB002, {}, {Chunk(0xB030, B().w(2))})});  // no header: an empty name
  WriteBytes(tmp / "dir.3ds", file);
  db = Read(tmp / "dir.3ds");
  ASSERT_NE(db, nullptr);
  EXPECT_EQ(GetMeshCount3ds(db), 2u);
  Mesh3ds* mesh = nullptr;
  GetMeshByName3ds(db, "twin", &mesh);
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->colourIndex, 1);
  ReleaseMesh3ds(&mesh);

  StrList3ds* nodes = nullptr;
  GetMeshNodeNameList3ds(db, &nodes);
  ASSERT_EQ(nodes->count, 3u);
  EXPECT_STREQ(nodes->names[1], "box.a");
  EXPECT_STREQ(nodes->names[2], "");
  DeleteStrList3ds(&nodes);
  Chunk3ds* instanced = FindListedNodeByName3ds(db, "box.a", 0xB002);
  ASSERT_NE(instanced, nullptr);
  EXPECT_NE(FindListedNodeByName3ds(db, "box", 0xB002), instanced);

  // A deleted object stays in place as an empty chunk and is not written.
  DeleteMeshByName3ds(db, "twin");
  EXPECT_EQ(GetMeshCount3ds(db), 1u);
  Reload(db);
  EXPECT_EQ(GetMeshCount3ds(db), 1u);
  EXPECT_FALSE(ftkErrorPending());
}

TEST_F(Objects, MeshRoundTripsWithItsOptionalParts) {
  const struct {
    const char* what;
    bool texCoords, mapping, flags, faces, smoothing, boxMap, proc;
  } cases[] = {
      {"bare", false, false, false, false, false, false, false},
      {"everything", true, true, true, true, true, true, true},
      {"faces only", false, false, false, true, false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Database3ds* fresh = NewDb();
    Mesh3ds* m = nullptr;
    InitMesh3ds(&m, 4, c.faces ? 2 : 0, (c.texCoords ? 2 : 0) | (c.smoothing ? 16 : 0));
    std::strcpy(m->name, "crate");
    for (int i = 0; i < 4; ++i) m->vertices[i] = {float(i), float(i * 2), -1.0f};
    if (c.texCoords) m->texCoords[3] = {0.5f, 0.25f};
    if (c.faces) {
      m->faces[1] = {1, 2, 3, 7};
      m->materialGroupCount = 1;
      AllocMeshParts3ds(m, kMeshMaterialGroups3ds);
      std::strcpy(m->materialGroups[0].name, "wood");
      m->materialGroups[0].faceCount = 1;
      AllocMaterialFaces3ds(m, 0, 1);
      m->materialGroups[0].faceIndices[0] = 1;
      if (c.smoothing) m->smoothingGroups[1] = 0x8001;
      if (c.boxMap) {
        m->hasBoxMap = 1;
        std::strcpy(m->boxMapMaterials[5], "side");
      }
    }
    if (c.mapping) {
      m->hasMapping = 1;
      m->mapType = 2;
      m->mapMatrix[11] = 7.0f;
    }
    if (c.flags) {
      m->vertexFlagCount = 4;
      AllocMeshParts3ds(m, kMeshVertexFlags3ds);
      m->vertexFlags[2] = 9;
      m->hidden = m->frozen = 1;
    }
    if (c.proc) {
      m->procDataSize = 3;
      AllocMeshParts3ds(m, kMeshProcData3ds);
      m->procData[2] = 42;
      std::strcpy(m->procName, "twist");
      m->procedural = 1;
    }
    PutMesh3ds(fresh, m);
    Reload(fresh);
    Mesh3ds* back = nullptr;
    GetMeshByName3ds(db, "crate", &back);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->vertexCount, 4);
    EXPECT_EQ(back->vertices[3].y, 6.0f);
    EXPECT_EQ(back->texCoordCount, c.texCoords ? 4 : 0);
    if (c.texCoords) {
      EXPECT_EQ(back->texCoords[3].u, 0.5f);
    }
    EXPECT_EQ(back->faceCount, c.faces ? 2 : 0);
    if (c.faces) {
      EXPECT_EQ(back->faces[1].flag, 7);
      ASSERT_EQ(back->materialGroupCount, 1);
      EXPECT_STREQ(back->materialGroups[0].name, "wood");
      EXPECT_EQ(back->materialGroups[0].faceIndices[0], 1);
    }
    EXPECT_EQ(back->smoothingGroups != nullptr, c.smoothing);
    if (c.smoothing) {
      EXPECT_EQ(back->smoothingGroups[1], 0x8001u);
    }
    EXPECT_EQ(back->hasBoxMap, c.boxMap ? 1 : 0);
    if (c.boxMap) {
      EXPECT_STREQ(back->boxMapMaterials[5], "side");
    }
    EXPECT_EQ(back->hasMapping, c.mapping ? 1 : 0);
    if (c.mapping) {
      EXPECT_EQ(back->mapMatrix[11], 7.0f);
    }
    EXPECT_EQ(back->vertexFlagCount, c.flags ? 4 : 0);
    EXPECT_EQ(back->hidden, c.flags ? 1 : 0);
    EXPECT_EQ(back->frozen, c.flags ? 1 : 0);
    EXPECT_EQ(back->procedural, c.proc ? 1 : 0);
    if (c.proc) {
      EXPECT_EQ(back->procData[2], 42);
      EXPECT_STREQ(back->procName, "twist");
    }
    ReleaseMesh3ds(&back);
    ReleaseMesh3ds(&m);
    EXPECT_FALSE(ftkErrorPending());
  }
}

TEST_F(Objects, MeshStorage) {
  Mesh3ds* m = nullptr;
  InitMesh3ds(&m, 8, 12, kMeshTexCoords3ds | kMeshSmoothing3ds);
  EXPECT_EQ(m->procedural, 0);
  EXPECT_EQ(m->faces[11].v3, 2);
  EXPECT_EQ(m->texCoordCount, 8);
  EXPECT_EQ(m->vertexFlags, nullptr);
  EXPECT_EQ(m->smoothingGroups[11], 0u);
  m->vertices[7] = {7, 7, 7};
  m->vertexCount = 10;  // growing keeps the old vertices and sets the new ones
  m->vertices[0] = {1, 1, 1};
  AllocMeshParts3ds(m, kMeshVertices3ds);
  EXPECT_EQ(m->vertices[7].x, 7.0f);
  EXPECT_EQ(m->vertices[0].x, 1.0f);
  EXPECT_EQ(m->vertices[9].x, 0.0f);
  m->faceCount = 14;
  AllocMeshParts3ds(m, kMeshFaces3ds);
  EXPECT_EQ(m->faces[13].v2, 1);
  m->vertexCount = 0;
  AllocMeshParts3ds(m, kMeshVertices3ds);
  EXPECT_EQ(m->vertices, nullptr);
  AllocMaterialFaces3ds(m, 0, 3);  // entry == group count
  EXPECT_EQ(Codes(), std::vector<int32_t>{ERR_INVALID_DATA});
  ReleaseMesh3ds(&m);
  EXPECT_EQ(m, nullptr);

  // Smoothing groups that do not match the faces are refused.
  ftkErrorClear();
  WriteBytes(tmp / "s.3ds",
             MeshFile({Chunk(0x4000, B().s("m"),
                             {Chunk(0x4100, {}, {Chunk(0x4120, B().w(2).w(0).w(1).w(2).w(0).w(0).w(1).w(2).w(0),
                                                       {Chunk(0x4150, B().d(1))})})})}));
  db = Read(tmp / "s.3ds");
  ASSERT_NE(db, nullptr);
  GetMeshByIndex3ds(db, 0, &m);
  EXPECT_EQ(Codes(), std::vector<int32_t>{ERR_INVALID_DATA});
  ReleaseMesh3ds(&m);
}

TEST_F(Objects, Lights) {
  Database3ds* fresh = NewDb();
  Light3ds* spot = nullptr;
  InitSpotlight3ds(&spot);
  std::strcpy(spot->name, "spot");
  spot->spot->localShadow = 1;
  spot->spot->hotspot = 20.0f;
  spot->off = 2;  // only 1 counts
  AddStr3ds(spot->excludes, "crate");
  PutSpotlight3ds(fresh, spot);
  Light3ds* omni = nullptr;
  InitLight3ds(&omni);
  std::strcpy(omni->name, "omni");
  omni->colour[1] = 0.25f;
  PutOmnilight3ds(fresh, omni);
  ASSERT_FALSE(ftkErrorPending()) << testing::PrintToString(Codes());
  Reload(fresh);
  EXPECT_EQ(GetSpotlightCount3ds(db), 1u);
  EXPECT_EQ(GetOmnilightCount3ds(db), 1u);
  Light3ds* back = nullptr;
  GetSpotlightByName3ds(db, "spot", &back);
  ASSERT_NE(back, nullptr);
  ASSERT_NE(back->spot, nullptr);
  EXPECT_EQ(back->spot->castShadows, 1);
  EXPECT_EQ(back->spot->hotspot, 20.0f);
  EXPECT_EQ(back->off, 0);
  ASSERT_EQ(back->excludes->count, 1u);
  EXPECT_STREQ(back->excludes->names[0], "crate");
  GetOmnilightByIndex3ds(db, 0, &back);  // the first light without a spot
  EXPECT_STREQ(back->name, "omni");
  EXPECT_EQ(back->spot, nullptr);
  EXPECT_EQ(back->colour[1], 0.25f);

  // Deleting omni light 0 deletes the omni light, not the spotlight listed before it.
  DeleteOmnilightByIndex3ds(db, 0);
  EXPECT_EQ(GetOmnilightCount3ds(db), 0u);
  EXPECT_EQ(GetSpotlightCount3ds(db), 1u);

  // A spotlight put over an omni light of the same name takes its place and keeps its extra
  // data.
  WriteBytes(tmp / "l.3ds", MeshFile({Chunk(0x4000, B().s("lamp"), {Chunk(0x4600, B().f(0).f(0).f(0),
                                      {Chunk(0x0011, B().u8(255).u8(0).u8(51)),
                                       Chunk(0x8000, {}, {Chunk(0x8002, B().s("x"))})})}),
                                      Chunk(0x4000, B().s("after"), {Chunk(0x4700, B().raw(Bytes(28, 0)).f(50))})}));
  ReleaseDatabase3ds(&db);
  db = Read(tmp / "l.3ds");
  ASSERT_NE(db, nullptr);
  GetOmnilightByName3ds(db, "lamp", &back);
  EXPECT_NEAR(back->colour[2], 0.2f, 1e-6f);
  std::strcpy(spot->name, "lamp");
  PutSpotlight3ds(db, spot);
  StrList3ds* names = nullptr;
  ObjectNames3ds(db, 0x4600, &names);
  ASSERT_EQ(names->count, 1u);
  DeleteStrList3ds(&names);
  Chunk3ds* first = FindObjectByIndex3ds(db, 0x4610, 0);
  EXPECT_EQ(first, FirstObject());
  Chunk3ds* extra = nullptr;
  SearchChunk3ds(first, 0x8002, &extra);
  EXPECT_NE(extra, nullptr);
  ReleaseLight3ds(&back);
  ReleaseLight3ds(&spot);
  ReleaseLight3ds(&omni);
  EXPECT_FALSE(ftkErrorPending());
}

TEST_F(Objects, Cameras) {
  Database3ds* fresh = NewDb();
  Mesh3ds* mesh = nullptr;
  InitMesh3ds(&mesh, 0, 0, 0);
  std::strcpy(mesh->name, "view");
  PutMesh3ds(fresh, mesh);
  ReleaseMesh3ds(&mesh);
  Camera3ds* cam = nullptr;
  InitCamera3ds(&cam);
  std::strcpy(cam->name, "view");  // replaces the mesh of that name
  cam->position = {1, 2, 3};
  cam->farRange = 500.0f;
  PutCamera3ds(fresh, cam);
  cam->fov = 0.0f;
  PutCamera3ds(fresh, cam);
  EXPECT_EQ(Codes(), std::vector<int32_t>{ERR_INVALID_DATA});
  ftkErrorClear();
  Reload(fresh);
  EXPECT_EQ(GetMeshCount3ds(db), 0u);
  EXPECT_EQ(GetCameraCount3ds(db), 1u);
  Chunk3ds* body = nullptr;
  SearchChunk3ds(db->topChunk, 0x4700, &body);
  ASSERT_NE(body, nullptr);
  EXPECT_NEAR(LoadChunkData3ds(body)->v[7].f, 2400.0f / 45.0f, 1e-4f);
  Camera3ds* back = nullptr;
  GetCameraByName3ds(db, "view", &back);
  ASSERT_NE(back, nullptr);
  EXPECT_NEAR(back->fov, 45.0f, 1e-4f);
  EXPECT_EQ(back->position.z, 3.0f);
  EXPECT_EQ(back->farRange, 500.0f);
  EXPECT_EQ(back->showCone, 0);

  // A lens of 0 keeps the default field of view and reports invalid data.
  EditChunkData3ds(body)->v[7].f = 0.0f;
  GetCameraByIndex3ds(db, 0, &back);
  EXPECT_EQ(back->fov, 45.0f);
  EXPECT_EQ(Codes(), std::vector<int32_t>{ERR_INVALID_DATA});
  ReleaseCamera3ds(&back);
  ReleaseCamera3ds(&cam);
}

TEST_F(Objects, Materials) {
  for (uint32_t kind : {kMeshFile3ds, kMaterialFile3ds}) {
    SCOPED_TRACE(kind);
    Database3ds* fresh = NewDb(kind);
    Material3ds* m = nullptr;
    InitMaterial3ds(&m);
    std::strcpy(m->name, "bark");
    m->diffuse[0] = 0.5f;
    m->shininess = 0.37f;
    m->transparencyFalloff = -0.25f;
    m->wireFrame = 1;
    m->twoSided = 1;
    std::strcpy(m->texture1.fileName, "bark.png");
    m->texture1.tiling = 2;
    m->texture1.source = 3;
    m->texture1.tint2[1] = 0.5f;
    m->texture1.uScale = 2.0f;
    std::strcpy(m->reflectionMap.fileName, "sky.png");
    m->reflectionMap.uOffset = 0.5f;  // not written for the reflection map
    m->bumpMap.percent = 0.4f;        // no file name: not written
    PutMaterial3ds(fresh, m);
    ASSERT_FALSE(ftkErrorPending());
    Reload(fresh);
    EXPECT_EQ(GetMaterialCount3ds(db), 1u);
    Material3ds* back = nullptr;
    GetMaterialByName3ds(db, "bark", &back);
    ASSERT_NE(back, nullptr) << Codes().size();
    EXPECT_NEAR(back->diffuse[0], 0.5f, 1.0f / 255);
    EXPECT_NEAR(back->shininess, 0.37f, 0.01f);
    EXPECT_NEAR(back->transparencyFalloff, -0.25f, 0.01f);
    EXPECT_EQ(back->wireFrame, 1);
    EXPECT_EQ(back->shading, 3u);
    EXPECT_EQ(back->twoSided, 1);
    EXPECT_STREQ(back->texture1.fileName, "bark.png");
    EXPECT_EQ(back->texture1.tiling, 2u);
    EXPECT_EQ(back->texture1.source, 3u);
    EXPECT_NEAR(back->texture1.tint2[1], 0.5f, 1.0f / 255);
    EXPECT_EQ(back->texture1.uScale, 2.0f);
    EXPECT_STREQ(back->reflectionMap.fileName, "sky.png");
    EXPECT_EQ(back->reflectionMap.uOffset, 0.0f);
    EXPECT_EQ(back->bumpMap.percent, 0.0f);
    ReleaseMaterial3ds(&back);

    // Names longer than the file holds are refused.
    std::strcpy(m->name, "a-name-of-17-char");
    PutMaterial3ds(db, m);
    EXPECT_EQ(Codes(), std::vector<int32_t>{ERR_STRING_TOO_LONG});
    ftkErrorClear();
    std::strcpy(m->name, "bark");
    std::strcpy(m->texture1.fileName, "thirteen.png1");
    PutMaterial3ds(db, m);
    EXPECT_EQ(Codes(), std::vector<int32_t>{ERR_STRING_TOO_LONG});
    ftkErrorClear();
    ReleaseMaterial3ds(&m);
  }
  // The map flag word, both ways.
  const struct {
    uint32_t tiling, source, word;
  } flags[] = {{1, 0, 0x0}, {2, 0, 0x11}, {3, 0, 0x1}, {1, 1, 0x40}, {1, 2, 0x80}, {1, 3, 0xC0}, {1, 4, 0x200}};
  for (const auto& f : flags) {
    Database3ds* fresh = NewDb();
    Material3ds* m = nullptr;
    InitMaterial3ds(&m);
    std::strcpy(m->name, "m");
    std::strcpy(m->opacityMap.fileName, "o.png");
    m->opacityMap.tiling = f.tiling;
    m->opacityMap.source = f.source;
    PutMaterial3ds(fresh, m);
    Chunk3ds* word = nullptr;
    SearchChunk3ds(fresh->topChunk, 0xA351, &word);
    ASSERT_NE(word, nullptr);
    EXPECT_EQ(word->data->v[0].u, f.word);
    Material3ds* back = nullptr;
    GetMaterialByIndex3ds(fresh, 0, &back);
    EXPECT_EQ(back->opacityMap.tiling, f.tiling);
    EXPECT_EQ(back->opacityMap.source, f.source);
    ReleaseMaterial3ds(&back);
    ReleaseMaterial3ds(&m);
    ReleaseDatabase3ds(&fresh);
  }
}

TEST_F(Objects, MeshNodesAndTheHierarchy) {
  Database3ds* fresh = NewDb();
  MeshMotion3ds* box = nullptr;
  InitMeshMotion3ds(&box, 2, 1, 0, 1, 1);
  std::strcpy(box->name, "box");
  std::strcpy(box->instance, "a");
  box->positions[1] = {4, 5, 6};
  box->posKeys[1].frame = 10;
  std::strcpy(box->morphTargets[0], "lid");
  PutMeshMotion3ds(fresh, box);
  PutMeshMotion3ds(fresh, box);  // found by "box.a": replaced, not added
  MeshMotion3ds* lid = nullptr;
  InitMeshMotion3ds(&lid, 1, 0, 0, 0, 0);
  std::strcpy(lid->name, "lid");
  std::strcpy(lid->parent, "box.a");
  PutMeshMotion3ds(fresh, lid);
  MeshMotion3ds* dummy = nullptr;
  InitMeshMotion3ds(&dummy, 0, 0, 0, 0, 0);
  std::strcpy(dummy->name, "$$$DUMMY");
  dummy->boundMax = {1, 2, 3};
  std::strcpy(dummy->parent, "nobody");
  PutMeshMotion3ds(fresh, dummy);
  ASSERT_FALSE(ftkErrorPending());
  Reload(fresh);
  EXPECT_EQ(GetMeshNodeCount3ds(db), 3u);

  MeshMotion3ds* back = nullptr;
  GetMeshMotionByName3ds(db, "box.a", &back);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->posKeyCount, 2u);
  EXPECT_EQ(back->posKeys[1].frame, 10u);
  EXPECT_EQ(back->positions[1].z, 6.0f);
  EXPECT_EQ(back->rotations[0].z, 1.0f);
  EXPECT_STREQ(back->morphTargets[0], "lid");
  EXPECT_EQ(back->hideKeyCount, 1u);
  EXPECT_EQ(back->morphSmoothAngle, 0.0f);  // no 0xB015 in the file
  GetMeshMotionByName3ds(db, "lid", &back);
  EXPECT_STREQ(back->parent, "box.a");  // parent id on disk, parent name in memory
  GetMeshMotionByName3ds(db, "$$$DUMMY", &back);
  EXPECT_EQ(back->boundMax.z, 3.0f);
  EXPECT_STREQ(back->parent, "");  // an unknown parent is none
  ReleaseMeshMotion3ds(&back);

  // The tree print ends also when ids point at themselves or at each other.
  BuildNodeList3ds(db);
  char* text = nullptr;
  size_t size = 0;
  std::FILE* mem = open_memstream(&text, &size);
  PrintNodeTree3ds(mem);
  std::fflush(mem);
  EXPECT_EQ(std::string(text, size), "box\n-lid\n$$$DUMMY\n");
  for (NodeEntry3ds* e = const_cast<NodeEntry3ds*>(NodeList3ds()); e; e = e->next) e->parent = e->id;
  NodeEntry3ds* first = const_cast<NodeEntry3ds*>(NodeList3ds());
  first->parent = -1;
  first->next->id = first->id;  // a duplicate id that is its own parent
  PrintNodeTree3ds(mem);
  std::fclose(mem);
  free(text);
  FreeNodeList3ds();
  ReleaseMeshMotion3ds(&box);
  ReleaseMeshMotion3ds(&lid);
  ReleaseMeshMotion3ds(&dummy);
  EXPECT_FALSE(ftkErrorPending());
}

TEST_F(Objects, KeyframerSettingsReleasesAndCameraMotion) {
  WriteBytes(tmp / "k.3ds", Chunk(0x4D4D, {}, {Chunk(0x0002, B().d(3))}));
  db = Read(tmp / "k.3ds");
  ASSERT_NE(db, nullptr);
  KfSettings3ds* s = nullptr;
  GetKfSettings3ds(db, &s);  // no keyframer: the defaults, and a new section
  EXPECT_EQ(s->animationLength, 30u);
  EXPECT_EQ(s->useSegment, 0u);
  Chunk3ds* kf = nullptr;
  SearchChunk3ds(db->topChunk, 0xB000, &kf);
  EXPECT_NE(kf, nullptr);
  s->useSegment = 1;
  s->segmentEnd = 90;
  s->animationLength = 100;
  PutKfSettings3ds(db, s);
  SetKfRelease3ds(db, 2);
  EXPECT_EQ(GetKfRelease3ds(db), 2u);
  EXPECT_EQ(GetFileRelease3ds(db), 2u);
  Chunk3ds* header = nullptr;
  SearchChunk3ds(db->topChunk, 0xB00A, &header);
  EXPECT_EQ(header->data->v[0].u, 5u);
  Reload(db);
  GetKfSettings3ds(db, &s);
  EXPECT_EQ(s->animationLength, 100u);
  EXPECT_EQ(s->segmentEnd, 90u);
  s->useSegment = 0;
  PutKfSettings3ds(db, s);
  Reload(db);
  GetKfSettings3ds(db, &s);
  EXPECT_EQ(s->useSegment, 0u);
  ReleaseKfSettings3ds(&s);

  Database3ds* library = NewDb(kMaterialFile3ds);
  EXPECT_EQ(GetDatabaseRelease3ds(library), 2u);
  ReleaseDatabase3ds(&library);

  // The same camera motion put twice leaves one camera node and one target node.
  CameraMotion3ds* motion = nullptr;
  InitCameraMotion3ds(&motion, 1, 3, 0, 1);
  EXPECT_EQ(motion->fovs[2], 60.0f);
  std::strcpy(motion->name, "cam");
  PutCameraMotion3ds(db, motion);
  PutCameraMotion3ds(db, motion);
  Reload(db);
  EXPECT_EQ(GetCameraMotionCount3ds(db), 1u);
  EXPECT_EQ(NodeCountById3ds(db, 0xB004), 1u);
  CameraMotion3ds* back = nullptr;
  GetCameraMotionByIndex3ds(db, 0, &back);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->fovKeyCount, 3u);
  EXPECT_EQ(back->targetKeyCount, 1u);
  ReleaseCameraMotion3ds(&back);
  ReleaseCameraMotion3ds(&motion);
  EXPECT_FALSE(ftkErrorPending());
}

// A null database or one not created yet (no top chunk) is reported and never read, whether
// the host stops at errors or goes on after them.
TEST_F(Objects, ReleaseCallsOnANullOrEmptyDatabase) {
  Database3ds* empty = nullptr;
  InitDatabase3ds(&empty);
  ASSERT_EQ(empty->topChunk, nullptr);
  for (const bool goOn : {false, true}) {
    ftkSetContinueAfterErrors(goOn);
    struct Case {
      const char* call;
      Database3ds* db;
      int32_t code;
    };
    for (const Case c : {Case{"null", nullptr, ERR_INVALID_ARG}, Case{"empty", empty, ERR_INVALID_DATABASE}}) {
      const auto expect = [&](const char* what, uint32_t got, int32_t code) {
        EXPECT_EQ(got, 3u) << what << " " << c.call << " go on " << goOn;
        EXPECT_EQ(Codes(), std::vector<int32_t>{code}) << what << " " << c.call << " go on " << goOn;
        ftkErrorClear();
      };
      expect("GetFileRelease3ds", GetFileRelease3ds(c.db), c.code);
      expect("GetMeshRelease3ds", GetMeshRelease3ds(c.db), c.code);
      expect("GetKfRelease3ds", GetKfRelease3ds(c.db), c.code);
      SetMeshRelease3ds(c.db, 1);
      expect("SetMeshRelease3ds", 3, c.code);
      SetKfRelease3ds(c.db, 1);
      expect("SetKfRelease3ds", 3, c.code);
      SetFileRelease3ds(c.db, 1);
      expect("SetFileRelease3ds", 3, c.db ? ERR_INVALID_DATA : ERR_INVALID_ARG);
    }
    EXPECT_EQ(empty->topChunk, nullptr) << "nothing was made in a database not created";
  }
  ReleaseDatabase3ds(&empty);
}

TEST_F(Objects, CopiesBetweenDatabasesAndDetach) {
  const Bytes file = MeshFile(
      {Chunk(0xAFFF, {}, {Chunk(0xA000, B().s("red")), Chunk(0xA010, {}, {Chunk(0x0011, B().u8(255).u8(0).u8(0))})}),
       Chunk(0x4000, B().s("crate"), {Chunk(0x4100, {}, {Chunk(0x4165, B().u8(4))})}),
       Chunk(0x4000, B().s("cam"), {Chunk(0x4700, B().raw(Bytes(28, 0)).f(48))})},
      {Chunk(0xB003, {}, {Chunk(0xB030, B().w(0)), Chunk(0xB010, B().s("cam").w(0).w(0).w(0xFFFF))}),
       Chunk(0xB004, {}, {Chunk(0xB030, B().w(1)), Chunk(0xB010, B().s("cam").w(0).w(0).w(0xFFFF))})});
  WriteBytes(tmp / "src.3ds", file);
  Database3ds* source = Read(tmp / "src.3ds");
  ASSERT_NE(source, nullptr);
  Database3ds* target = NewDb();
  CopyMeshByName3ds(target, source, "crate");
  CopyCameraByIndex3ds(target, source, 0);
  CopyMaterialByName3ds(target, source, "red");
  CopyCameraMotionByName3ds(target, source, "cam");  // the camera node brings its target
  CopyMeshByName3ds(target, source, "crate");         // a second copy replaces the first
  EXPECT_EQ(GetMeshCount3ds(target), 1u);
  EXPECT_EQ(GetCameraCount3ds(target), 1u);
  EXPECT_EQ(GetMaterialCount3ds(target), 1u);
  EXPECT_EQ(NodeCountById3ds(target, 0xB003), 1u);
  EXPECT_EQ(NodeCountById3ds(target, 0xB004), 1u);

  Reload(target);
  Mesh3ds* mesh = nullptr;
  GetMeshByIndex3ds(db, 0, &mesh);
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->colourIndex, 4);
  ReleaseMesh3ds(&mesh);

  // Detached, the source's file can be closed and everything is still there.
  DetachDatabase3ds(source);
  Database3ds* copy = nullptr;
  InitDatabase3ds(&copy);
  CopyDatabase3ds(source, copy);
  ReleaseDatabase3ds(&db);
  CloseAllFiles3ds();
  GetMeshByName3ds(copy, "crate", &mesh);
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->colourIndex, 4);
  ReleaseMesh3ds(&mesh);
  EXPECT_FALSE(ftkErrorPending());

  // Without detaching, data whose file was closed are reported lost, not written as nothing.
  WriteBytes(tmp / "src.3ds", file);
  Database3ds* attached = Read(tmp / "src.3ds");
  ASSERT_NE(attached, nullptr);
  CloseAllFiles3ds();
  WriteBytes(tmp / "other.3ds", Bytes(2000, 0x41));
  ASSERT_NE(OpenFile3ds((tmp / "other.3ds").c_str(), "r"), nullptr);  // takes the freed slot
  EXPECT_FALSE(Write(attached, tmp / "lost.3ds"));
  EXPECT_EQ(Codes().front(), ERR_READING_FILE);
  EXPECT_TRUE(ReadBytes(tmp / "lost.3ds").empty());  // no half-written file
  ftkErrorClear();
  ReleaseDatabase3ds(&attached);
  ReleaseDatabase3ds(&copy);
  ReleaseDatabase3ds(&source);
  EXPECT_FALSE(ftkErrorPending());
}

}  // namespace
