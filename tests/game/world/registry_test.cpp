#include <gtest/gtest.h>

#include "game/world/vlist_ptr.h"

namespace {

struct Item {
  explicit Item(vek::vlist_ptr<Item>* r, int* deaths = nullptr) : reg(r), deaths(deaths) { id = reg->Add(this); }
  ~Item() {
    if (deaths) ++*deaths;
    reg->Remove(id);
  }
  vek::vlist_ptr<Item>* reg;
  int* deaths;
  vek::u32 id = 0;
};

TEST(Registry, IdsLookupsAndRemoval) {
  vek::vlist_ptr<Item> reg;
  EXPECT_EQ(reg.Find(0), nullptr);
  EXPECT_FALSE(reg.IsValid(0));
  auto* null = new Item(&reg);
  auto* a = new Item(&reg);
  auto* b = new Item(&reg);
  EXPECT_EQ(null->id, 0u);
  EXPECT_EQ(a->id, 1u);
  EXPECT_EQ(b->id, 2u);
  EXPECT_EQ(reg.Find(0), null);
  EXPECT_FALSE(reg.IsValid(0));
  EXPECT_EQ(reg.Find(2), b);
  EXPECT_TRUE(reg.IsValid(2));
  // Ids above every given one, the no-ware 1000 included, name the first element.
  EXPECT_EQ(reg.Find(3), null);
  EXPECT_EQ(reg.Find(1000), null);

  delete a;
  EXPECT_EQ(reg.Find(1), null);
  reg.Remove(1);  // a second removal does nothing
  EXPECT_EQ(reg.Find(2), b);
  auto* c = new Item(&reg);
  EXPECT_EQ(c->id, 3u);  // ids are not reused before a clear

  std::vector<vek::u32> order;
  for (auto it = std::next(reg.begin()); it != reg.end(); ++it) order.push_back((*it)->id);
  EXPECT_EQ(order, (std::vector<vek::u32>{2, 3}));
}

TEST(Registry, ClearKeepsTheFirstAndRestartsIds) {
  int deaths = 0;
  vek::vlist_ptr<Item> reg;
  auto* null = new Item(&reg, &deaths);
  reg.Clear();  // only the first element: nothing deleted
  EXPECT_EQ(deaths, 0);
  EXPECT_EQ(reg.GetNextId(), 1u);
  auto* a = new Item(&reg, &deaths);
  EXPECT_EQ(a->id, 1u);
  new Item(&reg, &deaths);
  new Item(&reg, &deaths);
  reg.Clear();  // destructors call Remove while clearing: ignored
  EXPECT_EQ(deaths, 3);
  EXPECT_EQ(reg.Size(), 1u);
  EXPECT_EQ(reg.Find(2), null);
  EXPECT_EQ((new Item(&reg, &deaths))->id, 1u);
}

TEST(Registry, DestructorDeletesEverythingOnce) {
  int deaths = 0;
  {
    vek::vlist_ptr<Item> reg;
    new Item(&reg, &deaths);
    new Item(&reg, &deaths);
  }
  EXPECT_EQ(deaths, 2);
}

}  // namespace
