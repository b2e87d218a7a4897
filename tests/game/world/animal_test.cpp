#include <gtest/gtest.h>

#include <algorithm>

#include "tests/game/world/animal_fixture.h"

namespace {

using vektest::AnimalFieldTest;
constexpr int kPerSecond = 30;

TEST_F(AnimalFieldTest, SpeciesParametersSoundsPensAndCounters) {
  auto* o = Add<cOstrich>({1, 7});
  auto* p = Add<cPeacock>({1, 1});
  auto* g = Add<cGoat>({6, 7});
  const struct {
    cAnimal* a;
    vek::f32 params[9];
    vek::i32 hungry, idle;
    cCell inside, outside;
  } cases[] = {
      {o, {17, 1.5f, 40, 0, 20, 16, 0.5f, 0, 0}, 16, 17, {3, 4}, {4, 4}},
      {p, {20, 2, 40, 0, 20, 16, 0.5f, 0, 0}, 18, 19, {7, 6}, {0, 7}},
      {g, {15, 2, 40, 3, 22, 15, 0.5f, 35, 0}, 14, 15, {3, 9}, {2, 9}},
  };
  for (const auto& c : cases) {
    for (vek::u32 i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(c.a->GetParam(i), c.params[i]) << c.a->GetTextureName() << " " << i;
    EXPECT_EQ(c.a->GetSoundId(0), c.hungry);
    EXPECT_EQ(c.a->GetSoundId(1), c.idle);
    EXPECT_TRUE(c.a->IsInPen(c.inside)) << c.a->GetTextureName();
    EXPECT_FALSE(c.a->IsInPen(c.outside)) << c.a->GetTextureName();
  }
  EXPECT_EQ(p->GetTexture() != 0, true) << "the peacock's walking sheet";
  // Counters in the field's order: ostriches, hives, goats, peacocks.
  EXPECT_EQ(level->m_KindCounts[0], 1);
  EXPECT_EQ(level->m_KindCounts[2], 1);
  EXPECT_EQ(level->m_KindCounts[3], 1);
  g->SetState(2);
  level->DeleteQueuedObjects();
  EXPECT_EQ(level->m_KindCounts[2], 0);
}

TEST_F(AnimalFieldTest, BirdsNeverIdleAndTheGoatDoes) {
  auto* o = Add<cOstrich>({1, 7});
  auto* g = Add<cGoat>({6, 7});
  world.Run(*level, 2);
  ASSERT_EQ(o->GetState(), 1);
  o->SetState(5);
  g->SetState(5);
  EXPECT_EQ(o->GetState(), 1);
  EXPECT_EQ(g->GetState(), 5);
  EXPECT_FLOAT_EQ(g->GetStateTimer().target, 3.0f);
}

TEST_F(AnimalFieldTest, HungryOstrichWithoutGrassLeavesWithABurst) {
  auto* o = Add<cOstrich>({1, 7});
  const vek::u32 id = o->GetId();
  ASSERT_TRUE(RunUntil([&] { return o->GetState() == 3; }, 20 * kPerSecond));
  int steps = 0;
  ASSERT_TRUE(RunUntil([&] { return ++steps, o->GetState() == 7; }, 45 * kPerSecond));
  EXPECT_NEAR(steps / 30.0f, 40.0f, 0.1f);
  const vek::u32 before = CountEmitters();
  ASSERT_TRUE(RunUntil([&] { return !level->IsObjectValid(id); }, 2 * kPerSecond));
  EXPECT_GT(CountEmitters(), before);
  EXPECT_EQ(level->m_KindCounts[0], 0);
}

TEST_F(AnimalFieldTest, TwoAnimalsNeverShareGrassAndEatenGrassIsGone) {
  auto* a = Add<cOstrich>({1, 7});
  auto* b = Add<cOstrich>({2, 8});
  cPlant* grass = AddGrass({1, 5});
  const vek::u32 grassId = grass->GetId();
  world.Run(*level, 2);
  a->SetState(3);
  b->SetState(3);
  world.Run(*level, 1);
  ASSERT_NE(a->GetFood() != 0, b->GetFood() != 0) << "exactly one claims the only grass";
  cAnimal* eater = a->GetFood() ? static_cast<cAnimal*>(a) : b;
  cAnimal* other = eater == a ? static_cast<cAnimal*>(b) : a;
  EXPECT_EQ(grass->GetEater(), eater->GetId());
  // A second grass goes to the other animal, never to the first.
  cPlant* second = AddGrass({3, 9});
  world.Run(*level, 1);
  EXPECT_EQ(other->GetFood(), second->GetId());
  EXPECT_EQ(second->GetEater(), other->GetId());

  ASSERT_TRUE(RunUntil([&] { return eater->GetState() == 4; }, 10 * kPerSecond));
  world.Run(*level, 20);
  ASSERT_TRUE(level->IsObjectValid(grassId));
  EXPECT_LT(grass->GetGrowth(), 0.8f) << "the grass shrinks while eaten";
  ASSERT_TRUE(RunUntil([&] { return eater->GetState() == 1; }, 3 * kPerSecond));
  EXPECT_FALSE(level->IsObjectValid(grassId));
  EXPECT_EQ(eater->GetFood(), 0u);
  EXPECT_TRUE(eater->GetHungerTimer().IsRunning());
}

TEST_F(AnimalFieldTest, GrassOutsideThePenWaitsForThirtyPercentOfTheSearchUnlessTheFieldIsOpen) {
  for (bool open : {false, true}) {
    level->Clear();
    world.services.openField = open;
    auto* o = Add<cOstrich>({1, 7});
    AddGrass({6, 1});  // far outside the ostrich's pen
    world.Run(*level, 2);
    o->SetState(3);
    int steps = 0;
    ASSERT_TRUE(RunUntil([&] { return ++steps, o->GetFood() != 0; }, 20 * kPerSecond)) << open;
    if (open) EXPECT_LE(steps, 2);
    else EXPECT_NEAR(steps / 30.0f, 12.0f, 0.1f);
  }
}

TEST_F(AnimalFieldTest, CellsBetweenHolesAndOutsideThePenAreRefused) {
  auto* o = Add<cOstrich>({1, 7});
  for (cCell h : {cCell{0, 5}, cCell{2, 5}, cCell{3, 7}, cCell{3, 9}}) {
    auto* hole = new cHole(level.get());
    hole->SetCell(h);
  }
  const struct {
    cCell cell;
    bool open, free;
  } cases[] = {
      {{1, 5}, false, false},   // holes above and below
      {{3, 8}, false, false},   // holes left and right
      {{1, 6}, false, true},    // one hole below only in its column? none: free
      {{5, 5}, false, false},   // outside the pen
      {{5, 5}, true, true},     // an open field has no pen
      {{1, 5}, true, false},    // beds stay closed on an open field
      {{-1, 5}, true, false},   // outside the grid
      {{0, 10}, true, false},
  };
  for (const auto& c : cases) {
    world.services.openField = c.open;
    EXPECT_EQ(o->IsCellFree(c.cell), c.free) << c.cell.i << "," << c.cell.j << " open " << c.open;
  }
  world.services.openField = false;
  level->SetCellValue(2, 8, 0.0f);
  EXPECT_FALSE(o->IsCellFree({2, 8})) << "a blocked cell";
}

TEST_F(AnimalFieldTest, WanderingStaysInsideThePen) {
  auto* g = Add<cGoat>({6, 7});
  for (int i = 0; i < 60 * kPerSecond; ++i) {
    world.Run(*level, 1);
    if (g->GetState() == 3) g->SetState(1);  // no grass: keep it content
    const cCell c = g->GetCell();
    ASSERT_TRUE(g->IsInPen(c)) << c.i << "," << c.j << " at step " << i;
  }
}

// While a lesson waits for the player nothing on the field is lost: a hungry bird does not
// starve, an egg does not vanish, a goat waiting to be milked does not give up; each timer
// goes on from where it stood once the lesson lets go.
TEST_F(AnimalFieldTest, NothingIsLostWhileALessonHoldsTheField) {
  auto* hungry = Add<cOstrich>({1, 7});
  ASSERT_TRUE(RunUntil([&] { return hungry->GetState() == 3; }, 20 * kPerSecond));
  auto* goat = Add<cGoat>({6, 7});
  goat->SetQuickStart(true);
  ASSERT_TRUE(RunUntil([&] { return goat->GetState() == 9; }, 10 * kPerSecond));
  auto* egg = new cEgg(level.get(), {0, 5});
  const vek::u32 ids[] = {hungry->GetId(), goat->GetId(), egg->GetId()};
  world.services.fieldHeld = true;
  world.Run(*level, 180 * kPerSecond);
  for (vek::u32 id : ids) ASSERT_TRUE(level->IsObjectValid(id)) << id;
  EXPECT_EQ(hungry->GetState(), 3);
  EXPECT_EQ(goat->GetState(), 9);
  world.services.fieldHeld = false;
  EXPECT_TRUE(RunUntil([&] { return goat->GetState() != 9; }, 36 * kPerSecond)) << "the goat's wait runs on";
  EXPECT_TRUE(RunUntil([&] { return !level->IsObjectValid(ids[2]); }, 51 * kPerSecond)) << "the egg's life runs on";
  EXPECT_TRUE(!level->IsObjectValid(ids[0]) || hungry->GetState() != 3) << "the bird's search runs on";
}

TEST_F(AnimalFieldTest, GoatIgnoredForItsWholeWaitAsksAgainAfterItsNextIdle) {
  auto* g = Add<cGoat>({6, 7});
  g->SetQuickStart(true);  // hint 8 not shown: the first milk comes after 1 s
  ASSERT_TRUE(RunUntil([&] { return g->GetState() == 9; }, 10 * kPerSecond));
  int steps = 0;
  ASSERT_TRUE(RunUntil([&] { return ++steps, g->GetState() != 9; }, 40 * kPerSecond));
  EXPECT_EQ(g->GetState(), 1);
  EXPECT_NEAR(steps / 30.0f, 35.0f, 0.1f);
  ASSERT_TRUE(RunUntil([&] { return g->GetState() == 9; }, 15 * kPerSecond)) << "asks again after its idle";
}

TEST_F(AnimalFieldTest, BrokenOffMilkingNeverLeavesTheGoatInStateSix) {
  struct Case {
    const char* name;
    int waitBefore;   // steps the goat waited in state 9 before the gardener came
    bool needed;      // the mission still wants milk when the work breaks off
    int gardenerEnd;  // the gardener's state after the break (or -1: it finished and set the goat to 1)
    vek::i32 expect;
  } cases[] = {
      {"right click early", 30, true, 3, 9},
      {"full bin after the wait ran out", 34 * kPerSecond + 24, true, 3, 1},
      {"hint releases targets, milk no longer wanted", 30, false, 0, 1},
      {"milked", 30, true, -1, 1},
  };
  for (const Case& c : cases) {
    level->Clear();
    level->BuildFixedObjects();
    cObject* gardener = level->FindObject(level->GetGardenerId());
    auto* g = Add<cGoat>({6, 7});
    g->SetQuickStart(true);
    ASSERT_TRUE(RunUntil([&] { return g->GetState() == 9; }, 10 * kPerSecond)) << c.name;
    world.Run(*level, c.waitBefore);
    ASSERT_EQ(g->GetState(), 9) << c.name;
    const vek::f32 waited = g->GetStateTimer().current;
    gardener->SetState(22);
    g->SetState(6);
    world.Run(*level, 15);
    ASSERT_EQ(g->GetState(), 6) << c.name << ": held while the gardener milks";
    g->SetNeeded(c.needed);
    if (c.gardenerEnd < 0) g->SetState(1);
    else gardener->SetState(c.gardenerEnd);
    world.Run(*level, 1);
    EXPECT_EQ(g->GetState(), c.expect) << c.name;
    if (c.expect == 9) {
      EXPECT_NEAR(g->GetStateTimer().current, waited + 16.0f / 30.0f, 0.05f) << c.name << ": the wait goes on";
    }
    if (c.gardenerEnd < 0) {
      EXPECT_TRUE(g->GetProductTimer().IsRunning()) << "the next milk is on its way";
    }
  }
}

TEST_F(AnimalFieldTest, GoatHitTestOnlyWhileWaitingAndNotQueued) {
  level->BuildFixedObjects();
  auto* gardener = static_cast<vektest::RecordingGardener*>(level->FindObject(level->GetGardenerId()));
  auto* g = Add<cGoat>({6, 7});
  g->SetQuickStart(true);
  world.Run(*level, 2);
  const vek::rectf r = g->GetRect();
  const vek::vec2 inside{r.x + r.w * 0.5f, r.y + r.h * 0.5f};
  EXPECT_FALSE(g->HitTest(inside)) << "not waiting";
  ASSERT_TRUE(RunUntil([&] { return g->GetState() == 9; }, 10 * kPerSecond));
  const vek::rectf w = g->GetRect();
  const vek::f32 x0 = std::min(w.x, w.x + w.w), x1 = std::max(w.x, w.x + w.w);
  EXPECT_TRUE(g->HitTest({(x0 + x1) * 0.5f, w.y + w.h * 0.5f}));
  EXPECT_FALSE(g->HitTest({x0, w.y + w.h * 0.5f})) << "the edge is outside";
  gardener->AddTaskObject(g->GetId());
  EXPECT_FALSE(g->HitTest({(x0 + x1) * 0.5f, w.y + w.h * 0.5f})) << "already queued";
}

TEST_F(AnimalFieldTest, AnimalsCallOnlyWhileTheMissionWantsTheirProduct) {
  struct Case {
    vek::i32 ware, kind;
    bool calls;
  } cases[] = {{-1, -1, false}, {static_cast<vek::i32>(Ware("egg")), -1, true}, {-1, 0, true},
               {static_cast<vek::i32>(Ware("milk")), 1, false}};
  for (const Case& c : cases) {
    level->Clear();
    world.services.sounds.clear();
    world.services.tasks.clear();
    if (c.ware >= 0 || c.kind >= 0) {
      cMissionTask t;
      t.ware = c.ware >= 0 ? c.ware : 1000;
      t.kind = c.kind;
      t.count = 3;
      world.services.tasks.push_back(t);
    }
    Add<cOstrich>({1, 7});
    world.Run(*level, 55 * kPerSecond);
    const auto& s = world.services.sounds;
    EXPECT_EQ(!s.empty(), c.calls) << c.ware << " " << c.kind;
    EXPECT_TRUE(std::all_of(s.begin(), s.end(), [](vek::i32 id) { return id == 16 || id == 17; }));
  }
}

TEST_F(AnimalFieldTest, OstrichLaysAnEggThatVanishesAfterFiftySeconds) {
  auto* o = Add<cOstrich>({1, 7});
  o->SetQuickStart(true);
  world.services.shownHints.insert(6);  // the ostrich's hint was shown: only the product comes early
  ASSERT_TRUE(RunUntil([&] { return CountOfType(e_TypeEgg) == 1; }, 6 * kPerSecond));
  cObject* egg = level->FindObjectAt(kNoCell, e_TypeEgg);
  EXPECT_EQ(egg->GetWareId(), Ware("egg"));
  EXPECT_EQ(o->GetState(), 1);
  const cCell c = egg->GetCell();
  const vek::vec2 p = level->CellToPos(c.i, c.j);
  EXPECT_FLOAT_EQ(egg->GetPosition().y, p.y + level->GetCellSize().y * 0.5f - 16.0f);
  EXPECT_FLOAT_EQ(egg->GetDepth(), egg->GetPosition().y - 30.0f);
  const vek::u32 id = egg->GetId();
  world.Run(*level, 49 * kPerSecond);
  EXPECT_TRUE(level->IsObjectValid(id));
  world.Run(*level, 1 * kPerSecond + 2);
  EXPECT_FALSE(level->IsObjectValid(id));
}

TEST_F(AnimalFieldTest, OpenFieldProductsComeSooner) {
  for (bool open : {false, true}) {
    level->Clear();
    world.services.openField = open;
    auto* p = Add<cPeacock>({1, 1});
    world.Run(*level, 2);
    const vek::f32 scale = open ? 0.6f : 1.0f;
    EXPECT_GE(p->GetProductTimer().target, 16.0f * 0.95f * scale) << open;
    EXPECT_LE(p->GetProductTimer().target, 16.0f * 1.05f * scale) << open;
  }
}

TEST_F(AnimalFieldTest, AnimalsNoTaskNeedsNeitherHungerNorGive) {
  auto* o = Add<cOstrich>({1, 7});
  auto* g = Add<cGoat>({6, 7});
  world.Run(*level, 2);
  o->SetNeeded(false);
  g->SetNeeded(false);
  for (vek::i32 s : {3, 4, 6}) {
    o->SetState(s);
    EXPECT_EQ(o->GetState(), 1) << s;
  }
  g->SetState(5);
  g->SetState(9);
  EXPECT_EQ(g->GetState(), 5);
  // Its hunger comes due while unwanted; wanted again, it gets hungry at once.
  world.Run(*level, 20 * kPerSecond);
  EXPECT_EQ(o->GetState(), 1);
  EXPECT_FALSE(o->GetHungerTimer().IsRunning());
  o->SetNeeded(true);
  // The egg that came due first, then the hunger.
  ASSERT_TRUE(RunUntil([&] { return o->GetState() == 3; }, kPerSecond));
  EXPECT_EQ(CountOfType(e_TypeEgg), 1u);
}

TEST_F(AnimalFieldTest, PeacockRectSitsBehindItsTail) {
  auto* p = Add<cPeacock>({1, 1});
  world.Run(*level, 2);
  p->Walk(level->CellToPos(2, 2));  // right and up
  const vek::rectf base{std::trunc(p->GetPosition().x - p->GetWidth() * 0.5f), std::trunc(p->GetPosition().y),
                        p->GetWidth(), p->GetHeight()};
  const vek::rectf r = p->GetRect();
  EXPECT_FLOAT_EQ(r.x, base.x - 40.0f);
  EXPECT_FLOAT_EQ(r.y, base.y - 40.0f);
  EXPECT_LT(p->GetWidth(), 0.0f) << "flipped when walking right";
}

TEST_F(AnimalFieldTest, AnimalsComeBackFromTheLevelFileOnTheirCellsAndCounted) {
  level->BuildFixedObjects();
  Add<cOstrich>({2, 6});
  Add<cPeacock>({5, 1});
  Add<cGoat>({4, 8});
  new cEgg(level.get(), {0, 5});  // products are not stored
  vek::cBitStream stream;
  level->WriteLevel(stream);
  level->Clear();
  level->BuildFixedObjects();
  ASSERT_TRUE(level->ReadLevel(stream));
  EXPECT_EQ(level->FindObjectAt({2, 6}, e_TypeOstrich)->GetType(), e_TypeOstrich);
  EXPECT_EQ(level->FindObjectAt({5, 1}, e_TypePeacock)->GetType(), e_TypePeacock);
  EXPECT_EQ(level->FindObjectAt({4, 8}, e_TypeGoat)->GetType(), e_TypeGoat);
  EXPECT_EQ(CountOfType(e_TypeEgg), 0u);
  EXPECT_EQ(level->CountKind(cAnimal::e_KindOstrich), 1);
  EXPECT_EQ(level->CountKind(cAnimal::e_KindGoat), 1);
  EXPECT_EQ(level->CountKind(cAnimal::e_KindPeacock), 1);
  world.Run(*level, 2);
  EXPECT_EQ(level->FindObjectAt(kNoCell, e_TypeGoat)->GetState(), 1) << "a loaded animal starts content";
}

TEST_F(AnimalFieldTest, RingsShowTheSearchTheMilkWaitAndTheProductsLife) {
  vek::cQuadBatch batch;
  level->SetBatch(&batch);
  // The last quad drawn: {centre x, centre y, width, height}.
  auto last = [&] {
    const vek::cVertex2D* v = batch.GetVertices() + batch.GetVertexCount() - vek::kQuadVertices;
    vek::f32 x0 = v[0].x, x1 = v[0].x, y0 = v[0].y, y1 = v[0].y;
    for (vek::u32 i = 1; i < vek::kQuadVertices; ++i) {
      x0 = std::min(x0, v[i].x), x1 = std::max(x1, v[i].x);
      y0 = std::min(y0, v[i].y), y1 = std::max(y1, v[i].y);
    }
    return vek::rectf{(x0 + x1) * 0.5f, (y0 + y1) * 0.5f, x1 - x0, y1 - y0};
  };
  auto centre = [](const vek::rectf& r) { return vek::vec2{r.x + r.w * 0.5f, r.y + r.h * 0.5f}; };
  auto* o = Add<cOstrich>({1, 7});
  auto* g = Add<cGoat>({6, 7});
  g->SetQuickStart(true);
  world.Run(*level, 2);
  batch.Clear();
  o->Draw();
  EXPECT_EQ(batch.GetVertexCount(), vek::kQuadVertices) << "content: the sprite alone";

  o->SetState(3);
  world.Run(*level, 1);
  batch.Clear();
  o->Draw();
  EXPECT_GT(batch.GetVertexCount(), 2 * vek::kQuadVertices);
  const vek::rectf icon = last();
  EXPECT_FLOAT_EQ(icon.w, 32.0f) << "the grass icon over the ring";
  EXPECT_NEAR(icon.x, centre(o->GetRect()).x, 0.01f);

  ASSERT_TRUE(RunUntil([&] { return g->GetState() == 9; }, 10 * kPerSecond));
  batch.Clear();
  g->Draw();
  EXPECT_GT(batch.GetVertexCount(), 2 * vek::kQuadVertices);
  EXPECT_NEAR(last().y, centre(g->GetRect()).y, 0.01f) << "the bin icon over the ring";

  auto* egg = new cEgg(level.get(), {0, 0});
  batch.Clear();
  egg->Draw();
  EXPECT_GT(batch.GetVertexCount(), vek::kQuadVertices);
  EXPECT_FLOAT_EQ(last().w, 32.0f) << "the egg over its ring";
  level->SetBatch(nullptr);
}

}  // namespace

