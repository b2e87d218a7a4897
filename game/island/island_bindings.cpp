// Script class of the island widget. Its base "vek::cWidget" is the application's; the
// buildings are registered first, since the island's methods hand them out.
#include "game/island/island_bindings.h"

#include <luabind/detail/class_registry.hpp>

#include "engine/core/log.h"
#include "engine/script/script_bind.h"
#include "game/island/island.h"

namespace {

luabind::scope IslandClass() {
  using luabind::class_;
  return class_<cIsland, vek::cWidget>("cIsland")
      .def("Show", &cIsland::Show)
      .def("GetMode", &cIsland::GetMode)
      .def("ScrollTo", &cIsland::ScrollTo)
      .def("IsHouseBuilt", &cIsland::IsHouseBuilt)
      .def("SumHouseValues", &cIsland::SumHouseValues)
      .def("GetMaxHouseValue", &cIsland::GetMaxHouseValue)
      .def("FindHouse", &cIsland::FindHouse)
      .def("FindFactoryByInput", &cIsland::FindFactoryByInput)
      .def("FindFactoryByOutput", &cIsland::FindFactoryByOutput)
      .def("FindHouseAtPlace", &cIsland::FindHouseAtPlace)
      .def("GetBuildingCount", +[](const cIsland& island) { return static_cast<int>(island.GetBuildings().size()); })
      .def("GetBuilding", +[](const cIsland& island, int index) -> cBuild* {
        if (index < 0) return nullptr;
        for (const auto& b : island.GetBuildings())
          if (index-- == 0) return b.get();
        return nullptr;
      })
      .def("BeginPlacement", &cIsland::BeginPlacement)
      .def("CancelPlacement", &cIsland::CancelPlacement)
      .def("GetPlacingState", &cIsland::GetPlacingState)
      .def("AddPeople", &cIsland::AddPeople)
      .def("UpdateHouses", &cIsland::UpdateHouses);
}

}  // namespace

void RegisterGameIsland(lua_State* L) {
  luabind::detail::class_registry* registry = luabind::detail::class_registry::get_registry(L);
  if (!registry || !registry->find_class(luabind::type_id(typeid(vek::cWidget)))) {
    vek::LogWarning("RegisterGameIsland", "vek::cWidget is not registered: the island needs its base first\n");
    return;
  }
  luabind::module(L)[(island_bindings::BuildingClasses(), IslandClass())];
}
