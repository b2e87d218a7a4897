#include "engine/file3ds/light3ds.h"

#include <cstdlib>
#include <cstring>

#include "engine/file3ds/util3ds.h"

using namespace util3ds;

namespace {

Chunk3ds* DupObject(Chunk3ds* object) {
  Chunk3ds* next = object->next;
  object->next = nullptr;
  Chunk3ds* copy = nullptr;
  DuplicateChunk3ds(object, &copy);
  object->next = next;
  return copy;
}

bool IsSpot(Chunk3ds* object) {
  Chunk3ds* light = Child(object, 0x4600);
  return light && Find(light, 0x4610);
}

// Places a named object for a put; hands out the kept extra data.
Chunk3ds* PlaceObject(Database3ds* db, const char* name, uint32_t maxName, Chunk3ds** extra) {
  *extra = nullptr;
  if (CheckStringLength3ds(name, maxName) == 0 && ftkStop3ds()) return nullptr;
  Chunk3ds* mdata = MeshSection(db);
  if (!mdata) return nullptr;
  Chunk3ds* existing = nullptr;
  FindObjectByName3ds(db, name, &existing);
  Chunk3ds* object = ReplaceOrAdd(mdata, existing, 0x4000, extra);
  if (!object) return nullptr;
  if (NewChunkData3ds(object)) object->data->v[0].s = StrDup3ds(name);
  MarkObjectListDirty3ds(db);
  return object;
}

}  // namespace

void InitLight3ds(Light3ds** out) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  if (!*out) {
    *out = static_cast<Light3ds*>(std::calloc(1, sizeof(Light3ds)));
    if (!*out) return ftkErrorPush(ERR_NO_MEM);
  }
  Light3ds* l = *out;
  l->name[0] = '\0';
  l->position = {0, 0, 0};
  l->colour[0] = l->colour[1] = l->colour[2] = 0.708852f;
  l->multiplier = 1.0f;
  l->off = l->attenuationOn = 0;
  l->innerRange = 10.0f;
  l->outerRange = 100.0f;
  DeleteStrList3ds(&l->excludes);
  NewStrList3ds(&l->excludes, 0);
}

void InitSpotlight3ds(Light3ds** out) {
  InitLight3ds(out);
  if (!out || !*out || ftkStop3ds()) return;
  Light3ds* l = *out;
  if (l->spot) {
    std::free(l->spot->projectorName);
    std::free(l->spot);
  }
  l->spot = static_cast<Spotlight3ds*>(std::calloc(1, sizeof(Spotlight3ds)));
  if (!l->spot) return ftkErrorPush(ERR_NO_MEM);
  Spotlight3ds* s = l->spot;
  s->target = {1, 1, 1};
  s->hotspot = 44.0f;
  s->falloff = 45.0f;
  s->aspect = 1.0f;
  s->shadowBias = 1.0f;
  s->shadowFilter = 3.0f;
  s->shadowMapSize = 512;
  s->rayBias = 1.0f;
}

void ReleaseLight3ds(Light3ds** slot) {
  if (!slot || !*slot) return ftkErrorPush(ERR_INVALID_ARG);
  Light3ds* l = *slot;
  DeleteStrList3ds(&l->excludes);
  if (l->spot) {
    std::free(l->spot->projectorName);
    std::free(l->spot);
  }
  std::free(l);
  *slot = nullptr;
}

uint32_t GetOmnilightCount3ds(Database3ds* db) { return CountObjects3ds(db, kOmniLight3ds); }
uint32_t GetSpotlightCount3ds(Database3ds* db) { return CountObjects3ds(db, 0x4610); }
void GetOmnilightNameList3ds(Database3ds* db, StrList3ds** out) {
  ObjectNames3ds(db, kOmniLight3ds, out);
}
void GetSpotlightNameList3ds(Database3ds* db, StrList3ds** out) { ObjectNames3ds(db, 0x4610, out); }

void GetOmnilightByIndex3ds(Database3ds* db, uint32_t index, Light3ds** out) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckDb(db, false)) return;
  if (Chunk3ds* c = FindObjectByIndex3ds(db, kOmniLight3ds, index)) GetLightFromChunk3ds(c, out);
}

void GetSpotlightByIndex3ds(Database3ds* db, uint32_t index, Light3ds** out) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckDb(db, false)) return;
  if (Chunk3ds* c = FindObjectByIndex3ds(db, 0x4610, index)) GetLightFromChunk3ds(c, out);
}

