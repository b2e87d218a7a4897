#pragma once
// The steps the play folder adds to the game's start and end.

// The play field, its effect lists and the holes layouts at the end of loading, the field's
// "level.dat" in every save, and the game's own link again at the end. Once, before the game
// object is made.
void InstallGardenWorld();

// The whole game put together: the script classes of every folder, the field's figures, the
// comics, field and island at the end of loading, the windows. Once, before the game object
// is made (after ClearGameBindings and ClearGameHooks when a test installs it again).
void InstallGame();
