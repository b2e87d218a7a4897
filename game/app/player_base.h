#pragma once
// A player profile as the application base sees it: read and written by itself, named, and
// able to load and save its game. The game's profile class derives from it.
#include "engine/core/types.h"

class cPlayerBase {
 public:
  virtual ~cPlayerBase() = default;
  // Reads the profile file; false when it could not be read (the profile keeps its values).
  virtual bool Load() = 0;
  // Writes the profile file.
  virtual bool Save() = 0;
  // Loads the main saved game.
  virtual bool LoadMain() = 0;
  // Saves the main game when the game may be saved now.
  virtual bool SaveMain() = 0;
  // Deletes the profile's folder with everything in it.
  virtual void Delete() = 0;
  virtual vek::string& GetName() = 0;
  virtual vek::string GetNameCopy() const = 0;
};
