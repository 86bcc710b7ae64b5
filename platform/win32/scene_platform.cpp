// The scene's seam on Windows: SwapBuffers on the context's device context, the C
// runtime's own rand, and the fixed data directory.
#include "platform/scene_platform.h"
#include "nimbra_gl.h"

#include <cstdlib>

void SwapSceneBuffers()
{
    SwapBuffers(wglGetCurrentDC());
}

int SceneRandom()
{
    return std::rand();
}

const char *TextureFolder()
{
    return "C:/windows/NimbraData/";
}
