#include "engine/file3ds/node3ds.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/file3ds/util3ds.h"

using namespace util3ds;

namespace {

// A track's arrays in a record: count, flags, keys and values.
struct TrackRef {
  uint32_t* count;
  uint16_t* flags;
  KeyHeader3ds** keys;
  void** values;      // null for hide tracks
  uint32_t size;      // bytes a value
};

template <class T>
TrackRef Track(uint32_t& count, uint16_t& flags, KeyHeader3ds*& keys, T*& values) {
  return {&count, &flags, &keys, reinterpret_cast<void**>(&values), sizeof(T)};
}

void FreeTrack(const TrackRef& t) {
  std::free(*t.keys);
  *t.keys = nullptr;
  if (t.values) {
    std::free(*t.values);
    *t.values = nullptr;
  }
}

// Makes count default keys and values (each value a copy of `value`).
void AllocTrack(const TrackRef& t, uint32_t count, const void* value) {
  FreeTrack(t);
  *t.flags = 0;
  *t.count = count;
  *t.keys = static_cast<KeyHeader3ds*>(std::calloc(count, sizeof(KeyHeader3ds)));
  if (t.values) *t.values = std::malloc(uint64_t{count} * t.size);
  if (!*t.keys || (t.values && !*t.values)) {
    FreeTrack(t);
    *t.count = 0;
    return ftkErrorPush(ERR_NO_MEM);
  }
  for (uint32_t i = 0; t.values && i < count; ++i)
    std::memcpy(static_cast<uint8_t*>(*t.values) + uint64_t{i} * t.size, value, t.size);
}

// Takes a track chunk's arrays over (an absent chunk gives an empty track).
void TakeTrack(const TrackRef& t, Chunk3ds* chunk) {
  FreeTrack(t);
  *t.count = 0;
  *t.flags = 0;
  ChunkData3ds* d = Data(chunk);
  if (!d) return;
  *t.flags = d->trackFlags;
  if (!d->keys || (t.values && !d->elements)) return;
  *t.count = d->count;
  *t.keys = d->keys;
  d->keys = nullptr;
  if (t.values) *t.values = TakeElements(d);
}

// A copied track chunk under the node, when it has keys and arrays.
bool AddTrack(Chunk3ds* node, uint32_t id, uint32_t count, uint16_t flags, const KeyHeader3ds* keys,
              const void* values, uint32_t size) {
  if (count == 0 || !keys || (size && !values)) return true;
  Chunk3ds* c = Add(node, id);
  if (!c) return false;
  c->data->trackFlags = flags;
  c->data->count = count;
  c->data->keys = static_cast<KeyHeader3ds*>(std::malloc(uint64_t{count} * sizeof(KeyHeader3ds)));
  if (!c->data->keys) {
    ftkErrorPush(ERR_NO_MEM);
    return false;
  }
  std::memcpy(c->data->keys, keys, uint64_t{count} * sizeof(KeyHeader3ds));
  if (size && !SetElements(c, values, count, size)) return false;
  return true;
}

bool AddNodeHeader(Chunk3ds* node, const char* name, uint16_t flags1, uint16_t flags2,
                   const char* parent) {
  if (!AddWord(node, 0xB030, 0xFFFF)) return false;
  Chunk3ds* header = AddString(node, 0xB010, name);
  if (!header) return false;
  header->data->v[1].u = flags1;
  header->data->v[2].u = flags2;
  header->data->v[3].u = 0xFFFF;
  if (parent && !AddString(header, 0x80F0, parent)) return false;
  return true;
}

std::string ParentNameOf(Chunk3ds* header) {
  Chunk3ds* p = Child(header, 0x80F0);
  return Str(Data(p));
}

Chunk3ds* DupNode(Chunk3ds* node) {
  Chunk3ds* next = node->next;
  node->next = nullptr;
  Chunk3ds* copy = nullptr;
  DuplicateChunk3ds(node, &copy);
  node->next = next;
  return copy;
}

// Empties a node for a put and hands out a copy of its extra data.
Chunk3ds* ClearForPut(Chunk3ds* node) {
  Chunk3ds* extra = nullptr;
  if (!node) return nullptr;
  if (Chunk3ds* e = Find(node, 0x8000)) {
    Chunk3ds* next = e->next;
    e->next = nullptr;
    DuplicateChunk3ds(e, &extra);
    e->next = next;
  }
  ClearChunk3ds(node);
  return extra;
}

bool CheckKfDb(Database3ds* db) { return CheckDb(db, false); }

}  // namespace

