// Frame N of the Windows program's scene, for the comparison with the Linux
// program's (tests/linux): the 800 x 600 window, the textures loaded as the
// program loads them (a check, then InitScene), N frames drawn and swapped, and
// frame N read from the back buffer before its swap.
//   scene_frame_dump N OUTPUT.ppm
#include "scene/scene.h"
#include "scene/gl_test_window.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: scene_frame_dump N OUTPUT.ppm\n");
        return 2;
    }
    const int frames = std::atoi(argv[1]);
    GlTestWindow gl;
    if (!gl.Open(800, 600) || !LoadSceneTextures() || !InitScene()) {
        std::fprintf(stderr, "could not open the GL window or set up the scene\n");
        return 1;
    }
    for (int i = 1; i < frames; ++i) {
        DrawFrame();
        SwapBuffers(gl.dc);
    }
    DrawFrame();
    const Picture picture = ReadBackBuffer(800, 600);
    FILE *out = std::fopen(argv[2], "wb");
    if (!out) return 1;
    std::fprintf(out, "P6\n%d %d\n255\n", picture.width, picture.height);
    for (int y = picture.height - 1; y >= 0; --y)
        std::fwrite(picture.At(0, y), 3, size_t(picture.width), out);
    return std::fclose(out) == 0 ? 0 : 1;
}
