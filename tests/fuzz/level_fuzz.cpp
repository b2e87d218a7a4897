// Reads arbitrary bytes as the field's level file. A file the reader accepts is written again
// and must read back into the same objects; a refused one must leave the field as a level
// without a file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/core/bitstream.h"
#include "game/app/garden_services.h"
#include "game/world/level.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Saves of both plant record layouts.
class VersionServices : public cNullGardenServices {
 public:
  vek::f32 GetSaveVersion() override { return version; }
  vek::f32 version = 1.0f;
};

// A plant with its class's record: ware id, (an old save's extra value,) growth, the cell.
class FuzzPlant : public cObject {
 public:
  explicit FuzzPlant(cLevel* level) : cObject(level) {}
  vek::u32 GetType() const override { return e_TypePlant; }
  bool Read(vek::cBitStream& s) override {
    ware = s.ReadInt();
    if (GardenServices()->GetSaveVersion() <= 0.4f) s.ReadInt();
    growth = s.ReadFloat();
    return cObject::Read(s);
  }
  bool Write(vek::cBitStream& s) const override {
    s.WriteInt(ware);
    s.WriteFloat(growth);
    return cObject::Write(s);
  }
  vek::u32 ware = 0;
  vek::f32 growth = 0.0f;
};

std::vector<vek::u32> Types(cLevel& level) {
  std::vector<vek::u32> out;
  for (cObject* o : level.GetRegistry()) out.push_back(o->GetType());
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static VersionServices services;
  static cLevel* level = [] {
    SetGardenServices(&services);
    cLevel::SetMaker(e_KindPlant, [](cLevel* l) -> cObject* { return new FuzzPlant(l); });
    return new cLevel();
  }();
  services.version = size > 0 && (data[0] & 1) ? 0.4f : 1.0f;

  level->Clear();
  level->BuildFixedObjects();
  vek::cBitStream in;
  in.SetData(data, static_cast<vek::u32>(size));
  if (!level->ReadLevel(in)) return 0;
  Check(level->GetRegistry().Size() <= 9 + 5 * 2 * static_cast<size_t>(cLevel::kMaxRecords));

  vek::cBitStream out;
  level->WriteLevel(out);
  const std::vector<vek::u32> before = Types(*level);
  level->Clear();
  level->BuildFixedObjects();
  services.version = 1.0f;
  vek::cBitStream again;
  again.SetData(out.GetBytes().data(), out.GetByteCount());
  Check(level->ReadLevel(again));
  Check(Types(*level) == before);
  return 0;
}
