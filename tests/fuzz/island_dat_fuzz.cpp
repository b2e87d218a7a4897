// Reads arbitrary bytes as the island's static building list. Whatever is accepted (all of
// it, or the records before a wrong kind) must hold only house and factory records and
// survive writing and reading back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/core/bitstream.h"
#include "game/island/island_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vek::cBitStream in;
  in.SetData(data, static_cast<vek::u32>(size));
  std::vector<cIslandBuildingRecord> records;
  const eIslandFileRead result = ReadIslandBuildings(in, records);
  if (result == eIslandFileRead::Damaged && !records.empty()) std::abort();
  for (const cIslandBuildingRecord& r : records)
    if (r.kind != kIslandKindHouse && r.kind != kIslandKindFactory) std::abort();

  vek::cBitStream out;
  WriteIslandBuildings(out, records);
  vek::cBitStream again;
  again.SetData(out.GetBytes().data(), out.GetByteCount());
  std::vector<cIslandBuildingRecord> back;
  if (ReadIslandBuildings(again, back) != eIslandFileRead::Ok) std::abort();
  vek::cBitStream out2;
  WriteIslandBuildings(out2, back);
  if (out.GetBytes() != out2.GetBytes()) std::abort();
  return 0;
}