void InitMeshMotion3ds(MeshMotion3ds** out, uint32_t positions, uint32_t rotations,
                       uint32_t scales, uint32_t morphs, uint32_t hides) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  if (!*out) {
    *out = static_cast<MeshMotion3ds*>(std::calloc(1, sizeof(MeshMotion3ds)));
    if (!*out) return ftkErrorPush(ERR_NO_MEM);
    (*out)->posKeyCount = positions;
    (*out)->rotKeyCount = rotations;
    (*out)->scaleKeyCount = scales;
    (*out)->morphKeyCount = morphs;
    (*out)->hideKeyCount = hides;
    (*out)->morphSmoothAngle = 24.0f;
  }
  MeshMotion3ds* m = *out;
  const Point3ds zero{0, 0, 0}, one{1, 1, 1};
  const Rotation3ds rot{0, 0, 0, 1};
  MorphName3ds blank = " ";
  if (positions) AllocTrack(Track(m->posKeyCount, m->posTrackFlags, m->posKeys, m->positions), positions, &zero);
  if (ftkStop3ds()) return;
  if (rotations) AllocTrack(Track(m->rotKeyCount, m->rotTrackFlags, m->rotKeys, m->rotations), rotations, &rot);
  if (ftkStop3ds()) return;
  if (scales) AllocTrack(Track(m->scaleKeyCount, m->scaleTrackFlags, m->scaleKeys, m->scales), scales, &one);
  if (ftkStop3ds()) return;
  if (morphs)
    AllocTrack(Track(m->morphKeyCount, m->morphTrackFlags, m->morphKeys, m->morphTargets), morphs, blank);
  if (ftkStop3ds()) return;
  if (hides) AllocTrack({&m->hideKeyCount, &m->hideTrackFlags, &m->hideKeys, nullptr, 0}, hides, nullptr);
}

void ReleaseMeshMotion3ds(MeshMotion3ds** slot) {
  if (!slot || !*slot) return;
  MeshMotion3ds* m = *slot;
  std::free(m->posKeys);
  std::free(m->positions);
  std::free(m->rotKeys);
  std::free(m->rotations);
  std::free(m->scaleKeys);
  std::free(m->scales);
  std::free(m->morphKeys);
  std::free(m->morphTargets);
  std::free(m->hideKeys);
  std::free(m);
  *slot = nullptr;
}

uint32_t GetMeshNodeCount3ds(Database3ds* db) { return NodeCountById3ds(db, 0xB002); }
void GetMeshNodeNameList3ds(Database3ds* db, StrList3ds** out) { NodeNamesById3ds(db, 0xB002, out); }

void GetMeshMotionByName3ds(Database3ds* db, const char* name, MeshMotion3ds** out) {
  if (!out || !name) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckKfDb(db)) return;
  if (Chunk3ds* node = FindListedNodeByName3ds(db, name, 0xB002)) GetMeshMotionFromChunk3ds(node, out);
}

void GetMeshMotionByIndex3ds(Database3ds* db, uint32_t index, MeshMotion3ds** out) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckKfDb(db)) return;
  if (Chunk3ds* node = FindListedNodeByIndex3ds(db, index, 0xB002)) GetMeshMotionFromChunk3ds(node, out);
}

