// The Linux screen-saver program: Nimbra's scene in the window a saver daemon
// gives it (or the root window, or its own), until SIGTERM or SIGINT, or until its
// own window is closed or sees Escape. Exit codes: 0 after the animation, 1 when
// the window, the context or a texture cannot be had, 2 for a bad command line.
#include "linux/frame_loop.h"
#include "linux/heap_pages.h"
#include "linux/saver_options.h"
#include "linux/scene_session.h"
#include "linux/stop_signals.h"
#include "platform/linux/messages.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    PrepareHeap();   // before the GL library's start-up allocates
    SaverOptions options;
    std::string error;
    if (!ParseSaverOptions(argc, argv, std::getenv("XSCREENSAVER_WINDOW"), &options, &error)) {
        PrintMessage(error.c_str());
        PrintSaverUsage(stderr);
        return 2;
    }
    if (options.request == SaverOptions::ShowHelp) {
        PrintSaverUsage(stdout);
        return 0;
    }
    if (options.request == SaverOptions::ShowVersion) {
        std::printf("%s\n", SaverVersion);
        return 0;
    }
    WatchStopSignals();
    int width = 0, height = 0;
    if (!OpenScene(options, &width, &height)) return 1;   // window, context, textures
    FrameLoop loop;
    StartFrameLoop(&loop, options, width, height);
    while (!StopRequested() && RunFramePass(&loop)) {}    // resize, window gone, Escape
    CloseScene();                                         // everything it opened
    return 0;
}
