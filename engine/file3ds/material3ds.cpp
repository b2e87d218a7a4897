#include "engine/file3ds/material3ds.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/file3ds/util3ds.h"

using namespace util3ds;

namespace {

struct Slot {
  TextureMap3ds Material3ds::*map;
  uint32_t mapId;
  uint32_t procId;  // 0: none
};

const Slot kSlots[] = {
    {&Material3ds::texture1, 0xA200, 0xA320},      {&Material3ds::texture1Mask, 0xA33E, 0xA32A},
    {&Material3ds::texture2, 0xA33A, 0xA321},      {&Material3ds::texture2Mask, 0xA340, 0xA32C},
    {&Material3ds::opacityMap, 0xA210, 0xA322},    {&Material3ds::opacityMask, 0xA342, 0xA32E},
    {&Material3ds::bumpMap, 0xA230, 0xA324},       {&Material3ds::bumpMask, 0xA344, 0xA330},
    {&Material3ds::specularMap, 0xA204, 0xA325},   {&Material3ds::specularMask, 0xA348, 0xA332},
    {&Material3ds::shininessMap, 0xA33C, 0xA326},  {&Material3ds::shininessMask, 0xA346, 0xA334},
    {&Material3ds::selfIllumMap, 0xA33D, 0xA328},  {&Material3ds::selfIllumMask, 0xA34A, 0xA336},
    {&Material3ds::reflectionMap, 0xA220, 0},      {&Material3ds::reflectionMask, 0xA34C, 0xA338},
};

void SetColour(float* out, float r, float g, float b) {
  out[0] = r;
  out[1] = g;
  out[2] = b;
}

void BytesToColour(ChunkData3ds* d, float* out) {
  if (!d) return;
  for (int i = 0; i < 3; ++i) out[i] = static_cast<float>(d->v[i].u) / 255.0f;
}

float Percentage(Chunk3ds* chunk) {
  if (ChunkData3ds* d = Data(Child(chunk, 0x0030)))
    return static_cast<float>(static_cast<int16_t>(d->v[0].u)) / 100.0f;
  if (ChunkData3ds* d = Data(Child(chunk, 0x0031))) return d->v[0].f;
  return 0.0f;
}

void ReadMap(Chunk3ds* mapChunk, TextureMap3ds* map) {
  for (Chunk3ds* c = mapChunk->children; c && !ftkStop3ds(); c = c->next) {
    ChunkData3ds* d = Data(c);
    if (!d) continue;
    switch (c->id) {
      case 0xA300: CopyName3ds(map->fileName, sizeof(map->fileName), Str(d)); break;
      case 0x0030: map->percent = static_cast<float>(d->v[0].u) / 100.0f; break;
      case 0x0031: map->percent = d->v[0].f; break;
      case 0xA351: {
        const uint32_t w = d->v[0].u;
        map->tiling = (w & 0x1) ? ((w & 0x10) ? 2 : 3) : 1;
        map->ignoreAlpha = (w & 0x100) ? 1 : 0;
        map->filter = (w & 0x20) ? 1 : 0;
        map->mirror = (w & 0x2) ? 1 : 0;
        map->negative = (w & 0x8) ? 1 : 0;
        map->source = (w & 0x80) ? ((w & 0x40) ? 3 : 2) : (w & 0x200) ? 4 : (w & 0x40) ? 1 : 0;
        break;
      }
      case 0xA353: map->blur = d->v[0].f; break;
      case 0xA354: map->uScale = d->v[0].f; break;
      case 0xA356: map->vScale = d->v[0].f; break;
      case 0xA358: map->uOffset = d->v[0].f; break;
      case 0xA35A: map->vOffset = d->v[0].f; break;
      case 0xA35C: map->rotation = d->v[0].f; break;
      case 0xA360: BytesToColour(d, map->tint1); break;
      case 0xA362: BytesToColour(d, map->tint2); break;
      case 0xA364: BytesToColour(d, map->redTint); break;
      case 0xA366: BytesToColour(d, map->greenTint); break;
      case 0xA368: BytesToColour(d, map->blueTint); break;
    }
  }
}

Chunk3ds* AddPercent(Chunk3ds* parent, uint32_t id, uint32_t value) {
  Chunk3ds* c = Add(parent, id);
  if (c && !AddWord(c, 0x0030, value & 0xFFFF)) return nullptr;
  return c;
}

uint32_t Hundredths(float v) { return static_cast<uint32_t>(static_cast<int32_t>(v * 100.0f)); }

Chunk3ds* AddTint(Chunk3ds* parent, uint32_t id, const float* colour) {
  Chunk3ds* c = Add(parent, id);
  if (c) {
    for (int i = 0; i < 3; ++i) c->data->v[i].u = static_cast<uint8_t>(colour[i] * 255.0f);
  }
  return c;
}

Chunk3ds* AddColour(Chunk3ds* parent, uint32_t id, const float* colour) {
  Chunk3ds* c = Add(parent, id);
  if (!c || !AddTint(c, 0x0011, colour) || !AddTint(c, 0x0012, colour)) return nullptr;
  return c;
}

bool FillMap(Chunk3ds* chunk, const TextureMap3ds& map) {
  if (!AddWord(chunk, 0x0030, static_cast<uint32_t>(static_cast<int32_t>(map.percent * 100.0f + 0.5f)) & 0xFFFF))
    return false;
  if (!AddString(chunk, 0xA300, map.fileName)) return false;
  uint32_t flags = 0;
  if (map.tiling == 2) flags |= 0x11;
  if (map.tiling == 3) flags |= 0x1;
  if (map.ignoreAlpha) flags |= 0x100;
  if (map.filter == 1) flags |= 0x20;
  if (map.mirror) flags |= 0x2;
  if (map.negative) flags |= 0x8;
  static const uint32_t sources[] = {0, 0x40, 0x80, 0xC0, 0x200};
  if (map.source <= 4) flags |= sources[map.source];
  if (!AddWord(chunk, 0xA351, flags)) return false;
  if (!(map.uScale == 1.0f && map.vScale == 1.0f)) {
    if (!AddFloats(chunk, 0xA354, &map.uScale, 1) || !AddFloats(chunk, 0xA356, &map.vScale, 1))
      return false;
  }
  if (!(map.uOffset == 0.0f && map.vOffset == 0.0f)) {
    if (!AddFloats(chunk, 0xA358, &map.uOffset, 1) || !AddFloats(chunk, 0xA35A, &map.vOffset, 1))
      return false;
  }
  if (map.rotation != 0.0f && !AddFloats(chunk, 0xA35C, &map.rotation, 1)) return false;
  if (map.blur != 0.0f && !AddFloats(chunk, 0xA353, &map.blur, 1)) return false;
  if (map.source == 2 || map.source == 3) {
    if (!AddTint(chunk, 0xA360, map.tint1) || !AddTint(chunk, 0xA362, map.tint2)) return false;
  }
  if (map.source == 4) {
    if (!AddTint(chunk, 0xA364, map.redTint) || !AddTint(chunk, 0xA366, map.greenTint) ||
        !AddTint(chunk, 0xA368, map.blueTint))
      return false;
  }
  return true;
}

}  // namespace

