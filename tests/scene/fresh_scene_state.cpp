#include "scene/fresh_scene_state.h"
#include "scene/scene.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Region {
    void *at;
    size_t size;
};

template <typename T> Region Of(T &variable) { return {&variable, sizeof variable}; }

const Region sceneVariables[] = {
    Of(TexNebula), Of(TexEarth), Of(TexMoon), Of(TexNimbra), Of(TexClouds),
    Of(TailParticles), Of(BackdropX), Of(BackdropY), Of(BackdropZ), Of(SphereQuadric),
    Of(SpawnSpeed), Of(SpawnAngleA), Of(SpawnAngleB),
    Of(SceneRoll), Of(EarthSpin), Of(MoonOrbit), Of(NimbraSpin),
    Of(EyeX), Of(EyeXRate), Of(EyeZ), Of(EyeZRate),
    Of(NimbraX), Of(NimbraXRate), Of(NimbraY), Of(NimbraYRate),
};

// Copied while the program starts, before any case has run: the scene's variables
// have their start values from the moment the process is loaded.
std::vector<std::vector<char>> CopyVariables()
{
    std::vector<std::vector<char>> copies;
    for (const Region &region : sceneVariables) {
        const char *bytes = static_cast<const char *>(region.at);
        copies.emplace_back(bytes, bytes + region.size);
    }
    return copies;
}

const std::vector<std::vector<char>> freshValues = CopyVariables();

} // namespace

void RestoreFreshSceneState()
{
    if (SphereQuadric)   // none at process start: an earlier case made it
        gluDeleteQuadric(SphereQuadric);
    for (size_t i = 0; i < sizeof sceneVariables / sizeof *sceneVariables; ++i)
        std::memcpy(sceneVariables[i].at, freshValues[i].data(), sceneVariables[i].size);
    std::srand(1);
}