void GetMeshMotionFromChunk3ds(Chunk3ds* node, MeshMotion3ds** out) {
  if (!node || !out) return ftkErrorPush(ERR_INVALID_ARG);
  if (node->id != 0xB002) return ftkErrorPush(ERR_WRONG_OBJECT);
  Chunk3ds* copy = DupNode(node);
  if (!copy) return;
  if (!*out) {
    *out = static_cast<MeshMotion3ds*>(std::calloc(1, sizeof(MeshMotion3ds)));
    if (!*out) {
      DeleteChunk3ds(&copy);
      return ftkErrorPush(ERR_NO_MEM);
    }
  }
  MeshMotion3ds* m = *out;
  Chunk3ds* header = Child(copy, 0xB010);
  ChunkData3ds* h = Data(header);
  CopyName3ds(m->name, sizeof(m->name), Str(h));
  m->flags1 = h ? static_cast<uint16_t>(h->v[1].u) : 0;
  m->flags2 = h ? static_cast<uint16_t>(h->v[2].u) : 0;
  CopyName3ds(m->parent, sizeof(m->parent), ParentNameOf(header).c_str());
  CopyName3ds(m->instance, sizeof(m->instance), Str(Data(Child(copy, 0xB011))));
  ChunkData3ds* d = Data(Child(copy, 0xB013));
  m->pivot = d ? Point3ds{d->v[0].f, d->v[1].f, d->v[2].f} : Point3ds{0, 0, 0};
  d = Data(Child(copy, 0xB014));
  m->boundMin = d ? Point3ds{d->v[0].f, d->v[1].f, d->v[2].f} : Point3ds{0, 0, 0};
  m->boundMax = d ? Point3ds{d->v[3].f, d->v[4].f, d->v[5].f} : Point3ds{0, 0, 0};
  d = Data(Child(copy, 0xB015));
  m->morphSmoothAngle = d ? d->v[0].f : 0.0f;
  TakeTrack(Track(m->posKeyCount, m->posTrackFlags, m->posKeys, m->positions), Child(copy, 0xB020));
  TakeTrack(Track(m->rotKeyCount, m->rotTrackFlags, m->rotKeys, m->rotations), Child(copy, 0xB021));
  TakeTrack(Track(m->scaleKeyCount, m->scaleTrackFlags, m->scaleKeys, m->scales), Child(copy, 0xB022));
  TakeTrack(Track(m->morphKeyCount, m->morphTrackFlags, m->morphKeys, m->morphTargets),
            Child(copy, 0xB026));
  TakeTrack({&m->hideKeyCount, &m->hideTrackFlags, &m->hideKeys, nullptr, 0}, Child(copy, 0xB029));
  DeleteChunk3ds(&copy);
}

void PutMeshMotion3ds(Database3ds* db, const MeshMotion3ds* m) {
  if (!m) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckKfDb(db)) return;
  if (CheckStringLength3ds(m->name, 10) == 0 && ftkStop3ds()) return;
  if (CheckStringLength3ds(m->instance, 10) == 0 && ftkStop3ds()) return;
  Chunk3ds* kf = nullptr;
  KfSection3ds(db->topChunk, &kf);
  if (!kf || ftkStop3ds()) return;
  std::string listed = m->name;
  if (m->instance[0]) listed += std::string(".") + m->instance;
  Chunk3ds* extra = ClearForPut(FindListedNodeByName3ds(db, listed.c_str(), 0xB002));
  Chunk3ds* node = Add(kf, 0xB002);
  if (!node) return;
  MarkNodeListDirty3ds(db);
  if (!AddNodeHeader(node, m->name, m->flags1, m->flags2, m->parent)) return;
  if (m->instance[0] && !AddString(node, 0xB011, m->instance)) return;
  if (std::strcmp(m->name, "$$$DUMMY") == 0) {
    const float box[6] = {m->boundMin.x, m->boundMin.y, m->boundMin.z,
                          m->boundMax.x, m->boundMax.y, m->boundMax.z};
    if (!AddFloats(node, 0xB014, box, 6)) return;
  }
  if ((m->flags2 & 0x1) && !AddFloats(node, 0xB015, &m->morphSmoothAngle, 1)) return;
  const float pivot[3] = {m->pivot.x, m->pivot.y, m->pivot.z};
  if (!AddFloats(node, 0xB013, pivot, 3)) return;
  if (!AddTrack(node, 0xB020, m->posKeyCount, m->posTrackFlags, m->posKeys, m->positions, 12) ||
      !AddTrack(node, 0xB021, m->rotKeyCount, m->rotTrackFlags, m->rotKeys, m->rotations, 16) ||
      !AddTrack(node, 0xB022, m->scaleKeyCount, m->scaleTrackFlags, m->scaleKeys, m->scales, 12) ||
      !AddTrack(node, 0xB026, m->morphKeyCount, m->morphTrackFlags, m->morphKeys, m->morphTargets, 13) ||
      !AddTrack(node, 0xB029, m->hideKeyCount, m->hideTrackFlags, m->hideKeys, nullptr, 0))
    return;
  if (extra) InsertChildInOrder3ds(node, extra);
}

