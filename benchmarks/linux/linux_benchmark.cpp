// The Linux program's figures, each against a baseline measured in the same run
// where there is one:
//   - frames per second of DrawFrame plus the buffer swap in an 800 x 600 window,
//     against the Windows program's under Wine (the figure scene_benchmark printed,
//     given as --wine-fps; scripts/bench.sh passes it);
//   - the program's frames per second at its default delay;
//   - its CPU use at its defaults against Debian's glplanet at its defaults, both
//     in 640 x 480 windows at the same time;
//   - start to first frame of `nimbra -window-id W` against minimal_glx's, both
//     seen from outside: from fork to the window's centre lit;
//   - SIGTERM to exit, in an 800 x 600 window and in a 4800 x 4800 one.
//   linux_benchmark NIMBRA MINIMAL_GLX [--wine-fps F] [--seconds S] [--glplanet PATH]
#include "linux/frame_loop.h"
#include "linux/scene_session.h"
#include "platform/scene_platform.h"
#include "scene/scene.h"

#include <GL/gl.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
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
    if (!OpenScene(SaverOptions{}, &width, &height)) return 0;
    renderer = reinterpret_cast<const char *>(glGetString(GL_RENDERER));
    const Clock::time_point start = Clock::now();
    long frames = 0;
    double elapsed = 0;
    do {
        DrawFrame();
        SwapSceneBuffers();
        ++frames;
        elapsed = MillisecondsSince(start) / 1000.0;
    } while (elapsed < seconds);
    CloseScene();
    return frames / elapsed;
}

// The program's own loop at its defaults, in its own window.
double PacedFramesPerSecond(double seconds)
{
    SaverOptions options;
    int width = 0, height = 0;
    if (!OpenScene(options, &width, &height)) return 0;
    FrameLoop loop;
    StartFrameLoop(&loop, options, width, height);
    const Clock::time_point start = Clock::now();
    while (MillisecondsSince(start) < seconds * 1000 && RunFramePass(&loop)) {}
    const double elapsed = MillisecondsSince(start) / 1000.0;
    CloseScene();
    return loop.frames / elapsed;
}

Window CreateBlackWindow(Display *display, int x, int width, int height)
{
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), x, 0, unsigned(width),
                                              unsigned(height), 0, 0, BlackPixel(display, DefaultScreen(display)));
    XMapWindow(display, window);
    XSync(display, False);
    return window;
}

// Starts argv[0] with its arguments; -1 when fork fails, and then there is no
// process to signal.
pid_t StartProgram(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    for (const std::string &arg : args) argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("linux_benchmark: fork");
        return -1;
    }
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);   // no program outlives the benchmark
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// Milliseconds from SIGTERM to the end of the process.
double TerminateAndTime(pid_t pid)
{
    const Clock::time_point signalled = Clock::now();
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return MillisecondsSince(signalled);
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
    const Window window = CreateBlackWindow(display, 0, 800, 600);
    const std::string id = std::to_string(window);
    const Clock::time_point start = Clock::now();
    const pid_t pid = saverOptions ? StartProgram({program, "-window-id", id}) : StartProgram({program, id});
    if (pid < 0) return figures;
    while (MillisecondsSince(start) < 20000) {
        if (CentreLit(display, window)) {
            figures.firstFrameMs = MillisecondsSince(start);
            break;
        }
        usleep(500);
    }
    figures.exitMs = TerminateAndTime(pid);
    XDestroyWindow(display, window);
    XSync(display, False);
    return figures;
}

// User and system time of a process so far, in seconds.
double CpuSeconds(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int number = 3; fields >> field; ++number) {   // fields 14 and 15: utime, stime
        if (number == 14) utime = std::atol(field.c_str());
        if (number == 15) stime = std::atol(field.c_str());
    }
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

struct CpuFigures {
    double nimbra = -1, glplanet = -1;   // share of one core
};

// Both programs at their defaults in twin 640 x 480 windows, side by side, over
// the same seconds after one second of start-up.
CpuFigures CompareCpu(Display *display, const char *nimbra, const char *glplanet, double seconds)
{
    CpuFigures figures;
    const Window left = CreateBlackWindow(display, 0, 640, 480), right = CreateBlackWindow(display, 640, 640, 480);
    const pid_t ours = StartProgram({nimbra, "-window-id", std::to_string(left)});
    const pid_t theirs = StartProgram({glplanet, "-window-id", std::to_string(right)});
    if (ours > 0 && theirs > 0) {
        usleep(1000000);
        const double oursBefore = CpuSeconds(ours), theirsBefore = CpuSeconds(theirs);
        const Clock::time_point start = Clock::now();
        usleep(useconds_t(seconds * 1e6));
        const double elapsed = MillisecondsSince(start) / 1000.0;
        figures.nimbra = (CpuSeconds(ours) - oursBefore) / elapsed;
        figures.glplanet = (CpuSeconds(theirs) - theirsBefore) / elapsed;
    }
    if (ours > 0) TerminateAndTime(ours);
    if (theirs > 0) TerminateAndTime(theirs);
    XDestroyWindow(display, left);
    XDestroyWindow(display, right);
    XSync(display, False);
    return figures;
}

