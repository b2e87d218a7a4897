// soundgen: writes the data set's sound effects (WAV) and music (ProTracker modules) from the
// text recipes in assets/sounds.
//   soundgen <effects recipe> <music recipe>... <output folder>
#include <iostream>
#include <string>
#include <vector>

#include "tools/soundgen/recipe_text.h"
#include "tools/soundgen/sound_writer.h"
#include "tools/soundgen/synth.h"
#include "tools/soundgen/tracker.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: soundgen <effects recipe> <music recipe>... <output folder>\n";
    return 2;
  }
  const std::string outDir = argv[argc - 1];
  std::string text, error;
  if (!soundgen::ReadFile(argv[1], text)) {
    std::cerr << "soundgen: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::vector<soundgen::EffectRecipe> effects;
  if (!soundgen::ParseEffects(text, effects, error)) {
    std::cerr << argv[1] << ":" << error << "\n";
    return 1;
  }
  for (const soundgen::EffectRecipe& e : effects) {
    const std::string path = outDir + "/" + e.name + ".wav";
    if (!soundgen::WriteFile(path, soundgen::WavBytes(soundgen::kEffectRate, 1, soundgen::RenderEffect(e)))) {
      std::cerr << "soundgen: cannot write " << path << "\n";
      return 1;
    }
  }
  for (int i = 2; i < argc - 1; ++i) {
    soundgen::ComposedModule module;
    if (!soundgen::ReadFile(argv[i], text)) {
      std::cerr << "soundgen: cannot read " << argv[i] << "\n";
      return 1;
    }
    if (!soundgen::ComposeModule(text, module, error)) {
      std::cerr << argv[i] << ":" << error << "\n";
      return 1;
    }
    if (!soundgen::WriteFile(outDir + "/" + module.file, module.bytes)) {
      std::cerr << "soundgen: cannot write " << outDir << "/" << module.file << "\n";
      return 1;
    }
  }
  return 0;
}
