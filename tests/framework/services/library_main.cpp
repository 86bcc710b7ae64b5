// The framework hosted as a library of its own: its process entry, and a few
// exports through which a test looks inside.
#include "framework/lullex.h"
#include "framework/services/services.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    return ScrLibraryEntry(module, reason);
}

extern "C" __declspec(dllexport) int LibraryVersion(char *buffer, int capacity)
{
    return ScrGetVersion(buffer, capacity);
}

extern "C" __declspec(dllexport) HMODULE LibraryFrameworkModule()
{
    return FrameworkModule;
}
