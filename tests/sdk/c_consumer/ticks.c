/* A saver that answers every tick with the example's full-screen period and
   records when each tick came: the framework's timer seen through the installed
   SDK. After TICKS ticks it writes the gaps in microseconds, one a line, to the
   file named by TICK_LOG, and closes as a key would close it. */
#include <stdio.h>
#include <lullex.h>

#define PERIOD 30
#define TICKS  101

static LARGE_INTEGER tickTimes[TICKS];
static int tickCount;

static void WriteGaps(void)
{
    char path[MAX_PATH];
    LARGE_INTEGER frequency;
    FILE *file;
    int i;
    if (!GetEnvironmentVariableA("TICK_LOG", path, sizeof(path)) || !(file = fopen(path, "w")))
        return;
    QueryPerformanceFrequency(&frequency);
    for (i = 1; i < tickCount; i++)
        fprintf(file, "%lld\n", (tickTimes[i].QuadPart - tickTimes[i - 1].QuadPart) * 1000000 / frequency.QuadPart);
    fclose(file);
}

static LRESULT CALLBACK TickSaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != SCRM_TIMER)
        return DefSaverProc(hwnd, msg, wParam, lParam);
    QueryPerformanceCounter(&tickTimes[tickCount++]);
    if (tickCount < TICKS)
        return PERIOD;
    WriteGaps();
    PostMessageA(hwnd, WM_KEYDOWN, 'A', 0);
    return -1;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    (void)previous;
    (void)commandLine;
    (void)show;
    return ScrRun(instance, TickSaverProc, NULL, NULL, 0);
}
