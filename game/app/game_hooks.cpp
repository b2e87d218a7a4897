#include "game/app/game_hooks.h"

#include <map>
#include <vector>

namespace {

std::map<eLoadingStep, std::vector<LoadingStepFn>>& LoadingSteps() {
  static std::map<eLoadingStep, std::vector<LoadingStepFn>> steps;
  return steps;
}

std::vector<ShutdownStepFn>& ShutdownSteps() {
  static std::vector<ShutdownStepFn> steps;
  return steps;
}

WindowFunctionFactory g_Factory = nullptr;

}  // namespace

void AddLoadingStep(eLoadingStep step, LoadingStepFn fn) {
  if (fn) LoadingSteps()[step].push_back(fn);
}

void RunLoadingSteps(eLoadingStep step, cGarden& garden) {
  const std::vector<LoadingStepFn> steps = LoadingSteps()[step];
  for (LoadingStepFn fn : steps) fn(garden);
}

void AddShutdownStep(ShutdownStepFn fn) {
  if (fn) ShutdownSteps().push_back(fn);
}

void RunShutdownSteps(cGarden& garden) {
  const std::vector<ShutdownStepFn> steps = ShutdownSteps();
  for (ShutdownStepFn fn : steps) fn(garden);
}

void SetWindowFunctionFactory(WindowFunctionFactory factory) { g_Factory = factory; }
WindowFunctionFactory GetWindowFunctionFactory() { return g_Factory; }

void ClearGameHooks() {
  LoadingSteps().clear();
  ShutdownSteps().clear();
  g_Factory = nullptr;
}
