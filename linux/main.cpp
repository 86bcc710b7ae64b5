// The Linux screen-saver program: Nimbra's scene in the window a saver daemon
// gives it (or the root window, or its own), until SIGTERM or SIGINT, or until its
// own window is closed or sees Escape. Exit codes: 0 after the animation, 1 when
// the window, the context or a texture cannot be had, 2 for a bad command line.
#include "linux/glx_window.h"
#include "platform/linux/messages.h"
#include "linux/saver_options.h"
#include "platform/scene_platform.h"
#include "scene/scene.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int)
{
    stopRequested = 1;
}

// No restart of interrupted calls: a signal during a wait for the X server ends
// the wait, and the loop sees the request at once.
void WatchStopSignals()
{
    struct sigaction action = {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// As on Windows: no pacing, one fixed step of every motion per frame.
void RunSceneLoop(int width, int height)
{
    while (!stopRequested && HandleWindowEvents(&width, &height)) {
        DrawFrame();
        SwapSceneBuffers();
    }
}

int FailScene(const char *text)
{
    CloseGlxWindow();
    PrintMessage(text);
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    SaverOptions options;
    std::string error;
    if (!ParseSaverOptions(argc, argv, std::getenv("XSCREENSAVER_WINDOW"), &options, &error)) {
        PrintMessage(error.c_str());
        std::fputs(SaverUsage, stderr);
        return 2;
    }
    WatchStopSignals();
    int width = 0, height = 0;
    if (!OpenGlxWindow(options, &width, &height))
        return 1;
    if (!LoadSceneTextures())
        return FailScene("Could not find necessary texture.");
    // InitScene loads the textures again; the first set stays allocated, unused.
    if (!InitScene())
        return FailScene("Initialization Failed.");
    RunSceneLoop(width, height);
    CloseGlxWindow();
    return 0;
}
