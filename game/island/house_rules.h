#pragma once
// The rules of an island house that need nothing but numbers: what a purchase costs from the
// player's bank, when the construction animation has finished, the tint of a house on the map
// and the fades of its hover and selection highlights.
#include <string_view>

#include "engine/core/types.h"

struct cHousePurchase {
  vek::i32 cost = 0;       // what the floating text shows
  vek::i32 bankAfter = 0;  // the bank once paid
};

// The price, or what the bank holds when it cannot pay (keeping 5 back when it holds that
// much), so the purchase always goes through; never a negative cost, so a bank below zero
// stays as it is instead of growing.
cHousePurchase HousePurchase(vek::i32 bank, vek::i32 price);

// Whether the construction animation (frameCount frames, now on frame) has come far enough:
// to the built stage's frame, or to its last frame when it has fewer; at once with one frame
// or none.
bool ConstructionDone(std::string_view name, vek::i32 frameCount, vek::i32 frame);

// ARGB tint: opaque in the show-all view (mode 3) and once built or under way; faint while not
// available; else pulsing with the markers (pulse 0..1).
vek::u32 HouseColor(vek::i32 mode, vek::i32 state, bool available, vek::f32 pulse);

// One fixed step of the highlight fades of an available house.
struct cHighlight {
  vek::f32 hover = 0.0f;
  vek::f32 selection = 0.0f;
  void Step(bool hovered, bool placed);
};