void GetOmnilightByName3ds(Database3ds* db, const char* name, Light3ds** out) {
  if (!out || !name) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckDb(db, false)) return;
  Chunk3ds* c = nullptr;
  FindObjectByName3ds(db, name, &c);
  if (c && !IsSpot(c)) GetLightFromChunk3ds(c, out);
}

void GetSpotlightByName3ds(Database3ds* db, const char* name, Light3ds** out) {
  if (!out || !name) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckDb(db, false)) return;
  Chunk3ds* c = nullptr;
  FindObjectByName3ds(db, name, &c);
  if (c && IsSpot(c)) GetLightFromChunk3ds(c, out);
}

void GetLightFromChunk3ds(Chunk3ds* object, Light3ds** out) {
  if (!object || !out) return ftkErrorPush(ERR_INVALID_ARG);
  if (!Child(object, 0x4600)) return ftkErrorPush(ERR_WRONG_OBJECT);
  Chunk3ds* copy = DupObject(object);
  if (!copy) return;
  Chunk3ds* light = Child(copy, 0x4600);
  Chunk3ds* spot = Find(light, 0x4610);
  if (spot) {
    InitSpotlight3ds(out);
  } else {
    InitLight3ds(out);
    if (*out && (*out)->spot) {
      std::free((*out)->spot->projectorName);
      std::free((*out)->spot);
      (*out)->spot = nullptr;
    }
  }
  if (ftkStop3ds() || !*out) return DeleteChunk3ds(&copy);
  Light3ds* l = *out;
  CopyName3ds(l->name, sizeof(l->name), Str(Data(copy)));
  if (ChunkData3ds* d = Data(light)) l->position = {d->v[0].f, d->v[1].f, d->v[2].f};
  for (Chunk3ds* c = light->children; c && !ftkStop3ds(); c = c->next) {
    ChunkData3ds* d = Data(c);
    switch (c->id) {
      case 0x0010:
        if (d) for (int i = 0; i < 3; ++i) l->colour[i] = d->v[i].f;
        break;
      case 0x0011:
        if (d) for (int i = 0; i < 3; ++i) l->colour[i] = static_cast<float>(d->v[i].u) / 255.0f;
        break;
      case 0x4620: l->off = 1; break;
      case 0x4625: l->attenuationOn = 1; break;
      case 0x4654:
        if (!l->excludes) NewStrList3ds(&l->excludes, 0);
        if (d && l->excludes) AddStr3ds(l->excludes, Str(d));
        break;
      case 0x4659: if (d) l->innerRange = d->v[0].f; break;
      case 0x465A: if (d) l->outerRange = d->v[0].f; break;
      case 0x465B: if (d) l->multiplier = d->v[0].f; break;
    }
  }
  if (spot && l->spot && !ftkStop3ds()) {
    Spotlight3ds* s = l->spot;
    if (ChunkData3ds* d = Data(spot)) {
      s->target = {d->v[0].f, d->v[1].f, d->v[2].f};
      s->hotspot = d->v[3].f;
      s->falloff = d->v[4].f;
    }
    for (Chunk3ds* c = spot->children; c && !ftkStop3ds(); c = c->next) {
      ChunkData3ds* d = Data(c);
      switch (c->id) {
        case 0x4627: s->rayTraceShadows = 1; break;
        case 0x4630: case 0x4640: s->castShadows = 1; break;
        case 0x4641:
          if (d) {
            s->shadowBias = d->v[0].f;
            s->shadowFilter = d->v[1].f;
            s->shadowMapSize = static_cast<uint16_t>(d->v[2].u);
          }
          s->localShadow = 1;
          break;
        case 0x4650: s->showCone = 1; break;
        case 0x4651: s->rectangular = 1; break;
        case 0x4652: s->overshoot = 1; break;
        case 0x4653:
          s->projector = 1;
          if (d) {
            std::free(s->projectorName);
            s->projectorName = d->v[0].s;
            d->v[0].s = nullptr;
          }
          break;
        case 0x4656: if (d) s->roll = d->v[0].f; break;
        case 0x4657: if (d) s->aspect = d->v[0].f; break;
        case 0x4658: if (d) s->rayBias = d->v[0].f; break;
      }
    }
  }
  DeleteChunk3ds(&copy);
}

