// Per-window timer threads.
#pragma once
#include <windows.h>

struct TimerData {
    HWND hwnd;
    CRITICAL_SECTION lock;   // guards running
    LONG running;
    HANDLE wakeEvent;        // manual reset; set to cut a wait short
    DWORD threadId;
    HANDLE threadHandle;
    DWORD serial;            // names this timer in its had-enough request; never 0
};

void CreateTimerProp(HWND hwnd);
bool HasTimerProp(HWND hwnd);
void SetTimerProp(HWND hwnd, TimerData *data);
TimerData *GetTimerProp(HWND hwnd);
void DestroyTimerProp(HWND hwnd);
unsigned __stdcall TimerThreadProc(void *data);

// SCRINTERNAL_HADENOUGH: the window answered -1 to the timer whose serial the
// request carries, so that timer's thread is let go.
void TimerHadEnough(HWND hwnd, DWORD serial);