void InitTextureMap3ds(TextureMap3ds* m) {
  if (!m) return ftkErrorPush(ERR_INVALID_ARG);
  std::memset(m, 0, sizeof(*m));
  m->tiling = 1;
  m->uScale = m->vScale = 1.0f;
  SetColour(m->tint2, 1, 1, 1);
  SetColour(m->redTint, 1, 0, 0);
  SetColour(m->greenTint, 0, 1, 0);
  SetColour(m->blueTint, 0, 0, 1);
}

int InitMaterial3ds(Material3ds** out) {
  if (!out) {
    ftkErrorPush(ERR_INVALID_ARG);
    return 0;
  }
  if (!*out) {
    *out = static_cast<Material3ds*>(std::calloc(1, sizeof(Material3ds)));
    if (!*out) {
      ftkErrorPush(ERR_NO_MEM);
      return 0;
    }
  }
  Material3ds* m = *out;
  for (const Slot& s : kSlots) std::free((m->*s.map).procData);
  std::memset(m, 0, sizeof(*m));
  m->wireSize = 1.0f;
  m->shading = 3;
  for (const Slot& s : kSlots) InitTextureMap3ds(&(m->*s.map));
  m->autoReflSize = 100;
  m->autoReflNthFrame = 1;
  return 0;
}

void ReleaseMaterial3ds(Material3ds** slot) {
  if (!slot || !*slot) return;
  for (const Slot& s : kSlots) std::free(((*slot)->*s.map).procData);
  std::free(*slot);
  *slot = nullptr;
}

uint32_t GetMaterialCount3ds(Database3ds* db) {
  if (!db) {
    ftkErrorPush(ERR_INVALID_ARG);
    return 0;
  }
  RebuildMaterialList3ds(db);
  return db->materialList ? db->materialList->count : 0;
}