void PutLight3ds(Database3ds* db, const Light3ds* l) {
  if (!l) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckDb(db, false)) return;
  Chunk3ds* extra = nullptr;
  Chunk3ds* object = PlaceObject(db, l->name, 10, &extra);
  if (!object) return;
  const float pos[3] = {l->position.x, l->position.y, l->position.z};
  Chunk3ds* light = AddFloats(object, 0x4600, pos, 3);
  if (!light) return;
  if (!AddFloats(light, 0x0010, l->colour, 3) || !AddFloats(light, 0x465A, &l->outerRange, 1) ||
      !AddFloats(light, 0x4659, &l->innerRange, 1) || !AddFloats(light, 0x465B, &l->multiplier, 1))
    return;
  if (l->off == 1 && !Add(light, 0x4620)) return;
  if (l->attenuationOn == 1 && !Add(light, 0x4625)) return;
  for (uint32_t i = 0; l->excludes && i < l->excludes->count; ++i) {
    if (!AddString(light, 0x4654, l->excludes->names[i])) return;
  }
  if (const Spotlight3ds* s = l->spot) {
    const float spotData[5] = {s->target.x, s->target.y, s->target.z, s->hotspot, s->falloff};
    Chunk3ds* spot = AddFloats(light, 0x4610, spotData, 5);
    if (!spot || !AddFloats(spot, 0x4656, &s->roll, 1)) return;
    if (s->aspect != 1.0f && !AddFloats(spot, 0x4657, &s->aspect, 1)) return;
    if (s->castShadows == 1 && !Add(spot, 0x4630)) return;
    if (s->rayTraceShadows == 1 && !Add(spot, 0x4627)) return;
    if (!AddFloats(spot, 0x4658, &s->rayBias, 1)) return;
    if (s->localShadow == 1) {
      if (!Add(spot, 0x4640)) return;
      const float shadow[2] = {s->shadowBias, s->shadowFilter};
      Chunk3ds* c = AddFloats(spot, 0x4641, shadow, 2);
      if (!c) return;
      c->data->v[2].u = s->shadowMapSize;
    }
    if (s->rectangular == 1 && !Add(spot, 0x4651)) return;
    if (s->showCone == 1 && !Add(spot, 0x4650)) return;
    if (s->overshoot == 1 && !Add(spot, 0x4652)) return;
    if (s->projector == 1 && !AddString(spot, 0x4653, s->projectorName)) return;
  }
  if (extra) InsertChildInOrder3ds(light, extra);
}

void PutOmnilight3ds(Database3ds* db, const Light3ds* light) { PutLight3ds(db, light); }
void PutSpotlight3ds(Database3ds* db, const Light3ds* light) { PutLight3ds(db, light); }
void DeleteOmnilightByName3ds(Database3ds* db, const char* name) { DeleteObjectByName3ds(db, name); }
void DeleteSpotlightByName3ds(Database3ds* db, const char* name) { DeleteObjectByName3ds(db, name); }
void DeleteOmnilightByIndex3ds(Database3ds* db, uint32_t index) {
  DeleteObjectByIndex3ds(db, kOmniLight3ds, index);
}
void DeleteSpotlightByIndex3ds(Database3ds* db, uint32_t index) {
  DeleteObjectByIndex3ds(db, 0x4610, index);
}
void CopyOmnilightByIndex3ds(Database3ds* dst, Database3ds* src, uint32_t index) {
  CopyObjectByIndex3ds(dst, src, kOmniLight3ds, index);
}
void CopySpotlightByIndex3ds(Database3ds* dst, Database3ds* src, uint32_t index) {
  CopyObjectByIndex3ds(dst, src, 0x4610, index);
}
void CopyOmnilightByName3ds(Database3ds* dst, Database3ds* src, const char* name) {
  CopyObjectByName3ds(dst, src, name);
}
void CopySpotlightByName3ds(Database3ds* dst, Database3ds* src, const char* name) {
  CopyObjectByName3ds(dst, src, name);
}

// Cameras.

void InitCamera3ds(Camera3ds** out) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  if (!*out) {
    *out = static_cast<Camera3ds*>(std::calloc(1, sizeof(Camera3ds)));
    if (!*out) return ftkErrorPush(ERR_NO_MEM);
  }
  Camera3ds* c = *out;
  c->name[0] = '\0';
  c->position = {0, 0, 0};
  c->target = {1, 1, 1};
  c->roll = 0.0f;
  c->fov = 45.0f;
  c->showCone = 0;
  c->nearRange = 10.0f;
  c->farRange = 1000.0f;
}

void ReleaseCamera3ds(Camera3ds** slot) {
  if (!slot) return;
  std::free(*slot);
  *slot = nullptr;
}

