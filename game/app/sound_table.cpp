// The game's sound table: its sound ids by sample-buffer name, filled when loading completes,
// and playing a sound by id.
#include "engine/core/log.h"
#include "engine/sound/sound.h"
#include "engine/sound/sound_manager.h"
#include "game/app/garden.h"

namespace {

const char* const kSoundNames[31] = {
    "market_sold",    "goal_done",     "level_success",  "seed",          "water",        "weed",
    "harvest",        "tool_take",     "water_repair",   "stock_open",    "stock_out",    "take_seed",
    "new_sort",       "area_click",    "goat_hungry",    "goat_idle",     "ostrich_hungry", "ostrich_idle",
    "peacock_hungry", "peacock_idle",  "goat_milk",      "hive_open",     "put_car",      "salute",
    "factory_work",   "money_inc",     "good",           "ship_beep",     "construction", "bee",
    "hint"};

}  // namespace

void cGarden::ParseResources() {
  m_SoundTable.assign(31, 0);
  vek::cSoundManager* sound = vek::GetSound();
  if (sound) {
    const auto& buffers = sound->GetSoundBuffers();
    for (vek::u32 i = 0; i < buffers.Count(); ++i) {
      const vek::cSoundManager::cSoundBuffer* b = buffers.Get(i);
      if (!b || b == buffers.Get(0)) continue;
      bool known = false;
      for (int id = 0; id < 31; ++id) {
        if (b->name == kSoundNames[id]) {
          m_SoundTable[static_cast<size_t>(id)] = static_cast<vek::i32>(i);
          known = true;
        }
      }
      if (!known && b->name != "click" && b->name != "typing" && b->name != "mouse_in")
        vek::LogWarning("cGarden", "ParseResources: unusable sound found: %s\n", b->name);
    }
  }
  for (int id = 0; id < 31; ++id)
    if (m_SoundTable[static_cast<size_t>(id)] == 0) vek::LogWarning("cGarden", "ParseResources: sound not loaded: %i\n", id);
}

void cGarden::PlaySound(vek::i32 id) {
  const auto index = static_cast<vek::u32>(id);
  if (index >= m_SoundTable.size() || m_SoundTable[index] == 0) return;
  vek::cSound sound;
  sound.Init(static_cast<vek::u32>(m_SoundTable[index]));
  sound.Play(false);
}