void DeleteMeshMotionByIndex3ds(Database3ds* db, uint32_t index) { DeleteNodeByIndex3ds(db, index, 0xB002); }
void DeleteMeshMotionByName3ds(Database3ds* db, const char* name) { DeleteNodeByName3ds(db, name, 0xB002); }
void CopyMeshMotionByIndex3ds(Database3ds* dst, Database3ds* src, uint32_t index) {
  CopyNodeByIndex3ds(dst, src, index, 0xB002);
}
void CopyMeshMotionByName3ds(Database3ds* dst, Database3ds* src, const char* name) {
  CopyNodeByName3ds(dst, src, name, 0xB002);
}

// Keyframer settings.

void InitKfSettings3ds(KfSettings3ds** out) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  if (!*out) {
    *out = static_cast<KfSettings3ds*>(std::calloc(1, sizeof(KfSettings3ds)));
    if (!*out) return ftkErrorPush(ERR_NO_MEM);
  }
  **out = {30, 0, 0, 0, 30};
}

void ReleaseKfSettings3ds(KfSettings3ds** slot) {
  if (!slot) return;
  std::free(*slot);
  *slot = nullptr;
}

void GetKfSettings3ds(Database3ds* db, KfSettings3ds** out) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckKfDb(db)) return;
  InitKfSettings3ds(out);
  if (ftkStop3ds()) return;
  Chunk3ds* kf = nullptr;
  KfSection3ds(db->topChunk, &kf);
  if (!kf || ftkStop3ds()) return;
  if (ChunkData3ds* d = Data(Child(kf, 0xB00A))) (*out)->animationLength = d->v[2].u;
  FreeReloadableData3ds(Child(kf, 0xB00A));
  if (ChunkData3ds* d = Data(Child(kf, 0xB009))) (*out)->currentFrame = d->v[0].u;
  FreeReloadableData3ds(Child(kf, 0xB009));
  if (Chunk3ds* seg = Child(kf, 0xB008)) {
    (*out)->useSegment = 1;
    if (ChunkData3ds* d = Data(seg)) {
      (*out)->segmentStart = d->v[0].u;
      (*out)->segmentEnd = d->v[1].u;
    }
    FreeReloadableData3ds(seg);
  }
}

void PutKfSettings3ds(Database3ds* db, const KfSettings3ds* s) {
  if (!s) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckKfDb(db)) return;
  Chunk3ds* kf = nullptr;
  KfSection3ds(db->topChunk, &kf);
  if (!kf || ftkStop3ds()) return;
  Chunk3ds* header = Find(kf, 0xB00A);
  if (header) {
    if (ChunkData3ds* d = EditChunkData3ds(header)) d->v[2].u = s->animationLength;
  } else {
    header = Add(kf, 0xB00A);
    if (!header) return;
    header->data->v[0].u = 5;
    header->data->v[1].s = StrDup3ds("");
    header->data->v[2].u = s->animationLength;
  }
  Chunk3ds* frame = Find(kf, 0xB009);
  if (frame) {
    if (ChunkData3ds* d = EditChunkData3ds(frame)) d->v[0].u = s->currentFrame;
  } else if (!AddWord(kf, 0xB009, s->currentFrame)) {
    return;
  }
  if (s->useSegment) {
    Chunk3ds* seg = nullptr;
    SetChild3ds(kf, 0xB008, &seg);
    if (!seg || !NewChunkData3ds(seg)) return ftkErrorPush(ERR_PUT_FAILED);
    seg->data->v[0].u = s->segmentStart;
    seg->data->v[1].u = s->segmentEnd;
  } else if (Chunk3ds* seg = Child(kf, 0xB008)) {
    ClearChunk3ds(seg);
  }
}

void CopyKfSettings3ds(Database3ds* dst, Database3ds* src) {
  if (!CheckKfDb(dst) || !CheckKfDb(src)) return;
  Chunk3ds* from = Child(src->topChunk, 0xB000);
  if (!from) return;
  for (uint32_t id : {0xB00Au, 0xB009u, 0xB008u}) {
    Chunk3ds* source = Child(from, id);
    if (!source) continue;
    Chunk3ds* kf = nullptr;
    KfSection3ds(dst->topChunk, &kf);
    if (!kf || ftkStop3ds()) return;
    if (Chunk3ds* old = Child(kf, id)) ClearChunk3ds(old);
    Chunk3ds* copy = DupNode(source);
    if (!copy) return;
    InsertChildInOrder3ds(kf, copy);
  }
}

// Camera motion.

