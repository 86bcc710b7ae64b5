#include "support/pump.h"

#include "support/wait_limit.h"

void PumpFor(DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
}

bool PumpUntil(const std::function<bool()> &condition, DWORD limitMs)
{
    const DWORD limit = WaitLimit(limitMs);
    for (DWORD start = GetTickCount();;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= limit)
            return false;
        PumpFor(10);
    }
}