// SIGTERM while the program draws a 4800 x 4800 frame, which takes seconds in a
// software renderer: it is signalled once it has used half a second of CPU.
double TimeLargeWindowExit(Display *display, const char *nimbra)
{
    const Window window = CreateBlackWindow(display, 0, 4800, 4800);
    const pid_t pid = StartProgram({nimbra, "-window-id", std::to_string(window)});
    double exitMs = -1;
    if (pid > 0) {
        const Clock::time_point start = Clock::now();
        while (CpuSeconds(pid) < 0.5 && MillisecondsSince(start) < 20000) usleep(1000);
        exitMs = TerminateAndTime(pid);
    }
    XDestroyWindow(display, window);
    XSync(display, False);
    return exitMs;
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
        std::fprintf(stderr, "usage: linux_benchmark NIMBRA MINIMAL_GLX [--wine-fps F] [--seconds S] [--glplanet PATH]\n");
        return 2;
    }
    double wineFps = 0, seconds = 5;
    const char *glplanet = "/usr/libexec/xscreensaver/glplanet";
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--wine-fps") == 0) wineFps = std::atof(argv[i + 1]);
        if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atof(argv[i + 1]);
        if (std::strcmp(argv[i], "--glplanet") == 0) glplanet = argv[i + 1];
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    std::vector<double> nimbraStart, minimalStart, exitMs, largeExitMs;
    for (int run = 0; run < 5; ++run) {
        const StartFigures nimbra = TimeStart(display, argv[1], true);
        const StartFigures minimal = TimeStart(display, argv[2], false);
        nimbraStart.push_back(nimbra.firstFrameMs);
        exitMs.push_back(nimbra.exitMs);
        minimalStart.push_back(minimal.firstFrameMs);
    }
    for (int run = 0; run < 3; ++run) largeExitMs.push_back(TimeLargeWindowExit(display, argv[1]));
    const bool haveGlplanet = access(glplanet, X_OK) == 0;
    const CpuFigures cpu = haveGlplanet ? CompareCpu(display, argv[1], glplanet, seconds) : CpuFigures();
    // Closed only now: a server without -noreset refuses connections for a moment
    // after its last client leaves.
    const double fps = SceneFramesPerSecond(seconds);
    const double pacedFps = PacedFramesPerSecond(seconds);
    XCloseDisplay(display);

    std::printf("linux benchmark, 800 x 600, %.1f s of frames, renderer %s\n", seconds, renderer.c_str());
    std::printf("  DrawFrame + swap, native:          %8.1f frames/s\n", fps);
    if (wineFps > 0) {
        std::printf("  DrawFrame + swap, Windows on Wine: %8.1f frames/s\n", wineFps);
        std::printf("  ratio (native / Wine):             %8.3f\n", fps / wineFps);
    }
    std::printf("  the program at its default delay:  %8.1f frames/s\n", pacedFps);
    if (haveGlplanet) {
        std::printf("  CPU at defaults, 640 x 480, nimbra:   %6.1f %% of a core\n", 100 * cpu.nimbra);
        std::printf("  CPU at defaults, 640 x 480, glplanet: %6.1f %% of a core\n", 100 * cpu.glplanet);
        std::printf("  ratio (nimbra / glplanet):         %8.3f\n", cpu.nimbra / cpu.glplanet);
    } else {
        std::printf("  CPU against glplanet: %s is not installed (package xscreensaver-gl)\n", glplanet);
    }
    std::printf("  start to first frame, nimbra:      %8.1f ms (median of 5)\n", Median(nimbraStart));
    std::printf("  start to first frame, minimal GLX: %8.1f ms (median of 5)\n", Median(minimalStart));
    std::printf("  ratio (nimbra / minimal GLX):      %8.3f\n", Median(nimbraStart) / Median(minimalStart));
    std::printf("  SIGTERM to exit, 800 x 600:        %8.1f ms (median of 5)\n", Median(exitMs));
    std::printf("  SIGTERM to exit, 4800 x 4800:      %8.1f ms (median of 3)\n", Median(largeExitMs));
    return 0;
}
