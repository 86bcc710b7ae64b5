// Dispatches this thread's messages for a while (a posted WM_QUIT is dropped).
#pragma once
#include <windows.h>

void PumpFor(DWORD ms);
