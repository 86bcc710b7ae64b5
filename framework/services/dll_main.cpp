// Process entry of lullex.dll: the framework hosted as a library of its own.
#include "framework/lullex.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    return ScrLibraryEntry(module, reason);
}
