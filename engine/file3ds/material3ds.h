#pragma once
// Materials (0xAFFF entries) with their sixteen texture-map slots.
#include <cstdint>

#include "engine/file3ds/database3ds.h"

struct TextureMap3ds {
  char fileName[16];
  float percent;
  uint32_t tiling;  // 1 tile, 2 decal, 3 both
  uint8_t ignoreAlpha;
  uint32_t filter;  // 0 pyramidal, 1 summed area
  float blur;
  uint8_t mirror, negative;
  float uScale, vScale, uOffset, vOffset, rotation;
  uint32_t source;  // 0..4
  float tint1[3], tint2[3], redTint[3], greenTint[3], blueTint[3];
  uint32_t procDataSize;
  uint8_t* procData;
};

struct Material3ds {
  char name[20];
  float ambient[3], diffuse[3], specular[3];
  float shininess, shininessStrength, reflectionBlur, transparency, transparencyFalloff,
      selfIllumination;
  float wireSize;
  uint32_t shading;
  uint8_t useBlur, useFalloff, twoSided, selfIllumFlag, additive, wireFrame, wireAbsolute,
      faceMapped, soften;
  TextureMap3ds texture1, texture1Mask, texture2, texture2Mask, opacityMap, opacityMask, bumpMap,
      bumpMask, specularMap, specularMask, shininessMap, shininessMask, selfIllumMap,
      selfIllumMask, reflectionMap;
  uint8_t useAutoReflection, autoReflBits09, autoReflBits11;
  uint32_t autoReflSize, autoReflNthFrame;
  TextureMap3ds reflectionMask;
};

int InitMaterial3ds(Material3ds** out);
void InitTextureMap3ds(TextureMap3ds* map);
void ReleaseMaterial3ds(Material3ds** slot);
uint32_t GetMaterialCount3ds(Database3ds* db);
void GetMaterialNameList3ds(Database3ds* db, StrList3ds** out);
void GetMaterialByIndex3ds(Database3ds* db, uint32_t index, Material3ds** out);
void GetMaterialByName3ds(Database3ds* db, const char* name, Material3ds** out);
void GetMaterialFromChunk3ds(Chunk3ds* entry, Material3ds** out);
// Names longer than the file allows (material 16, map 12) are refused with the too-long error.
void PutMaterial3ds(Database3ds* db, const Material3ds* material);
