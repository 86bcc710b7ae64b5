// What a process holds: GDI objects, kernel handles and heap blocks.
#pragma once
#include <windows.h>

struct ResourceCounts {
    DWORD guiGdiObjects;      // GetGuiResources
    DWORD processHandles;     // GetProcessHandleCount
    DWORD liveGdiObjects;     // GDI handle values that name an object
    DWORD liveHandles;        // kernel handle values that are open
    SIZE_T heapBytes;         // busy bytes in all of the process's heaps
    SIZE_T heapBlocks;
};

// Wine's GetGuiResources and GetProcessHandleCount answer 0, so the live counts
// look at the handle values themselves.
ResourceCounts CountResources();
