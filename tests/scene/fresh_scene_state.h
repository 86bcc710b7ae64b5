// Lets the cases of one program each start from the scene's process-wide state
// and the C runtime's random numbers as a fresh process has them.
#pragma once

// Puts every scene variable back to its value at process start (freeing a quadric
// an earlier case made) and reseeds the runtime generator with 1, which gives the
// same numbers as an unseeded one.
void RestoreFreshSceneState();
