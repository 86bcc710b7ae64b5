#include "linux/scene_session.h"
#include "linux/frame_rate.h"
#include "linux/glx_window.h"
#include "linux/stop_signals.h"
#include "platform/linux/messages.h"
#include "platform/linux/scene_random.h"
#include "scene/scene.h"

#include <string>
#include <unistd.h>

namespace {

// A different show at every start: two programs started at the same moment (one
// per screen) differ by their process ids.
unsigned int SeedFromClock()
{
    const uint64_t now = uint64_t(MonotonicNow());
    return unsigned(now ^ (now >> 32)) ^ (unsigned(getpid()) * 2654435761u);
}

void FreeSceneObjects()
{
    GLuint *const textures[] = {&TexNebula, &TexEarth, &TexMoon, &TexNimbra, &TexClouds};
    for (GLuint *texture : textures) {
        glDeleteTextures(1, texture);
        *texture = 0;
    }
    if (SphereQuadric) gluDeleteQuadric(SphereQuadric);
    SphereQuadric = nullptr;
}

bool FailScene(const std::string &text)
{
    CloseGlxWindow();
    PrintMessage(text.c_str());
    return false;
}

} // namespace

bool OpenScene(const SaverOptions &options, int *width, int *height)
{
    SeedSceneRandom(options.seedGiven ? options.seed : SeedFromClock());
    if (!OpenGlxWindow(options, width, height))
        return false;
    // Loaded once: the Windows program's second load only replaces the first set.
    if (!LoadSceneTextures())
        return FailScene(std::string(LastTexturePath()) + ": Could not find necessary texture.");
    SetUpScene();
    if (!SphereQuadric)
        return FailScene("Initialization Failed.");
    if (options.showFrameRate) OpenFrameRateText();
    return true;
}

void CloseScene()
{
    CloseFrameRateText();
    FreeSceneObjects();
    CloseGlxWindow();
}
