// Script bindings of the sound manager and the sound functions.
#include <luabind/luabind.hpp>
#include <luabind/out_value_policy.hpp>

#include "engine/files/data_manager.h"
#include "engine/sound/sound_bindings.h"
#include "engine/sound/sound_manager.h"

namespace vek::bindings {

namespace {

// "sound"(effects volume, music volume): both global volumes at once.
bool SetSoundVolumes(float effects, float music) {
  if (cSoundManager* sm = GetSound()) {
    sm->SetVolume(cSoundManager::e_Sound, effects);
    sm->SetVolume(cSoundManager::e_Music, music);
  }
  return true;
}

// "luaSaveWAV"(source, destination, mono): the destination's tokens are expanded, the source
// goes to the audio library as it is.
bool SaveWav(const char* source, const char* destination, bool mono) {
  if (!source || !destination) return false;
  return cDataManager::WriteWAV(source, filename(destination), mono) == cDataManager::Ok;
}

// ok, distance, roll-off, Doppler = GetSound():GetSettings3D()
bool Settings3D(const cSoundManager& sm, float& distance, float& rollOff, float& doppler) {
  return sm.Get3DSettings(&distance, &rollOff, &doppler);
}

template <int Value>
int KindConstant(const cSoundManager&) {
  return Value;
}

}  // namespace

luabind::scope SoundFunctions() {
  using luabind::def;
  return (def("sound", &SetSoundVolumes),
          def("luaSaveWAV", &SaveWav),
          def("GetSound", &GetSound));
}

luabind::scope SoundManagerClass() {
  using luabind::pure_out_value;
  using luabind::value;
  return luabind::class_<cSoundManager>("cSoundManager")
      .enum_("eStream")[(value("e_All", cSoundManager::e_All),
                         value("e_Sound", cSoundManager::e_Sound),
                         value("e_Music", cSoundManager::e_Music))]
      .property("e_All", &KindConstant<cSoundManager::e_All>)
      .property("e_Sound", &KindConstant<cSoundManager::e_Sound>)
      .property("e_Music", &KindConstant<cSoundManager::e_Music>)
      .def("GetVolume", &cSoundManager::GetVolume)
      .def("SetVolume", &cSoundManager::SetVolume)
      .def("Dump", &cSoundManager::Dump)
      .def("GetSettings3D", &Settings3D, pure_out_value(_2) + pure_out_value(_3) + pure_out_value(_4))
      .def("SetSettings3D", &cSoundManager::Set3DSettings);
}

}  // namespace vek::bindings