void GetMaterialNameList3ds(Database3ds* db, StrList3ds** out) {
  if (!db || !out) return ftkErrorPush(ERR_INVALID_ARG);
  const uint32_t n = GetMaterialCount3ds(db);
  if (ftkStop3ds()) return;
  NewStrList3ds(out, 0);
  for (uint32_t i = 0; *out && i < n && !ftkStop3ds(); ++i) AddStr3ds(*out, db->materialList->list[i].name);
}

void GetMaterialByIndex3ds(Database3ds* db, uint32_t index, Material3ds** out) {
  if (!out) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckDb(db, true)) return;
  if (Chunk3ds* c = FindMaterialByIndex3ds(db, index)) GetMaterialFromChunk3ds(c, out);
}

void GetMaterialByName3ds(Database3ds* db, const char* name, Material3ds** out) {
  if (!out || !name) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckDb(db, true)) return;
  Chunk3ds* c = nullptr;
  FindMaterialByName3ds(db, name, &c);
  if (c) GetMaterialFromChunk3ds(c, out);
}

void GetMaterialFromChunk3ds(Chunk3ds* entry, Material3ds** out) {
  if (!entry || !out) return ftkErrorPush(ERR_INVALID_ARG);
  if (entry->id != 0xAFFF) return ftkErrorPush(ERR_INVALID_CHUNK);
  InitMaterial3ds(out);
  if (ftkStop3ds() || !*out) return;
  Material3ds* m = *out;
  for (Chunk3ds* child = entry->children; child && !ftkStop3ds(); child = child->next) {
    if ((child->id & 0xFF00) == 0x8000) continue;
    Chunk3ds* c = nullptr;
    {
      Chunk3ds* next = child->next;
      child->next = nullptr;
      DuplicateChunk3ds(child, &c);
      child->next = next;
    }
    if (!c) return;
    ChunkData3ds* d = Data(c);
    bool known = true;
    switch (c->id) {
      case 0x0000: break;  // an emptied chunk
      case 0xA000: CopyName3ds(m->name, 17, Str(d)); break;
      case 0xA010: case 0xA020: case 0xA030: {
        float* colour = c->id == 0xA010 ? m->ambient : c->id == 0xA020 ? m->diffuse : m->specular;
        Chunk3ds* bytes = Child(c, 0x0011);
        if (!bytes) {
          ftkErrorPush(ERR_UNFOUND_CHUNK);
          break;
        }
        BytesToColour(Data(bytes), colour);
        if (Chunk3ds* linear = Child(c, 0x0012)) BytesToColour(Data(linear), colour);
        break;
      }
      case 0xA040: m->shininess = Percentage(c); break;
      case 0xA041: m->shininessStrength = Percentage(c); break;
      case 0xA050: m->transparency = Percentage(c); break;
      case 0xA052: m->transparencyFalloff = Percentage(c); break;
      case 0xA053: m->reflectionBlur = Percentage(c); break;
      case 0xA084: m->selfIllumination = Percentage(c); break;
      case 0xA042: break;
      case 0xA08A: m->transparencyFalloff = -std::fabs(m->transparencyFalloff); break;
      case 0xA100: if (d) m->shading = d->v[0].u; break;
      case 0xA085: m->wireFrame = 1; break;  // the shading stays as stored
      case 0xA087: if (d) m->wireSize = d->v[0].f; break;
      case 0xA080: m->selfIllumFlag = 1; break;
      case 0xA081: m->twoSided = 1; break;
      case 0xA083: m->additive = 1; break;
      case 0xA088: m->faceMapped = 1; break;
      case 0xA08C: m->soften = 1; break;
      case 0xA08E: m->wireAbsolute = 1; break;
      case 0xA240: m->useFalloff = 1; break;
      case 0xA250: m->useBlur = 1; break;
      case 0xA310:
        m->useAutoReflection = 1;
        if (d) {
          m->autoReflBits09 = (d->v[2].u & 0x9) == 0x9;
          m->autoReflBits11 = (d->v[2].u & 0x11) == 0x11;
          m->autoReflSize = d->v[3].u;
          m->autoReflNthFrame = d->v[4].u;
        }
        break;
      default: {
        known = false;
        for (const Slot& s : kSlots) {
          TextureMap3ds& map = m->*s.map;
          if (c->id == s.mapId) {
            ReadMap(c, &map);
            if (c->id == 0xA230) {
              if (ChunkData3ds* b = Data(Child(c, 0xA252)))
                map.percent = static_cast<float>(b->v[0].u) / 100.0f;
            }
            known = true;
          } else if (s.procId && c->id == s.procId) {
            std::free(map.procData);
            map.procDataSize = d ? d->count : 0;
            map.procData = d ? static_cast<uint8_t*>(TakeElements(d)) : nullptr;
            known = true;
          }
        }
      }
    }
    DeleteChunk3ds(&c);
    if (!known) ftkErrorPush(ERR_INVALID_CHUNK);
  }
}

