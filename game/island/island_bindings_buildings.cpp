// Script classes of the island's buildings: what the windows read (name, category, state,
// price, value, a factory's stock and wares) and the factory's run buttons.
#include "engine/script/script_bind.h"
#include "game/island/buildings.h"
#include "game/island/island_bindings.h"

luabind::scope island_bindings::BuildingClasses() {
  using luabind::class_;
  return (class_<cBuild>("cBuild")
              .def("GetName", &cBuild::GetName)
              .def("GetType", &cBuild::GetType)
              .def("GetCategory", &cBuild::GetCategory)
              .def("GetState", &cBuild::GetState)
              .def("GetNumber", &cBuild::GetNumber)
              .def("IsAvailable", &cBuild::IsAvailable)
              .def("Contains", &cBuild::Contains),
          class_<cDecor, cBuild>("cDecor")
              .def("AddSprite", &cDecor::AddSprite)
              .def("SetSprite", static_cast<bool (cDecor::*)(vek::u32)>(&cDecor::SetSprite)),
          class_<cHouse, cDecor>("cHouse")
              .def("GetPrice", &cHouse::GetPrice)
              .def("GetValue", &cHouse::GetValue)
              .def("GetDisplayName", &cHouse::GetDisplayName)
              .def("GetStageFrame", &cHouse::GetStageFrame),
          class_<cFactory, cHouse>("cFactory")
              .def("GetInput", &cFactory::GetInput)
              .def("GetOutput", &cFactory::GetOutput)
              .def("GetStock", &cFactory::GetStock)
              .def("GetWorkTime", &cFactory::GetWorkTime)
              .def("GetProgress", +[](const cFactory& f) {
                const vek::cAnimatedFloat& t = f.GetWorkTimer();
                return t.duration > 0.0f ? t.elapsed / t.duration : 0.0f;
              })
              .def("Activate", &cFactory::Activate)
              .def("Deactivate", &cFactory::Deactivate));
}
