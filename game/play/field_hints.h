#pragma once
// What the play field tells the training hints: whether a hint's moment has come on the field,
// and whether a step is shown, closes the hint or is passed over.
class cLevel;
class iGardenServices;

// Hints 1 (a plant wants water), 5 (an ostrich looks for food), 6 (an egg), 8 (milk),
// 10 (honey) and 11 (a better seed on level 5); false for any other.
bool FieldHintSituation(cLevel& level, iGardenServices& services, int hint);
// 0: show the step, 1: close the hint, 2: pass over the step. The first lesson's bin step
// (hint 0, step 6) empties the bin before it shows.
int FieldHintStep(cLevel& level, iGardenServices& services, int hint, int step);
