#pragma once
// Lights (a named object holding 0x4600; a spotlight's also holds 0x4610) and cameras
// (a named object holding 0x4700).
#include <cstdint>

#include "engine/file3ds/database3ds.h"

struct Spotlight3ds {
  Point3ds target;
  float hotspot, falloff, roll, aspect;
  uint8_t castShadows;
  uint32_t rayTraceShadows;
  uint8_t localShadow;
  float shadowBias, shadowFilter;
  uint16_t shadowMapSize;
  float rayBias;
  uint32_t rectangular;
  uint8_t showCone, overshoot, projector;
  char* projectorName;
};

struct Light3ds {
  char name[12];
  Point3ds position;
  float colour[3];
  float multiplier;
  uint8_t off, attenuationOn;
  float innerRange, outerRange;
  StrList3ds* excludes;
  Spotlight3ds* spot;  // null for an omni light
};

void InitLight3ds(Light3ds** out);
void InitSpotlight3ds(Light3ds** out);
void ReleaseLight3ds(Light3ds** slot);
uint32_t GetOmnilightCount3ds(Database3ds* db);
uint32_t GetSpotlightCount3ds(Database3ds* db);
void GetOmnilightNameList3ds(Database3ds* db, StrList3ds** out);
void GetSpotlightNameList3ds(Database3ds* db, StrList3ds** out);
void GetOmnilightByIndex3ds(Database3ds* db, uint32_t index, Light3ds** out);
void GetSpotlightByIndex3ds(Database3ds* db, uint32_t index, Light3ds** out);
void GetOmnilightByName3ds(Database3ds* db, const char* name, Light3ds** out);
void GetSpotlightByName3ds(Database3ds* db, const char* name, Light3ds** out);
void GetLightFromChunk3ds(Chunk3ds* object, Light3ds** out);
void PutLight3ds(Database3ds* db, const Light3ds* light);
void PutOmnilight3ds(Database3ds* db, const Light3ds* light);
void PutSpotlight3ds(Database3ds* db, const Light3ds* light);
void DeleteOmnilightByName3ds(Database3ds* db, const char* name);
void DeleteSpotlightByName3ds(Database3ds* db, const char* name);
// By index among omni lights only (spotlights do not count).
void DeleteOmnilightByIndex3ds(Database3ds* db, uint32_t index);
void DeleteSpotlightByIndex3ds(Database3ds* db, uint32_t index);
void CopyOmnilightByIndex3ds(Database3ds* destination, Database3ds* source, uint32_t index);
void CopySpotlightByIndex3ds(Database3ds* destination, Database3ds* source, uint32_t index);
void CopyOmnilightByName3ds(Database3ds* destination, Database3ds* source, const char* name);
void CopySpotlightByName3ds(Database3ds* destination, Database3ds* source, const char* name);

struct Camera3ds {
  char name[11];
  Point3ds position;
  Point3ds target;
  float roll;
  float fov;  // degrees; the file holds the lens, 2400 / fov
  uint8_t showCone;
  float nearRange, farRange;
};

void InitCamera3ds(Camera3ds** out);
void ReleaseCamera3ds(Camera3ds** slot);
uint32_t GetCameraCount3ds(Database3ds* db);
void GetCameraNameList3ds(Database3ds* db, StrList3ds** out);
void GetCameraByIndex3ds(Database3ds* db, uint32_t index, Camera3ds** out);
void GetCameraByName3ds(Database3ds* db, const char* name, Camera3ds** out);
// A lens of 0 keeps the default field of view and reports ERR_INVALID_DATA.
void CameraFromChunk3ds(Chunk3ds* object, Camera3ds** out);
// A field of view of 0 is refused with ERR_INVALID_DATA.
void PutCamera3ds(Database3ds* db, const Camera3ds* camera);
void DeleteCameraByName3ds(Database3ds* db, const char* name);
void DeleteCameraByIndex3ds(Database3ds* db, uint32_t index);
void CopyCameraByIndex3ds(Database3ds* destination, Database3ds* source, uint32_t index);
void CopyCameraByName3ds(Database3ds* destination, Database3ds* source, const char* name);
