// The seam between the scene and the platform it runs on. Each platform folder
// (win32/, linux/) implements these once, and gives the scene and the loader their
// GL headers (nimbra_gl.h) and the Windows types and bitmap records
// (nimbra_types.h). The programs' windows and contexts live with the programs:
// app/ on Windows, linux/ on Linux.
#pragma once

// Shows the back buffer of the current GL context's window.
void SwapSceneBuffers();

// The C runtime's random numbers as the Windows program has them: 0 to 32767,
// the same sequence from every start (the Windows runtime's unseeded rand).
int SceneRandom();

// The folder of the five texture files, with a trailing slash.
const char *TextureFolder();