uint32_t GetCameraCount3ds(Database3ds* db) { return CountObjects3ds(db, 0x4700); }
void GetCameraNameList3ds(Database3ds* db, StrList3ds** out) { ObjectNames3ds(db, 0x4700, out); }

void GetCameraByIndex3ds(Database3ds* db, uint32_t index, Camera3ds** out) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckDb(db, false)) return;
  if (Chunk3ds* c = FindObjectByIndex3ds(db, 0x4700, index)) CameraFromChunk3ds(c, out);
}

void GetCameraByName3ds(Database3ds* db, const char* name, Camera3ds** out) {
  if (!out || !name) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckDb(db, false)) return;
  Chunk3ds* c = nullptr;
  FindObjectByName3ds(db, name, &c);
  if (!c) return;
  if (!Find(c, 0x4700)) return ftkErrorPush(ERR_WRONG_OBJECT);
  CameraFromChunk3ds(c, out);
}

void CameraFromChunk3ds(Chunk3ds* object, Camera3ds** out) {
  if (!object || !out) return ftkErrorPush(ERR_INVALID_ARG);
  if (object->id != 0x4000 || !Child(object, 0x4700)) return ftkErrorPush(ERR_WRONG_OBJECT);
  InitCamera3ds(out);
  if (ftkStop3ds() || !*out) return;
  Chunk3ds* copy = DupObject(object);
  if (!copy) return;
  Camera3ds* cam = *out;
  CopyName3ds(cam->name, sizeof(cam->name), Str(Data(copy)));
  Chunk3ds* body = Child(copy, 0x4700);
  if (ChunkData3ds* d = Data(body)) {
    cam->position = {d->v[0].f, d->v[1].f, d->v[2].f};
    cam->target = {d->v[3].f, d->v[4].f, d->v[5].f};
    cam->roll = d->v[6].f;
    if (d->v[7].f != 0.0f) {
      cam->fov = 2400.0f / d->v[7].f;
    } else {
      ftkErrorPush(ERR_INVALID_DATA);  // a lens of 0 has no field of view
    }
  }
  for (Chunk3ds* c = body->children; c && !ftkStop3ds(); c = c->next) {
    if (c->id == 0x4710) cam->showCone = 1;
    if (c->id == 0x4720) {
      if (ChunkData3ds* d = Data(c)) {
        cam->nearRange = d->v[0].f;
        cam->farRange = d->v[1].f;
      }
    }
  }
  DeleteChunk3ds(&copy);
}

void PutCamera3ds(Database3ds* db, const Camera3ds* cam) {
  if (!db || !cam) return ftkErrorPush(ERR_INVALID_ARG);
  if (!db->topChunk) return ftkErrorPush(ERR_INVALID_DATABASE);
  if (db->topChunk->id != 0x4D4D) return ftkErrorPush(ERR_WRONG_DATABASE);
  if (cam->fov == 0.0f) return ftkErrorPush(ERR_INVALID_DATA);
  Chunk3ds* extra = nullptr;
  Chunk3ds* object = PlaceObject(db, cam->name, 10, &extra);
  if (!object) return;
  const float values[8] = {cam->position.x, cam->position.y, cam->position.z, cam->target.x,
                           cam->target.y,   cam->target.z,   cam->roll,       2400.0f / cam->fov};
  Chunk3ds* body = AddFloats(object, 0x4700, values, 8);
  if (!body) return;
  Chunk3ds* c = nullptr;
  if (cam->showCone) {
    NewChunkWithId3ds(&c, 0x4710);
    if (!c) return;
    AppendChild3ds(body, c);
  }
  c = nullptr;
  NewChunkWithData3ds(&c, 0x4720);
  if (!c || !c->data) return ftkErrorPush(ERR_PUT_FAILED);
  c->data->v[0].f = cam->nearRange;
  c->data->v[1].f = cam->farRange;
  AppendChild3ds(body, c);
  if (extra) AppendChild3ds(body, extra);
}

void DeleteCameraByName3ds(Database3ds* db, const char* name) { DeleteObjectByName3ds(db, name); }
void DeleteCameraByIndex3ds(Database3ds* db, uint32_t index) {
  DeleteObjectByIndex3ds(db, 0x4700, index);
}
void CopyCameraByIndex3ds(Database3ds* dst, Database3ds* src, uint32_t index) {
  CopyObjectByIndex3ds(dst, src, 0x4700, index);
}
void CopyCameraByName3ds(Database3ds* dst, Database3ds* src, const char* name) {
  CopyObjectByName3ds(dst, src, name);
}
