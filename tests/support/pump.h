// Dispatches this thread's messages for a while (a posted WM_QUIT is dropped).
#pragma once
#include <windows.h>

#include <functional>

void PumpFor(DWORD ms);
// Dispatches this thread's messages until the condition holds (true) or the
// limit, stretched by WaitLimit, has passed (false).
bool PumpUntil(const std::function<bool()> &condition, DWORD limitMs);
