#pragma once
// The game's balance (upgrade effects per level, animal prices), the product table that makes
// every ware, and the two matrix helpers of the wavy path builder.
#include <vector>

#include "engine/core/types.h"
#include "engine/core/vec.h"

// Upgrades 0..5: gardener speed, water volume, bin volume, watering, weeding and bin times.
// Each row has one entry per upgrade level 0..3.
struct cBalance {
  cBalance();

  std::vector<vek::i32> waterVolume;
  vek::f32 pumpTime = 0.3f;
  std::vector<vek::i32> binVolume;
  std::vector<vek::f32> gardenerSpeed;
  std::vector<vek::f32> wateringTime;
  std::vector<vek::f32> weedingTime;
  std::vector<vek::f32> binTime;
  vek::i32 ostrichPrice = 300;
  vek::i32 goatPrice = 100;
  vek::i32 hivePrice = 200;
  vek::i32 peacockPrice = 400;
};

// Makes the 21 wares in id order; display names come from the game's text table as it is now.
void BuildProductTable();

// Row-major rotation about z.
void MatrixRotationZ(vek::f32 out[16], vek::f32 angle);
// (x, y, z, 1) times the matrix, without the division by w.
vek::vec3 Vec3TransformCoord(const vek::vec3& v, const vek::f32 m[16]);

// The running game's balance record, or the defaults while no game gives one.
const cBalance& GameBalance();