void PutMaterial3ds(Database3ds* db, const Material3ds* m) {
  if (!m) return ftkErrorPush(ERR_INVALID_ARG);
  if (!CheckDb(db, true)) return;
  if (CheckStringLength3ds(m->name, 16) == 0 && ftkStop3ds()) return;
  for (const Slot& s : kSlots) {
    if (CheckStringLength3ds((m->*s.map).fileName, 12) == 0 && ftkStop3ds()) return;
  }
  Chunk3ds* section = db->topChunk->id == 0x3DAA ? db->topChunk : MeshSection(db);
  if (!section) return;
  Chunk3ds* existing = nullptr;
  FindMaterialByName3ds(db, m->name, &existing);
  Chunk3ds* extra = nullptr;
  Chunk3ds* entry = ReplaceOrAdd(section, existing, 0xAFFF, &extra);
  if (!entry) return;
  MarkMaterialListDirty3ds(db);
  if (!AddString(entry, 0xA000, m->name) || !AddColour(entry, 0xA010, m->ambient) ||
      !AddColour(entry, 0xA020, m->diffuse) || !AddColour(entry, 0xA030, m->specular) ||
      !AddPercent(entry, 0xA040, Hundredths(m->shininess)) ||
      !AddPercent(entry, 0xA041, Hundredths(m->shininessStrength)) ||
      !AddPercent(entry, 0xA050, Hundredths(m->transparency)) ||
      !AddPercent(entry, 0xA053, Hundredths(m->reflectionBlur)))
    return;
  const float falloff = m->transparencyFalloff;
  const float rounded = falloff >= 0 ? falloff * 100.0f + 0.5f : falloff * 100.0f - 0.5f;
  if (!AddPercent(entry, 0xA052, static_cast<uint32_t>(std::abs(static_cast<int32_t>(rounded)))))
    return;
  if (falloff < 0 && !Add(entry, 0xA08A)) return;
  if (!AddWord(entry, 0xA100, m->shading & 0xFFFF)) return;
  if (!AddPercent(entry, 0xA084, Hundredths(m->selfIllumination))) return;
  if (m->twoSided && !Add(entry, 0xA081)) return;
  if (!AddFloats(entry, 0xA087, &m->wireSize, 1)) return;
  const struct {
    uint32_t id;
    uint8_t on;
  } flags[] = {{0xA250, m->useBlur},    {0xA240, m->useFalloff},   {0xA080, m->selfIllumFlag},
               {0xA083, m->additive},   {0xA085, m->wireFrame},    {0xA08E, m->wireAbsolute},
               {0xA088, m->faceMapped}, {0xA08C, m->soften}};
  for (const auto& f : flags) {
    if (f.on && !Add(entry, f.id)) return;
  }
  for (const Slot& s : kSlots) {
    const TextureMap3ds& map = m->*s.map;
    if (s.mapId == 0xA220) {
      if (map.fileName[0] || m->useAutoReflection) {
        Chunk3ds* c = Add(entry, 0xA220);
        if (!c || !AddWord(c, 0x0030, Hundredths(map.percent) & 0xFFFF) ||
            !AddString(c, 0xA300, map.fileName))
          return;
      }
      continue;
    }
    if (!map.fileName[0]) continue;
    Chunk3ds* c = Add(entry, s.mapId);
    if (!c || !FillMap(c, map)) return;
    if (s.mapId == 0xA230 && !AddWord(c, 0xA252, Hundredths(map.percent) & 0xFFFF)) return;
    if (s.procId && map.procData && map.procDataSize > 0) {
      Chunk3ds* p = Add(entry, s.procId);
      if (!p || !SetElements(p, map.procData, map.procDataSize, 1)) return;
    }
  }
  if (m->useAutoReflection) {
    Chunk3ds* c = Add(entry, 0xA310);
    if (!c) return;
    uint32_t word = 0x1;
    if (m->autoReflBits09) word |= 0x9;
    if (m->autoReflBits11) word |= 0x11;
    c->data->v[2].u = word;
    c->data->v[3].u = m->autoReflSize;
    c->data->v[4].u = m->autoReflNthFrame;
  }
  if (extra) InsertChildInOrder3ds(entry, extra);
}
