// The seam between the scene and the platform it runs on. scene/ and image/ call
// only these, and each platform folder (win32/, linux/) implements them once,
// beside its own GL window and context.
#pragma once

// Shows the back buffer of the current GL context's window.
void SwapSceneBuffers();

// The C runtime's random numbers as the Windows program has them: 0 to 32767,
// the same sequence from every start (the Windows runtime's unseeded rand).
int SceneRandom();

// The folder of the five texture files, with a trailing slash.
const char *TextureFolder();
