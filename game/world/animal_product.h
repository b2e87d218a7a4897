#pragma once
// What the birds leave on the field: an egg or a nib lies on a cell until the gardener picks
// it up into the bin or, after 50 seconds, it vanishes.
#include "engine/core/tween.h"
#include "game/world/object.h"

class cAnimalProduct : public cObject {
 public:
  static constexpr vek::f32 kLifetime = 50.0f;

  // The product lies on the cell; its ware is the one named like its area.
  cAnimalProduct(cLevel* level, const cCell& cell, const vek::string& area);
  ~cAnimalProduct() override = default;

  vek::u32 GetType() const override = 0;
  vek::f32 GetDepth() const override { return m_Y - 30.0f; }
  // The cell's position, raised to the middle of the cell.
  void SetCell(vek::i32 row, vek::i32 column) override;
  using cObject::SetCell;
  void Update() override;
  void Draw() override;
  // The ware the gardener puts into the bin when picking the product up.
  vek::u32 GetWareId() const override { return m_Ware; }

  const vek::cAnimatedFloat& GetLifetime() const { return m_Life; }

 protected:
  vek::cAnimatedFloat m_Life;
  vek::u32 m_Ware = kNoWare;
};

class cEgg final : public cAnimalProduct {
 public:
  cEgg(cLevel* level, const cCell& cell) : cAnimalProduct(level, cell, "egg") {}
  vek::u32 GetType() const override { return e_TypeEgg; }
};

class cNib final : public cAnimalProduct {
 public:
  cNib(cLevel* level, const cCell& cell) : cAnimalProduct(level, cell, "nib") {}
  vek::u32 GetType() const override { return e_TypeNib; }
};
