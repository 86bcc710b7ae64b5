// Measures, at 800 x 600: frames per second of DrawFrame plus SwapBuffers against a
// loop that only clears and swaps the same window, and the time from process start
// to the first swapped frame. Run under Wine with the textures installed in
// C:\windows\NimbraData\ (scripts/wineprefix.sh does that).
#include "scene/scene.h"
#include "scene/gl_test_window.h"

#include <cstdio>
#include <cstdlib>

namespace {

double Seconds()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

double MillisecondsSinceProcessStart()
{
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER a, b;
    a.LowPart = created.dwLowDateTime;
    a.HighPart = created.dwHighDateTime;
    b.LowPart = now.dwLowDateTime;
    b.HighPart = now.dwHighDateTime;
    return double(b.QuadPart - a.QuadPart) / 10000.0;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

template <typename Frame>
double FramesPerSecond(HDC dc, double seconds, Frame frame)
{
    const double start = Seconds();
    long frames = 0;
    double elapsed = 0;
    do {
        frame();
        SwapBuffers(dc);
        PumpMessages();
        ++frames;
        elapsed = Seconds() - start;
    } while (elapsed < seconds);
    return frames / elapsed;
}

} // namespace

int main(int argc, char **argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    GlTestWindow gl;
    if (!gl.Open(800, 600) || !InitScene()) {
        std::printf("Could not open the GL window or set up the scene.\n");
        return 1;
    }
    DrawFrame();
    SwapBuffers(gl.dc);
    glFinish();
    const double firstFrameMs = MillisecondsSinceProcessStart();

    const double clearOnly = FramesPerSecond(gl.dc, seconds, [] { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); });
    const double scene = FramesPerSecond(gl.dc, seconds, [] { DrawFrame(); });

    std::printf("scene benchmark, 800 x 600, %.1f s per loop, renderer %s\n", seconds,
                reinterpret_cast<const char *>(glGetString(GL_RENDERER)));
    std::printf("  process start to first swapped frame: %.0f ms\n", firstFrameMs);
    std::printf("  clear + swap only:           %8.1f frames/s\n", clearOnly);
    std::printf("  DrawFrame + swap:            %8.1f frames/s\n", scene);
    std::printf("  ratio (scene / clear+swap):  %8.3f\n", scene / clearOnly);
    return 0;
}
