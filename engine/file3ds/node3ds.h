#pragma once
// Keyframe nodes: mesh-object nodes (0xB002) with their tracks, keyframer settings and camera
// motion (a camera node 0xB003 with its target node 0xB004).
#include <cstdint>

#include "engine/file3ds/database3ds.h"
#include "engine/file3ds/kf3ds.h"

struct Rotation3ds {
  float angle, x, y, z;
};
using MorphName3ds = char[13];

struct MeshMotion3ds {
  char name[11];
  char parent[23];
  uint16_t flags1, flags2;
  Point3ds pivot;
  char instance[12];
  Point3ds boundMin, boundMax;
  uint32_t posKeyCount;
  uint16_t posTrackFlags;
  KeyHeader3ds* posKeys;
  Point3ds* positions;
  uint32_t rotKeyCount;
  uint16_t rotTrackFlags;
  KeyHeader3ds* rotKeys;
  Rotation3ds* rotations;
  uint32_t scaleKeyCount;
  uint16_t scaleTrackFlags;
  KeyHeader3ds* scaleKeys;
  Point3ds* scales;
  uint32_t morphKeyCount;
  uint16_t morphTrackFlags;
  KeyHeader3ds* morphKeys;
  MorphName3ds* morphTargets;
  uint32_t hideKeyCount;
  uint16_t hideTrackFlags;
  KeyHeader3ds* hideKeys;
  float morphSmoothAngle;
};

void InitMeshMotion3ds(MeshMotion3ds** out, uint32_t positions, uint32_t rotations,
                       uint32_t scales, uint32_t morphs, uint32_t hides);
void ReleaseMeshMotion3ds(MeshMotion3ds** slot);
uint32_t GetMeshNodeCount3ds(Database3ds* db);
void GetMeshNodeNameList3ds(Database3ds* db, StrList3ds** out);
void GetMeshMotionByName3ds(Database3ds* db, const char* name, MeshMotion3ds** out);
void GetMeshMotionByIndex3ds(Database3ds* db, uint32_t index, MeshMotion3ds** out);
void GetMeshMotionFromChunk3ds(Chunk3ds* node, MeshMotion3ds** out);
// Replaces the node of the same listed name ("name.instance" for an instance).
void PutMeshMotion3ds(Database3ds* db, const MeshMotion3ds* motion);
void DeleteMeshMotionByIndex3ds(Database3ds* db, uint32_t index);
void DeleteMeshMotionByName3ds(Database3ds* db, const char* name);
void CopyMeshMotionByIndex3ds(Database3ds* destination, Database3ds* source, uint32_t index);
void CopyMeshMotionByName3ds(Database3ds* destination, Database3ds* source, const char* name);

struct KfSettings3ds {
  uint32_t animationLength;
  uint32_t currentFrame;
  uint32_t useSegment;
  uint32_t segmentStart, segmentEnd;
};

void InitKfSettings3ds(KfSettings3ds** out);
void ReleaseKfSettings3ds(KfSettings3ds** slot);
void GetKfSettings3ds(Database3ds* db, KfSettings3ds** out);
void PutKfSettings3ds(Database3ds* db, const KfSettings3ds* settings);
void CopyKfSettings3ds(Database3ds* destination, Database3ds* source);

struct CameraMotion3ds {
  char name[11];
  char parent[22];
  uint16_t flags1, flags2;
  uint32_t posKeyCount;
  uint16_t posTrackFlags;
  KeyHeader3ds* posKeys;
  Point3ds* positions;
  uint32_t fovKeyCount;
  uint16_t fovTrackFlags;
  KeyHeader3ds* fovKeys;
  float* fovs;
  uint32_t rollKeyCount;
  uint16_t rollTrackFlags;
  KeyHeader3ds* rollKeys;
  float* rolls;
  char targetParent[22];
  uint32_t targetKeyCount;
  uint16_t targetTrackFlags;
  KeyHeader3ds* targetKeys;
  Point3ds* targetPositions;
  uint16_t targetFlags1, targetFlags2;
};

void InitCameraMotion3ds(CameraMotion3ds** out, uint32_t positions, uint32_t fovs,
                         uint32_t rolls, uint32_t targets);
void ReleaseCameraMotion3ds(CameraMotion3ds** slot);
uint32_t GetCameraMotionCount3ds(Database3ds* db);
void GetCameraMotionNameList3ds(Database3ds* db, StrList3ds** out);
void GetCameraMotionByName3ds(Database3ds* db, const char* name, CameraMotion3ds** out);
void GetCameraMotionByIndex3ds(Database3ds* db, uint32_t index, CameraMotion3ds** out);
void CameraMotionFromNodes3ds(Chunk3ds* cameraNode, Chunk3ds* targetNode, CameraMotion3ds** out);
void PutCameraMotion3ds(Database3ds* db, const CameraMotion3ds* motion);
void DeleteCameraMotionByIndex3ds(Database3ds* db, uint32_t index);
void DeleteCameraMotionByName3ds(Database3ds* db, const char* name);
void CopyCameraMotionByIndex3ds(Database3ds* destination, Database3ds* source, uint32_t index);
void CopyCameraMotionByName3ds(Database3ds* destination, Database3ds* source, const char* name);
// The first node of that id whose header name is the name (instances play no part).
void FindNodeByName3ds(Database3ds* db, const char* name, uint32_t nodeId, Chunk3ds** out);
