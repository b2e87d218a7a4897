// Reads arbitrary bytes as a player's island file: the records kept must be houses and
// factories, and survive writing and reading back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/core/bitstream.h"
#include "game/island/island_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vek::cBitStream in;
  in.SetData(data, static_cast<vek::u32>(size));
  std::vector<cIslandStateRecord> records;
  const eIslandFileRead result = ReadIslandStates(in, records);
  if (result == eIslandFileRead::Damaged && !records.empty()) std::abort();
  for (const cIslandStateRecord& r : records)
    if (r.kind != kIslandKindHouse && r.kind != kIslandKindFactory) std::abort();

  vek::cBitStream out;
  WriteIslandStates(out, records);
  vek::cBitStream again;
  again.SetData(out.GetBytes().data(), out.GetByteCount());
  std::vector<cIslandStateRecord> back;
  if (ReadIslandStates(again, back) != eIslandFileRead::Ok) std::abort();
  if (back != records) std::abort();
  return 0;
}