void InitCameraMotion3ds(CameraMotion3ds** out, uint32_t positions, uint32_t fovs, uint32_t rolls,
                         uint32_t targets) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  if (!*out) {
    *out = static_cast<CameraMotion3ds*>(std::calloc(1, sizeof(CameraMotion3ds)));
    if (!*out) return ftkErrorPush(ERR_NO_MEM);
  }
  CameraMotion3ds* m = *out;
  const Point3ds zero{0, 0, 0};
  const float sixty = 60.0f, none = 0.0f;
  if (positions) AllocTrack(Track(m->posKeyCount, m->posTrackFlags, m->posKeys, m->positions), positions, &zero);
  if (ftkStop3ds()) return;
  if (fovs) AllocTrack(Track(m->fovKeyCount, m->fovTrackFlags, m->fovKeys, m->fovs), fovs, &sixty);
  if (ftkStop3ds()) return;
  if (rolls) AllocTrack(Track(m->rollKeyCount, m->rollTrackFlags, m->rollKeys, m->rolls), rolls, &none);
  if (ftkStop3ds()) return;
  if (targets)
    AllocTrack(Track(m->targetKeyCount, m->targetTrackFlags, m->targetKeys, m->targetPositions), targets, &zero);
}

void ReleaseCameraMotion3ds(CameraMotion3ds** slot) {
  if (!slot || !*slot) return;
  CameraMotion3ds* m = *slot;
  for (void* p : {static_cast<void*>(m->posKeys), static_cast<void*>(m->positions),
                  static_cast<void*>(m->fovKeys), static_cast<void*>(m->fovs),
                  static_cast<void*>(m->rollKeys), static_cast<void*>(m->rolls),
                  static_cast<void*>(m->targetKeys), static_cast<void*>(m->targetPositions)})
    std::free(p);
  std::free(m);
  *slot = nullptr;
}

uint32_t GetCameraMotionCount3ds(Database3ds* db) { return NodeCountById3ds(db, 0xB003); }
void GetCameraMotionNameList3ds(Database3ds* db, StrList3ds** out) { NodeNamesById3ds(db, 0xB003, out); }

void FindNodeByName3ds(Database3ds* db, const char* name, uint32_t nodeId, Chunk3ds** out) {
  if (!db || !name || !out) return ftkErrorPush(ERR_INVALID_ARG);
  *out = nullptr;
  Chunk3ds* kf = Find(db->topChunk, 0xB000);
  for (Chunk3ds* c = kf ? kf->children : nullptr; c; c = c->next) {
    if (c->id != nodeId) continue;
    Chunk3ds* header = Child(c, 0xB010);
    const bool match = std::strcmp(Str(Data(header)), name) == 0;
    FreeReloadableData3ds(header);
    if (match) {
      *out = c;
      return;
    }
  }
}

void GetCameraMotionByName3ds(Database3ds* db, const char* name, CameraMotion3ds** out) {
  if (!out || !name) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckKfDb(db)) return;
  Chunk3ds* camera = nullptr;
  Chunk3ds* target = nullptr;
  FindNodeByName3ds(db, name, 0xB003, &camera);
  if (!camera) return;
  FindNodeByName3ds(db, name, 0xB004, &target);
  CameraMotionFromNodes3ds(camera, target, out);
}

void GetCameraMotionByIndex3ds(Database3ds* db, uint32_t index, CameraMotion3ds** out) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckKfDb(db)) return;
  StrList3ds* names = nullptr;
  GetCameraMotionNameList3ds(db, &names);
  if (names && index < names->count) GetCameraMotionByName3ds(db, names->names[index], out);
  DeleteStrList3ds(&names);
}

