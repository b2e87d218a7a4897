#include "game/world/balance.h"

#include <cmath>

#include "engine/core/log.h"
#include "game/app/garden_services.h"
#include "game/world/ware_manager.h"

cBalance::cBalance()
    : waterVolume{3, 4, 5, 6},
      binVolume{3, 4, 5, 6},
      gardenerSpeed{280.0f, 310.0f, 340.0f, 370.0f},
      wateringTime{1.1f, 0.8f, 0.6f, 0.4f},
      weedingTime{1.1f, 0.8f, 0.6f, 0.4f},
      binTime{0.9f, 0.7f, 0.5f, 0.4f} {}

namespace {

struct cSortRow {
  const char* name;
  const char* text;
  vek::i32 price;
  vek::i32 water, weed;
  vek::f32 growth;
};
struct cWareRow {
  const char* name;
  const char* text;
  vek::i32 price;
};

constexpr cSortRow kPlants[] = {
    {"plant00", "Tomato", 5, 0, 2, 3.0f},     {"plant01", "Olive", 10, 3, 3, 4.5f},
    {"plant02", "Orange", 15, 3, 4, 6.0f},    {"plant03", "Banana", 20, 3, 3, 7.5f},
    {"plant04", "Wheat", 25, 2, 4, 6.5f},     {"plant05", "Corn", 30, 2, 3, 7.5f},
    {"plant06", "Grape", 35, 4, 3, 8.0f},     {"plant07", "Pineapple", 40, 4, 4, 8.5f},
};
constexpr cWareRow kProducts[] = {
    {"product00", "OliveOil", 15},   {"product01", "OrangeJuice", 20}, {"product02", "Flour", 30},
    {"product03", "GrapeJuice", 40}, {"product01_1", "Lemonade", 30},  {"product02_1", "Bread", 50},
    {"product03_1", "Wine", 70},
};
constexpr cSortRow kCover[] = {
    {"flowers", "Flowers", 50, 2, 0, 3.0f},
    {"grass", "Grass", 20, 0, 0, 3.0f},
};
constexpr cWareRow kAnimalProducts[] = {
    {"egg", "Egg", 50}, {"milk", "Milk", 70}, {"honey", "Honey", 50}, {"nib", "Nib", 60}};

void MakeSort(const cSortRow& row, bool keepDefaultGrowth) {
  auto* sort = new cSort(row.name, GardenServices()->GetText(row.text));
  if (row.water != 0) sort->m_NeedPeriods[0] = row.water;
  if (row.weed != 0) sort->m_NeedPeriods[1] = row.weed;
  if (!keepDefaultGrowth) sort->m_GrowthTime = row.growth;
  sort->SetPrice(row.price);
}

}  // namespace

void BuildProductTable() {
  if (!g_pWareManager) {
    vek::LogWarning("BuildProductTable", "No ware manager: no wares made\n");
    return;
  }
  for (const cSortRow& row : kPlants) MakeSort(row, false);
  for (const cWareRow& row : kProducts) (new cProduct(row.name, GardenServices()->GetText(row.text)))->SetPrice(row.price);
  for (const cSortRow& row : kCover) MakeSort(row, true);
  for (const cWareRow& row : kAnimalProducts) (new cWare(row.name, GardenServices()->GetText(row.text)))->SetPrice(row.price);
}

void MatrixRotationZ(vek::f32 out[16], vek::f32 angle) {
  const vek::f32 c = std::cos(angle), s = std::sin(angle);
  const vek::f32 m[16] = {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  for (int i = 0; i < 16; ++i) out[i] = m[i];
}

vek::vec3 Vec3TransformCoord(const vek::vec3& v, const vek::f32 m[16]) {
  return {m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12], m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13],
          m[2] * v.x + m[6] * v.y + m[10] * v.z + m[14]};
}

const cBalance& GameBalance() {
  static const cBalance defaults;
  const cBalance* b = GardenServices()->GetBalance();
  return b ? *b : defaults;
}
