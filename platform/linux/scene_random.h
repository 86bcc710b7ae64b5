// Restarts the scene's random sequence, as a fresh process has it with seed 1.
#pragma once

void SeedSceneRandom(unsigned int seed);
