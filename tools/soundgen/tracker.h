#pragma once
// The module composer: a music recipe of instruments, phrases, patterns and an order list
// (see assets/sounds/music_*.txt) turned into a four-channel ProTracker module.
//
//   file <name.mod>            title <text>            speed <ticks a row>   tempo <bpm>
//   instrument <name> <kind> <volume 0..64>
//       kinds: flute, organ, pluck, bell, bass, major, minor (chord pads), kick, snare, hat,
//       shaker (drums, played at C-3)
//   drum <letter> <instrument>
//   phrase <name> <tokens>
//   pattern <name>, then four channel lines of 64 rows each:
//     lead <instrument> <tokens>       notes: E-3*4 (note, rows), .*4 rest, =*4 hold
//     chord <major>/<minor> <tokens>   chords: C*16, Am*8, F#*4, Bbm*4
//     bass <instrument> <tokens>
//     drums <tokens>                   drum letters: K*2, H*1!20
//   order <pattern names>
// Suffixes of a note: !NN volume, ~ vibrato, > fading, &XY arpeggio (hex). @name inserts a
// phrase, @name:N inserts it N times.
#include <string>

namespace soundgen {

struct ComposedModule {
  std::string file;
  std::string bytes;
};

// False with "<line>: <what>" in `error` on the first fault.
bool ComposeModule(const std::string& recipe, ComposedModule& out, std::string& error);

}  // namespace soundgen
