#include "tests/image/resource_counts.h"

namespace {

DWORD CountGdiObjects()
{
    DWORD n = 0;
    for (ULONG_PTR v = 1; v < 0x10000; ++v)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(v))) ++n;
    return n;
}

DWORD CountKernelHandles()
{
    DWORD n = 0, flags = 0;
    for (ULONG_PTR v = 4; v < 0x4000; v += 4)
        if (GetHandleInformation(reinterpret_cast<HANDLE>(v), &flags)) ++n;
    return n;
}

void CountHeapUse(SIZE_T *bytes, SIZE_T *blocks)
{
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    *bytes = *blocks = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) { *bytes += entry.cbData; ++*blocks; }
        HeapUnlock(heaps[i]);
    }
}

} // namespace

ResourceCounts CountResources()
{
    ResourceCounts c{};
    c.guiGdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    GetProcessHandleCount(GetCurrentProcess(), &c.processHandles);
    c.liveGdiObjects = CountGdiObjects();
    c.liveHandles = CountKernelHandles();
    CountHeapUse(&c.heapBytes, &c.heapBlocks);
    return c;
}