void CameraMotionFromNodes3ds(Chunk3ds* cameraNode, Chunk3ds* targetNode, CameraMotion3ds** out) {
  if (!cameraNode || !out) return ftkErrorPush(ERR_INVALID_ARG);
  Chunk3ds* cam = DupNode(cameraNode);
  Chunk3ds* tgt = targetNode ? DupNode(targetNode) : nullptr;
  if (!*out) InitCameraMotion3ds(out, 0, 0, 0, 0);
  if (!cam || !*out) {
    DeleteChunk3ds(&cam);
    DeleteChunk3ds(&tgt);
    return;
  }
  CameraMotion3ds* m = *out;
  Chunk3ds* header = Find(cam, 0xB010);
  ChunkData3ds* h = Data(header);
  CopyName3ds(m->name, sizeof(m->name), Str(h));
  m->flags1 = h ? static_cast<uint16_t>(h->v[1].u) : 0;
  m->flags2 = h ? static_cast<uint16_t>(h->v[2].u) : 0;
  CopyName3ds(m->parent, sizeof(m->parent), ParentNameOf(header).c_str());
  TakeTrack(Track(m->posKeyCount, m->posTrackFlags, m->posKeys, m->positions), Find(cam, 0xB020));
  TakeTrack(Track(m->fovKeyCount, m->fovTrackFlags, m->fovKeys, m->fovs), Find(cam, 0xB023));
  TakeTrack(Track(m->rollKeyCount, m->rollTrackFlags, m->rollKeys, m->rolls), Find(cam, 0xB024));
  Chunk3ds* theader = tgt ? Find(tgt, 0xB010) : nullptr;
  ChunkData3ds* th = Data(theader);
  m->targetFlags1 = th ? static_cast<uint16_t>(th->v[1].u) : 0;
  m->targetFlags2 = th ? static_cast<uint16_t>(th->v[2].u) : 0;
  CopyName3ds(m->targetParent, sizeof(m->targetParent), ParentNameOf(theader).c_str());
  TakeTrack(Track(m->targetKeyCount, m->targetTrackFlags, m->targetKeys, m->targetPositions),
            tgt ? Find(tgt, 0xB020) : nullptr);
  DeleteChunk3ds(&cam);
  DeleteChunk3ds(&tgt);
}

void PutCameraMotion3ds(Database3ds* db, const CameraMotion3ds* m) {
  if (!db || !m) return ftkErrorPush(ERR_INVALID_ARG);
  if (!db->topChunk || db->topChunk->id != 0x4D4D) return ftkErrorPush(ERR_INVALID_DATA);
  if (CheckStringLength3ds(m->name, 10) == 0 && ftkStop3ds()) return;
  Chunk3ds* kf = nullptr;
  KfSection3ds(db->topChunk, &kf);
  if (!kf || ftkStop3ds()) return;
  Chunk3ds* targetExtra = ClearForPut(FindListedNodeByName3ds(db, m->name, 0xB004));
  Chunk3ds* cameraExtra = ClearForPut(FindListedNodeByName3ds(db, m->name, 0xB003));
  MarkNodeListDirty3ds(db);
  if (m->targetKeyCount && m->targetKeys && m->targetPositions) {
    Chunk3ds* target = Add(kf, 0xB004);
    if (!target || !AddNodeHeader(target, m->name, m->targetFlags1, m->targetFlags2, m->targetParent) ||
        !AddTrack(target, 0xB020, m->targetKeyCount, m->targetTrackFlags, m->targetKeys,
                  m->targetPositions, 12))
      return;
    if (targetExtra) {
      InsertChildInOrder3ds(target, targetExtra);
      targetExtra = nullptr;
    }
  }
  Chunk3ds* camera = Add(kf, 0xB003);
  if (!camera || !AddNodeHeader(camera, m->name, m->flags1, m->flags2, m->parent) ||
      !AddTrack(camera, 0xB020, m->posKeyCount, m->posTrackFlags, m->posKeys, m->positions, 12) ||
      !AddTrack(camera, 0xB023, m->fovKeyCount, m->fovTrackFlags, m->fovKeys, m->fovs, 4) ||
      !AddTrack(camera, 0xB024, m->rollKeyCount, m->rollTrackFlags, m->rollKeys, m->rolls, 4))
    return;
  if (cameraExtra) InsertChildInOrder3ds(camera, cameraExtra);
  DeleteChunk3ds(&targetExtra);
}

void DeleteCameraMotionByIndex3ds(Database3ds* db, uint32_t index) { DeleteNodeByIndex3ds(db, index, 0xB003); }
void DeleteCameraMotionByName3ds(Database3ds* db, const char* name) { DeleteNodeByName3ds(db, name, 0xB003); }
void CopyCameraMotionByIndex3ds(Database3ds* dst, Database3ds* src, uint32_t index) {
  CopyNodeByIndex3ds(dst, src, index, 0xB003);
}
void CopyCameraMotionByName3ds(Database3ds* dst, Database3ds* src, const char* name) {
  CopyNodeByName3ds(dst, src, name, 0xB003);
}
