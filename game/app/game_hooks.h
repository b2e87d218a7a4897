#pragma once
// The steps of the game's start and end that belong to the folders above the application
// (world, island, windows). The program's entry adds them before start-up; the application
// calls them at fixed points, in the order they were added, and never includes those folders.
#include "engine/core/types.h"

namespace vek {
class cWindowFunction;
}
class cGarden;

// Points of the end of loading.
enum class eLoadingStep {
  Tables,   // after the sound table: particle textures, ware table, building table
  Widgets,  // comics, play field, island, floating texts
  Windows,  // before the game windows are made: windows made here are kept, the rest follow
  Layouts,  // after the game windows: the holes layouts
};
using LoadingStepFn = void (*)(cGarden& garden);
void AddLoadingStep(eLoadingStep step, LoadingStepFn fn);
void RunLoadingSteps(eLoadingStep step, cGarden& garden);

// Runs at the start of the application's destruction, after its window functions were let go.
using ShutdownStepFn = void (*)(cGarden& garden);
void AddShutdownStep(ShutdownStepFn fn);
void RunShutdownSteps(cGarden& garden);

// Makes the window function of a game window by the window's name; null (or no factory)
// gives the window the engine's plain window function.
using WindowFunctionFactory = vek::cWindowFunction* (*)(const vek::string& windowName);
void SetWindowFunctionFactory(WindowFunctionFactory factory);
WindowFunctionFactory GetWindowFunctionFactory();

// Forgets every step and the factory (for tests).
void ClearGameHooks();
