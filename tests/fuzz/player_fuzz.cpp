// Reads arbitrary bytes as a profile's player.dat and save.dat (the first byte chooses the
// version of the profile for save.dat and the split between the two files). A file that is
// taken must write back and read back to the same bytes; one that is refused must leave the
// profile as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/core/bitstream.h"
#include "game/app/player.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

std::string Bytes(const vek::cBitStream& s) {
  return std::string(s.GetBytes().begin(), s.GetBytes().begin() + s.GetByteCount());
}

vek::cBitStream Stream(const std::uint8_t* data, std::size_t size) {
  vek::cBitStream s;
  s.SetData(data, static_cast<vek::u32>(size));
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const float versions[] = {0.6f, 0.7f, 0.8f, 0.9f};
  const float version = versions[data[0] & 3];
  const int slot = (data[0] & 4) ? 3 : -1;
  std::size_t split = data[1] % (size - 1);
  data += 2;
  size -= 2;
  if (split > size) split = size;

  cPlayer player("plr000");
  const std::string profileBefore = Bytes(player.BuildProfile());
  vek::cBitStream profile = Stream(data, split);
  if (player.ParseProfile(profile, "player.dat")) {
    // What was taken writes back in the newest format and reads back the same.
    const std::string written = Bytes(player.BuildProfile());
    cPlayer again("plr000");
    vek::cBitStream in = Stream(reinterpret_cast<const std::uint8_t*>(written.data()), written.size());
    Check(again.ParseProfile(in, "player.dat"));
    Check(Bytes(again.BuildProfile()) == written);
  } else {
    Check(Bytes(player.BuildProfile()) == profileBefore);
  }

  cPlayer game("plr000");
  game.version = version;
  const std::string gameBefore = Bytes(game.BuildGame(slot));
  vek::cBitStream save = Stream(data + split, size - split);
  if (game.ParseGame(save, slot, "save.dat")) {
    game.version = cPlayer::kVersion;
    const std::string written = Bytes(game.BuildGame(slot));
    cPlayer again("plr000");
    vek::cBitStream in = Stream(reinterpret_cast<const std::uint8_t*>(written.data()), written.size());
    Check(again.ParseGame(in, slot, "save.dat"));
    Check(Bytes(again.BuildGame(slot)) == written);
  } else {
    Check(Bytes(game.BuildGame(slot)) == gameBefore);
  }
  return 0;
}
