// Restarts the scene's random sequence from seed; seed 1 gives the sequence a
// fresh Windows process has, unseeded.
#pragma once

void SeedSceneRandom(unsigned int seed);
