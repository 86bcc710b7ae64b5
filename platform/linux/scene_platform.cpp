// The scene's seam on Linux: the GLX buffer swap, the Windows runtime's random
// generator (seeded with 1, the backdrop and the particles are the Windows
// program's), and the texture folder.
#include "platform/scene_platform.h"
#include "platform/linux/scene_random.h"
#include "platform/linux/texture_folder.h"

#include <GL/glx.h>

namespace {

// The Windows C runtime's generator: multiplier 214013, increment 2531011, results
// bits 16 to 30 of its state, which starts at 1 when the program never seeds it.
unsigned int randomState = 1;

} // namespace

void SwapSceneBuffers()
{
    glXSwapBuffers(glXGetCurrentDisplay(), glXGetCurrentDrawable());
}

int SceneRandom()
{
    randomState = randomState * 214013u + 2531011u;
    return int((randomState >> 16) & 0x7FFF);
}

void SeedSceneRandom(unsigned int seed)
{
    randomState = seed;
}

const char *TextureFolder()
{
    return FindTextureFolder();
}
