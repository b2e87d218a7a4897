// Purchase, construction end, tint and highlight fades of island houses.
#include <gtest/gtest.h>

#include "game/island/house_rules.h"

TEST(HouseRules, PurchaseAlwaysGoesThroughAndNeverPaysOut) {
  struct Case {
    vek::i32 bank, price, cost, left;
  } cases[] = {
      {3, 50, 3, 0},   {40, 50, 35, 5}, {60, 50, 50, 10}, {50, 50, 50, 0},
      {5, 50, 0, 5},   {0, 50, 0, 0},   {-20, 50, 0, -20},  // a bank below zero stays put
  };
  for (const Case& c : cases) {
    const cHousePurchase p = HousePurchase(c.bank, c.price);
    EXPECT_EQ(p.cost, c.cost) << "bank " << c.bank;
    EXPECT_EQ(p.bankAfter, c.left) << "bank " << c.bank;
  }
}

TEST(HouseRules, ConstructionEndsOnTheBuiltFrameOrTheLastOneOfAShortAnimation) {
  EXPECT_FALSE(ConstructionDone("house00", 7, 3));
  EXPECT_TRUE(ConstructionDone("house00", 7, 4));
  EXPECT_TRUE(ConstructionDone("house00", 1, 0));  // a single frame: at once
  EXPECT_TRUE(ConstructionDone("house00", 0, 0));
  // Three frames never reach frame 4: the last frame ends the construction.
  EXPECT_FALSE(ConstructionDone("statue00", 3, 1));
  EXPECT_TRUE(ConstructionDone("statue00", 3, 2));
}

TEST(HouseRules, TintFollowsModeStateAvailabilityAndPulse) {
  EXPECT_EQ(HouseColor(3, 0, false, 0.0f), 0xFFFFFFFFu);
  EXPECT_EQ(HouseColor(1, 2, false, 0.0f), 0xFFFFFFFFu);
  EXPECT_EQ(HouseColor(1, 0, false, 0.5f), 0x50FFFFFFu);
  EXPECT_EQ(HouseColor(2, 0, true, 0.0f), 0x50FFFFFFu);  // 80 at the pulse's low end
  EXPECT_EQ(HouseColor(2, 0, true, 1.0f), 0xFFFFFFFFu);  // 255 at its top
  EXPECT_EQ(HouseColor(2, 0, true, 0.5f), 0xA7FFFFFFu);  // trunc(167.5)
}

TEST(HouseRules, HighlightsFadeInAndOut) {
  cHighlight h;
  for (int i = 0; i < 12; ++i) h.Step(true, false);
  EXPECT_EQ(h.hover, 1.0f);
  EXPECT_EQ(h.selection, 0.0f);
  for (int i = 0; i < 3; ++i) h.Step(false, true);  // placed, not hovered
  EXPECT_NEAR(h.hover, 0.55f, 1e-5f);
  EXPECT_NEAR(h.selection, 0.3f, 1e-5f);
  for (int i = 0; i < 20; ++i) h.Step(false, false);
  EXPECT_EQ(h.hover, 0.0f);
  EXPECT_EQ(h.selection, 0.0f);
}
