// The Linux program's figures, each a ratio against a baseline measured in the
// same run:
//   - frames per second of DrawFrame plus the buffer swap in an 800 x 600 window,
//     against the Windows program's under Wine (the figure scene_benchmark printed,
//     given as --wine-fps; scripts/bench.sh passes it);
//   - start to first frame of `nimbra -window-id W` against minimal_glx's, both
//     seen from outside: from fork to the window's centre lit;
//   - SIGTERM to exit of the running program, in milliseconds.
//   linux_benchmark NIMBRA MINIMAL_GLX [--wine-fps F] [--seconds S]
#include "linux/glx_window.h"
#include "platform/scene_platform.h"
#include "scene/scene.h"

#include <X11/Xutil.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string renderer = "(none)";

double SceneFramesPerSecond(double seconds)
{
    int width = 0, height = 0;
    if (!OpenGlxWindow(SaverOptions{}, &width, &height) || !LoadSceneTextures() || !InitScene()) return 0;
    renderer = reinterpret_cast<const char *>(glGetString(GL_RENDERER));
    const Clock::time_point start = Clock::now();
    long frames = 0;
    double elapsed = 0;
    do {
        HandleWindowEvents(&width, &height);
        DrawFrame();
        SwapSceneBuffers();
        ++frames;
        elapsed = MillisecondsSince(start) / 1000.0;
    } while (elapsed < seconds);
    CloseGlxWindow();
    return frames / elapsed;
}

bool CentreLit(Display *display, Window window)
{
    XImage *image = XGetImage(display, window, 396, 296, 8, 8, AllPlanes, ZPixmap);
    if (!image) return false;
    int lit = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) lit += (XGetPixel(image, x, y) & 0xFFFFFF) != 0;
    XDestroyImage(image);
    return lit > 32;
}

struct StartFigures {
    double firstFrameMs = -1;
    double exitMs = -1;
};

// Starts program -window-id W (or program W) on a fresh black window, times the
// first lit centre, then SIGTERM to the end of the process.
StartFigures TimeStart(Display *display, const char *program, bool saverOptions)
{
    StartFigures figures;
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 800, 600, 0, 0,
                                              BlackPixel(display, DefaultScreen(display)));
    XMapWindow(display, window);
    XSync(display, False);
    const std::string id = std::to_string(window);
    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);   // no program outlives the benchmark
        if (saverOptions) execl(program, program, "-window-id", id.c_str(), static_cast<char *>(nullptr));
        else execl(program, program, id.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    while (MillisecondsSince(start) < 20000) {
        if (CentreLit(display, window)) {
            figures.firstFrameMs = MillisecondsSince(start);
            break;
        }
        usleep(500);
    }
    const Clock::time_point signalled = Clock::now();
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    figures.exitMs = MillisecondsSince(signalled);
    XDestroyWindow(display, window);
    XSync(display, False);
    return figures;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: linux_benchmark NIMBRA MINIMAL_GLX [--wine-fps F] [--seconds S]\n");
        return 2;
    }
    double wineFps = 0, seconds = 5;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--wine-fps") == 0) wineFps = std::atof(argv[i + 1]);
        if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atof(argv[i + 1]);
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    std::vector<double> nimbraStart, minimalStart, exitMs;
    for (int run = 0; run < 5; ++run) {
        const StartFigures nimbra = TimeStart(display, argv[1], true);
        const StartFigures minimal = TimeStart(display, argv[2], false);
        nimbraStart.push_back(nimbra.firstFrameMs);
        exitMs.push_back(nimbra.exitMs);
        minimalStart.push_back(minimal.firstFrameMs);
    }
    XCloseDisplay(display);
    const double fps = SceneFramesPerSecond(seconds);

    std::printf("linux benchmark, 800 x 600, %.1f s of frames, renderer %s\n", seconds, renderer.c_str());
    std::printf("  DrawFrame + swap, native:          %8.1f frames/s\n", fps);
    if (wineFps > 0) {
        std::printf("  DrawFrame + swap, Windows on Wine: %8.1f frames/s\n", wineFps);
        std::printf("  ratio (native / Wine):             %8.3f\n", fps / wineFps);
    }
    std::printf("  start to first frame, nimbra:      %8.1f ms (median of 5)\n", Median(nimbraStart));
    std::printf("  start to first frame, minimal GLX: %8.1f ms (median of 5)\n", Median(minimalStart));
    std::printf("  ratio (nimbra / minimal GLX):      %8.3f\n", Median(nimbraStart) / Median(minimalStart));
    std::printf("  SIGTERM to exit, nimbra:           %8.1f ms (median of 5)\n", Median(exitMs));
    return 0;
}
